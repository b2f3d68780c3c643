// Which item each row of a sheet is and what it would change: our own sheet by item number with
// its code and product checked, a supplier's sheet by code or product name, several candidates
// never guessed between, refusals with the row number, and a sheet made for another process
// recognised as such.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "planilha/Amostras.h"
#include "planilha/Importacao.h"
#include "planilha/MemoriaColunas.h"
#include "support/Arquivos.h"

namespace {

using Situacao = app::SituacaoAlteracao;

struct Resultado {
  std::optional<planilha::ErroPlanilha> erro;
  planilha::Importacao imp;
};

Resultado Importa(const std::string& bytes, const app::TTabelaItens& tabela,
                  std::optional<planilha::Mapeamento> m = std::nullopt,
                  const std::string& processo = "2024/0015") {
  Resultado r;
  planilha::ArquivoPlanilha a;
  EXPECT_FALSE(planilha::ArquivoPlanilha::DeBytes(bytes, "precos.csv", a));
  if (!m) {
    std::vector<planilha::LinhaPlanilha> primeiras;
    EXPECT_FALSE(planilha::PrimeirasLinhas(a, 0, 20, primeiras));
    m = planilha::LayoutProprio(primeiras);
  }
  EXPECT_TRUE(m);
  if (m) r.erro = planilha::Importa(a, 0, *m, tabela, processo, r.imp);
  return r;
}

// The proposal for the item with this number (the one the sheet names, when there are two).
const app::AlteracaoItem* DoItem(const planilha::Importacao& imp, const std::string& ordem) {
  for (const auto& r : imp.alteracoes.itens)
    if (r.ordem == ordem && r.linhaTabela > 0) return &r;
  return nullptr;
}

// What the item would hold once the row is applied.
std::string MarcaFinal(const app::AlteracaoItem& r) {
  return r.marcaDepois.empty() ? r.marcaAntes : r.marcaDepois;
}
std::optional<app::Contagem> ValorFinal(const app::AlteracaoItem& r) {
  return r.valorDepois ? r.valorDepois : r.valorAntes;
}

const std::string kCabecalho =
    "Ordem;Lote;C\xC3\xB3"
    "digo;Produto;Descri\xC3\xA7\xC3\xA3o;Quantidade;Apura\xC3\xA7\xC3\xA3o;"
    "Marca;Valor unit\xC3\xA1rio;Valor total\r\n";

TEST(PlanilhaPropria, EachRowIsJudgedAndNothingIsGuessed) {
  app::TTabelaItens tabela;
  teste::CarregaTabela(teste::ProcessoDe(teste::ItensAmostra()), tabela);
  const std::string csv =
      kCabecalho +
      "1;1;007;Caneta esferogr\xC3\xA1"
      "fica azul;;100;1;Bic;1,50;\r\n"                                  // row 2: new
      "2;1;0123;L\xC3\xA1pis  preto n\xC2\xBA 2;;50;1;Faber;0,75;\r\n"  // row 3: same
      "3;2;C-3;\"Papel A4 \"\"75g\"\"; resma\";;10,5;1;;1.234;\r\n"     // row 4: ambiguous
      "4;2;XX;Grampeador;;3;1;Rapid;9;\r\n"                             // row 5: code edited
      "5;;55;Clips;;1000;1;ACM\xC3\x89;0,02;\r\n"                       // row 6: changed
      "99;;1;Outro;;1;1;X;1;\r\n";                                      // row 7: no item
  const Resultado r = Importa(csv, tabela);
  ASSERT_FALSE(r.erro) << r.erro->mensagem;
  const struct {
    const char* ordem;
    Situacao situacao;
    long linha;
    std::string marca;
    std::optional<app::Contagem> valor;
  } esperados[] = {
      {"1", Situacao::Nova, 2, "Bic", 15000},          {"2", Situacao::Igual, 3, "Faber", 7500},
      {"3", Situacao::Recusada, 4, "Chamex:", 229000}, {"4", Situacao::Igual, 0, "", 0},
      {"5", Situacao::Alterada, 6, "ACME", 200},
  };
  for (const auto& e : esperados) {
    SCOPED_TRACE(e.ordem);
    const app::AlteracaoItem* item = DoItem(r.imp, e.ordem);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->situacao, e.situacao) << item->motivo;
    EXPECT_EQ(item->linhaOrigem, e.linha);
    EXPECT_EQ(MarcaFinal(*item), e.marca);
    EXPECT_EQ(ValorFinal(*item), e.valor);
  }
  EXPECT_NE(DoItem(r.imp, "3")->motivo.find("amb\xEDguo"), std::string::npos);
  ASSERT_EQ(r.imp.alteracoes.itens.size(), 7u);  // the five items, then the two rows without one
  EXPECT_EQ(r.imp.alteracoes.itens[5].situacao, Situacao::SemCorrespondencia);
  EXPECT_EQ(r.imp.alteracoes.itens[5].linhaOrigem, 5);
  EXPECT_NE(r.imp.alteracoes.itens[5].motivo.find("XX"), std::string::npos);
  EXPECT_EQ(r.imp.alteracoes.itens[6].linhaOrigem, 7);
  EXPECT_TRUE(r.imp.avisos.empty());
}

