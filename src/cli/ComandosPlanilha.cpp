// proposta-cli's spreadsheet commands: planilha (the items written as a sheet to fill in) and
// importar (brands and prices read back from a sheet, shown as a review, applied on request).
#include <cstdio>

#include "app/Alteracoes.h"
#include "app/Proposta.h"
#include "base/Erros.h"
#include "base/Formato.h"
#include "cli/Comandos.h"
#include "cli/ProcessoCli.h"
#include "planilha/Exportacao.h"
#include "planilha/Importacao.h"
#include "planilha/MemoriaColunas.h"
#include "planilha/Revisao.h"
#include "planilha/Valores.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"

namespace cli {

namespace {

constexpr const char* kUsoPlanilha = "planilha ARQUIVO.xml --saida PLANILHA.xlsx|.ods|.csv";
constexpr const char* kUsoImportar =
    "importar ARQUIVO.xml --planilha PLANILHA [--aba N|NOME] [--colunas codigo=A,marca=H,valor=I] "
    "[--por ordem|codigo|nome] [--aplicar]";

int Planilha(std::vector<std::string> args) {
  PlataformaTerminal terminal;
  platform::ScopedPlatform usa(terminal);
  std::string saida;
  if (!Opcao(args, "--saida", saida)) {
    Erro(std::string("uso: proposta-cli ") + kUsoPlanilha);
    return kErro;
  }
  app::TProposta p;
  if (!AbreProcesso(args, p, kUsoPlanilha)) return kErro;
  std::string erro;
  if (!planilha::ExportaArquivo(saida, p.ClientDataSet1, p.label5, erro)) {
    Erro(erro);
    return kErro;
  }
  Saida(platform::utf8ToCp1252("Planilha gravada em " + saida + " (") +
        std::to_string(p.ClientDataSet1.NumLinhas()) + " itens).");
  return kSucesso;
}

// The worksheet named by --aba (a 1-based number or a name); the only one when there is one.
std::optional<size_t> EscolheAba(const planilha::ArquivoPlanilha& a, const std::string& pedida) {
  std::vector<std::string> abas;
  if (auto e = a.Abas(abas)) {
    Erro(e->mensagem);
    return std::nullopt;
  }
  for (size_t i = 0; i < abas.size() && !pedida.empty(); ++i)
    if (std::to_string(i + 1) == pedida || abas[i] == platform::utf8ToCp1252(pedida)) return i;
  if (pedida.empty() && abas.size() == 1) return 0;
  std::string lista;
  for (size_t i = 0; i < abas.size(); ++i) lista += "\r  " + std::to_string(i + 1) + ": " + abas[i];
  Erro((pedida.empty()
            ? std::string("A planilha tem v\xE1rias folhas; diga qual com --aba:")
            : "A folha \"" + platform::utf8ToCp1252(pedida) + "\" n\xE3o existe. Folhas:") +
       lista);
  return std::nullopt;
}

// The first rows as the user sees them, column by column.
std::string Amostra(const std::vector<planilha::LinhaPlanilha>& primeiras) {
  std::string amostra;
  for (size_t i = 0; i < primeiras.size() && i < 5; ++i) {
    amostra += "\r  linha " + std::to_string(primeiras[i].linha) + ":";
    for (size_t c = 0; c < primeiras[i].celulas.size() && c < 12; ++c)
      amostra += " " + planilha::NomeColuna(static_cast<int>(c)) + "=" +
                 planilha::TextoDaCelula(primeiras[i].celulas[c]);
  }
  return amostra;
}

// The mapping: as given, our own sheet's, or the one remembered for the layout.
std::optional<planilha::Mapeamento> EscolheMapeamento(const planilha::ArquivoPlanilha& a,
                                                      size_t aba, std::vector<std::string>& args) {
  std::vector<planilha::LinhaPlanilha> primeiras;
  if (auto e = planilha::PrimeirasLinhas(a, aba, 30, primeiras)) {
    Erro(e->mensagem);
    return std::nullopt;
  }
  std::string colunas, por, erro;
  const bool deu = Opcao(args, "--colunas", colunas);
  const bool deuPor = Opcao(args, "--por", por);
  std::optional<planilha::Criterio> criterio;
  if (deuPor && !(criterio = planilha::CriterioDoNome(por))) {
    Erro("--por deve ser ordem, codigo ou nome.");
    return std::nullopt;
  }
  planilha::MemoriaColunas memoria;
  if (auto aviso = memoria.Carrega()) Erro(*aviso);
  std::optional<planilha::Mapeamento> m;
  if (deu) {
    if (!(m = planilha::LeColunas(colunas, erro))) {
      Erro(platform::utf8ToCp1252("--colunas: ") + erro);
      return std::nullopt;
    }
    m->por = criterio    ? *criterio
             : m->codigo ? planilha::Criterio::Codigo
             : m->ordem  ? planilha::Criterio::Ordem
                         : planilha::Criterio::Nome;
    m->linhaCabecalho = planilha::CabecalhoProvavel(primeiras, *m);
    if (planilha::FaltaNoMapeamento(*m).empty())
      if (auto falha = planilha::LembraMapeamento(primeiras, *m, memoria)) Erro(*falha);
    return m;
  }
  if ((m = planilha::MapeamentoConhecido(primeiras, memoria))) {
    if (criterio) m->por = *criterio;
    return m;
  }
  // The titles may already say which columns they are: the command to confirm them.
  const planilha::Mapeamento sugerido = planilha::MapeamentoSugerido(primeiras);
  const std::string dica = planilha::FaltaNoMapeamento(sugerido).empty()
                               ? "\rPelos t\xEDtulos: --colunas " +
                                     planilha::TextoColunas(sugerido) + " --por " +
                                     planilha::NomeCriterio(sugerido.por)
                               : std::string();
  Erro(
      "N\xE3o \xE9 uma planilha exportada por este programa e suas colunas ainda n\xE3o foram "
      "informadas: diga quais s\xE3o com --colunas codigo=A,marca=H,valor=I (e --por)." +
      Amostra(primeiras) + dica);
  return std::nullopt;
}

int Importar(std::vector<std::string> args) {
  PlataformaTerminal terminal;
  platform::ScopedPlatform usa(terminal);
  std::string caminho, aba;
  const bool aplicar = Bandeira(args, "--aplicar");
  Opcao(args, "--aba", aba);
  if (!Opcao(args, "--planilha", caminho)) {
    Erro(std::string("uso: proposta-cli ") + kUsoImportar);
    return kErro;
  }
  planilha::ArquivoPlanilha arquivo;
  if (auto e = planilha::ArquivoPlanilha::Abre(caminho, arquivo)) {
    Erro(e->mensagem);
    return kErro;
  }
  const std::optional<size_t> folha = EscolheAba(arquivo, aba);
  if (!folha) return kErro;
  const std::optional<planilha::Mapeamento> m = EscolheMapeamento(arquivo, *folha, args);
  if (!m) return kErro;
  app::TProposta p;
  if (!AbreProcesso(args, p, kUsoImportar)) return kErro;
  planilha::Importacao importacao;
  if (auto e = planilha::Importa(arquivo, *folha, *m, p.ClientDataSet1, p.label5, importacao)) {
    Erro(e->mensagem);
    return kErro;
  }
  std::string revisao = planilha::TextoRevisao(p.ClientDataSet1, importacao);
  revisao.pop_back();  // the last line's end: Saida ends the line
  Saida(revisao);
  if (!aplicar) return kSucesso;
  app::AplicaAlteracoes(p, importacao.alteracoes);
  if (p.FormClose() == app::TProposta::Fechamento::Recusado) return kRecusa;
  Saida("Marcas e pre\xE7os da planilha gravados em " + platform::utf8ToCp1252(p.edit1) + ".");
  return kSucesso;
}

Registro planilha_(
    {"planilha", kUsoPlanilha,
     "    Grava os itens como planilha para preencher (uma linha por item, na ordem da\n"
     "    tabela): s\xC3\xB3 as c\xC3\xA9lulas de marca e valor ficam livres. O formato vem da\n"
     "    extens\xC3\xA3o: .xlsx, .ods ou .csv (\";\" e UTF-8, como o Excel brasileiro abre).",
     Planilha});
Registro importar(
    {"importar", kUsoImportar,
     "    L\xC3\xAA marcas e pre\xC3\xA7os de uma planilha e mostra a revis\xC3\xA3o (atual, "
     "proposto,\n"
     "    situa\xC3\xA7\xC3\xA3o de cada item). Sem --aplicar nada \xC3\xA9 gravado; com ele os "
     "valores\n"
     "    aceitos entram nos itens e o arquivo \xC3\xA9 regravado como em regravar. As colunas\n"
     "    de uma planilha que n\xC3\xA3o foi exportada por este programa v\xC3\xAAm de --colunas "
     "e\n"
     "    ficam lembradas para a pr\xC3\xB3xima planilha igual.",
     Importar});

}  // namespace

}  // namespace cli
