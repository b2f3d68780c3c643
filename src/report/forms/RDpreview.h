// The preview window TDFMPreview: the composed pages of a closed report shown one at a time as
// paper at a chosen zoom, and the place from which the user prints, sets up the printer, saves or
// exports the report, reads a saved one, searches text and hands the report to e-mail. The page is
// drawn as a recorded picture (DesenhaPagina) and replayed as vectors at the screen's resolution.
#pragma once

#include <QDialog>
#include <QPoint>
#include <cstdint>
#include <string>

#include "report/RDbusca.h"
#include "report/RDmetafile.h"
#include "report/RDtipos.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QMouseEvent;
class QPainter;
class QStatusBar;
class QToolButton;

namespace report {
class TRDprint;
}

namespace report::forms {

struct TBotaoBarra;

enum class GlifoPreview;  // the tool bar glyphs (RDfiguras.h)

class TDialogoProcura;
class TPainelOcorrencias;
class TScroller;

// The state every preview window shares for the whole program: the drag and the search.
struct TEstadoPreview {
  QPoint pressao;            // where the button went down on the page
  bool arrastando = false;   // between button down and up on the page
  int32_t posicaoBusca = 0;  // the store index the next search starts at
  TAchado achado;            // found page, line and column of the last successful search
};
TEstadoPreview& EstadoPreview();

class TDFMPreview : public QDialog {
  Q_OBJECT

 public:
  // Creates the window for the component (FormCreate) over `pai` (the window it was opened
  // from); `pasta` is where the file dialogs open.
  TDFMPreview(TRDprint& rd, std::string pasta = std::string(), QWidget* pai = nullptr);
  ~TDFMPreview() override;

  // The opening steps after creation: caption and hint, colours, setup before print and the
  // states of the seven option-driven buttons, all from the component.
  void Configura();

  // Window fields.
  int Pagina = 1;          // the page shown, 1-based
  int Zoom = 100;          // percent, 20..400 after every zoom change
  int QtdPaginas = 1;      // pages in the store
  TMetafile Figura;        // the current page's picture at 96 pixels per inch
  bool SetupAntes = true;  // run Setup before printing

  // Methods.
  void Mostrar();
  void AjustaZoom(int valor);
  void TamanhoFolha();

  // Handlers, named after their control and event.
  void FormCreate();
  void FormShow();
  void FormResize();
  void FormKeyDown(int tecla, Qt::KeyboardModifiers shift);
  void VISORPaint(QPainter& p);
  void VISORMouseDown(QMouseEvent* e);
  void VISORMouseMove(QMouseEvent* e);
  void VISORMouseUp(QMouseEvent* e);
  bool DoMouseWheel(int delta);
  void btIMPRIMIRClick();
  void btSETUPClick();
  void btPDFClick();
  void btEMAILClick();
  void btSALVARClick();
  void btABRIRClick();
  void btPROCURARClick();
  void btPRIMEIRAClick();
  void btANTERIORClick();
  void btDIRETOClick();
  void btPROXIMAClick();
  void btULTIMAClick();
  void btLARGURAClick();
  void btFULLClick();
  void btAumentaClick();
  void btDiminuiClick();
  void btFECHARClick();
  void Zoom25Click(QAction* item);
  void FindDialog1Find();
  // Shift+F3: the search in the other direction, from beside the match shown.
  void ProcuraAnterior();
  // Ctrl+Shift+F: the side panel listing every match of the whole report.
  void MostraOcorrencias();
  // Shows one match of the side panel, highlighted, as a search would.
  void IrParaOcorrencia(const TOcorrencia& o);

  // The text of a status panel (0..3).
  QString TextoPainel(int i) const;

  // Controls, named as on the window.
  QFrame* PanelH;
  QToolButton* btIMPRIMIR;
  QToolButton* btSETUP;
  QFrame* Separa1;
  QToolButton* btPDF;
  QToolButton* btEMAIL;
  QToolButton* btSALVAR;
  QToolButton* btABRIR;
  QToolButton* btPROCURAR;
  QFrame* Separa2;
  QToolButton* btPRIMEIRA;
  QToolButton* btANTERIOR;
  QToolButton* btDIRETO;
  QToolButton* btPROXIMA;
  QToolButton* btULTIMA;
  QFrame* Separa3;
  QToolButton* btLARGURA;
  QToolButton* btFULL;
  QToolButton* btAumenta;
  QToolButton* btDiminui;
  QFrame* Separa4;
  QToolButton* btFECHAR;
  TScroller* Scroller;
  QWidget* VISOR;
  QStatusBar* StatusBar1;
  QLabel* Paineis[4];
  QMenu* PopupMenu1;
  QActionGroup* GrupoZoom;
  QAction* Zoom25;
  QAction* Zoom50;
  QAction* Zoom75;
  QAction* Zoom100;
  QAction* Zoom150;
  QAction* Zoom200;
  QAction* ZoomPage;
  QAction* ZoomWidth;
  TDialogoProcura* FindDialog1;
  TPainelOcorrencias* PainelOcorrencias;

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* alvo, QEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void CriaControles();
  QToolButton* Botao(const TBotaoBarra& linha);
  void TeclaDaBarra(int tecla, Qt::KeyboardModifiers shift);
  QFrame* Separador(const char* nome);
  void AtualizaImpressora();
  void MarcaMenuZoom(int pedido);
  void RolaAteAchado();
  void Procura(bool paraBaixo);
  bool Disponivel(const QToolButton* b) const;

  TRDprint& rd_;
  std::string pasta_;
  bool mostrado_ = false;
};

}  // namespace report::forms