TEST(PlanilhaPropria, MadeForAnotherProcessIsRefusedAndEditedCodesAreReported) {
  app::TTabelaItens tabela;
  teste::CarregaTabela(teste::ProcessoDe(teste::ItensAmostra()), tabela);
  const std::string csv = teste::Exporta(planilha::Formato::Csv, tabela);
  Resultado outro = Importa(csv, tabela, std::nullopt, "2024/0099");
  ASSERT_TRUE(outro.erro);
  EXPECT_NE(outro.erro->mensagem.find("processo 2024/0015"), std::string::npos);
  EXPECT_NE(outro.erro->mensagem.find("Nada foi alterado"), std::string::npos);

  Resultado igual = Importa(csv, tabela);
  ASSERT_FALSE(igual.erro);
  EXPECT_TRUE(igual.imp.avisos.empty());
  for (const auto& i : igual.imp.alteracoes.itens)
    EXPECT_EQ(i.situacao, Situacao::Igual) << i.ordem;

  std::string editada = csv;
  editada.replace(editada.find(";0123;"), 6, ";0124;");
  Resultado r = Importa(editada, tabela);
  ASSERT_FALSE(r.erro);
  ASSERT_EQ(r.imp.avisos.size(), 1u);
  EXPECT_EQ(r.imp.alteracoes.itens.back().situacao, Situacao::SemCorrespondencia);
}

TEST(PlanilhaDoFornecedor, MatchesByCodeOrNameAndNeverGuessesBetweenSeveral) {
  std::vector<teste::ItemAmostra> itens = teste::ItensAmostra();
  itens.push_back({"6", "44", "Grampeador grande", "", "1", "", "3"});  // code 44 twice
  app::TTabelaItens tabela;
  teste::CarregaTabela(teste::ProcessoDe(itens), tabela);
  const std::string csv =
      "Cod;Descr;Marca;Pre\xC3\xA7o\r\n"
      "007;x;Bic;R$ 1,20\r\n"
      "44;x;Rapid;10\r\n"
      "55;x;Acme;0,0125\r\n"
      "55;x;Acme;0,013\r\n";
  std::string erro;
  auto m = planilha::LeColunas("codigo=A,marca=C,valor=D", erro);
  ASSERT_TRUE(m) << erro;
  m->linhaCabecalho = 1;
  Resultado r = Importa(csv, tabela, m);
  ASSERT_FALSE(r.erro);
  EXPECT_EQ(DoItem(r.imp, "1")->situacao, Situacao::Nova);
  EXPECT_EQ(ValorFinal(*DoItem(r.imp, "1")), 12000);
  EXPECT_EQ(DoItem(r.imp, "4")->situacao, Situacao::Igual);  // not touched
  EXPECT_EQ(DoItem(r.imp, "5")->situacao, Situacao::Recusada);
  bool varias = false;
  for (const auto& i : r.imp.alteracoes.itens)
    varias |= i.situacao == Situacao::VariasCorrespondencias;
  EXPECT_TRUE(varias);

  const std::string porNome = "Produto;Marca;Valor\r\n  CANETA ESFEROGRAFICA   azul ;Bic;2\r\n";
  m = planilha::LeColunas("nome=A,marca=B,valor=C", erro);
  m->por = planilha::Criterio::Nome;
  m->linhaCabecalho = 1;
  r = Importa(porNome, tabela, m);
  ASSERT_FALSE(r.erro);
  EXPECT_EQ(ValorFinal(*DoItem(r.imp, "1")), 20000);
}

