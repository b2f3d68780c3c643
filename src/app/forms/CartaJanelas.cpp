// Windows of the written proposal: thin dialogs over the profiles, the terms, the letter and the
// check of the Qt-free core.
#include "app/forms/CartaJanelas.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <map>

#include "app/CartaProposta.h"
#include "app/Conferencia.h"
#include "app/Documentos.h"
#include "app/RegrasEntrada.h"
#include "app/forms/TEdit.h"
#include "app/forms/proposta.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"

namespace app::forms {

namespace {

using platform::fromQString;
using platform::toQString;

// True (after a message) when a process is open.
bool ProcessoAberto(TForm1& janela) {
  if (!janela.Proposta().edit1.empty()) return true;
  platform::current().showMessage("Selecione um arquivo de processo!");
  return false;
}

// The terms of the open process; a damaged file is reported.
TermosProposta TermosDaJanela(TForm1& janela) {
  const TermosLidos t = LeTermos(janela.Proposta().label5, janela.Proposta().memo2);
  if (!t.erro.empty()) platform::current().showMessage(t.erro);
  return t.termos;
}

// Keeps the terms of the open process; false (after the message) when refused.
bool GuardaTermos(TForm1& janela, const TermosProposta& t) {
  if (auto e = GravaTermos(janela.Proposta().label5, janela.Proposta().memo2, t)) {
    platform::current().showMessage(*e);
    return false;
  }
  return true;
}

// The bidder and CNPJ edits take the chosen company.
void PreencheLicitante(TForm1& janela, const PerfilEmpresa& p) {
  janela.edtlicitante->setText(toQString(p.razaoSocial.substr(0, 40)));
  janela.MeditCNPJ->setText(toQString(MascaraCNPJ(NormalizaCNPJ(p.cnpj))));
}

// The profiles dialog's state: the list, one edit per field.
class DialogoPerfis : public QDialog {
 public:
  DialogoPerfis(TForm1& janela) : QDialog(&janela), janela_(janela) {
    setObjectName("DialogoPerfis");
    setWindowTitle(QStringLiteral("Perfis da empresa"));
    auto* lados = new QHBoxLayout(this);
    lista_ = new QListWidget(this);
    lista_->setObjectName("lista");
    lados->addWidget(lista_);
    auto* direita = new QVBoxLayout;
    auto* form = new QFormLayout;
    for (const CampoPerfil& c : CamposPerfil()) {
      auto* e = new QLineEdit(this);
      e->setObjectName(c.chave);
      e->setMaxLength(c.largura);
      form->addRow(toQString(std::string(c.rotulo) + ":"), e);
      edits_[c.chave] = e;
    }
    direita->addLayout(form);
    auto* botoes = new QHBoxLayout;
    const std::tuple<const char*, const char*, std::function<void()>> acoes[] = {
        {"&Novo", "novo", [this] { Novo(); }},
        {"&Gravar", "gravar", [this] { Gravar(); }},
        {"&Excluir", "excluir", [this] { Excluir(); }},
        {"&Usar nesta proposta", "usar", [this] { Usar(); }},
        {"&Fechar", "fechar", [this] { reject(); }},
    };
    for (const auto& [texto, nome, acao] : acoes) {
      auto* b = new QPushButton(QString::fromUtf8(texto), this);
      b->setObjectName(nome);
      b->setAutoDefault(false);
      connect(b, &QPushButton::clicked, this, acao);
      botoes->addWidget(b);
    }
    direita->addLayout(botoes);
    lados->addLayout(direita);
    connect(lista_, &QListWidget::currentRowChanged, this, &DialogoPerfis::Mostra);
    Recarrega(TermosDaJanela(janela).perfil);
  }

