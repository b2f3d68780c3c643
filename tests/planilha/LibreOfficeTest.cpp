// LibreOffice as the real client: our export opened by it and saved again as XLSX, ODS and CSV
// imports back to the same values, and a price list it saved (numbers, formulas, text prices,
// merged header cells, a hidden column, two worksheets) imports as the supplier expects. One
// soffice run per target format converts every input at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "planilha/Amostras.h"
#include "planilha/Importacao.h"
#include "support/Arquivos.h"

namespace {

using Situacao = app::SituacaoAlteracao;

// A price list as a supplier keeps it, in LibreOffice's flat XML: a cover sheet first, then the
// prices under a merged title, with a hidden cost column.
const char* const kListaFornecedor = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet>
<table:table table:name="Capa">
 <table:table-row><table:table-cell office:value-type="string"><text:p>Tabela de preços 2024</text:p></table:table-cell></table:table-row>
</table:table>
<table:table table:name="Preços">
 <table:table-column/><table:table-column table:visibility="collapse"/><table:table-column table:number-columns-repeated="3"/>
 <table:table-row>
  <table:table-cell table:number-columns-spanned="5" office:value-type="string"><text:p>Papelaria Exemplo - lista de preços</text:p></table:table-cell>
  <table:covered-table-cell table:number-columns-repeated="4"/>
 </table:table-row>
 <table:table-row>
  <table:table-cell office:value-type="string"><text:p>Código</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>Custo</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>Produto</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>Marca</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>Preço</text:p></table:table-cell>
 </table:table-row>
 <table:table-row>
  <table:table-cell office:value-type="string"><text:p>007</text:p></table:table-cell>
  <table:table-cell office:value-type="float" office:value="1"/>
  <table:table-cell office:value-type="string"><text:p>Caneta</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>Bic</text:p></table:table-cell>
  <table:table-cell office:value-type="float" office:value="1.5"/>
 </table:table-row>
 <table:table-row>
  <table:table-cell office:value-type="string"><text:p>0123</text:p></table:table-cell>
  <table:table-cell office:value-type="float" office:value="0.375"/>
  <table:table-cell office:value-type="string"><text:p>Lápis</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>Faber Castell</text:p></table:table-cell>
  <table:table-cell table:formula="of:=[.B4]*2" office:value-type="float" office:value="0.75"/>
 </table:table-row>
 <table:table-row>
  <table:table-cell office:value-type="string"><text:p>C-3</text:p></table:table-cell>
  <table:table-cell/>
  <table:table-cell office:value-type="string"><text:p>Papel</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>Chamex</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>R$ 22,90</text:p></table:table-cell>
 </table:table-row>
 <table:table-row>
  <table:table-cell office:value-type="string"><text:p>44</text:p></table:table-cell>
  <table:table-cell/>
  <table:table-cell office:value-type="string"><text:p>Grampeador</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>Rapid</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>1.234</text:p></table:table-cell>
 </table:table-row>
 <table:table-row>
  <table:table-cell office:value-type="string"><text:p>55</text:p></table:table-cell>
  <table:table-cell/>
  <table:table-cell office:value-type="string"><text:p>Clips</text:p></table:table-cell>
  <table:table-cell office:value-type="string"><text:p>Acme</text:p></table:table-cell>
  <table:table-cell office:value-type="float" office:value="0.01255"/>
 </table:table-row>
</table:table>
</office:spreadsheet></office:body></office:document>
)";

class ComLibreOffice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) return;
    pasta_ = new teste::PastaTemporaria("soffice");
    tabela_ = new app::TTabelaItens;
    std::vector<teste::ItemAmostra> itens = teste::ItensAmostra();
    itens[0].marca = "Bic";
    itens[0].valor = "1,5";
    itens[3].valor = "1234,5678";
    teste::CarregaTabela(teste::ProcessoDe(itens), *tabela_);
    teste::Grava(*pasta_ / "nosso.xlsx", teste::Exporta(planilha::Formato::Xlsx, *tabela_));
    teste::Grava(*pasta_ / "nosso-ods.ods", teste::Exporta(planilha::Formato::Ods, *tabela_));
    teste::Grava(*pasta_ / "fornecedor.fods", kListaFornecedor);
    const std::string p = pasta_->caminho();
    const std::string soffice =
        "cd '" + p + "' && HOME='" + p + "' LANG=pt_BR.UTF-8 LC_ALL=pt_BR.UTF-8 " +
        "soffice -env:UserInstallation=file://" + p + "/perfil --headless --norestore ";
    ok_ = std::system((soffice + "--convert-to xlsx --outdir xlsx nosso.xlsx nosso-ods.ods "
                                 "fornecedor.fods >soffice.log 2>&1")
                          .c_str()) == 0 &&
          std::system((soffice + "--convert-to ods --outdir ods nosso.xlsx fornecedor.fods "
                                 ">>soffice.log 2>&1")
                          .c_str()) == 0 &&
          std::system((soffice + "--convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1' "
                                 "--outdir csv nosso.xlsx >>soffice.log 2>&1")
                          .c_str()) == 0;
  }
  static void TearDownTestSuite() {
    delete tabela_;
    delete pasta_;
    tabela_ = nullptr;
    pasta_ = nullptr;
  }
  void SetUp() override {
    if (!pasta_) GTEST_SKIP() << "soffice (libreoffice-calc-nogui) n\xE3o est\xE1 instalado";
    ASSERT_TRUE(ok_) << teste::Le(*pasta_ / "soffice.log");
  }

  static planilha::Importacao Importa(const std::string& nome, size_t aba,
                                      std::optional<planilha::Mapeamento> m) {
    planilha::ArquivoPlanilha a;
    auto e = planilha::ArquivoPlanilha::Abre(*pasta_ / nome, a);
    EXPECT_FALSE(e) << e->mensagem;
    std::vector<planilha::LinhaPlanilha> primeiras;
    EXPECT_FALSE(planilha::PrimeirasLinhas(a, aba, 20, primeiras));
    if (!m)
      m = planilha::LayoutProprio(primeiras);
    else
      m->linhaCabecalho = planilha::CabecalhoProvavel(primeiras, *m);
    planilha::Importacao imp;
    EXPECT_TRUE(m);
    if (!m) return imp;
    e = planilha::Importa(a, aba, *m, *tabela_, "2024/0015", imp);
    EXPECT_FALSE(e) << e->mensagem;
    return imp;
  }

  static teste::PastaTemporaria* pasta_;
  static app::TTabelaItens* tabela_;
  static bool ok_;
};