TEST(Colunas, TextsAndHeaderGuess) {
  std::string erro;
  const auto m = planilha::LeColunas("codigo=A,marca=h,valor=AA", erro);
  ASSERT_TRUE(m);
  EXPECT_EQ(*m->codigo, 0);
  EXPECT_EQ(*m->marca, 7);
  EXPECT_EQ(*m->valor, 26);
  EXPECT_EQ(planilha::TextoColunas(*m), "codigo=A,marca=H,valor=AA");
  for (const char* ruim : {"codigo", "cor=A", "valor=1", "valor=ZZZZ"})
    EXPECT_FALSE(planilha::LeColunas(ruim, erro)) << ruim;
  const auto linhas = teste::Linhas(
      "Lista de pre\xC3\xA7os\r\nC\xC3\xB3"
      "d;Pre\xC3\xA7o\r\n1;2,50\r\n");
  planilha::Mapeamento c;
  c.codigo = 0;
  c.valor = 1;
  EXPECT_EQ(planilha::CabecalhoProvavel(linhas, c), 2);
}

TEST(Colunas, TheTitlesOfASuppliersSheetSuggestTheMapping) {
  const struct {
    const char* csv;
    const char* colunas;
    planilha::Criterio por;
    long cabecalho;
  } casos[] = {
      {"Lista de pre\xC3\xA7os\r\nC\xC3\xB3"
       "d.;Descri\xC3\xA7\xC3\xA3o;Marca;Pre\xC3\xA7o unit\xC3\xA1rio;Valor total\r\n1;x;y;2\r\n",
       "codigo=A,nome=B,marca=C,valor=D", planilha::Criterio::Codigo, 2},
      {"Item;PRODUTO;Fabricante;Valor total;Vl. unit.\r\n", "ordem=A,nome=B,marca=C,valor=E",
       planilha::Criterio::Nome, 1},
      {"Item;Pre\xC3\xA7o\r\n", "ordem=A,valor=B", planilha::Criterio::Ordem, 1},
      {"Codigo;Quantidade\r\n1;2\r\n", "", planilha::Criterio::Codigo, 0},  // no brand, no price
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.csv);
    const planilha::Mapeamento m = planilha::MapeamentoSugerido(teste::Linhas(c.csv));
    EXPECT_EQ(planilha::TextoColunas(m), c.colunas);
    EXPECT_EQ(m.por, c.por);
    EXPECT_EQ(m.linhaCabecalho, c.cabecalho);
  }
}

TEST(MemoriaColunas, RemembersByLayoutAndKeepsADamagedFileAside) {
  teste::PastaTemporaria pasta("colunas");
  const std::string caminho = pasta / "colunas.json";
  planilha::Mapeamento m;
  m.codigo = 2;
  m.valor = 5;
  m.por = planilha::Criterio::Codigo;
  m.linhaCabecalho = 3;
  {
    planilha::MemoriaColunas memoria(caminho);
    EXPECT_FALSE(memoria.Carrega());
    memoria.Lembra(
        "c\xF3"
        "d|pre\xE7o|",
        m);
    EXPECT_FALSE(memoria.Grava());
  }
  planilha::MemoriaColunas relida(caminho);
  EXPECT_FALSE(relida.Carrega());
  EXPECT_EQ(relida.Procura("c\xF3"
                           "d|pre\xE7o|"),
            m);
  EXPECT_FALSE(relida.Procura("outra|"));

  teste::Grava(caminho, "{\"layouts\": [1,");
  planilha::MemoriaColunas danificada(caminho);
  const auto aviso = danificada.Carrega();
  ASSERT_TRUE(aviso);
  EXPECT_NE(aviso->find("danificado"), std::string::npos);
  const auto nomes = teste::Nomes(pasta.caminho());
  ASSERT_EQ(nomes.size(), 1u);
  EXPECT_EQ(nomes[0].rfind("colunas.json.danificado-", 0), 0u);
  EXPECT_EQ(teste::Le(pasta / nomes[0]), "{\"layouts\": [1,");
}

}  // namespace
