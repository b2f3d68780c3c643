// The item listing composed by "Relatório": page head, item lines, lot subtotals, total, pages.
#include <algorithm>
#include <cstdlib>

#include "app/Listagem.h"
#include "base/Erros.h"
#include "report/RelatorioTeste.h"

using namespace report;

namespace {

app::Item Produto(int ordem, const std::string& lote, const std::string& nome,
                  const std::string& marca, double quantidade, double valor) {
  app::Item i;
  i.ordem = ordem;
  i.lote = lote;
  i.nome = nome;
  i.marca = marca;
  i.quantidade = quantidade;
  i.valor = valor;
  return i;
}

// "0001" page, line and column, attribute 016, letter, black, text.
std::string C(int pagina, int linha, int coluna, char letra, const std::string& texto) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%03d%03d016%c000000", pagina, linha, coluna, letra);
  return buf + texto;
}

const std::string kRegua(136, '=');
const std::string kRodape = "VEK - Solu\xE7\xE3o em Gest\xE3o Municipal - https://www.vek.com.br";

class Listagem : public teste::RelatorioTeste {
 protected:
  Listagem() : listagem(*rd, tabela) {
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);  // 14/11/2023
    app::ConfiguraRDprint1(*rd);
    listagem.Label5Caption = "0001/2023";
    listagem.ProgressBar1 = &barra;
    janelas.aoPreview = [this](TRDprint&) {
      noPreview = Loja();
      barraVisivelNoPreview = barra.visivel;
    };
  }
  ~Listagem() override { ::unsetenv("SOURCE_DATE_EPOCH"); }
  void Carrega(const std::vector<app::Item>& itens) {
    tabela.Reinicia();
    for (const auto& i : itens) tabela.CarregaLinha(i);
    tabela.FimCarga();
  }
  // The store entries of one page at one column.
  std::vector<std::string> Coluna(int pagina, int coluna) const {
    std::vector<std::string> r;
    char prefixo[8];
    for (const auto& c : noPreview) {
      std::snprintf(prefixo, sizeof prefixo, "%04d", pagina);
      if (c.compare(0, 4, prefixo) == 0 && std::stoi(c.substr(7, 3)) == coluna) r.push_back(c);
    }
    return r;
  }

  app::TTabelaItens tabela;
  app::TListagem listagem;
  app::BarraProgresso barra;
  std::vector<std::string> noPreview;
  bool barraVisivelNoPreview = false;
};

}  // namespace

TEST_F(Listagem, AnEmptyTableIsRefused) {
  listagem.BitBtn2Click();
  EXPECT_EQ(plataforma.mensagens, std::vector<std::string>{"Selecione um arquivo de processo!"});
  EXPECT_FALSE(EstadoRelatorio().aberto);
  EXPECT_TRUE(noPreview.empty());
}

