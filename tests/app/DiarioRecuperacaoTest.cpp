// The recovery journal's layout: texts come back whatever they hold, a record cut short by a crash
// is left out, a damaged record before whole ones makes the journal untrusted, and names stay
// apart and short enough for the file system.
#include <gtest/gtest.h>

#include <cmath>

#include "app/DiarioRecuperacao.h"

using namespace app;

namespace {

const platform::FileStamp kCarimbo{1234, 1714559400, 123456789};

RegistroDiario Gravado(int32_t posicao, std::optional<int32_t> ordem, std::string codigo,
                       std::string marca, std::optional<double> valor) {
  return RegistroDiario{RegistroDiario::Tipo::Gravado,
                        1714559400 + posicao,
                        posicao,
                        ordem,
                        std::move(codigo),
                        std::move(marca),
                        valor};
}

RegistroDiario Apagado(int32_t posicao, int32_t ordem, std::string codigo) {
  return RegistroDiario{RegistroDiario::Tipo::Apagado,
                        1714559500,
                        posicao,
                        ordem,
                        std::move(codigo),
                        "",
                        std::nullopt};
}

const std::vector<RegistroDiario> kRegistros = {
    Gravado(0, 1, "C-001", "Faber Castell", 12.5),
    // Every separator and control character, a lone backslash before an escape letter, accents.
    Gravado(1, -7, "a\tb\\tc", "\\x41\n\r\x01\x7F\xE7\xE3o\\", 0.1 + 0.2),
    Gravado(2, std::nullopt, "", "", std::nullopt),
    Gravado(3, 2147483647, "C\\", " espa\xE7os ", 0.0),
    Apagado(1, -7, "a\tb\\tc"),
    Gravado(4, 9, "X", "Y", 1e300),
};

std::string Diario(const std::string& caminho = "/dados/preg\xC3\xA3o\t\\n.xml") {
  std::string s = CodificaCabecalho(caminho, kCarimbo);
  for (const auto& r : kRegistros) s += CodificaRegistro(r);
  return s;
}

}  // namespace

TEST(DiarioRecuperacao, EveryTextAndNumberReadsBackAsWritten) {
  std::string caminho = "/dados/preg\xC3\xA3o\t\\n\r\x02.xml";
  ConteudoDiario d = LeDiario(Diario(caminho));
  EXPECT_EQ(d.estado, ConteudoDiario::Estado::Valido);
  EXPECT_EQ(d.caminho, caminho);
  EXPECT_EQ(d.carimbo, kCarimbo);
  EXPECT_EQ(d.registros, kRegistros);
  EXPECT_EQ(d.bytesValidos, Diario(caminho).size());
}

TEST(DiarioRecuperacao, ARecordCutShortAnywhereIsLeftOutAndTheOthersKept) {
  std::string inteiro = Diario();
  std::string ultimo = CodificaRegistro(kRegistros.back());
  size_t antes = inteiro.size() - ultimo.size();
  // Every cut of the last record, also just before its LF, and a tail of zeros (a power cut after
  // the size grew but before the bytes were on the disk).
  std::vector<std::string> cortes;
  for (size_t n = 0; n < ultimo.size(); ++n) cortes.push_back(inteiro.substr(0, antes + n));
  cortes.push_back(inteiro.substr(0, antes) + std::string(40, '\0'));
  cortes.push_back(inteiro.substr(0, antes) + std::string(40, '\0') + "\n");
  for (const std::string& c : cortes) {
    SCOPED_TRACE(c.size());
    ConteudoDiario d = LeDiario(c);
    EXPECT_EQ(d.estado, ConteudoDiario::Estado::Valido);
    EXPECT_EQ(d.registros.size(), kRegistros.size() - 1);
    EXPECT_EQ(d.bytesValidos, antes);
  }
}

// A block of the records after the first, between that first record and a last one.
TEST(DiarioRecuperacao, ABlockCutShortAnywhereIsLeftOutWhole) {
  const std::vector<RegistroDiario> meio(kRegistros.begin() + 1, kRegistros.end() - 1);
  const std::string antes = CodificaCabecalho("/p.xml", kCarimbo) + CodificaRegistro(kRegistros[0]);
  const std::string bloco = CodificaBloco(meio, 1714559600);
  const std::string inteiro = antes + bloco + CodificaRegistro(kRegistros.back());
  EXPECT_EQ(LeDiario(inteiro).registros, kRegistros);
  for (size_t n = 0; n <= bloco.size(); ++n) {
    SCOPED_TRACE(n);
    ConteudoDiario d = LeDiario(antes + bloco.substr(0, n));
    EXPECT_EQ(d.estado, ConteudoDiario::Estado::Valido);
    const bool todo = n == bloco.size();
    EXPECT_EQ(d.registros.size(), todo ? kRegistros.size() - 1 : 1u);
    EXPECT_EQ(d.bytesValidos, todo ? antes.size() + bloco.size() : antes.size());
  }
  // A power cut after the size grew: zeros where the end of the block should be.
  ConteudoDiario zeros =
      LeDiario(antes + bloco.substr(0, bloco.size() / 2) + std::string(40, '\0'));
  EXPECT_EQ(zeros.registros.size(), 1u);
  EXPECT_EQ(zeros.bytesValidos, antes.size());
}

