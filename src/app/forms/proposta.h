// The main window `TForm1` (unit proposta): every control of the window, mirrored from the
// window-free proposal state (app::TProposta), with the handlers of the user's events. The window
// shows the table lazily: a data change only marks it stale and the controls are brought up to date
// once the handler is done (or before the next key), so walking 100,000 rows costs no repaints.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <string>

#include "app/Proposta.h"
#include "proposta_versao.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace app::forms {

class TDBEdit;
class TDBGrid;
class TEdit;
class TDBNavigator;
class TModeloGrade;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // The proposal state behind the window.
  app::TProposta& Proposta() { return proposta_; }

  // Opens a process file as if it had been chosen with "&Abrir Processo" (errors in the error box).
  void AbrirArquivo(const std::string& caminho);
  // The bidder name (Windows-1252) and the CNPJ's characters as typed, for the listing.
  std::string Licitante() const;
  std::string CNPJ() const;
  // Brings every control up to date with the proposal state now.
  void AtualizaTela();
  // Runs a command of the window (the Ferramentas menu's too): an escaping error goes to the error
  // box, and the display is refreshed after.
  void ExecutaComando(const std::function<void()>& f) { Trata(f); }

  // What "Relatório" (BitBtn2Click) and "&Assinar Docum. Dig." (BitBtn5Click) run: the item
  // listing and the signing launcher; tests may replace them. Errors they raise go to the error
  // box.
  std::function<void()> aoRelatorio;
  std::function<void()> aoAssinar;

  // The maker's address: the file:// address of the program's documentation folder (set by the
  // build: the installed folder, or the build folder where the guide is built).
  static constexpr const char* kEnderecoFabricante = PROPOSTA_ENDERECO_FABRICANTE;
  static std::string EnderecoAjuda();

  // Handlers, named after their control and event.
  void FormCreate();
  void FormShow();
  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn3Click();
  void BitBtn4Click();
  void BitBtn5Click();
  void btn1Click();
  void DBEdit1KeyPress(char& key);
  void DBEdit1Change();
  void DBEdit2KeyPress(char& key);
  void DBEditEnter(QWidget* sender);
  void DBEditExit(QWidget* sender);
  void DataSource1DataChange();
  void DBGrid1Delete();

  // Controls, named as on the window.
  QFrame* Panel5;
  QLabel* Label7;
  QLineEdit* Edit1;
  QPushButton* BitBtn1;
  QFrame* Panel7;
  QLabel* Label8;
  TEdit* edtlicitante;
  QLabel* Label9;
  TEdit* MeditCNPJ;
  QFrame* Panel2;
  QLabel* Image1;
  QFrame* Panel3;
  QLabel* Label2;
  QLabel* Label5;
  QPlainTextEdit* Memo2;
  QFrame* Panel4;
  QPushButton* BitBtn3;
  QPushButton* BitBtn4;
  QPushButton* BitBtn2;
  QPushButton* BitBtn5;
  QLabel* Panel6;
  QFrame* Panel1;
  QLabel* Label1;
  QLabel* DBText1;
  QPlainTextEdit* DBMemo1;
  QLabel* Label6;
  QLabel* DBText2;
  QLabel* Label3;
  TDBEdit* DBEdit1;
  QLabel* Label4;
  TDBEdit* DBEdit2;
  TDBGrid* DBGrid1;
  TDBNavigator* DBNavigator1;
  QPushButton* btn1;
  QProgressBar* FProgresso;
  QStatusBar* StatusBar1;

 protected:
  void showEvent(QShowEvent* e) override;
  // Enter on a focused button presses it, as Space does.
  bool eventFilter(QObject* alvo, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void CriaControles();
  void LigaEventos();
  void AgendaAtualizacao();
  void SincronizaSePreciso();
  void Trata(const std::function<void()>& f);
  void AoMudarProgresso();
  void AoEscreverControles();
  std::optional<std::string> GravaControlesNaSaida();
  void GradeMudouLinha(int linha);
  void FocoMudou(QWidget* agora);
  void AplicaAltura();

  app::TProposta proposta_;
  TModeloGrade* modelo_ = nullptr;
  QTimer atualizacao_;
  bool sujo_ = false;
  bool mostrado_ = false;
  long notificacoes_ = 0;
  int alturaAplicada_ = 0;  // the last height request applied
  QElapsedTimer relogioProgresso_;
};

}  // namespace app::forms
