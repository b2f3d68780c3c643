// "Importar planilha": the sheet chosen, its worksheet asked when there are several, its columns
// asked (with the first rows shown) unless it is our own sheet, the rows read with the progress
// window (Cancelar stops the reading), then the shared review; nothing changes before the user
// applies, and "Desfazer alterações" undoes the whole import.
#include <QApplication>
#include <QInputDialog>
#include <QProgressBar>
#include <algorithm>
#include <filesystem>

#include "app/forms/JanelaPlanilha.h"
#include "app/forms/TRevisaoAlteracoes.h"
#include "app/forms/proposta.h"
#include "planilha/MemoriaColunas.h"
#include "planilha/Revisao.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"
#include "report/RDestado.h"
#include "report/forms/RDProgresso.h"

namespace app::forms {

namespace {

constexpr size_t kPrimeirasLinhas = 30;

// The sheet file the user picks, starting in the process file's folder.
std::optional<std::string> EscolheArquivo(const TProposta& p) {
  platform::FileDialogOptions d{
      "Importar planilha",
      "Planilhas (*.xlsx;*.ods;*.csv)|*.xlsx;*.ods;*.csv|Pasta de trabalho do Excel "
      "(*.xlsx)|*.xlsx|Planilha OpenDocument (*.ods)|*.ods|Texto CSV (*.csv)|*.csv",
      std::filesystem::path(p.edit1).parent_path().string(), "", 0};
  auto escolhido = platform::current().chooseFileToOpen(d);
  if (!escolhido || escolhido->empty()) return std::nullopt;
  return escolhido;
}

// The worksheet to read: the only one, or the one the user picks; nullopt when cancelled or
// unreadable (the message shown).
std::optional<size_t> EscolheAba(TForm1& janela, const planilha::ArquivoPlanilha& arquivo) {
  std::vector<std::string> abas;
  if (auto e = arquivo.Abas(abas)) {
    platform::current().showMessage(e->mensagem);
    return std::nullopt;
  }
  if (abas.size() == 1) return 0;
  QStringList nomes;
  for (const std::string& a : abas) nomes << platform::toQString(a);
  QInputDialog d(&janela);
  d.setObjectName(QStringLiteral("EscolhaAba"));
  d.setWindowTitle(QStringLiteral("Importar planilha"));
  d.setLabelText(QStringLiteral("A planilha tem %1 folhas. De qual folha vêm as marcas e os "
                                "preços?")
                     .arg(nomes.size()));
  d.setComboBoxItems(nomes);
  d.setComboBoxEditable(false);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  const qsizetype i = nomes.indexOf(d.textValue());
  return i < 0 ? std::nullopt : std::optional<size_t>(static_cast<size_t>(i));
}

// The mapping: our own sheet's without a question; otherwise the column window, filled with the
// mapping remembered for the layout (or a guess from the titles), and the choice remembered.
std::optional<planilha::Mapeamento> EscolheMapeamento(TForm1& janela,
                                                      const planilha::ArquivoPlanilha& arquivo,
                                                      size_t aba) {
  std::vector<planilha::LinhaPlanilha> primeiras;
  if (auto e = planilha::PrimeirasLinhas(arquivo, aba, kPrimeirasLinhas, primeiras)) {
    platform::current().showMessage(e->mensagem);
    return std::nullopt;
  }
  if (auto proprio = planilha::LayoutProprio(primeiras)) return proprio;
  planilha::MemoriaColunas memoria;
  if (auto aviso = memoria.Carrega()) platform::current().showMessage(*aviso);
  const planilha::Mapeamento inicial = planilha::MapeamentoConhecido(primeiras, memoria)
                                           .value_or(planilha::MapeamentoSugerido(primeiras));
  TJanelaColunas colunas(primeiras, inicial, &janela);
  colunas.setWindowTitle(
      QStringLiteral("Colunas da planilha - ") +
      platform::pathToQString(std::filesystem::path(arquivo.nome()).filename().string()));
  if (colunas.exec() != QDialog::Accepted) return std::nullopt;
  const planilha::Mapeamento m = colunas.Escolhido();
  if (auto falha = planilha::LembraMapeamento(primeiras, m, memoria))
    platform::current().showMessage(*falha);
  return m;
}

// The progress window of a reading: shown once the sheet proves long, closed however the reading
// ends; Cancelar (confirmed) raises the cancel request the reading polls.
class ProgressoLeitura {
 public:
  ProgressoLeitura(std::string rotulo, int maximo) : rotulo_(std::move(rotulo)), maximo_(maximo) {
    report::EstadoRelatorio().cancelamento = false;
  }
  ~ProgressoLeitura() {
    if (janela_) janela_->Fecha();
  }
  ProgressoLeitura(const ProgressoLeitura&) = delete;
  ProgressoLeitura& operator=(const ProgressoLeitura&) = delete;

  // After `linhas` rows: the bar, pending messages, and whether to go on.
  bool Continua(long linhas) {
    if (!janela_) {
      janela_ = std::make_unique<report::forms::TDFMProgresso>();
      janela_->Mostra({"Lendo...", rotulo_, maximo_});
    }
    // A sheet longer than the process keeps the bar full: its end is not known in advance.
    janela_->ProgressBar1->setValue(static_cast<int>(std::min<long>(linhas, maximo_)));
    janela_->Repinta();
    platform::current().processMessages();
    return !report::EstadoRelatorio().cancelamento;
  }

 private:
  std::string rotulo_;
  int maximo_;
  std::unique_ptr<report::forms::TDFMProgresso> janela_;
};

}  // namespace

void ImportarPlanilha(TForm1& janela) {
  TProposta& p = janela.Proposta();
  TTabelaItens& t = p.ClientDataSet1;
  if (p.edit1.empty() || t.Vazia()) {
    platform::current().showMessage("Abra um processo antes de importar a planilha.");
    return;
  }
  t.IrParaLinha(t.NumeroLinha());  // a row being typed is posted: the review starts from it
  const std::optional<std::string> caminho = EscolheArquivo(p);
  if (!caminho) return;
  planilha::ArquivoPlanilha arquivo;
  if (auto e = planilha::ArquivoPlanilha::Abre(*caminho, arquivo)) {
    platform::current().showMessage(e->mensagem);
    return;
  }
  const std::optional<size_t> aba = EscolheAba(janela, arquivo);
  if (!aba) return;
  const std::optional<planilha::Mapeamento> m = EscolheMapeamento(janela, arquivo, *aba);
  if (!m) return;
  planilha::Importacao importacao;
  std::optional<planilha::ErroPlanilha> erro;
  {
    ProgressoLeitura progresso(
        platform::utf8ToCp1252(std::filesystem::path(*caminho).filename().string()), t.NumLinhas());
    erro = planilha::Importa(arquivo, *aba, *m, t, p.label5, importacao,
                             [&](long linhas) { return progresso.Continua(linhas); });
  }
  if (erro) {
    platform::current().showMessage(erro->mensagem);
    return;
  }
  if (!importacao.avisos.empty())
    platform::current().showMessage(planilha::TextoAvisos(importacao));
  RevisaEAplica(janela, importacao.alteracoes);
}

}  // namespace app::forms