 private:
  void Recarrega(const std::string& escolher) {
    PerfisLidos lidos = LePerfis();
    if (!lidos.erro.empty()) platform::current().showMessage(lidos.erro);
    perfis_ = std::move(lidos.perfis);
    lista_->clear();
    int atual = perfis_.empty() ? -1 : 0;
    for (size_t i = 0; i < perfis_.size(); ++i) {
      lista_->addItem(toQString(perfis_[i].nome));
      if (&perfis_[i] == AchaPerfil(perfis_, escolher)) atual = static_cast<int>(i);
    }
    lista_->setCurrentRow(atual);
    if (atual < 0) Novo();
  }
  void Mostra(int linha) {
    if (linha < 0 || linha >= static_cast<int>(perfis_.size())) return;
    for (const CampoPerfil& c : CamposPerfil())
      edits_[c.chave]->setText(toQString(perfis_[static_cast<size_t>(linha)].*c.membro));
  }
  PerfilEmpresa Editado() const {
    PerfilEmpresa p;
    for (const CampoPerfil& c : CamposPerfil())
      p.*c.membro = fromQString(edits_.at(c.chave)->text());
    return p;
  }
  void Novo() {
    for (auto& [chave, e] : edits_) e->clear();
    edits_["nome"]->setFocus();
  }
  // Keeps the edited profile; false when refused (the message says why, the texts stay).
  bool Gravar() {
    const PerfilEmpresa p = Editado();
    std::string aviso;
    if (auto e = SalvaPerfil(p, &aviso)) {
      platform::current().showMessage(*e);
      return false;
    }
    if (!aviso.empty()) platform::current().showMessage(aviso);
    Recarrega(p.nome);
    return true;
  }
  void Excluir() {
    const int linha = lista_->currentRow();
    if (linha < 0) return;
    const std::string nome = perfis_[static_cast<size_t>(linha)].nome;
    if (platform::current().messageBox("Excluir o perfil \"" + nome + "\"?", "Confirme",
                                       platform::mb::YESNO | platform::mb::ICONQUESTION) !=
        platform::mb::IDYES)
      return;
    RemovePerfil(nome);
    Recarrega({});
  }
  // Keeps the profile, chooses it for the open process and fills the bidder and CNPJ edits.
  void Usar() {
    if (!Gravar() || !ProcessoAberto(janela_)) return;
    const PerfilEmpresa p = Editado();
    TermosProposta t = TermosDaJanela(janela_);
    t.perfil = p.nome;
    if (!GuardaTermos(janela_, t)) return;
    PreencheLicitante(janela_, p);
    accept();
  }

  TForm1& janela_;
  QListWidget* lista_;
  std::map<std::string, QLineEdit*> edits_;
  std::vector<PerfilEmpresa> perfis_;
};

// The terms dialog: one edit per text field, the numbers, the declarations one per paragraph.
class DialogoTermos : public QDialog {
 public:
  DialogoTermos(TForm1& janela) : QDialog(&janela), janela_(janela) {
    setObjectName("DialogoTermos");
    setWindowTitle(QStringLiteral("Termos da proposta"));
    const TermosProposta t = TermosDaJanela(janela);
    auto* form = new QFormLayout(this);
    for (const CampoTermos& c : CamposTermos()) {
      auto* e = new QLineEdit(toQString(t.*c.membro), this);
      e->setObjectName(c.chave);
      form->addRow(toQString(std::string(c.rotulo) + ":"), e);
      edits_[c.chave] = e;
    }
    validade_ = new QSpinBox(this);
    validade_->setObjectName("validade_dias");
    validade_->setRange(0, 3650);
    validade_->setValue(t.validadeDias);
    validade_->setSpecialValueText(QStringLiteral("não informada"));
    form->addRow(QStringLiteral("Validade (dias):"), validade_);
    casas_ = Escolha(kCasasPermitidas, t.casasDecimais, "casas_decimais");
    form->addRow(QStringLiteral("Casas decimais do edital:"), casas_);
    limite_ = Escolha(kLimitesMarca, t.limiteMarca, "limite_marca");
    form->addRow(QStringLiteral("Limite da marca no portal:"), limite_);
    declaracoes_ = new QPlainTextEdit(this);
    declaracoes_->setObjectName("declaracoes");
    std::string texto;
    for (const std::string& d : t.declaracoes) texto += (texto.empty() ? "" : "\r\r") + d;
    declaracoes_->setPlainText(platform::toQStringLinhas(texto));
    form->addRow(QStringLiteral("Declarações\n(uma por parágrafo):"), declaracoes_);
    auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* padrao =
        botoes->addButton(QStringLiteral("Gravar como &padrão"), QDialogButtonBox::ActionRole);
    padrao->setObjectName("padrao");
    connect(botoes, &QDialogButtonBox::accepted, this, [this] {
      if (GuardaTermos(janela_, Editados())) accept();
    });
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(padrao, &QPushButton::clicked, this, [this] {
      if (auto e = GravaTermosPadrao(Editados())) platform::current().showMessage(*e);
    });
    form->addRow(botoes);
  }

