// RDsetup: the print setup dialog TDFMsetup, in which the user chooses the printer, the model that
// decides how pages are sent, the preview option, the pages, odd or even pages, the copies,
// collation and reverse order; and MostraSetupQt, the dialog cycle of TRDprint::Setup.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "report/RDprint.h"
#include "report/forms/RDupdown.h"

namespace report {

class TDFMsetup : public QDialog {
  Q_OBJECT

 public:
  // Creates the dialog for the component (FormCreate).
  explicit TDFMsetup(TRDprint& owner, QWidget* parent = nullptr);

  // The controls, by their names.
  QWidget* Cabecalho;
  QLabel* Image1;
  QLabel* Label1;  // the title
  QLabel* Label2;  // "&Impressora:"
  QComboBox* IMPRESSORAS;
  QPushButton* BitBtn1;
  QLabel* Label3;  // "&Modelo: "
  QComboBox* MODELOS;
  QCheckBox* chkPreview;
  QGroupBox* GroupBox1;
  QRadioButton* chkTodas;
  QRadioButton* chkAtual;
  QRadioButton* chkSelecao;
  QLineEdit* EdPaginas;
  QLabel* Label4;  // "Imprimir:"
  QComboBox* EdParImpar;
  QGroupBox* GroupBox2;
  QLabel* Label5;  // "&Número de Cópias"
  QLineEdit* edCOPIAS;
  TUpDown* UpDown1;
  QWidget* Imagem3;
  QCheckBox* chkAgrupar;
  QCheckBox* chkInverter;
  QLabel* Label6;  // the two-line hint
  QPushButton* OK;
  QPushButton* CANCELAR;

  // The font colour of the labels and boxes FormShow colours.
  QColor CorFonte{Qt::black};

  // Event handlers.
  void FormShow();
  void IMPRESSORASExit();
  void IMPRESSORASDrawItem(QPainter& canvas, int index, const QRect& rect, bool selecionado);
  void BitBtn1Click();
  void OKClick();
  void CANCELARClick();
  void chkTodasClick();
  void chkSelecaoClick();
  void chkAgruparClick();
  void Imagem3Paint(QPainter& canvas);
  // The collation picture the two check boxes choose.
  const TImagemRGB& FiguraAgrupamento() const;

  // Whether the dialog may close (set by Ok and Cancelar only).

  // Closing is refused until Ok or Cancelar set the can-close flag (FormCloseQuery).
  void done(int resultado) override;
  // Esc is Cancelar.
  void reject() override;

 protected:
  void showEvent(QShowEvent* evento) override;
  void closeEvent(QCloseEvent* evento) override;
  bool eventFilter(QObject* alvo, QEvent* evento) override;

 private:
  bool EdPaginasKeyPress(QKeyEvent* tecla);
  bool edCOPIASKeyPress(QKeyEvent* tecla);
  void SelecionaImpressoraAtual();

  TRDprint& rd_;
  bool podeFechar_ = false;
  bool mostrado_ = false;
};

// Setup's dialog cycle: fills the dialog from the print settings, shows it modally and, when the
// user confirms with Ok, takes the chosen values back into the component and the print settings
// (the caller then rebuilds the command set). True when confirmed.
bool MostraSetupQt(TRDprint& rd);

// What the user set in a printer's own properties dialog ("&Propriedades..."): the paper, the
// orientation, the resolution, duplex and colour, kept by printer name while the program runs and
// put on that printer's graphic jobs.
struct TPropriedadesImpressora {
  QPageSize papel;
  QPageLayout::Orientation orientacao = QPageLayout::Portrait;
  int resolucao = 0;
  QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
  QPrinter::ColorMode cor = QPrinter::Color;
};
// Keeps the settings of `printer` for the printer `nome`.
void GuardaPropriedadesImpressora(const std::string& nome, const QPrinter& printer);
// Puts the settings kept for `nome` on `printer`; false when none were kept.
bool AplicaPropriedadesImpressora(const std::string& nome, QPrinter& printer);
// Forgets every kept setting (a test's clean start).
void EsquecePropriedadesImpressoras();

}  // namespace report
