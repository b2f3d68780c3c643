#include "app/forms/AssinaturaDocumentos.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/forms/proposta.h"
#include "platform/Clock.h"
#include "platform/qt/QtTexto.h"
#include "signing/AssinaDocumento.h"
#include "signing/Token.h"

namespace app::forms {

namespace {

QString Q(const std::string& cp1252) { return platform::toQString(cp1252); }

// A line edit with a button beside it.
QWidget* ComBotao(QLineEdit* campo, QPushButton* botao) {
  auto* w = new QWidget;
  auto* l = new QHBoxLayout(w);
  l->setContentsMargins(0, 0, 0, 0);
  l->addWidget(campo, 1);
  l->addWidget(botao);
  return w;
}

}  // namespace

TFormAssinatura::TFormAssinatura(const std::vector<std::string>& documentos, QWidget* parent)
    : QDialog(parent) {
  setObjectName("FormAssinatura");
  setWindowTitle(QStringLiteral("Assinar documentos"));
  CriaControles();
  for (const auto& d : documentos) AdicionaDocumento(d);
  for (const auto& m : signing::ModulosConhecidos()) modulo->addItem(platform::pathToQString(m));
  // Typing or choosing a module chooses the token; filling the list above does not.
  connect(modulo, &QComboBox::editTextChanged, opcaoToken,
          [this] { opcaoToken->setChecked(true); });
}

TFormAssinatura::~TFormAssinatura() = default;

// The controls, top to bottom: documents, certificate, holder, results, buttons.
void TFormAssinatura::CriaControles() {
  auto* raiz = new QVBoxLayout(this);
  auto* docs = new QGroupBox(QStringLiteral("&Documentos a assinar"));
  auto* ld = new QVBoxLayout(docs);
  listaDocumentos = new QListWidget;
  botaoAdicionar = new QPushButton(QStringLiteral("A&dicionar arquivo..."));
  ld->addWidget(listaDocumentos);
  ld->addWidget(botaoAdicionar, 0, Qt::AlignLeft);
  raiz->addWidget(docs);

  auto* cert = new QGroupBox(QStringLiteral("Certificado"));
  auto* g = new QGridLayout(cert);
  opcaoA1 = new QRadioButton(QStringLiteral("Arquivo &A1 (.pfx, .p12):"));
  arquivoA1 = new QLineEdit;
  botaoProcurarA1 = new QPushButton(QStringLiteral("..."));
  senhaA1 = new QLineEdit;
  senhaA1->setEchoMode(QLineEdit::Password);
  opcaoToken = new QRadioButton(QStringLiteral("&Token ou cartão (A3), módulo PKCS#11:"));
  modulo = new QComboBox;
  modulo->setEditable(true);
  botaoProcurarModulo = new QPushButton(QStringLiteral("..."));
  botaoLerToken = new QPushButton(QStringLiteral("&Ler token"));
  certificadosToken = new QComboBox;
  pin = new QLineEdit;
  pin->setEchoMode(QLineEdit::Password);
  auto* moduloLinha = new QWidget;
  auto* lm = new QHBoxLayout(moduloLinha);
  lm->setContentsMargins(0, 0, 0, 0);
  lm->addWidget(modulo, 1);
  lm->addWidget(botaoProcurarModulo);
  lm->addWidget(botaoLerToken);
  auto rotulo = [](const char* t, QWidget* buddy) {
    auto* l = new QLabel(QString::fromUtf8(t));
    l->setBuddy(buddy);
    return l;
  };
  g->addWidget(opcaoA1, 0, 0, 1, 2);
  g->addWidget(ComBotao(arquivoA1, botaoProcurarA1), 1, 1);
  g->addWidget(rotulo("S&enha do arquivo:", senhaA1), 2, 0);
  g->addWidget(senhaA1, 2, 1);
  g->addWidget(opcaoToken, 3, 0, 1, 2);
  g->addWidget(moduloLinha, 4, 1);
  g->addWidget(rotulo("&Certificado:", certificadosToken), 5, 0);
  g->addWidget(certificadosToken, 5, 1);
  g->addWidget(rotulo("&PIN:", pin), 6, 0);
  g->addWidget(pin, 6, 1);
  raiz->addWidget(cert);

  titular = new QLabel;
  titular->setWordWrap(true);
  titular->setTextInteractionFlags(Qt::TextSelectableByMouse);
  raiz->addWidget(titular);
  resultado = new QPlainTextEdit;
  resultado->setReadOnly(true);
  raiz->addWidget(resultado);
  auto* botoes = new QHBoxLayout;
  botaoAssinar = new QPushButton(QStringLiteral("&Assinar"));
  botaoAssinar->setDefault(true);
  auto* fechar = new QPushButton(QStringLiteral("&Fechar"));
  botoes->addStretch();
  botoes->addWidget(botaoAssinar);
  botoes->addWidget(fechar);
  raiz->addLayout(botoes);
  opcaoA1->setChecked(true);
  resize(640, 560);

  connect(fechar, &QPushButton::clicked, this, &QDialog::reject);
  connect(botaoAssinar, &QPushButton::clicked, this, &TFormAssinatura::Assina);
  connect(botaoLerToken, &QPushButton::clicked, this, &TFormAssinatura::LeToken);
  connect(senhaA1, &QLineEdit::returnPressed, this, &TFormAssinatura::LeArquivoA1);
  connect(arquivoA1, &QLineEdit::textEdited, opcaoA1, [this] { opcaoA1->setChecked(true); });
  connect(certificadosToken, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (sessao_ && i >= 0 && size_t(i) < sessao_->Certificados().size())
      MostraTitular(&sessao_->Certificados()[size_t(i)].titular);
  });
  connect(botaoAdicionar, &QPushButton::clicked, this, [this] {
    for (const QString& f :
         QFileDialog::getOpenFileNames(this, QStringLiteral("Adicionar documentos")))
      AdicionaDocumento(platform::pathFromQString(f));
  });
  connect(botaoProcurarA1, &QPushButton::clicked, this, [this] {
    QString f = QFileDialog::getOpenFileName(this, QStringLiteral("Certificado A1"), QString(),
                                             QStringLiteral("Certificados (*.pfx *.p12)"));
    if (f.isEmpty()) return;
    arquivoA1->setText(f);
    opcaoA1->setChecked(true);
    senhaA1->setFocus();
  });
  connect(botaoProcurarModulo, &QPushButton::clicked, this, [this] {
    QString f = QFileDialog::getOpenFileName(this, QStringLiteral("Módulo PKCS#11 do token"),
                                             QStringLiteral("/usr/lib"),
                                             QStringLiteral("Bibliotecas (*.so *.so.*)"));
    if (f.isEmpty()) return;
    modulo->setCurrentText(f);
    LeToken();
  });
}

