// proposta-cli perfil, carta and conferir run as a user would, in a temporary home: the letter of
// the example and of a 10,000-item process as PDF read back with pdftotext (every item, the printed
// totals adding up, the words matching the figure), as printer bytes of the character models, and
// the check's exit codes.
#include <gtest/gtest.h>

#include <sstream>

#include "app/ValorPorExtenso.h"
#include "platform/CodePage.h"
#include "support/Arquivos.h"
#include "support/ExecutaCli.h"
#include "support/PDF.h"
#include "support/PastasUsuario.h"

namespace {

const std::string kExemplo = PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml";

class CartaCli : public ::testing::Test {
 public:
  teste::ResultadoCli Roda(const std::vector<std::string>& args) {
    return teste::ExecutaCli(args, pastas.ambiente() + " SOURCE_DATE_EPOCH=1796817600");
  }
  void CriaPerfil() {
    auto r = Roda({"perfil", "salvar", "Matriz", "--razao-social", "Papelaria Alfa Ltda", "--cnpj",
                   "12.abc.345/01de-35", "--municipio", "Campinas", "--uf", "SP", "--representante",
                   "Maria da Silva", "--cpf", "529.982.247-25"});
    ASSERT_EQ(r.codigo, 0) << r.saida;
  }
  teste::PastasUsuario pastas;
};

// Cents of "1.234,56".
int64_t Centavos(std::string s) {
  std::string d;
  for (char c : s)
    if (c >= '0' && c <= '9') d += c;
  return std::stoll(d);
}

// An item's first line: its five-digit order number first.
bool LinhaDeItem(const std::string& linha) {
  const size_t i = linha.find_first_not_of(' ');
  if (i == std::string::npos || linha.size() < i + 6 || linha[i + 5] != ' ') return false;
  for (size_t k = i; k < i + 5; ++k)
    if (linha[k] < '0' || linha[k] > '9') return false;
  return true;
}

// The amount ("1.234,56") that ends a line, or "".
std::string ValorNoFim(const std::string& linha) {
  const size_t fim = linha.find_last_not_of(' ');
  if (fim == std::string::npos || fim < 3 || linha[fim - 2] != ',') return {};
  const size_t inicio = linha.find_last_of(' ', fim) + 1;
  const std::string v = linha.substr(inicio, fim + 1 - inicio);
  return v.find_first_not_of("0123456789.,") == std::string::npos ? v : std::string();
}

// What pdftotext shows of the letter, summed as a reader would: each item total (the last figure
// of an item's second line), each lot total and the global total with its words.
struct Leitura {
  int itens = 0;
  std::vector<int64_t> somaLotes, lotes;
  int64_t somaItens = 0, global = -1;
  std::string extenso;
};
Leitura LeCarta(const std::string& texto) {
  Leitura l;
  std::istringstream in(texto);
  std::string linha;
  bool proximaETotal = false, lendoExtenso = false;
  int64_t lote = 0;
  while (std::getline(in, linha)) {
    if (lendoExtenso) {
      l.extenso += " " + linha.substr(linha.find_first_not_of(' '));
      lendoExtenso = l.extenso.back() != ')';
    } else if (proximaETotal && !ValorNoFim(linha).empty()) {
      l.somaItens += Centavos(ValorNoFim(linha));
      lote += Centavos(ValorNoFim(linha));
      ++l.itens;
      proximaETotal = false;
    } else if (linha.find_first_not_of(' ') != std::string::npos &&
               linha.compare(linha.find_first_not_of(' '), 5, "Lote ") == 0) {
      lote = 0;  // the heading of a lot: its items follow
    } else if (LinhaDeItem(linha)) {
      proximaETotal = true;
    } else if (linha.find("Total do lote") != std::string::npos && !ValorNoFim(linha).empty()) {
      l.lotes.push_back(Centavos(ValorNoFim(linha)));
      l.somaLotes.push_back(lote);
      lote = 0;
    } else if (linha.find("VALOR GLOBAL DA PROPOSTA") != std::string::npos &&
               !ValorNoFim(linha).empty()) {
      l.global = Centavos(ValorNoFim(linha));
      std::getline(in, linha);
      l.extenso = linha.substr(linha.find_first_not_of(' '));
      lendoExtenso = l.extenso.back() != ')';
    }
  }
  return l;
}

// The letter as PDF: valid, and its figures add up as printed.
Leitura CartaEmPdf(CartaCli& t, const std::string& processo, const std::string& pdf, int itens) {
  auto r = t.Roda({"carta", processo, "--perfil", "matriz", "--saida", pdf, "--orgao",
                   "Prefeitura de Campinas"});
  EXPECT_EQ(r.codigo, 0) << r.saida;
  teste::ValidaPDF(pdf);
  const teste::Execucao txt = teste::Executa("pdftotext -layout '" + pdf + "' -");
  EXPECT_EQ(txt.codigo, 0);
  Leitura l = LeCarta(txt.saida);
  EXPECT_EQ(l.itens, itens);
  EXPECT_EQ(l.lotes, l.somaLotes);
  EXPECT_EQ(l.global, l.somaItens);
  EXPECT_EQ("(" + platform::cp1252ToUtf8(*app::ValorPorExtenso(l.global)) + ")", l.extenso);
  return l;
}

TEST_F(CartaCli, LetterOfTheExampleAsPdfAddsUp) {
  CriaPerfil();
  teste::PastaTemporaria pasta;
  const Leitura l = CartaEmPdf(*this, kExemplo, pasta / "carta.pdf", 6);
  EXPECT_EQ(l.lotes.size(), 2u);
  const std::string txt = teste::Executa("pdftotext '" + pasta / "carta.pdf" + "' -").saida;
  for (const char* t : {"PROPOSTA COMERCIAL", "Papelaria Alfa Ltda", "CNPJ: 12.ABC.345/01DE-35",
                        "À Prefeitura de Campinas", "Campinas/SP, 9 de dezembro de 2026.",
                        "CPF: 529.982.247-25", "Validade da proposta: 60 (sessenta) dias"})
    EXPECT_NE(txt.find(t), std::string::npos) << t;
}

TEST_F(CartaCli, LetterOfTenThousandItemsAsPdfAddsUp) {
  CriaPerfil();
  teste::PastaTemporaria pasta;
  std::string s =
      "<processo label=\"20240099\" descricao=\"Preg\xE3o grande\" totalitens=\"10000\">\r\n"
      "<produtos>\r\n";
  for (int i = 1; i <= 10000; ++i) {
    const std::string k = std::to_string(i);
    char valor[32];
    std::snprintf(valor, sizeof valor, "%d,%02d", 1 + i % 977, i % 100);
    s += "<produto>\r\n <ordem>" + k + "</ordem>\r\n <codigo>C" + k +
         "</codigo>\r\n <nome>Produto " + k +
         "</nome>\r\n <descricao>d</descricao>\r\n <marca>Marca " + std::to_string(i % 97) +
         "</marca>\r\n <quantidade>" + std::to_string(1 + i % 300) + "</quantidade>\r\n <valor>" +
         valor + "</valor>\r\n <apuracao>1</apuracao>\r\n <lote>" + std::to_string(1 + i / 500) +
         "</lote>\r\n</produto>\r\n";
  }
  teste::Grava(pasta / "grande.xml", s + "</produtos>\r\n</processo>\r\n");
  const Leitura l = CartaEmPdf(*this, pasta / "grande.xml", pasta / "grande.pdf", 10000);
  EXPECT_EQ(l.lotes.size(), 21u);
}

TEST_F(CartaCli, LetterOnCharacterPrintersAndOtherFormats) {
  CriaPerfil();
  teste::PastaTemporaria pasta;
  for (const char* modelo : {"epson", "bobina", "hp", "daruma", "rima"}) {
    auto r = Roda(
        {"carta", kExemplo, "--perfil", "Matriz", "--saida", pasta / "c.prn", "--modelo", modelo});
    EXPECT_EQ(r.codigo, 0) << modelo << r.saida;
    EXPECT_NE(teste::Le(pasta / "c.prn").find("PROPOSTA COMERCIAL"), std::string::npos) << modelo;
  }
  for (const char* saida : {"c.txt", "c.html", "c.rdp"}) {
    auto r = Roda({"carta", kExemplo, "--perfil", "Matriz", "--saida", pasta / saida});
    EXPECT_EQ(r.codigo, 0) << saida << r.saida;
  }
  EXPECT_NE(teste::Le(pasta / "c.txt").find("PROPOSTA COMERCIAL"), std::string::npos);
}

TEST_F(CartaCli, ProfilesAndRefusals) {
  const struct {
    std::vector<std::string> args;
    int codigo;
    const char* trecho;
  } casos[] = {
      {{"perfil"}, 0, "Nenhum perfil"},
      {{"perfil", "salvar", "X", "--razao-social", "Beta", "--cnpj", "11.222.333/0001-80"},
       1,
       "verificadores n\xC3\xA3o conferem"},
      {{"perfil", "salvar", "X", "--razao-social", "Beta", "--cnpj", "11222333000181", "--cpf",
        "123"},
       1,
       "11 algarismos"},
      {{"perfil", "salvar", "Beta", "--razao-social", "Beta SA", "--cnpj", "11222333000181"},
       0,
       "gravado"},
      {{"perfil", "salvar", "Beta", "--cep", "13000-000"}, 0, "gravado"},  // changes one field
      {{"perfil"}, 0, "Beta: Beta SA - CNPJ 11.222.333/0001-81"},
      {{"carta", kExemplo, "--saida", "/tmp/x.pdf"}, 2, "Falta --perfil"},
      {{"carta", kExemplo, "--perfil", "Gama", "--saida", "/tmp/x.pdf"},
       1,
       "N\xC3\xA3o h\xC3\xA1 perfil"},
      {{"conferir", kExemplo, "--perfil", "Beta", "--validade", "abc"}, 2, "n\xC3\xBAmero inteiro"},
      {{"conferir", kExemplo, "--perfil", "Beta", "--casas", "3"}, 2, "2 ou 4"},
  };
  for (const auto& c : casos) {
    auto r = Roda(c.args);
    EXPECT_EQ(r.codigo, c.codigo) << c.args[0] << " " << r.saida;
    EXPECT_NE(r.saida.find(c.trecho), std::string::npos) << r.saida;
  }
}

TEST_F(CartaCli, ConferirExitCodes) {
  CriaPerfil();
  teste::PastaTemporaria pasta;
  // The example has an unpriced item in a priced lot.
  auto r = Roda({"conferir", kExemplo, "--perfil", "Matriz"});
  EXPECT_EQ(r.codigo, 1) << r.saida;
  EXPECT_NE(r.saida.find("Item 00003 (lote 1): sem valor num lote cotado"), std::string::npos)
      << r.saida;
  r = Roda({"conferir", kExemplo, "--perfil", "Matriz", "--validade", "0"});
  EXPECT_NE(r.saida.find("Validade da proposta n\xC3\xA3o informada"), std::string::npos);

  teste::Grava(pasta / "limpo.xml",
               "<processo label=\"20240001\" descricao=\"d\" totalitens=\"1\">\r\n<produtos>\r\n"
               "<produto>\r\n <ordem>1</ordem>\r\n <codigo>A</codigo>\r\n <nome>N</nome>\r\n"
               " <descricao>d</descricao>\r\n <marca>M</marca>\r\n <quantidade>3</quantidade>\r\n"
               " <valor>1,25</valor>\r\n <apuracao>1</apuracao>\r\n <lote>1</lote>\r\n"
               "</produto>\r\n</produtos>\r\n</processo>\r\n");
  r = Roda({"conferir", pasta / "limpo.xml", "--perfil", "Matriz"});
  EXPECT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(r.saida.find("Nenhuma pend\xC3\xAAncia"), std::string::npos);
}

}  // namespace