TEST_F(Listagem, FirstPageWithABidderTwoLotsAndTheTotals) {
  Carrega({Produto(1, "1", "Caneta", "Bic", 10, 1.5), Produto(2, "1", "L\xE1pis", "", 2.5, 0.3333),
           Produto(7, "2", std::string(45, 'N'), "X", 1, 1234.5)});
  listagem.Licitante = "ACME";
  listagem.CNPJ = "12345678000195";
  listagem.BitBtn2Click();
  auto item = [](int linha, const char* ordem, const char* lote, const std::string& nome,
                 const char* marca, const char* quant, const char* unit, const char* total) {
    std::vector<std::string> r{C(1, linha, 3, 'T', ordem), C(1, linha, 10, 'T', lote),
                               C(1, linha, 20, 'T', nome)};
    if (*marca) r.push_back(C(1, linha, 63, 'T', marca));
    r.push_back(C(1, linha, 85, 'T', quant));
    r.push_back(C(1, linha, 95, 'T', unit));
    r.push_back(C(1, linha, 117, 'T', total));
    return r;
  };
  std::vector<std::string> esperado = {
      C(1, 2, 3, 'T', "P\xE1gina : 1"),
      C(1, 2, 119, 'T', "Em : 14/11/2023"),
      C(1, 3, 1, 'X', kRegua),
      C(1, 4, 57, 'X', "Listagem de Produto"),
      C(1, 5, 57, 'X', "Processo: 0001/2023"),
      C(1, 6, 1, 'X', "  Licitante: ACME  CNPJ: 12.345.678/0001-95"),
      C(1, 7, 1, 'X', kRegua),
      C(1, 8, 3, 'T', "Ordem:"),
      C(1, 8, 10, 'T', "Lote:"),
      C(1, 8, 20, 'T', "Produto:"),
      C(1, 8, 63, 'T', "Marca:"),
      C(1, 8, 85, 'T', "Quant:"),
      C(1, 8, 102, 'T', "Vr. Unit:"),
      C(1, 8, 123, 'T', "Vr. Total:"),
      C(1, 9, 1, 'X', kRegua)};
  for (auto v :
       {item(10, "00001", "00001", "Caneta", "Bic", "10", "          1,5000", "         15,0000"),
        item(11, "00002", "00001", "L\xE1pis", "", "2,5", "          0,3333", "          0,8332")})
    esperado.insert(esperado.end(), v.begin(), v.end());
  esperado.push_back(C(1, 12, 1, 'X', kRegua));
  esperado.push_back(C(1, 13, 95, 'T', "Total Lote 1:"));
  esperado.push_back(C(1, 13, 117, 'T', "           15,83"));
  esperado.push_back(C(1, 14, 1, 'X', kRegua));
  auto v = item(15, "00007", "00002", std::string(45, 'N'), "X", "1", "      1.234,5000",
                "      1.234,5000");
  esperado.insert(esperado.end(), v.begin(), v.end());
  esperado.push_back(C(1, 17, 1, 'X', kRegua));
  esperado.push_back(C(1, 18, 95, 'T', "Total Lote 2:"));
  esperado.push_back(C(1, 18, 117, 'T', "        1.234,50"));
  esperado.push_back(C(1, 19, 1, 'X', kRegua));
  esperado.push_back(C(1, 20, 110, 'T', "Total: "));
  esperado.push_back(C(1, 20, 117, 'T', "        1.250,33"));
  esperado.push_back(C(1, 64, 1, 'X', kRegua));
  esperado.push_back(C(1, 65, 3, 'T', kRodape));
  ASSERT_EQ(noPreview.size(), esperado.size());
  for (size_t i = 0; i < esperado.size(); ++i) EXPECT_EQ(noPreview[i], esperado[i]) << i;
  EXPECT_TRUE(barraVisivelNoPreview);
  EXPECT_FALSE(barra.visivel);
  EXPECT_EQ(barra.maximo, 3);
  EXPECT_EQ(barra.posicao, 0);
  EXPECT_FALSE(EstadoRelatorio().aberto);
  EXPECT_FALSE(EstadoRelatorio().paginas);
}

TEST_F(Listagem, ItemLinesFillLines9To62AndPagesRestartAtLine9) {
  std::vector<app::Item> itens;
  for (int i = 1; i <= 120; ++i) itens.push_back(Produto(i, "3", "Item", "", 1, 1));
  Carrega(itens);
  listagem.BitBtn2Click();
  for (int pagina = 1; pagina <= 3; ++pagina) {
    std::vector<std::string> ordens = Coluna(pagina, 3);
    // The head line, the titles, the items, the footer.
    int itensDaPagina = static_cast<int>(ordens.size()) - 3;
    EXPECT_EQ(itensDaPagina, pagina < 3 ? 54 : 12) << pagina;
    EXPECT_EQ(ordens.front(), C(pagina, 2, 3, 'T', "P\xE1gina : " + std::to_string(pagina)));
    EXPECT_EQ(ordens[2].substr(4, 3), "009");
    EXPECT_EQ(ordens.back(), C(pagina, 65, 3, 'T', kRodape));
  }
  EXPECT_EQ(Coluna(1, 3)[55], C(1, 62, 3, 'T', "00054"));
  EXPECT_EQ(Coluna(2, 3)[2], C(2, 9, 3, 'T', "00055"));
  // After item 120 on line 20: an empty line 21, the rule on 22, the subtotal on 23, the rule on
  // 24 and the total on 25.
  EXPECT_EQ(Coluna(3, 1)[3], C(3, 22, 1, 'X', kRegua));
  EXPECT_EQ(Coluna(3, 110), std::vector<std::string>{C(3, 25, 110, 'T', "Total: ")});
  EXPECT_EQ(Coluna(3, 95).back(), C(3, 23, 95, 'T', "Total Lote 3:"));
  EXPECT_EQ(Coluna(3, 117).back(), C(3, 25, 117, 'T', "          120,00"));
}

TEST_F(Listagem, ASubtotalBlockCanBeSplitByAPageBreak) {
  std::vector<app::Item> itens;
  for (int i = 1; i <= 53; ++i) itens.push_back(Produto(i, "1", "Item", "", 1, 2));
  itens.push_back(Produto(54, "2", "Outro", "", 1, 3));
  Carrega(itens);
  listagem.BitBtn2Click();
  EXPECT_EQ(Coluna(1, 1).back(), C(1, 64, 1, 'X', kRegua));
  EXPECT_EQ(Coluna(1, 1)[Coluna(1, 1).size() - 2],
            C(1, 62, 1, 'X', kRegua));  // the block's first rule
  EXPECT_EQ(Coluna(2, 95).front(), C(2, 9, 95, 'T', "Total Lote 1:"));
  EXPECT_EQ(Coluna(2, 117).front(), C(2, 9, 117, 'T', "          106,00"));
  EXPECT_EQ(Coluna(2, 3)[2], C(2, 11, 3, 'T', "00054"));
}