// Checked, once.
void TFormAssinatura::AdicionaDocumento(const std::string& caminho) {
  QString q = platform::pathToQString(caminho);
  for (int i = 0; i < listaDocumentos->count(); ++i)
    if (listaDocumentos->item(i)->data(Qt::UserRole).toString() == q) return;
  auto* item = new QListWidgetItem(QFileInfo(q).fileName() + "  (" + QFileInfo(q).path() + ")");
  item->setData(Qt::UserRole, q);
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(Qt::Checked);
  listaDocumentos->addItem(item);
}

// A line in the results.
void TFormAssinatura::Registra(const std::string& linha) {
  resultado->appendPlainText(platform::toQStringLinhas(linha));
}

// The holder, document, issuer and validity; or nothing.
void TFormAssinatura::MostraTitular(const signing::DadosTitular* t) {
  if (!t) {
    titular->clear();
    return;
  }
  std::string doc = t->Documento();
  titular->setText(Q("Titular: " + t->nome + (doc.empty() ? "" : " - " + doc) +
                     "\nEmitido por: " + t->emissor + "\nV\xE1lido at\xE9: " + t->VenceEm()));
}

// Loads the module and lists its certificates; a module given by the user is remembered once it
// loads.
void TFormAssinatura::LeToken() {
  opcaoToken->setChecked(true);
  certificadosToken->clear();
  MostraTitular(nullptr);
  const std::string caminho = platform::pathFromQString(modulo->currentText().trimmed());
  signing::ErroAssinatura erro;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  sessao_ = signing::SessaoToken::Abre(caminho, erro);
  QApplication::restoreOverrideCursor();
  if (!sessao_) {
    Registra(erro.mensagem);
    return;
  }
  std::string aviso;
  if (!signing::LembraModulo(caminho, aviso)) Registra(aviso);
  for (const auto& c : sessao_->Certificados())
    certificadosToken->addItem(
        Q(c.titular.nome + " " + c.titular.Documento() + " (" + c.token + ")"));
  pin->setFocus();
}

