// The printer models and the export formats, each read from its one table by every caller: the
// names, keys and mapping words of a model lead back to it, and the extension, the dialog's filter
// and the writer of a format agree.
#include <algorithm>
#include <map>

#include "base/Texto.h"
#include "report/RDformatos.h"
#include "report/RDmodelos.h"
#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

namespace {

class ModelosFormatos : public RelatorioTeste {};

// The model a printer queue named "fila" gets from a one-row mapping to `palavra`.
TModelo ModeloMapeado(TRDprint& rd, const std::string& palavra) {
  rd.Mapeamento = {"FILA=" + palavra};
  rd.MapeiaImpressora(std::string("fila"));
  return rd.Impressora;
}

}  // namespace

TEST_F(ModelosFormatos, EveryModelIsFoundAgainByItsKeyAndItsMappingWords) {
  for (const TLinhaModelo& m : kModelos) {
    for (const std::string& chave : {std::string(m.chave), base::UpperCase(m.chave)}) {
      TModelo achado = TModelo::Daruma == m.modelo ? TModelo::Epson : TModelo::Daruma;
      ASSERT_TRUE(ModeloDaChave(chave, achado)) << chave;
      EXPECT_EQ(achado, m.modelo) << chave;
    }
    for (const char* palavra : m.palavras) {
      if (palavra) {
        EXPECT_EQ(ModeloMapeado(*rd, palavra), m.modelo) << palavra;
      }
    }
    EXPECT_EQ(&Modelo(m.modelo), &m);
  }
  TModelo intocado = TModelo::Rima;
  EXPECT_FALSE(ModeloDaChave("laser", intocado));
  EXPECT_EQ(intocado, TModelo::Rima);
  // A word no row has leaves the graphic model, as an unmapped name does.
  EXPECT_EQ(ModeloMapeado(*rd, "LASER"), TModelo::Grafico);
}

TEST_F(ModelosFormatos, TheHelpListNamesEveryByteModelAndEachNameInItIsAKey) {
  const std::string lista = ListaDeChaves();
  std::vector<std::string> nomes;
  for (size_t i = 0, fim; i < lista.size(); i = fim) {
    fim = lista.find_first_of(", ", i);
    if (fim == std::string::npos) fim = lista.size();
    const std::string nome = lista.substr(i, fim - i);
    if (!nome.empty() && nome != "ou") nomes.push_back(nome);
    if (fim < lista.size()) ++fim;
  }
  size_t porBytes = 0;
  for (const TLinhaModelo& m : kModelos) porBytes += m.grafico ? 0 : 1;
  EXPECT_EQ(nomes.size(), porBytes) << lista;
  for (const std::string& nome : nomes) {
    TModelo m;
    ASSERT_TRUE(ModeloDaChave(nome, m)) << nome;
    EXPECT_FALSE(Modelo(m).grafico) << nome;
  }
}

TEST_F(ModelosFormatos, TheSetupListNamesEveryModelOnceAndTheCustomOneByItsPrinter) {
  rd->ImpressoraPersonalizada.NomeImpressora = "Minha matricial";
  std::vector<std::string> nomes;
  for (const TLinhaModelo& m : kModelos) {
    const std::string nome = NomeModelo(*rd, m.modelo);
    EXPECT_FALSE(nome.empty()) << m.chave;
    EXPECT_EQ(std::count(nomes.begin(), nomes.end(), nome), 0) << nome;
    nomes.push_back(nome);
  }
  EXPECT_EQ(NomeModelo(*rd, TModelo::Personalizado), "Minha matricial");
}

TEST_F(ModelosFormatos, EachFormatsFilterShowsItsExtensionAndItsWriterWritesThatFormat) {
  // The first bytes each format's file starts with.
  const std::map<std::string, std::string> inicios = {
      {"html", "<!DOCTYPE HTML"}, {"pdf", "%PDF-1.4\r\n"},     {"txt", "linha"},
      {"rdp", "<< RDprint 6.0"},  {"prn", "\x1B\x32\x1B\x43"},  // Epson: 6 lpi, page length
  };
  ASSERT_TRUE(rd->Abrir());
  rd->ImpF(1, 1, "linha", normal, clBlack);
  rd->Impressora = TModelo::Epson;
  rd->ConfiguraComandos(rd->Impressora, rd->TamanhoQteLinhas, rd->TamanhoQteLPP);
  for (const TFormato& f : kFormatos) {
    const std::string mascara = Mascara(f);
    EXPECT_NE(std::string(f.descricao).find("(" + mascara + ")"), std::string::npos) << f.descricao;
    for (const std::string& nome :
         {"pasta.x/relatorio." + std::string(f.extensao), "relatorio" + mascara.substr(1)})
      EXPECT_EQ(FormatoDoArquivo(nome), &f) << nome;
    EXPECT_NE(ListaDeExtensoes().find(std::string(".") + f.extensao), std::string::npos);
    const std::string arquivo = Caminho(std::string("r.") + f.extensao);
    ASSERT_TRUE(f.grava(*rd, arquivo)) << f.extensao;
    const std::string& inicio = inicios.at(f.extensao);
    EXPECT_EQ(LeArquivo(arquivo).substr(0, inicio.size()), inicio) << f.extensao;
  }
  for (const char* nome : {"relatorio", "relatorio.doc", "relatorio.", "pasta.pdf/relatorio"})
    EXPECT_EQ(FormatoDoArquivo(nome), nullptr) << nome;
}

TEST(ListaComOu, JoinsWithCommasAndTheLastWithOu) {
  const std::pair<std::vector<std::string>, const char*> casos[] = {
      {{}, ""}, {{"a"}, "a"}, {{"a", "b"}, "a ou b"}, {{"a", "b", "c"}, "a, b ou c"}};
  for (const auto& [itens, esperado] : casos) EXPECT_EQ(base::ListaComOu(itens), esperado);
}
