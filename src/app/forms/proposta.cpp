#include "app/forms/proposta.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "app/RegrasEntrada.h"
#include "app/forms/Aparencia.h"
#include "app/forms/AssinaturaDocumentos.h"
#include "app/forms/CartaJanelas.h"
#include "app/forms/MenuFerramentas.h"
#include "app/forms/ModeloGrade.h"
#include "app/forms/Protecao.h"
#include "app/forms/TDBEdit.h"
#include "app/forms/TDBGrid.h"
#include "app/forms/TDBNavigator.h"
#include "app/forms/TEdit.h"
#include "base/Erros.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"
#include "signing/vekDigitalSign.h"

namespace app::forms {

namespace {
// The difference between the window's outer height and its client height.
constexpr int kMolduraVertical = 21;

// Sets a label's text when it differs; auto-sized labels follow their text.
void MostraTexto(QLabel* l, const std::string& cp1252, bool autoAjuste) {
  QString q = platform::toQString(cp1252);
  if (l->text() == q) return;
  l->setText(q);
  if (autoAjuste) l->adjustSize();
}

// Sets a memo's text when it differs.
void MostraTexto(QPlainTextEdit* m, const std::string& cp1252) {
  QString q = platform::toQString(cp1252);
  if (m->toPlainText() != q) m->setPlainText(q);
}

// The read-only state the focus marking looks at.
bool SomenteLeitura(const QWidget* w) {
  if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->isReadOnly();
  if (auto* m = qobject_cast<const QPlainTextEdit*>(w)) return m->isReadOnly();
  return false;
}
}  // namespace

// Creates the controls, wires the events and runs FormCreate.
TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  CriaControles();
  atualizacao_.setSingleShot(true);
  atualizacao_.setInterval(0);
  connect(&atualizacao_, &QTimer::timeout, this, &TForm1::AtualizaTela);
  LigaEventos();
  FormCreate();
  AtualizaTela();
}

// The proposal's callbacks point into this window; they are cut before it goes.
TForm1::~TForm1() {
  proposta_.aoMudarDados = nullptr;
  proposta_.aoEscreverControles = nullptr;
  proposta_.aoMudarProgresso = nullptr;
}

