// The folder the open dialog starts in, and the last process folder kept across runs in the
// user's settings folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/PastaProcessos.h"
#include "support/Arquivos.h"
#include "support/PastasUsuario.h"

using namespace app;

TEST(PastaProcessosTest, TheDialogStartsInTheOpenThenTheLastThenTheHomeFolder) {
  teste::PastasUsuario usuario;
  const std::string casa = usuario / "casa";
  teste::PastaTemporaria aberta("aberta"), ultima("ultima");
  const std::string sumida = usuario / "sumida";
  std::filesystem::create_directory(sumida);
  struct Caso {
    const char* nome;
    std::string lembrado;  // the process whose folder was kept last; empty: none
    std::string aberto;    // the process open now; empty: none
    std::string esperada;
  } casos[] = {
      {"nothing kept", "", "", casa},
      {"the open process wins", ultima / "p.xml", aberta / "p.xml", aberta.caminho()},
      {"the last process, from another run", ultima / "p.xml", "", ultima.caminho()},
      {"an open process whose folder is gone", ultima / "p.xml", usuario / "nao-ha/p.xml",
       ultima.caminho()},
      {"a kept folder that is gone", sumida + "/p.xml", "", casa},
      {"a relative name is kept absolute", "p.xml", "", std::filesystem::current_path().string()},
  };
  for (const Caso& c : casos) {
    std::filesystem::remove(CaminhoPastas());
    if (!c.lembrado.empty()) {
      EXPECT_EQ(LembraPastaProcesso(c.lembrado), std::nullopt) << c.nome;
    }
    if (c.lembrado.rfind(sumida, 0) == 0) std::filesystem::remove(sumida);
    const PastaInicial r = PastaInicialAbrir(c.aberto);
    EXPECT_EQ(r.pasta, c.esperada) << c.nome;
    EXPECT_FALSE(r.aviso) << c.nome;
  }
}

TEST(PastaProcessosTest, TheSettingsFileKeepsWhatElseItHolds) {
  teste::PastasUsuario usuario;
  teste::PastaTemporaria processos;
  std::filesystem::create_directories(std::filesystem::path(CaminhoPastas()).parent_path());
  teste::Grava(CaminhoPastas(), "{\"formato\": 1, \"outra\": \"coisa\"}");
  EXPECT_EQ(LembraPastaProcesso(processos / "p.xml"), std::nullopt);
  const std::string lido = teste::Le(CaminhoPastas());
  EXPECT_NE(lido.find("\"outra\": \"coisa\""), std::string::npos) << lido;
  EXPECT_EQ(PastaInicialAbrir("").pasta, processos.caminho());
}

TEST(PastaProcessosTest, ADamagedSettingsFileIsSetAsideAndSaidSo) {
  teste::PastasUsuario usuario;
  teste::PastaTemporaria processos;
  const std::filesystem::path config = std::filesystem::path(CaminhoPastas()).parent_path();
  std::filesystem::create_directories(config);
  const char* danificados[] = {"{\"ultimoProcesso\": ", "[1, 2]"};
  for (const char* bytes : danificados) {
    teste::Grava(CaminhoPastas(), bytes);
    const PastaInicial r = PastaInicialAbrir("");
    EXPECT_EQ(r.pasta, usuario / "casa") << bytes;
    ASSERT_TRUE(r.aviso) << bytes;
    EXPECT_NE(r.aviso->find("danificado"), std::string::npos) << *r.aviso;
    EXPECT_FALSE(std::filesystem::exists(CaminhoPastas())) << bytes;
    size_t deLado = 0;
    for (const auto& f : std::filesystem::directory_iterator(config))
      deLado += f.path().filename().string().rfind("pastas.json.danificado-", 0) == 0;
    EXPECT_GE(deLado, 1u) << bytes;
    // Writing after the damage starts a fresh file that holds the folder.
    EXPECT_EQ(LembraPastaProcesso(processos / "p.xml"), std::nullopt);
    EXPECT_EQ(PastaInicialAbrir("").pasta, processos.caminho());
    std::filesystem::remove(CaminhoPastas());
  }
}

TEST(PastaProcessosTest, AFolderThatCannotBeKeptIsSaid) {
  teste::PastasUsuario usuario;
  teste::PastaTemporaria processos;
  // The settings folder is a file: nothing can be written under it.
  const std::filesystem::path config = std::filesystem::path(CaminhoPastas()).parent_path();
  std::filesystem::create_directories(config.parent_path());
  teste::Grava(config.string(), "x");
  auto falha = LembraPastaProcesso(processos / "p.xml");
  ASSERT_TRUE(falha);
  EXPECT_NE(falha->find("pastas.json"), std::string::npos) << *falha;
  EXPECT_EQ(PastaInicialAbrir("").pasta, usuario / "casa");
  // A name that is not UTF-8 is refused with a message, not written.
  std::filesystem::remove(config);
  falha = LembraPastaProcesso(processos / "pre\xE7o/p.xml");
  ASSERT_TRUE(falha);
  EXPECT_FALSE(std::filesystem::exists(CaminhoPastas()));
}