 private:
  template <size_t N>
  QComboBox* Escolha(const int (&valores)[N], int atual, const char* nome) {
    auto* c = new QComboBox(this);
    c->setObjectName(nome);
    for (int v : valores) c->addItem(QString::number(v), v);
    c->setCurrentIndex(std::max(0, c->findData(atual)));
    return c;
  }
  TermosProposta Editados() const {
    TermosProposta t;
    for (const CampoTermos& c : CamposTermos())
      t.*c.membro = fromQString(edits_.at(c.chave)->text());
    t.validadeDias = validade_->value();
    t.casasDecimais = casas_->currentData().toInt();
    t.limiteMarca = limite_->currentData().toInt();
    for (const QString& d : declaracoes_->toPlainText().split(QStringLiteral("\n\n"))) {
      const std::string s = fromQString(d.simplified());
      if (!s.empty()) t.declaracoes.push_back(s);
    }
    return t;
  }

  TForm1& janela_;
  std::map<std::string, QLineEdit*> edits_;
  QSpinBox* validade_;
  QComboBox *casas_, *limite_;
  QPlainTextEdit* declaracoes_;
};

// The profile chosen for the open process, or nothing (after a message saying what to do).
std::optional<DadosCarta> DadosDaJanela(TForm1& janela) {
  if (!ProcessoAberto(janela)) return std::nullopt;
  DadosCarta d;
  d.termos = TermosDaJanela(janela);
  d.numeroProcesso = janela.Proposta().label5;
  d.descricao = janela.Proposta().memo2;
  const PerfisLidos perfis = LePerfis();
  const PerfilEmpresa* p = AchaPerfil(perfis.perfis, d.termos.perfil);
  if (!p) {
    platform::current().showMessage(
        "Escolha o perfil da empresa desta proposta em Ferramentas, Perfis da empresa.");
    return std::nullopt;
  }
  d.perfil = *p;
  return d;
}

}  // namespace

void ComandoPerfis(TForm1& janela) {
  DialogoPerfis d(janela);
  d.exec();
}

void ComandoTermos(TForm1& janela) {
  if (!ProcessoAberto(janela)) return;
  DialogoTermos d(janela);
  d.exec();
}

void ComandoCarta(TForm1& janela) {
  const std::optional<DadosCarta> dados = DadosDaJanela(janela);
  if (!dados) return;
  report::TRDprint rd;
  ConfiguraCarta(rd, dados->numeroProcesso);
  TCartaProposta carta(rd, janela.Proposta().ClientDataSet1, *dados);
  carta.Emite();
}

void ComandoConferir(TForm1& janela) {
  const std::optional<DadosCarta> d = DadosDaJanela(janela);
  if (!d) return;
  const std::vector<Pendencia> achados =
      ConfereProposta(janela.Proposta().ClientDataSet1, d->perfil, d->termos);
  if (achados.empty()) {
    platform::current().showMessage("Nenhuma pend\xEAncia: a proposta pode ser enviada.");
    return;
  }
  QDialog caixa(&janela);
  caixa.setObjectName("DialogoConferencia");
  caixa.setWindowTitle(QStringLiteral("Conferir proposta"));
  auto* layout = new QVBoxLayout(&caixa);
  layout->addWidget(new QLabel(
      QStringLiteral("%1 pendência(s) antes do envio:").arg(static_cast<int>(achados.size())),
      &caixa));
  auto* lista = new QListWidget(&caixa);
  lista->setObjectName("pendencias");
  lista->setWordWrap(true);
  for (const Pendencia& p : achados) lista->addItem(toQString(TextoPendencia(p)));
  layout->addWidget(lista);
  auto* fechar = new QDialogButtonBox(QDialogButtonBox::Close, &caixa);
  QObject::connect(fechar, &QDialogButtonBox::rejected, &caixa, &QDialog::reject);
  layout->addWidget(fechar);
  caixa.resize(720, 360);
  caixa.exec();
}

void ConfereCNPJAoSair(TForm1& janela) {
  const std::string cnpj = janela.CNPJ();
  if (cnpj.empty()) return;
  if (auto e = RecusaCNPJ(cnpj)) platform::current().showMessage(*e);
}

}  // namespace app::forms