// Connects every control's event to its handler.
void TForm1::LigaEventos() {
  proposta_.aoMudarDados = [this] { DataSource1DataChange(); };
  proposta_.aoEscreverControles = [this] { AoEscreverControles(); };
  proposta_.aoMudarProgresso = [this] { AoMudarProgresso(); };
  aoRelatorio = [this] { proposta_.BitBtn2Click(Licitante(), CNPJ()); };
  // The external signing application when it (or its package) is beside the program; our own
  // signing window otherwise.
  aoAssinar = [this] {
    signing::TDigitalSign externo;
    if (externo.isExistsApplicationExec() || externo.isExistsPackageAutoExtract())
      signing::executeSign("", false);
    else
      AbreAssinaturaDocumentos(*this);
  };

  connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
  connect(BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
  connect(BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
  connect(BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
  connect(btn1, &QPushButton::clicked, this, &TForm1::btn1Click);

  for (TDBEdit* e : {DBEdit1, DBEdit2}) {
    e->aoSincronizar = [this] { SincronizaSePreciso(); };
    e->aoSair = [this] { return GravaControlesNaSaida(); };
    e->aoEditar = [this] { AgendaAtualizacao(); };
  }
  DBEdit1->OnKeyPress = [this](char& k) { DBEdit1KeyPress(k); };
  DBEdit1->OnChange = [this] { DBEdit1Change(); };
  DBEdit2->OnKeyPress = [this](char& k) { DBEdit2KeyPress(k); };
  DBEdit2->aoRecusar = [this](char k) {
    StatusBar1->showMessage(platform::toQString(app::MotivoRecusaValor(k)), 5000);
  };
  for (QAbstractButton* b : findChildren<QAbstractButton*>()) b->installEventFilter(this);
  for (TEdit* e : {static_cast<TEdit*>(DBEdit1), edtlicitante, MeditCNPJ}) {
    e->OnEnter = [this, e] { DBEditEnter(e); };
    e->OnExit = [this, e] { DBEditExit(e); };
  }
  MeditCNPJ->OnExit = [this] {
    DBEditExit(MeditCNPJ);
    QTimer::singleShot(0, this, [this] { ConfereCNPJAoSair(*this); });
  };
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* agora) { FocoMudou(agora); });

  DBGrid1->aoMudarLinha = [this](int linha) { GradeMudouLinha(linha); };
  DBGrid1->aoApagar = [this] { DBGrid1Delete(); };
  DBGrid1->aoSincronizar = [this] { SincronizaSePreciso(); };
  DBNavigator1->aoClicar = [this](BotaoNavegador b) {
    TTabelaItens& t = proposta_.ClientDataSet1;
    Trata([&] {
      switch (b) {
        case BotaoNavegador::Primeiro:
          t.Primeiro();
          break;
        case BotaoNavegador::Anterior:
          t.Anterior();
          break;
        case BotaoNavegador::Proximo:
          t.Proximo();
          break;
        case BotaoNavegador::Ultimo:
          t.Ultimo();
          break;
      }
    });
  };
}

// Runs a handler at the boundary: errors go to the error box; the display is refreshed after.
void TForm1::Trata(const std::function<void()>& f) {
  Protege(f);
  AgendaAtualizacao();
}

// Marks the display stale; it is brought up to date when the event loop is idle again.
void TForm1::AgendaAtualizacao() {
  sujo_ = true;
  if (!atualizacao_.isActive()) atualizacao_.start();
}

// Brings the display up to date now when it is stale (before a key is handled).
void TForm1::SincronizaSePreciso() {
  if (sujo_) AtualizaTela();
}

// The window height the proposal asks for (outer height; the client area is 21 pixels less). The
// menu bar sits above the client area and adds its own height.
void TForm1::AplicaAltura() {
  if (proposta_.pedidosAltura == alturaAplicada_) return;
  alturaAplicada_ = proposta_.pedidosAltura;
  if (proposta_.alturaJanela > kMolduraVertical)
    resize(width(), proposta_.alturaJanela - kMolduraVertical + menuBar()->sizeHint().height());
}

// Mirrors the proposal state into every control.
void TForm1::AtualizaTela() {
  atualizacao_.stop();
  sujo_ = false;
  app::TProposta& p = proposta_;
  TTabelaItens& t = p.ClientDataSet1;
  QString titulo = platform::toQString(p.titulo);
  if (windowTitle() != titulo) setWindowTitle(titulo);
  QString caminho = platform::pathToQString(p.edit1);
  if (Edit1->text() != caminho) Edit1->setText(caminho);
  MostraTexto(Label2, p.label2, true);
  MostraTexto(Label5, p.label5, true);
  MostraTexto(Label6, p.label6, true);
  MostraTexto(Memo2, p.memo2);
  QString total = platform::toQString(p.btn1);
  if (btn1->text() != total) btn1->setText(total);

  bool temLinha = t.Aberta() && !t.Vazia();
  MostraTexto(DBText1, temLinha ? t.TextoExibicao(Campo::nome) : std::string(), false);
  MostraTexto(DBMemo1, temLinha ? t.TextoExibicao(Campo::descricao) : std::string());
  MostraTexto(DBText2, temLinha ? t.TextoExibicao(Campo::apuracao) : std::string(), false);
  if (!DBEdit1->Modificado()) DBEdit1->MostraCampo();
  if (!DBEdit2->Modificado()) DBEdit2->MostraCampo();

  if (modelo_->Desatualizado()) modelo_->Reinicia();
  modelo_->Repinta();
  int linha = temLinha ? t.NumeroLinha() - 1 : -1;
  modelo_->MarcaLinhaAtual(linha, t.EstadoAtual() == TTabelaItens::Estado::Editando);
  DBGrid1->MostraLinha(linha);
  DBNavigator1->Atualiza(t.Aberta(), t.Vazia(), t.Inicio(), t.Fim());
  AplicaAltura();
}

// FormCreate: the proposal's start state (outer height 700, no proposal generated).
void TForm1::FormCreate() { proposta_.FormCreate(); }

// FormShow: the focus starts on "&Abrir Processo".
void TForm1::FormShow() { BitBtn1->setFocus(Qt::OtherFocusReason); }

// Enter (either key, no modifier) on a focused button clicks it.
bool TForm1::eventFilter(QObject* alvo, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    auto* tecla = static_cast<QKeyEvent*>(e);
    auto* botao = qobject_cast<QAbstractButton*>(alvo);
    bool enter = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
    if (botao && enter && !(tecla->modifiers() & ~Qt::KeypadModifier) && botao->isEnabled()) {
      botao->click();
      return true;
    }
  }
  return QMainWindow::eventFilter(alvo, e);
}

