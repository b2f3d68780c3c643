// LibreOffice as the real client: our export opened by it and saved again as XLSX, ODS and CSV
// imports back to the same values, and a price list it saved (numbers, formulas, text prices,
// merged header cells, a hidden column, two worksheets) imports as the supplier expects. One
// soffice run per target format converts every input at once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "planilha/Amostras.h"
#include "planilha/Importacao.h"
#include "support/Arquivos.h"

namespace {

using planilha::Situacao;

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

TEST_F(ComLibreOffice, OurExportSavedAgainImportsBackToTheSameValues) {
  for (const char* nome :
       {"xlsx/nosso.xlsx", "ods/nosso.ods", "csv/nosso.csv", "xlsx/nosso-ods.xlsx"}) {
    SCOPED_TRACE(nome);
    const planilha::Importacao imp = Importa(nome, 0, std::nullopt);
    EXPECT_TRUE(imp.avisos.empty()) << (imp.avisos.empty() ? "" : imp.avisos[0]);
    ASSERT_EQ(imp.itens.size(), 5u);
    for (const auto& i : imp.itens) {
      EXPECT_EQ(i.situacao, Situacao::Igual) << i.ordem << ": " << i.motivo;
      EXPECT_NE(i.linhaOrigem, 0) << i.ordem;
      EXPECT_FALSE(i.valorDepois);
      EXPECT_TRUE(i.marcaDepois.empty());
    }
  }
}

TEST_F(ComLibreOffice, ASuppliersPriceListImportsAsExpected) {
  for (const char* nome : {"xlsx/fornecedor.xlsx", "ods/fornecedor.ods"}) {
    SCOPED_TRACE(nome);
    planilha::ArquivoPlanilha a;
    ASSERT_FALSE(planilha::ArquivoPlanilha::Abre(*pasta_ / nome, a));
    std::vector<std::string> abas;
    ASSERT_FALSE(a.Abas(abas));
    EXPECT_EQ(abas, (std::vector<std::string>{"Capa", "Pre\xE7os"}));
    std::string erro;
    const auto imp = Importa(nome, 1, planilha::LeColunas("codigo=A,nome=C,marca=D,valor=E", erro));
    const struct {
      const char* ordem;
      Situacao situacao;
      std::string marca;
      app::Contagem valor;
    } esperados[] = {
        {"1", Situacao::Igual, "Bic", 15000},  // already typed
        {"2", Situacao::Alterada, "Faber Castell", 7500},
        {"3", Situacao::Alterada, "Chamex", 229000},
        {"4", Situacao::Recusada, "", 12345678},
        {"5", Situacao::Recusada, "Acme", 125},
    };
    for (const auto& e : esperados) {
      SCOPED_TRACE(e.ordem);
      const planilha::ItemRevisto* item = nullptr;
      for (const auto& i : imp.itens)
        if (i.ordem == e.ordem) item = &i;
      ASSERT_TRUE(item);
      EXPECT_EQ(item->situacao, e.situacao) << item->motivo;
      EXPECT_EQ(item->marcaDepois.empty() ? item->marcaAntes : item->marcaDepois, e.marca);
      EXPECT_EQ(item->valorDepois ? item->valorDepois : item->valorAntes, e.valor);
    }
  }
}

}  // namespace
