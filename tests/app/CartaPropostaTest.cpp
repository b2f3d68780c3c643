// The proposal letter composed on the report engine, and the check before sending: what is
// printed where, the printed totals adding up, and each finding of "Conferir proposta".
#include <cstdlib>

#include "app/CartaProposta.h"
#include "app/Conferencia.h"
#include "app/ValorPorExtenso.h"
#include "report/RelatorioTeste.h"
#include "support/ItensProposta.h"

namespace {

using teste::ItemProposta;

class Carta : public teste::RelatorioTeste {
 protected:
  Carta() {
    ::setenv("SOURCE_DATE_EPOCH", "1796817600", 1);  // 9 December 2026, noon
    app::ConfiguraCarta(*rd, "2024/0015");
    janelas.aoPreview = [this](report::TRDprint&) { loja = Loja(); };
  }
  ~Carta() override { ::unsetenv("SOURCE_DATE_EPOCH"); }
  void Carrega(const std::vector<app::Item>& itens) { teste::CarregaItens(tabela, itens); }
  // The texts of the store, page by page, one per line with its position "PPPP LLL CCC".
  bool Tem(const std::string& texto) const {
    for (const auto& c : loja)
      if (c.substr(20) == texto) return true;
    return false;
  }
  // The entry holding `texto`, or "".
  std::string Entrada(const std::string& texto) const {
    for (const auto& c : loja)
      if (c.substr(20) == texto) return c;
    return {};
  }
  app::TTabelaItens tabela;
  app::DadosCarta dados = teste::DadosCartaTeste();
  std::vector<std::string> loja;
};

TEST_F(Carta, ItemsLotTotalsAndTheGlobalTotalInWords) {
  Carrega({ItemProposta(1, "1", "Chamex", 200, 21.9), ItemProposta(2, "1", "Bic", 500, 0.85),
           ItemProposta(3, "2", "Pil\xE3o", 3, 0.3333), ItemProposta(4, "2", "Uni\xE3o", 1, 0.3333),
           ItemProposta(5, "3", "", 10, std::nullopt)});  // lot 3 takes no part
  app::TCartaProposta carta(*rd, tabela, dados);
  ASSERT_TRUE(carta.Emite());
  // Unit prices as typed, totals to two decimals; lot 2: 1,00 + 0,33 printed, 1,33 summed.
  for (const char* t : {"21,90", "4.380,00", "0,85", "425,00", "0,3333", "1,00", "0,33", "4.805,00",
                        "1,33", "R$ 4.806,33", "00003", "Pil\xE3o"})
    EXPECT_TRUE(Tem(t)) << t;
  EXPECT_FALSE(Tem("00005"));
  EXPECT_TRUE(Tem("(quatro mil oitocentos e seis reais e trinta e tr\xEAs centavos)"));
  EXPECT_TRUE(Tem("Total do lote 2:"));
  EXPECT_TRUE(Tem("Campinas/SP, 9 de dezembro de 2026."));
  EXPECT_TRUE(Tem("CPF: 529.982.247-25"));
  EXPECT_TRUE(Tem("CNPJ: 12.ABC.345/01DE-35"));
  EXPECT_TRUE(
      Tem("Validade da proposta: 60 (sessenta) dias, contados da data de sua "
          "apresenta\xE7\xE3o."));
  EXPECT_TRUE(Tem("\xC0 Prefeitura de Campinas"));
  // Right-aligned: the item total ends at column 89 in 12 cpi (attribute 32).
  EXPECT_EQ(Entrada("4.380,00").substr(7, 6), "082032");
  EXPECT_EQ(carta.Valores().centavos, 480633);
  EXPECT_EQ(carta.Valores().totalPrograma, 48063332);  // the program's own: 4.806,3332
}

TEST_F(Carta, EveryPageHasTheLetterheadAndAnItemNeverSplits) {
  std::vector<app::Item> itens;
  for (int i = 1; i <= 120; ++i) itens.push_back(ItemProposta(i, "1", "M", 1, 1.5));
  Carrega(itens);
  app::TCartaProposta carta(*rd, tabela, dados);
  ASSERT_TRUE(carta.Emite());
  ASSERT_GE(carta.Paginas(), 5);
  for (int p = 1; p <= carta.Paginas(); ++p) {
    char prefixo[8];
    std::snprintf(prefixo, sizeof prefixo, "%04d", p);
    int cabecalho = 0, rodape = 0;
    for (const auto& c : loja) {
      if (c.compare(0, 4, prefixo) != 0) continue;
      const int linha = std::stoi(c.substr(4, 3));
      cabecalho += linha == 2 && c.substr(20) == "Papelaria Alfa Ltda";
      rodape += c.substr(20) == "P\xE1gina " + std::to_string(p);
      EXPECT_LE(linha, app::kLinhasCarta) << c;
      // An item's first line (its order number at column 1) is never the last line of a page.
      if (c.substr(7, 3) == "001" && c.substr(20, 3) == "000") {
        EXPECT_LT(linha, 61) << c;
      }
    }
    EXPECT_EQ(cabecalho, 1) << p;
    EXPECT_EQ(rodape, 1) << p;
  }
}

TEST_F(Carta, EmptyTableIsRefused) {
  Carrega({});
  app::TCartaProposta carta(*rd, tabela, dados);
  EXPECT_FALSE(carta.Emite());
  EXPECT_TRUE(loja.empty());
}

TEST(CartaTextos, DatesAndPricesAsPrinted) {
  EXPECT_EQ(app::DataPorExtenso({2026, 12, 9}), "9 de dezembro de 2026");
  EXPECT_EQ(app::DataPorExtenso({2027, 3, 1}), "1 de mar\xE7o de 2027");
  const struct {
    app::Contagem preco;
    const char* texto;
  } precos[] = {{219000, "21,90"}, {3333, "0,3333"}, {12345, "1,2345"},
                {12340, "1,234"},  {0, "0,00"},      {10000000000, "1.000.000,00"}};
  for (const auto& p : precos) EXPECT_EQ(app::PrecoDigitado(p.preco), p.texto);
}

// "Conferir proposta": each finding with its item and reason.
TEST_F(Carta, CheckFindsWhatDisqualifies) {
  Carrega({ItemProposta(1, "1", "Chamex", 2, 10), ItemProposta(2, "1", "", 1, 5),
           ItemProposta(3, "1", "M", 1, std::nullopt), ItemProposta(4, "2", "M", 1, 0.3333),
           ItemProposta(5, "2", "M", 1, 0.3333), ItemProposta(6, "2", "M", 1, 0.3333)});
  dados.termos.validadeDias = 0;
  dados.perfil.representante = "";
  dados.perfil.cpf = "111.111.111-11";
  std::vector<std::string> textos;
  for (const auto& p : app::ConfereProposta(tabela, dados.perfil, dados.termos))
    textos.push_back(app::TextoPendencia(p));
  const char* esperados[] = {
      "Item 00002 (lote 1): cotado sem marca",
      "Item 00003 (lote 1): sem valor num lote cotado",
      "Item 00004 (lote 2): o valor unit\xE1rio 0,3333 tem mais de 2 casas decimais",
      "Lote 2: os totais dos itens impressos (duas casas) somam 0,99, mas o total do lote "
      "calculado pelo programa \xE9 1,00",
      "Total da proposta: os totais dos itens impressos somam R$ 25,99, mas o total calculado "
      "pelo programa \xE9 R$ 26,00",
      "Validade da proposta n\xE3o informada",
      "Representante legal n\xE3o informado",
      "Representante: O CPF \"111.111.111-11\" \xE9 inv\xE1lido",
  };
  for (const char* e : esperados) {
    bool achou = false;
    for (const auto& t : textos) achou = achou || t.rfind(e, 0) == 0;
    EXPECT_TRUE(achou) << e;
  }
  EXPECT_EQ(textos.size(), std::size(esperados) + 2);  // items 5 and 6 have 4 decimals too
}

TEST_F(Carta, CheckOfACleanProposalFindsNothing) {
  Carrega({ItemProposta(1, "1", "Chamex", 200, 21.9), ItemProposta(2, "2", "Bic", 3, 0.85),
           ItemProposta(3, "3", "", 5, std::nullopt)});
  EXPECT_TRUE(app::ConfereProposta(tabela, dados.perfil, dados.termos).empty());
}

}  // namespace