// The window is shown for the first time: FormShow.
void TForm1::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!mostrado_) {
    mostrado_ = true;
    FormShow();
  }
}

// Closing: FormClose rewrites the process file. A refused or failed rewrite would lose what was
// typed, so the user decides (another file, close without saving, or stay); any other error keeps
// the window open.
void TForm1::closeEvent(QCloseEvent* e) {
  bool fecha = false;
  Protege([&] { fecha = proposta_.PodeFechar(); });
  AtualizaTela();
  if (fecha)
    e->accept();
  else
    e->ignore();
}

// The focus moved inside this window: an edit that was entered and lost the focus without a focus
// event saying so (it was moved while the window was inactive) is left now.
void TForm1::FocoMudou(QWidget* agora) {
  if (!agora || agora->window() != this) return;
  for (TEdit* e :
       {static_cast<TEdit*>(DBEdit1), static_cast<TEdit*>(DBEdit2), edtlicitante, MeditCNPJ})
    if (e != agora && e->Entrou()) e->Sai();
}

// Opens a process file as if chosen with "&Abrir Processo"; the brand edit gets the focus.
void TForm1::AbrirArquivo(const std::string& caminho) {
  Trata([&] {
    proposta_.AbrirNaJanela(caminho);
    AtualizaTela();
    DBEdit1->setFocus(Qt::OtherFocusReason);
  });
}

// "&Abrir Processo": the file dialog, then the reading; when a file was read the brand edit gets
// the focus. A file that cannot be read leaves the table and the path as they were.
void TForm1::BitBtn1Click() {
  Trata([&] {
    long antes = notificacoes_;
    proposta_.BitBtn1Click();
    if (notificacoes_ != antes) {
      AtualizaTela();
      DBEdit1->setFocus(Qt::OtherFocusReason);
    }
  });
}

// "Relatório": the item listing, through the connection point aoRelatorio.
void TForm1::BitBtn2Click() {
  Trata([&] {
    if (aoRelatorio) aoRelatorio();
  });
}

// "&Gerar Arquivo": the check, the company name, the proposal file and its message.
void TForm1::BitBtn3Click() {
  Trata([&] { proposta_.BitBtn3Click(); });
}

// "Ajuda": the user guide under the maker's address, opened by the desktop's handler; when none
// opens it, the user is told so and given the address to copy.
void TForm1::BitBtn4Click() {
  Trata([&] {
    const std::string endereco = EnderecoAjuda();
    if (!platform::current().openUrl(endereco))
      platform::current().showMessage(
          "A ajuda n\xE3o p\xF4"
          "de ser aberta: nenhum programa do sistema abriu o endere\xE7o abaixo.\r"
          "Copie o endere\xE7o e abra-o no navegador:\r\r" +
          endereco);
  });
}

// The help document's address.
std::string TForm1::EnderecoAjuda() {
  return std::string(kEnderecoFabricante) + "/Arquivos/Ajuda/programa_proposta_fornecedor.pdf";
}

// "&Assinar Docum. Dig.": document signing, through the connection point aoAssinar.
void TForm1::BitBtn5Click() {
  Trata([&] {
    if (aoAssinar) aoAssinar();
  });
}

// The proposal total on btn1.
void TForm1::btn1Click() {
  Trata([&] { proposta_.btn1Click(); });
}

// Brand key: Enter moves to the price; every character the brand does not take is discarded.
void TForm1::DBEdit1KeyPress(char& key) {
  if (key == '\r') DBEdit2->setFocus(Qt::OtherFocusReason);
  if (!app::MarcaAceitaCaractere(key)) key = 0;
}

// Brand text changed: the refused characters are removed from the edit.
void TForm1::DBEdit1Change() {
  std::string texto = platform::fromQString(DBEdit1->text());
  std::string limpo = app::RemoveCaracteres(texto);
  if (limpo != texto || platform::toQString(texto) != DBEdit1->text())
    DBEdit1->setText(platform::toQString(limpo));
}

// Price key: Enter stores 0 for an empty price, moves to the next item (posting this one) and
// gives the focus back to the brand.
void TForm1::DBEdit2KeyPress(char& key) {
  if (key != '\r') return;
  TTabelaItens& t = proposta_.ClientDataSet1;
  bool semLinhas = t.Aberta() && t.Vazia();
  if (DBEdit2->text().isEmpty() && !semLinhas) {
    if (t.EstadoAtual() != TTabelaItens::Estado::Editando) t.Edita();
    t.AtribuiDouble(Campo::valor, 0.0);
    DBEdit2->MostraCampo();
  }
  if (!semLinhas) t.Proximo();
  AtualizaTela();
  DBEdit1->setFocus(Qt::OtherFocusReason);
}

