// Company profiles and the terms of each process: kept in the user's folders (a temporary home
// here), found again after a restart, damaged files kept aside and reported, and a kill -9 while
// saving never leaves a broken file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/Perfis.h"
#include "app/TermosProposta.h"
#include "platform/PendingFile.h"
#include "support/Arquivos.h"
#include "support/PastasUsuario.h"

namespace {

app::PerfilEmpresa Empresa(const std::string& nome, const std::string& razao,
                           const std::string& cnpj) {
  app::PerfilEmpresa p;
  p.nome = nome;
  p.razaoSocial = razao;
  p.cnpj = cnpj;
  return p;
}

TEST(Perfis, TwoCompaniesKeptAndChosenAfterARestart) {
  teste::PastasUsuario pastas;
  ASSERT_FALSE(app::SalvaPerfil(Empresa("Matriz", "Papelaria Alfa Ltda", "11222333000181")));
  app::PerfilEmpresa filial = Empresa("Filial", "Alfa Com\xE9rcio S.A.", "12.abc.345/01de-35");
  filial.cpf = "52998224725";
  filial.uf = "SP";
  ASSERT_FALSE(app::SalvaPerfil(filial));
  // A second save of the same name (other case) changes it instead of adding one.
  ASSERT_FALSE(app::SalvaPerfil(Empresa("matriz", "Papelaria Alfa Eireli", "11222333000181")));

  EXPECT_EQ(app::CaminhoPerfis(), pastas / "config/proposta/perfis.json");
  const app::PerfisLidos lidos = app::LePerfis();  // what a new run of the program reads
  EXPECT_EQ(lidos.erro, "");
  ASSERT_EQ(lidos.perfis.size(), 2u);
  const app::PerfilEmpresa* m = app::AchaPerfil(lidos.perfis, "MATRIZ");
  const app::PerfilEmpresa* f = app::AchaPerfil(lidos.perfis, "Filial");
  ASSERT_TRUE(m && f);
  EXPECT_EQ(m->razaoSocial, "Papelaria Alfa Eireli");
  EXPECT_EQ(m->cnpj, "11.222.333/0001-81");
  EXPECT_EQ(f->razaoSocial, "Alfa Com\xE9rcio S.A.");
  EXPECT_EQ(f->cnpj, "12.ABC.345/01DE-35");  // kept masked and upper case
  EXPECT_EQ(f->cpf, "529.982.247-25");
  // The file is UTF-8 JSON a person can read.
  EXPECT_NE(teste::Le(app::CaminhoPerfis()).find("Alfa Comércio S.A."), std::string::npos);
}

TEST(Perfis, RefusalsWriteNothing) {
  teste::PastasUsuario pastas;
  const struct {
    app::PerfilEmpresa perfil;
    const char* trecho;
  } casos[] = {
      {Empresa("", "X", "11222333000181"), "nome"},
      {Empresa("A", "", "11222333000181"), "raz\xE3o social"},
      {Empresa("A", "X", "11.222.333/0001-80"), "verificadores"},
      {[] {
         auto p = Empresa("A", "X", "11222333000181");
         p.cpf = "529.982.247-24";
         return p;
       }(),
       "CPF"},
      {[] {
         auto p = Empresa("A", "X", "11222333000181");
         p.uf = "S";
         return p;
       }(),
       "UF"},
  };
  for (const auto& c : casos) {
    auto e = app::SalvaPerfil(c.perfil);
    ASSERT_TRUE(e) << c.trecho;
    EXPECT_NE(e->find(c.trecho), std::string::npos) << *e;
  }
  EXPECT_FALSE(std::filesystem::exists(app::CaminhoPerfis()));
}

TEST(Perfis, DamagedFileIsKeptAsideAndReportedNeverReset) {
  teste::PastasUsuario pastas;
  ASSERT_FALSE(app::SalvaPerfil(Empresa("Matriz", "Alfa", "11222333000181")));
  const std::string danificado = "{\"perfis\": [ {\"nome\": \"Matriz\", ";
  teste::Grava(app::CaminhoPerfis(), danificado);

  const app::PerfisLidos lidos = app::LePerfis();
  EXPECT_TRUE(lidos.perfis.empty());
  EXPECT_NE(lidos.erro.find("danificado"), std::string::npos);
  const auto nomes = teste::Nomes(pastas / "config/proposta");
  ASSERT_EQ(nomes.size(), 1u);
  EXPECT_EQ(nomes[0].rfind("perfis.json.danificado-", 0), 0u);
  EXPECT_EQ(teste::Le(pastas / ("config/proposta/" + nomes[0])), danificado);

  // Saving again starts a new file; the damaged one stays aside.
  ASSERT_FALSE(app::SalvaPerfil(Empresa("Outra", "Beta", "11222333000181")));
  EXPECT_EQ(teste::Nomes(pastas / "config/proposta").size(), 2u);
  EXPECT_EQ(app::LePerfis().perfis.size(), 1u);
}

TEST(Perfis, KillWhileSavingLeavesTheOldOrTheNewFile) {
  teste::PastasUsuario pastas;
  // Thirty other companies make the file long enough to take more than one write.
  for (int n = 0; n < 30; ++n) {
    auto outra = Empresa("Filial " + std::to_string(n), std::string(100, 'y'), "11222333000181");
    outra.endereco = std::string(100, 'z');
    ASSERT_FALSE(app::SalvaPerfil(outra));
  }
  const auto versao = [](int i) {
    auto p = Empresa("Matriz", i % 2 ? "Vers\xE3o A" : "Vers\xE3o B", "11222333000181");
    p.endereco = std::string(90 + i % 7, 'x');
    return p;
  };
  ASSERT_FALSE(app::SalvaPerfil(versao(1)));
  for (int rodada = 0; rodada < 20; ++rodada) {
    const pid_t filho = ::fork();
    ASSERT_GE(filho, 0);
    if (filho == 0) {
      for (int i = 0;; ++i)
        if (app::SalvaPerfil(versao(i))) _exit(3);  // a refused save would test nothing
    }
    std::this_thread::sleep_for(std::chrono::microseconds(300 + rodada * 450));
    ::kill(filho, SIGKILL);
    int st = 0;
    ::waitpid(filho, &st, 0);
    ASSERT_TRUE(WIFSIGNALED(st)) << "rodada " << rodada;
    // The old or the new file, whole; beside it at most one file of ours, under our temporary
    // name (killed between its link and its rename), which the next save removes.
    const app::PerfisLidos lidos = app::LePerfis();
    ASSERT_EQ(lidos.erro, "") << "rodada " << rodada;
    ASSERT_EQ(lidos.perfis.size(), 31u);
    const app::PerfilEmpresa& matriz = lidos.perfis.back();
    EXPECT_TRUE(matriz.razaoSocial == "Vers\xE3o A" || matriz.razaoSocial == "Vers\xE3o B");
    EXPECT_EQ(matriz.endereco.find_first_not_of('x'), std::string::npos);
    EXPECT_GE(matriz.endereco.size(), 90u);
    EXPECT_EQ(lidos.perfis.front().endereco, std::string(100, 'z'));
    for (const std::string& nome : teste::Nomes(pastas / "config/proposta"))
      EXPECT_TRUE(nome == "perfis.json" || platform::isOurTemporaryName(nome)) << nome;
    ASSERT_FALSE(app::SalvaPerfil(versao(1)));
    EXPECT_EQ(teste::Nomes(pastas / "config/proposta"), std::vector<std::string>{"perfis.json"});
  }
}

TEST(Termos, KeptPerProcessAndFoundAgain) {
  teste::PastasUsuario pastas;
  const std::string numero = "2024/0015", descricao = "Preg\xE3o 15/2024 - material";
  app::TermosLidos novo = app::LeTermos(numero, descricao);
  EXPECT_FALSE(novo.guardados);
  EXPECT_EQ(novo.termos.validadeDias, 60);
  EXPECT_FALSE(novo.termos.declaracoes.empty());

  app::TermosProposta t = novo.termos;
  t.perfil = "Filial";
  t.orgao = "Prefeitura Municipal de S\xE3o Jos\xE9";
  t.validadeDias = 90;
  t.casasDecimais = 4;
  t.declaracoes = {"Declara\xE7\xE3o \xFAnica."};
  ASSERT_FALSE(app::GravaTermos(numero, descricao, t));

  const app::TermosLidos lidos = app::LeTermos(numero, descricao);
  EXPECT_TRUE(lidos.guardados);
  EXPECT_EQ(lidos.termos.orgao, t.orgao);
  EXPECT_EQ(lidos.termos.perfil, "Filial");
  EXPECT_EQ(lidos.termos.validadeDias, 90);
  EXPECT_EQ(lidos.termos.casasDecimais, 4);
  EXPECT_EQ(lidos.termos.declaracoes, t.declaracoes);
  // Kept in the data folder, never beside the process file; another process starts anew.
  EXPECT_EQ(app::CaminhoTermos(numero, descricao).rfind(pastas / "dados/proposta/termos/", 0), 0u);
  EXPECT_FALSE(app::LeTermos(numero, "Outro objeto").guardados);
  EXPECT_NE(app::CaminhoTermos(numero, "Outro objeto"), app::CaminhoTermos(numero, descricao));
}

TEST(Termos, UserDefaultsApplyToNewProcesses) {
  teste::PastasUsuario pastas;
  app::TermosProposta padrao = app::TermosDeFabrica();
  padrao.condicoesPagamento = "30 dias ap\xF3s a entrega";
  padrao.declaracoes.push_back("Declaramos ser microempresa.");
  ASSERT_FALSE(app::GravaTermosPadrao(padrao));
  const app::TermosLidos t = app::LeTermos("1/2025", "Objeto");
  EXPECT_EQ(t.termos.condicoesPagamento, padrao.condicoesPagamento);
  EXPECT_EQ(t.termos.declaracoes, padrao.declaracoes);
}

TEST(Termos, RefusedValues) {
  teste::PastasUsuario pastas;
  const struct {
    int validade, casas, limite;
    bool aceito;
  } casos[] = {{60, 2, 50, true},  {0, 4, 20, true},   {-1, 2, 50, false},
               {60, 3, 50, false}, {60, 2, 30, false}, {4000, 2, 40, false}};
  for (const auto& c : casos) {
    app::TermosProposta t;
    t.validadeDias = c.validade;
    t.casasDecimais = c.casas;
    t.limiteMarca = c.limite;
    EXPECT_EQ(!app::GravaTermos("1", "x", t), c.aceito) << c.validade << c.casas << c.limite;
  }
}

}  // namespace
