// Every output written over a file that must be rewritten in place (it has another hard link):
// a full disk leaves the old file whole and says so; a rewrite that fails part-way names the safe
// copy that holds the complete new content.
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/FaultInjection.h"
#include "report/RelatorioTeste.h"

using namespace report;
using platform::AtomicStep;

namespace {

struct Saida {
  const char* nome;  // the file written, by its extension
  std::function<bool(TRDprint&, const std::string&)> grava;
};

const Saida kSaidas[] = {
    {"r.rdp", [](TRDprint& rd, const std::string& a) { return rd.GravaRDP(a); }},
    {"r.txt", [](TRDprint& rd, const std::string& a) { return rd.GravaTXT(a); }},
    {"r.prn", [](TRDprint& rd, const std::string& a) { return rd.GravaPRN(a); }},
    {"r.html", [](TRDprint& rd, const std::string& a) { return rd.GravaHTML(a); }},
    {"r.pdf", [](TRDprint& rd, const std::string& a) { return rd.GravaPDF(a); }},
};

class RegravacaoNoLugar : public teste::RelatorioTeste {
 protected:
  void SetUp() override {
    setenv("XDG_CACHE_HOME", cache.caminho().c_str(), 1);
    // One date for every write: the PDF's creation date would differ between two writes that
    // fall in different seconds.
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    rd->MostrarProgresso = false;
    rd->TamanhoQteColunas = 136;
    ASSERT_TRUE(rd->Abrir());
    for (int pagina = 1; pagina <= 3; ++pagina) {
      for (int linha = 1; linha <= 60; ++linha)
        rd->ImpF(linha, 1, "Item " + std::to_string(linha) + " da p\xE1gina", normal, clBlack);
      if (pagina < 3) rd->NovaPagina();
    }
  }
  void TearDown() override {
    platform::clearAtomicFailuresForTesting();
    unsetenv("XDG_CACHE_HOME");
    unsetenv("SOURCE_DATE_EPOCH");
  }
  // The safe copies left in the cache folder, with their paths.
  std::vector<std::string> CopiasSeguras() const {
    std::vector<std::string> r;
    const auto pasta = std::filesystem::path(cache.caminho()) / "proposta";
    if (!std::filesystem::exists(pasta)) return r;
    for (const auto& e : std::filesystem::directory_iterator(pasta)) r.push_back(e.path());
    return r;
  }
  // Every box and error the writer showed, in one text.
  std::string Mensagens() const {
    std::string r;
    for (const auto& c : plataforma.caixas) r += c.texto + "\n";
    for (const auto& e : plataforma.erros) r += e + "\n";
    return r;
  }
  // A target holding `antigo`, with a second hard link (so it must be rewritten in place).
  std::string AlvoComOutroLink(const std::string& nome, const std::string& antigo) {
    const std::string alvo = Caminho(nome);
    EscreveArquivo(alvo, antigo);
    EXPECT_EQ(::link(alvo.c_str(), (alvo + ".link").c_str()), 0);
    return alvo;
  }

  teste::PastaTemporaria cache{"cache"};
  const std::string antigo = std::string(3600, 'v');
};

TEST_F(RegravacaoNoLugar, AFullDiskIsFoundBeforeTheOldFileIsTouched) {
  for (const Saida& s : kSaidas) {
    SCOPED_TRACE(s.nome);
    plataforma.caixas.clear();
    plataforma.erros.clear();
    const std::string alvo = AlvoComOutroLink(s.nome, antigo);
    platform::failAtomicStepForTesting(AtomicStep::Reserve, 1, ENOSPC);
    EXPECT_FALSE(s.grava(*rd, alvo));
    EXPECT_EQ(LeArquivo(alvo), antigo);
    EXPECT_EQ(CopiasSeguras(), std::vector<std::string>{});
    const std::string m = Mensagens();
    EXPECT_NE(m, "");
    EXPECT_EQ(m.find("incompleto"), std::string::npos) << m;
  }
}

TEST_F(RegravacaoNoLugar, ARewriteThatFailsPartWayNamesTheSafeCopy) {
  for (const Saida& s : kSaidas) {
    SCOPED_TRACE(s.nome);
    plataforma.caixas.clear();
    plataforma.erros.clear();
    // The new content, written once where nothing is in the way (the HTML is titled with the
    // file's name, so it is written under the same one).
    ASSERT_TRUE(s.grava(*rd, Caminho(s.nome)));
    const std::string novo = LeArquivo(Caminho(s.nome));
    std::filesystem::remove(Caminho(s.nome));
    const std::string alvo = AlvoComOutroLink(s.nome, antigo);
    platform::failAtomicStepForTesting(AtomicStep::Rewrite, 1, EIO);
    EXPECT_FALSE(s.grava(*rd, alvo));
    const std::vector<std::string> copias = CopiasSeguras();
    ASSERT_EQ(copias.size(), 1u);
    EXPECT_TRUE(LeArquivo(copias[0]) == novo);
    const std::string m = Mensagens();
    EXPECT_NE(m.find("O arquivo pode ter ficado incompleto"), std::string::npos) << m;
    EXPECT_NE(m.find("\r" + copias[0] + "\r"), std::string::npos) << m;
    EXPECT_EQ(m.find("anterior foi mantido"), std::string::npos) << m;
    std::filesystem::remove(copias[0]);
  }
}

}  // namespace