// Focus arrives at a marked edit: yellow, or on to the next control when it is read-only.
void TForm1::DBEditEnter(QWidget* sender) {
  std::string classe = sender->property("nomeClasse").toByteArray().toStdString();
  switch (app::DBEditEnter(classe, SomenteLeitura(sender))) {
    case app::AcaoFocoEntrada::Amarelo:
      DefineCorFundo(sender, CorFoco());
      break;
    case app::AcaoFocoEntrada::ProximoControle:
      focusNextChild();
      break;
    case app::AcaoFocoEntrada::Nada:
      break;
  }
}

// Focus leaves a marked edit: the window colour comes back.
void TForm1::DBEditExit(QWidget* sender) {
  std::string classe = sender->property("nomeClasse").toByteArray().toStdString();
  if (app::DBEditExit(classe, SomenteLeitura(sender)) == app::AcaoFocoSaida::CorJanela)
    DefineCorFundo(sender, CorJanela());
}

// The table's current row or data changed (also while writers walk it): the edits no longer
// count as modified, the grid takes a new row count at once, everything else is refreshed later.
void TForm1::DataSource1DataChange() {
  ++notificacoes_;
  DBEdit1->DescartaModificacao();
  DBEdit2->DescartaModificacao();
  if (modelo_->Desatualizado()) modelo_->Reinicia();
  AgendaAtualizacao();
}

// Update data: the edited brand and price go into the row about to be posted.
void TForm1::AoEscreverControles() {
  DBEdit1->EscreveNoCampo();
  DBEdit2->EscreveNoCampo();
}

// The focus left an edited control: its text goes into the row now (not posted); a refused price
// comes back as the error text.
std::optional<std::string> TForm1::GravaControlesNaSaida() {
  try {
    proposta_.DataSource1UpdateData();
    AgendaAtualizacao();
    return std::nullopt;
  } catch (const base::Exception& e) {
    return e.Mensagem();
  }
}

// Ctrl+Delete in the grid: "Delete record?" (OK / Cancel), then the current item goes.
void TForm1::DBGrid1Delete() {
  Trata([&] {
    TTabelaItens& t = proposta_.ClientDataSet1;
    if (!t.Aberta() || t.Vazia()) return;
    if (platform::current().messageBox("Delete record?", "Confirm",
                                       platform::mb::OKCANCEL | platform::mb::ICONQUESTION) ==
        platform::mb::IDOK)
      t.Apaga();
  });
}

// The user made another grid row current: the table moves there (posting an edited row first).
void TForm1::GradeMudouLinha(int linha) {
  TTabelaItens& t = proposta_.ClientDataSet1;
  if (!t.Aberta() || linha + 1 == t.NumeroLinha()) return;
  // An edit that refused its text when the focus left it shows that error itself: the row stays.
  if (DBEdit1->RecusaPendente() || DBEdit2->RecusaPendente()) {
    AgendaAtualizacao();
    return;
  }
  Trata([&] { t.IrParaLinha(linha + 1); });
}

// The progress bar follows the writers, repainting at most every 50 ms.
void TForm1::AoMudarProgresso() {
  const app::BarraProgresso& b = proposta_.progresso;
  int maximo = std::max(b.maximo, b.minimo + 1);
  if (FProgresso->minimum() != b.minimo || FProgresso->maximum() != maximo)
    FProgresso->setRange(b.minimo, maximo);
  bool pinta = !relogioProgresso_.isValid() || relogioProgresso_.elapsed() >= 50 ||
               b.posicao >= b.maximo || b.posicao <= b.minimo;
  if (FProgresso->isHidden() == b.visivel) {
    FProgresso->setVisible(b.visivel);
    pinta = true;
  }
  if (pinta && FProgresso->value() != b.posicao) {
    FProgresso->setValue(b.posicao);
    relogioProgresso_.restart();
  }
}

// The bidder name as typed.
std::string TForm1::Licitante() const { return platform::fromQString(edtlicitante->text()); }

// The CNPJ's characters (0-9 and A-Z), without the mask's literals.
std::string TForm1::CNPJ() const {
  std::string d;
  for (QChar c : MeditCNPJ->text())
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z')) d += static_cast<char>(c.unicode());
  return d;
}

}  // namespace app::forms
