// The readers and writers: what we export reads back cell for cell in each format, the readers
// take what other programs write, and a damaged or hostile file is refused with a message that
// names it and says what to do.
#include <gtest/gtest.h>

#include "planilha/Amostras.h"
#include "planilha/Layout.h"
#include "planilha/Valores.h"

namespace {

using planilha::Formato;
using planilha::TipoCelula;

class Exportada : public ::testing::TestWithParam<Formato> {};

TEST_P(Exportada, ReadsBackCellForCellWithHeaderAndIdentification) {
  app::TTabelaItens tabela;
  teste::CarregaTabela(teste::ProcessoDe(teste::ItensAmostra()), tabela);
  const auto linhas = teste::Linhas(teste::Exporta(GetParam(), tabela));
  ASSERT_EQ(linhas.size(), 7u);  // header, five items, identification
  for (const auto& c : planilha::ColunasExportadas())
    EXPECT_EQ(planilha::TextoDaCelula(linhas[0].Em(planilha::IndiceColuna(c.coluna))), c.titulo);
  // Table order is lot order: the item without a lot comes first.
  const std::vector<std::string> ordens = {"5", "1", "2", "3", "4"};
  for (size_t i = 0; i < ordens.size(); ++i) {
    const auto& l = linhas[i + 1];
    const app::LinhaItem& item = tabela.Linha(static_cast<int>(i));
    EXPECT_EQ(l.linha, static_cast<long>(i) + 2);
    EXPECT_EQ(planilha::TextoDaCelula(l.Em(0)), ordens[i]);
    EXPECT_EQ(l.Em(2).tipo, TipoCelula::Texto);
    EXPECT_EQ(l.Em(2).texto, item.codigo);
    EXPECT_EQ(l.Em(3).texto, item.nome);
    EXPECT_EQ(planilha::TextoDaCelula(l.Em(7)), item.marca);
    app::Contagem v = 0;
    std::string motivo;
    const auto leitura = planilha::LePreco(l.Em(8), v, motivo);
    if (item.valor.value_or(0) == 0) {
      EXPECT_EQ(leitura, planilha::Leitura::Vazia);
    } else {
      EXPECT_EQ(leitura, planilha::Leitura::Aceita) << motivo;
      EXPECT_EQ(v, app::ParaFixo(*item.valor));
    }
  }
  const auto id = planilha::LeIdentificacao(linhas.back());
  ASSERT_TRUE(id);
  EXPECT_EQ(*id, planilha::IdentificacaoDaTabela(tabela, "2024/0015"));
  EXPECT_EQ(linhas.back().linha, 8);
}

INSTANTIATE_TEST_SUITE_P(Formatos, Exportada,
                         ::testing::Values(Formato::Csv, Formato::Xlsx, Formato::Ods));

TEST(CsvExportado, IsUtf8WithBomSemicolonsAndQuotesWhereNeeded) {
  app::TTabelaItens tabela;
  teste::CarregaTabela(teste::ProcessoDe(teste::ItensAmostra()), tabela);
  const std::string csv = teste::Exporta(Formato::Csv, tabela);
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(csv.find("Ordem;Lote;C\xC3\xB3"
                     "digo;Produto;"),
            std::string::npos);
  EXPECT_NE(csv.find("3;2;C-3;\"Papel A4 \"\"75g\"\"; resma\";"), std::string::npos);
  EXPECT_NE(csv.find(";Chamex:;22,9000;240,45\r\n"), std::string::npos);
}

TEST(CsvLido, SplitsFieldsAsSpreadsheetsWriteThem) {
  struct Caso {
    std::string bytes;
    std::vector<std::vector<std::string>> linhas;
  } casos[] = {
      {"a;b;c\r\n1;2;3\r\n", {{"a", "b", "c"}, {"1", "2", "3"}}},
      {"\xEF\xBB\xBFx,y\n\"1,5\",\"di\"\"z\"\n", {{"x", "y"}, {"1,5", "di\"z"}}},
      {"a\tb\n1\t2", {{"a", "b"}, {"1", "2"}}},
      {"\"duas\nlinhas\";z\n\n;;\nfim", {{"duas\nlinhas", "z"}, {"fim"}}},
      {"Caf\xC3\xA9;1", {{"Caf\xE9", "1"}}},
      // Latin-1 letters, then characters Windows-1252 keeps elsewhere or not at all.
      {"\xC2\xA0\xC2\xBA\xC3\xBF;\xC3\xA7\xE2\x80\x9C\xE2\x82\xAC;\xE2\x9C\x93\xC3\xA3;\xC2\x81",
       {{"\xA0\xBA\xFF", "\xE7\x93\x80", "?\xE3", "?"}}},
      {"\"a\"b;\"\";\"x\ny\"z\r\n", {{"ab", "", "x\nyz"}}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.bytes);
    const auto linhas = teste::Linhas(c.bytes);
    ASSERT_EQ(linhas.size(), c.linhas.size());
    for (size_t i = 0; i < linhas.size(); ++i) {
      ASSERT_EQ(linhas[i].celulas.size(), c.linhas[i].size());
      for (size_t k = 0; k < c.linhas[i].size(); ++k)
        EXPECT_EQ(linhas[i].celulas[k].texto, c.linhas[i][k]);
    }
  }
  EXPECT_EQ(teste::Linhas("\"duas\nlinhas\";z\n\n;;\nfim")[1].linha, 5);
}

TEST(XlsxLido, TakesSharedAndInlineTextsNumbersFormulasAndSparseCells) {
  const std::string pasta = teste::Pasta(
      "<sheetData>"
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>1</v></c></row>"
      "<row r=\"4\"><c r=\"A4\"><v>43.5</v></c><c r=\"B4\"><f>A4*2</f><v>87</v></c>"
      "<c r=\"C4\" t=\"inlineStr\"><is><t>R$ 1,50</t></is></c><c r=\"D4\" t=\"str\"><f>X</f>"
      "<v>texto</v></c><c r=\"E4\" t=\"e\"><v>#DIV/0!</v></c><c r=\"F4\" s=\"1\"/></row>"
      "</sheetData>",
      {"C\xC3\xB3"
       "digo",
       "Pre<![CDATA[\xC3\xA7]]>o"});
  const auto linhas = teste::Linhas(pasta);
  ASSERT_EQ(linhas.size(), 2u);
  EXPECT_EQ(linhas[0].Em(0).texto,
            "C\xF3"
            "digo");
  EXPECT_EQ(linhas[0].Em(1).tipo, TipoCelula::Vazia);
  EXPECT_EQ(linhas[0].Em(2).texto, "Pre\xE7o");
  EXPECT_EQ(linhas[1].linha, 4);
  EXPECT_EQ(linhas[1].Em(0).numero, 43.5);
  EXPECT_TRUE(linhas[1].Em(1).formula);
  EXPECT_EQ(linhas[1].Em(1).numero, 87);
  EXPECT_EQ(linhas[1].Em(2).texto, "R$ 1,50");
  EXPECT_EQ(linhas[1].Em(3).texto, "texto");
  EXPECT_EQ(linhas[1].Em(4).texto, "#DIV/0!");
  EXPECT_EQ(linhas[1].celulas.size(), 5u);
}

TEST(OdsLido, ExpandsRepeatedCellsAndSkipsRepeatedEmptyRows) {
  const std::string conteudo =
      "<office:document-content xmlns:office=\"o\" xmlns:table=\"t\" xmlns:text=\"x\">"
      "<office:body><office:spreadsheet><table:table table:name=\"A\">"
      "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>um<text:s "
      "text:c=\"2\"/>dois</text:p></table:table-cell><table:table-cell "
      "table:number-columns-repeated=\"2\" office:value-type=\"float\" office:value=\"7\"/>"
      "</table:table-row><table:table-row table:number-rows-repeated=\"1048570\">"
      "<table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>"
      "<table:table-row><table:covered-table-cell/><table:table-cell office:value-type="
      "\"currency\" office:value=\"0.3\"><text:p>R$ 0,30</text:p></table:table-cell>"
      "</table:table-row></table:table><table:table table:name=\"B\"/>"
      "</office:spreadsheet></office:body></office:document-content>";
  const std::string ods = teste::Pacote(
      {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", conteudo}});
  planilha::ArquivoPlanilha a;
  ASSERT_FALSE(planilha::ArquivoPlanilha::DeBytes(ods, "t.ods", a));
  std::vector<std::string> abas;
  ASSERT_FALSE(a.Abas(abas));
  EXPECT_EQ(abas, (std::vector<std::string>{"A", "B"}));
  const auto linhas = teste::Linhas(ods);
  ASSERT_EQ(linhas.size(), 2u);
  EXPECT_EQ(linhas[0].Em(0).texto, "um  dois");
  EXPECT_EQ(linhas[0].Em(2).numero, 7);
  EXPECT_EQ(linhas[1].linha, 1048572);
  EXPECT_EQ(linhas[1].Em(1).texto, "0.3");
}

// A sheet of n rows of one cell in CSV.
std::string CsvDeLinhas(long n) {
  std::string s;
  for (long i = 0; i < n; ++i) s += "1\n";
  return s;
}

std::string Bomba() {
  std::string espacos(size_t(40) << 20, ' ');
  return teste::Pasta("<sheetData>" + espacos + "</sheetData>");
}

TEST(ArquivoRuim, IsRefusedWithAMessageNamingTheFileAndWhatToDo) {
  app::TTabelaItens tabela;
  teste::CarregaTabela(teste::ProcessoDe(teste::ItensAmostra()), tabela);
  const std::string xlsx = teste::Exporta(Formato::Xlsx, tabela);
  const std::string entidades =
      "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
      "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><workbook><sheets>&b;</sheets></workbook>";
  const std::string externa =
      "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
      "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&x;</t></is></c></row></sheetData>"
      "</worksheet>";
  const struct {
    const char* nome;
    std::string bytes;
    const char* trecho;
  } casos[] = {
      {"cortado", xlsx.substr(0, xlsx.size() / 2), "danificado"},
      {"bomba", Bomba(), "malicioso"},
      {"entidades", teste::Pasta("", {}, entidades), "DOCTYPE"},
      {"xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(512, '\0'), ".xls"},
      {"senha",
       std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(64, '\0') +
           std::string("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28),
       "senha"},
      {"cp1252", "Ordem;Marca\r\n1;Ind\xFAstria\r\n", "UTF-8"},
      {"milhao", CsvDeLinhas(planilha::kLimiteLinhas + 1), "300.000"},
      {"binario",
       std::string("\x7F"
                   "ELF\0\0\0",
                   7),
       "Salve a planilha"},
      {"zip", teste::Pacote({{"leiame.txt", "oi"}}), "n\xE3o cont\xE9m uma planilha"},
      {"xml", teste::Pasta("<sheetData><row>"), "XML"},
      {"referencia", teste::Pasta("<sheetData><row><c r=\"1A\"><v>1</v></c></row></sheetData>"),
       "refer\xEAncia"},
      {"texto", teste::Pasta("<sheetData><row><c t=\"s\"><v>7</v></c></row></sheetData>"),
       "texto que n\xE3o existe"},
      {"textos danificados",
       teste::Pasta("<sheetData><row><c t=\"s\"><v>0</v></c></row></sheetData>",
                    {"a</t></si><si><t>b</q>"}),
       "danificado"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    std::string erro;
    teste::Linhas(c.bytes, &erro);
    EXPECT_NE(erro.find("planilha \"teste\""), std::string::npos) << erro;
    EXPECT_NE(erro.find(c.trecho), std::string::npos) << erro;
    EXPECT_NE(erro.find("Nada foi alterado"), std::string::npos) << erro;
  }
  // An external entity is never fetched: the part is refused before any entity is declared.
  std::string erro;
  const std::string comExterna = teste::Pacote({
      {"xl/workbook.xml",
       "<workbook xmlns:r=\"r\"><sheets><sheet name=\"P\" r:id=\"rId1\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships><Relationship Id=\"rId1\" Target=\"s.xml\"/></Relationships>"},
      {"xl/s.xml", externa},
  });
  EXPECT_TRUE(teste::Linhas(comExterna, &erro).empty());
  EXPECT_NE(erro.find("DOCTYPE"), std::string::npos) << erro;
}

TEST(OdsRepetido, ARowRepeatedAMillionTimesIsRefusedNotExpanded) {
  const std::string conteudo =
      "<office:document-content xmlns:office=\"o\" xmlns:table=\"t\" xmlns:text=\"x\">"
      "<office:body><office:spreadsheet><table:table table:name=\"A\">"
      "<table:table-row table:number-rows-repeated=\"1000000\"><table:table-cell "
      "table:number-columns-repeated=\"16384\" office:value-type=\"float\" office:value=\"1\"/>"
      "</table:table-row></table:table></office:spreadsheet></office:body>"
      "</office:document-content>";
  std::string erro;
  teste::Linhas(teste::Pacote({{"content.xml", conteudo}}), &erro);
  EXPECT_NE(erro.find("300.000"), std::string::npos) << erro;
}

}  // namespace