teste::PastaTemporaria* ComLibreOffice::pasta_ = nullptr;
app::TTabelaItens* ComLibreOffice::tabela_ = nullptr;
bool ComLibreOffice::ok_ = false;

// What each item ends with after an import: its status, and the brand and price it would hold.
struct Esperado {
  const char* ordem;
  Situacao situacao;
  std::string marca;
  app::Contagem valor;
};

// Our export comes back unchanged (the table's values, every item found on its row); the
// supplier's list is judged item by item.
const Esperado kNossoDeVolta[] = {
    {"1", Situacao::Igual, "Bic", 15000},      {"2", Situacao::Igual, "Faber", 7500},
    {"3", Situacao::Igual, "Chamex:", 229000}, {"4", Situacao::Igual, "", 12345678},
    {"5", Situacao::Igual, "Acme", 125},
};
const Esperado kDoFornecedor[] = {
    {"1", Situacao::Igual, "Bic", 15000},  // already typed
    {"2", Situacao::Alterada, "Faber Castell", 7500},
    {"3", Situacao::Alterada, "Chamex", 229000},
    {"4", Situacao::Recusada, "", 12345678},  // "1.234" is ambiguous
    {"5", Situacao::Recusada, "Acme", 125},   // a fifth decimal
};

TEST_F(ComLibreOffice, SheetsSavedByItImportAsTheSupplierExpects) {
  const std::vector<std::string> itens = {"Itens"};
  const std::vector<std::string> fornecedor = {"Capa", "Pre\xE7os"};
  const struct {
    const char* nome;
    std::vector<std::string> abas;
    size_t aba;
    const char* colunas;  // null: our own layout, known by its header
    const Esperado* esperados;
  } casos[] = {
      {"xlsx/nosso.xlsx", itens, 0, nullptr, kNossoDeVolta},
      {"ods/nosso.ods", itens, 0, nullptr, kNossoDeVolta},
      {"csv/nosso.csv", {""}, 0, nullptr, kNossoDeVolta},
      {"xlsx/nosso-ods.xlsx", itens, 0, nullptr, kNossoDeVolta},
      {"xlsx/fornecedor.xlsx", fornecedor, 1, "codigo=A,nome=C,marca=D,valor=E", kDoFornecedor},
      {"ods/fornecedor.ods", fornecedor, 1, "codigo=A,nome=C,marca=D,valor=E", kDoFornecedor},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    planilha::ArquivoPlanilha a;
    ASSERT_FALSE(planilha::ArquivoPlanilha::Abre(*pasta_ / c.nome, a));
    std::vector<std::string> abas;
    ASSERT_FALSE(a.Abas(abas));
    EXPECT_EQ(abas, c.abas);
    std::string erro;
    const auto m = c.colunas ? planilha::LeColunas(c.colunas, erro) : std::nullopt;
    const planilha::Importacao imp = Importa(c.nome, c.aba, m);
    EXPECT_TRUE(imp.avisos.empty()) << (imp.avisos.empty() ? "" : imp.avisos[0]);
    ASSERT_EQ(imp.alteracoes.itens.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
      const Esperado& e = c.esperados[i];
      SCOPED_TRACE(e.ordem);
      const auto& lista = imp.alteracoes.itens;
      const auto item = std::find_if(lista.begin(), lista.end(), [&](const app::AlteracaoItem& a) {
        return a.ordem == e.ordem;
      });
      ASSERT_NE(item, lista.end());
      EXPECT_EQ(item->situacao, e.situacao) << item->motivo;
      EXPECT_NE(item->linhaOrigem, 0);
      EXPECT_EQ(item->marcaDepois.empty() ? item->marcaAntes : item->marcaDepois, e.marca);
      EXPECT_EQ(item->valorDepois ? item->valorDepois : item->valorAntes, e.valor);
    }
  }
}

}  // namespace