TEST(DiarioRecuperacao, ADamagedBlockBeforeWholeRecordsMakesTheJournalUntrusted) {
  const std::string antes = CodificaCabecalho("/p.xml", kCarimbo);
  const std::string bloco = CodificaBloco({kRegistros[0], kRegistros[1]}, 1714559600);
  const std::string depois = CodificaRegistro(kRegistros[2]);
  const size_t segunda = bloco.find('\n') + 1;
  const std::string seis = CodificaBloco(kRegistros, 1714559600);
  const struct {
    const char* nome;
    std::string bytes;
    ConteudoDiario::Estado estado;
    size_t registros;
  } casos[] = {
      {"a record of the block damaged",
       antes + bloco.substr(0, segunda + 2) + "9" + bloco.substr(segunda + 3) + depois,
       ConteudoDiario::Estado::Danificado, 1},
      {"a block in a block", antes + bloco.substr(0, segunda) + bloco + depois,
       ConteudoDiario::Estado::Danificado, 1},
      {"an empty block", antes + CodificaBloco({}, 1) + depois, ConteudoDiario::Estado::Danificado,
       1},
      {"a block announcing more than follows",
       antes + seis.substr(0, seis.find('\n') + 1) + CodificaRegistro(kRegistros[0]) + depois,
       ConteudoDiario::Estado::Valido, 0},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    ConteudoDiario d = LeDiario(c.bytes);
    EXPECT_EQ(d.estado, c.estado);
    EXPECT_EQ(d.registros.size(), c.registros);
  }
}

TEST(DiarioRecuperacao, DamageBeforeWholeRecordsMakesTheJournalUntrusted) {
  std::string inteiro = Diario();
  size_t cabecalho = inteiro.find('\n') + 1;
  size_t segundo = inteiro.find('\n', cabecalho) + 1;
  struct Caso {
    const char* nome;
    std::string bytes;
    ConteudoDiario::Estado estado;
  } casos[] = {
      {"empty", "", ConteudoDiario::Estado::Vazio},
      {"first line cut short", inteiro.substr(0, cabecalho - 3), ConteudoDiario::Estado::Vazio},
      {"header only", inteiro.substr(0, cabecalho), ConteudoDiario::Estado::Valido},
      {"a byte of the first record changed",
       inteiro.substr(0, cabecalho + 4) + "9" + inteiro.substr(cabecalho + 5),
       ConteudoDiario::Estado::Danificado},
      {"a record lost its LF", inteiro.substr(0, segundo - 1) + inteiro.substr(segundo),
       ConteudoDiario::Estado::Danificado},
      {"the header damaged", "x" + inteiro, ConteudoDiario::Estado::Danificado},
      {"another layout's first line", "<processo label=\"1\">\n", ConteudoDiario::Estado::Vazio},
      // A price that is no number is no whole record, whatever its check says.
      {"a price that is not a number",
       inteiro.substr(0, cabecalho) + CodificaRegistro(Gravado(0, 1, "C", "M", NAN)) +
           inteiro.substr(cabecalho),
       ConteudoDiario::Estado::Danificado},
      {"an infinite price",
       inteiro.substr(0, cabecalho) + CodificaRegistro(Gravado(0, 1, "C", "M", INFINITY)) +
           inteiro.substr(cabecalho),
       ConteudoDiario::Estado::Danificado},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    ConteudoDiario d = LeDiario(c.bytes);
    EXPECT_EQ(d.estado, c.estado);
    if (c.estado != ConteudoDiario::Estado::Danificado) {
      EXPECT_TRUE(d.registros.empty());
    }
  }
}

TEST(DiarioRecuperacao, NamesKeepProcessesApartAndFitTheFileSystem) {
  // The same file name in two folders, and a name of 250 bytes of two-byte characters.
  EXPECT_NE(NomeDiario("/a/pregao.xml"), NomeDiario("/b/pregao.xml"));
  EXPECT_TRUE(NomeDiario("/a/pregao.xml").ends_with("-pregao.xml.diario"));
  std::string longo = "/p/";
  for (int i = 0; i < 125; ++i) longo += "\xC3\xA7";
  std::string nome = NomeDiario(longo);
  std::string deLado = NomeDeLado(nome, "nao-recuperado", 1714559400, 99);
  EXPECT_LE(deLado.size(), 255u);
  EXPECT_TRUE(deLado.ends_with(".diario"));
  // Cut at a character boundary: the name is still whole UTF-8.
  size_t proprio = nome.find('-') + 1;
  EXPECT_EQ((nome.size() - proprio - 7) % 2, 0u);
  EXPECT_NE(deLado, NomeDeLado(nome, "nao-recuperado", 1714559400, 1));
}