// The A1 file's holder, without signing.
void TFormAssinatura::LeArquivoA1() {
  signing::Assinante a;
  signing::ErroAssinatura erro;
  if (signing::CarregaA1(platform::pathFromQString(arquivoA1->text()),
                         platform::fromQString(senhaA1->text()), a, erro))
    MostraTitular(&a.titular);
  else
    Registra(erro.mensagem);
}

// The chosen certificate, ready to sign, its validity checked; false after the message.
bool TFormAssinatura::ObtemAssinante(signing::Assinante& a) {
  signing::ErroAssinatura erro;
  bool ok;
  if (opcaoA1->isChecked()) {
    ok = signing::CarregaA1(platform::pathFromQString(arquivoA1->text()),
                            platform::fromQString(senhaA1->text()), a, erro);
  } else if (!sessao_ || certificadosToken->currentIndex() < 0) {
    ok = signing::Falhou(erro, signing::Falha::SemToken,
                         "Escolha o m\xF3"
                         "dulo do token e clique em \"Ler token\".");
  } else {
    ok = signing::SessaoToken::Entra(sessao_, size_t(certificadosToken->currentIndex()),
                                     platform::fromQString(pin->text()), a, erro);
  }
  pin->clear();
  if (!ok) {
    Registra(erro.mensagem);
    return false;
  }
  MostraTitular(&a.titular);
  std::string aviso;
  if (!signing::VerificaValidade(a.titular, platform::nowSeconds(), aviso, erro)) {
    Registra(erro.mensagem);
    return false;
  }
  if (!aviso.empty()) Registra(aviso);
  return true;
}

// Each checked document in turn, with progress and a way to stop between documents.
void TFormAssinatura::Assina() {
  std::vector<std::string> docs;
  for (int i = 0; i < listaDocumentos->count(); ++i)
    if (listaDocumentos->item(i)->checkState() == Qt::Checked)
      docs.push_back(
          platform::pathFromQString(listaDocumentos->item(i)->data(Qt::UserRole).toString()));
  if (docs.empty()) {
    Registra("Marque os documentos a assinar.");
    return;
  }
  signing::Assinante a;
  if (!ObtemAssinante(a)) return;
  QProgressDialog progresso(QStringLiteral("Assinando..."), QStringLiteral("&Parar"), 0,
                            int(docs.size()), this);
  progresso.setWindowModality(Qt::WindowModal);
  progresso.setMinimumDuration(500);
  int assinados = 0;
  for (size_t i = 0; i < docs.size() && !progresso.wasCanceled(); ++i) {
    progresso.setValue(int(i));
    const std::string nome = platform::fromQString(platform::pathToQString(docs[i]));
    signing::ErroAssinatura erro;
    if (signing::AssinaDocumento(a, docs[i], erro)) {
      ++assinados;
      Registra(nome + ": assinado em " +
               platform::fromQString(platform::pathToQString(signing::CaminhoAssinado(docs[i]))));
    } else {
      Registra(nome + ": " + erro.mensagem);
    }
  }
  progresso.setValue(int(docs.size()));
  Registra(std::to_string(assinados) + " de " + std::to_string(docs.size()) +
           " documento(s) assinado(s).");
}

// The process's folder PDFs and its proposal file are proposed.
void AbreAssinaturaDocumentos(TForm1& janela) {
  app::TProposta& p = janela.Proposta();
  std::vector<std::string> docs;
  if (!p.edit1.empty()) docs = signing::DocumentosParaAssinar(p.edit1, p.CaminhoUltimaProposta());
  TFormAssinatura janelaAssinatura(docs, &janela);
  janelaAssinatura.exec();
}

}  // namespace app::forms