TEST_F(Listagem, RowsWithoutALotComeFirstAndCloseAnEmptyLot) {
  Carrega({Produto(1, "", "Sem lote", "", 2, 5), Produto(2, "9", "Com lote", "", 1, 1)});
  listagem.BitBtn2Click();
  EXPECT_EQ(Coluna(1, 10),
            (std::vector<std::string>{C(1, 7, 10, 'T', "Lote:"), C(1, 13, 10, 'T', "00009")}));
  const std::vector<std::string> col95 = Coluna(1, 95), col117 = Coluna(1, 117);
  ASSERT_EQ(col95.size(), 4u);
  ASSERT_EQ(col117.size(), 5u);
  EXPECT_EQ(col95[1], C(1, 11, 95, 'T', "Total Lote :"));
  EXPECT_EQ(col117[1], C(1, 11, 117, 'T', "            0,00"));
  EXPECT_EQ(col95[3], C(1, 16, 95, 'T', "Total Lote 9:"));
  EXPECT_EQ(col117[3], C(1, 16, 117, 'T', "            1,00"));
  EXPECT_EQ(col117[4], C(1, 18, 117, 'T', "           11,00"));
}

TEST_F(Listagem, ALotThatIsNoNumberIsPrintedAsItStands) {
  Carrega({Produto(1, "A1", "x", "", 1, 1), Produto(2, "2", "y", "", 1, 2),
           Produto(3, "L 3", "z", "", 1, 3)});
  listagem.BitBtn2Click();
  EXPECT_TRUE(plataforma.erros.empty());
  const std::vector<std::string> lotes = Coluna(1, 10);
  ASSERT_EQ(lotes.size(), 4u);
  EXPECT_EQ(lotes[1], C(1, 9, 10, 'T', "00002"));
  EXPECT_EQ(lotes[2], C(1, 13, 10, 'T', "A1"));
  EXPECT_EQ(lotes[3], C(1, 17, 10, 'T', "L 3"));
  const std::vector<std::string> col95 = Coluna(1, 95);
  EXPECT_NE(std::find(col95.begin(), col95.end(), C(1, 15, 95, 'T', "Total Lote A1:")),
            col95.end());
  EXPECT_FALSE(EstadoRelatorio().aberto);
  const std::pair<const char*, const char*> casos[] = {
      {"1,5", "00002"}, {"12", "00012"}, {"A1", "A1"}, {"-", "-"}, {"1.5", "1.5"}};
  for (const auto& [lote, texto] : casos) EXPECT_EQ(app::TListagem::TextoLote(lote), texto);
}

TEST_F(Listagem, AlinhaTextoPadsInFrontOrAfter) {
  EXPECT_EQ(app::TListagem::AlinhaTexto("12", 5, 0, " "), "   12");
  EXPECT_EQ(app::TListagem::AlinhaTexto("12", 5, 1, "."), "12...");
  EXPECT_EQ(app::TListagem::AlinhaTexto("12", 5, 2, " "), "12");
  EXPECT_EQ(app::TListagem::AlinhaTexto("123456", 5, 0, " "), "123456");
  EXPECT_EQ(app::TListagem::AlinhaTexto("1", 3, 0, "ab"), "abab1");
}

TEST_F(Listagem, TheProgramsComponentSettings) {
  EXPECT_EQ(rd->TamanhoQteColunas, 136);
  EXPECT_EQ(rd->Margens.Left, 10);
  EXPECT_EQ(rd->Margens.Top, 10);
  EXPECT_TRUE(rd->OpcoesPreview.PaginaZebrada);
  EXPECT_EQ(rd->OpcoesPreview.CaptionPreview, "Rdprint Preview");
  EXPECT_EQ(rd->OpcoesPreview.BotaoSetup, TStatBut::Ativo);
  EXPECT_EQ(rd->CaptionSetup, "Rdprint Setup");
  ASSERT_EQ(rd->Mapeamento.size(), 38u);
  EXPECT_EQ(rd->Mapeamento[14], "GENERICO=EPSON");
  EXPECT_EQ(rd->Mapeamento[15], "LX-300=EPSON");
  EXPECT_EQ(rd->Mapeamento[34], "DARUMA=BOBINA");
  rd->MapeiaImpressora("Generic / Text Only");
  EXPECT_EQ(rd->Impressora, TModelo::Grafico);
  rd->MapeiaImpressora("DARUMA DR700");
  EXPECT_EQ(rd->Impressora, TModelo::Bobina);
}
