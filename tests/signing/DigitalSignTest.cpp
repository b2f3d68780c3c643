// The signing launcher with stand-in programs: small shell scripts named as the two signing
// programs, in a temporary folder used as the executable's folder, log how they were started.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "signing/vekDigitalSign.h"
#include "support/Arquivos.h"
#include "support/PlataformaRoteiro.h"

namespace fs = std::filesystem;

namespace {

using signing::TDigitalSign;
using teste::Grava;
using teste::GravaScriptRegistro;
using teste::Le;

// The box every launcher error ends in, and the launcher's two own messages (Windows-1252).
const std::string kBoxHead =
    "Ocorreu um problema ao tentar executar o servi\xE7o de assinatura digital!\r"
    "Mensagem Original: ";
const std::string kNoPackage =
    "N\xE3o foi poss\xEDvel encontrar os recursos do JSignPDF! \xC9 necess\xE1rio colocar o "
    "\"zovUrid.exe\" e \"razOdizazido.exe\" na pasta do sistema de proposta para utilizar o "
    "recurso de assinatura de documentos!\r\n - Favor entrar em contato com o pregoeiro e "
    "solicitar os recursos adicionais: \"zovUrid.exe\" e \"razOdizazido.exe\".";
const std::string kNoApplication =
    "N\xE3o ser\xE1 poss\xEDvel prosseguir! Aplica\xE7\xE3o \"razOdizazido.exe\" n\xE3o "
    "localizada!";

class DigitalSign : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = folder_.caminho() + "/";
    log_ = folder_ / "log.txt";
    TDigitalSign::setDirectoryBaseForTesting(folder_.caminho());
  }
  void TearDown() override { TDigitalSign::setDirectoryBaseForTesting(""); }

  // The package stand-in unpacks version.dat with `version` as its first line.
  void installPackage(const std::string& version = "0.0.0.0") {
    GravaScriptRegistro(
        base_ + "zovUrid.exe", "zovUrid", log_,
        "mkdir -p JSignPdf\nprintf '%s\\r\\n' '" + version + "' > JSignPdf/version.dat\n");
  }
  void installApplication() {
    GravaScriptRegistro(base_ + "razOdizazido.exe", "razOdizazido", log_);
  }
  // The wait after unpacking the package kept the window answering: messages handled between
  // short pauses. Clears the record for the next run.
  void expectWindowKeptAnswering(bool unpackedNow) {
    EXPECT_EQ(platform_.mensagensProcessadas > 0, unpackedNow);
    EXPECT_EQ(platform_.pausas.size(), static_cast<size_t>(platform_.mensagensProcessadas));
    for (int ms : platform_.pausas) EXPECT_LE(ms, 200);
    platform_.mensagensProcessadas = 0;
    platform_.pausas.clear();
  }
  // A package folder that was unpacked before, with its version.dat bytes and one more file.
  void unpacked(const std::string& versionDat) {
    fs::create_directories(base_ + "JSignPdf/lib");
    Grava(base_ + "JSignPdf/version.dat", versionDat);
    Grava(base_ + "JSignPdf/lib/JSignPdf.jar", "jar");
  }
  std::string ran(const std::string& name, const std::string& args = "") const {
    return "run " + name + "\ncwd=" + folder_.caminho() + "\n" + args;
  }
  void expectOneErrorBox(const std::string& message) {
    ASSERT_EQ(platform_.caixas.size(), 1u);
    EXPECT_EQ(platform_.caixas[0].titulo, "Erro");
    EXPECT_EQ(platform_.caixas[0].estilo, 16);
    EXPECT_EQ(platform_.caixas[0].texto, kBoxHead + message);
  }

  teste::PastaTemporaria folder_{"sign"};
  teste::PlataformaRoteiro platform_;
  platform::ScopedPlatform guard_{platform_};
  std::string base_, log_;
};

TEST_F(DigitalSign, PathsAreInTheExecutablesFolder) {
  TDigitalSign s;
  EXPECT_EQ(s.getDirectoryBase(), base_);
  EXPECT_EQ(s.getZovUridExecName(), "razOdizazido.exe");
  EXPECT_EQ(s.getPathToApplication(), base_ + "razOdizazido.exe");
  EXPECT_EQ(s.getPathToPackage(true), base_ + "zovUrid.exe");
  EXPECT_EQ(s.getPathToPackage(false), base_ + "JSignPdf/");
  EXPECT_EQ(s.getPathOfPackageFileVersion(), base_ + "JSignPdf/version.dat");
  TDigitalSign::setDirectoryBaseForTesting("");
  EXPECT_EQ(s.getDirectoryBase(), fs::canonical(PROPOSTA_BINARY_DIR).string() + "/");
}

TEST_F(DigitalSign, FirstRunExtractsThePackageThenStartsTheApplication) {
  installPackage();
  installApplication();
  EXPECT_TRUE(signing::executeSign("", false));
  EXPECT_EQ(Le(log_), ran("zovUrid") + ran("razOdizazido"));
  EXPECT_EQ(Le(base_ + "JSignPdf/version.dat"), "0.0.0.0\r\n");
  expectWindowKeptAnswering(true);
  EXPECT_TRUE(platform_.caixas.empty());

  // The package is now current: the next signing starts the application alone.
  fs::remove(log_);
  EXPECT_TRUE(signing::executeSign("", false));
  EXPECT_EQ(Le(log_), ran("razOdizazido"));
  expectWindowKeptAnswering(false);
}

TEST_F(DigitalSign, CurrentVersionDatSkipsExtraction) {
  // A stand-in is no Windows program file, so the application's version is 0.0.0.0.
  for (const char* versionDat : {"0.0.0.0", "0.0.0.0\r\n", "0.0.0.0\nsegunda linha\n"}) {
    installPackage();
    installApplication();
    unpacked(versionDat);
    fs::remove(log_);
    EXPECT_TRUE(signing::executeSign("", false)) << versionDat;
    EXPECT_EQ(Le(log_), ran("razOdizazido")) << versionDat;
    EXPECT_TRUE(fs::exists(base_ + "JSignPdf/lib/JSignPdf.jar")) << versionDat;
  }
  expectWindowKeptAnswering(false);
  EXPECT_TRUE(platform_.caixas.empty());
}

TEST_F(DigitalSign, DifferentVersionEmptiesThePackageFolderAndExtractsAgain) {
  // A trailing blank, another version, or no version.dat at all: each differs from 0.0.0.0.
  for (const char* versionDat : {"0.0.0.0 \r\n", "1.0.0.0\r\n", ""}) {
    installPackage();
    installApplication();
    unpacked(versionDat);
    if (!*versionDat) fs::remove(base_ + "JSignPdf/version.dat");
    fs::remove(log_);
    EXPECT_TRUE(signing::executeSign("", false)) << versionDat;
    EXPECT_EQ(Le(log_), ran("zovUrid") + ran("razOdizazido")) << versionDat;
    EXPECT_FALSE(fs::exists(base_ + "JSignPdf/lib")) << versionDat;
    EXPECT_EQ(Le(base_ + "JSignPdf/version.dat"), "0.0.0.0\r\n");
    expectWindowKeptAnswering(true);
  }
}

TEST_F(DigitalSign, TrailingBlankWrittenByThePackageReextractsEveryTime) {
  installPackage("0.0.0.0 ");
  installApplication();
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(signing::executeSign("", false));
  EXPECT_EQ(Le(log_), ran("zovUrid") + ran("razOdizazido") + ran("zovUrid") + ran("razOdizazido"));
}

TEST_F(DigitalSign, MissingPackageProgramIsReportedEvenWhenThePackageIsCurrent) {
  installApplication();
  EXPECT_FALSE(signing::executeSign("", false));
  expectOneErrorBox(kNoPackage);
  platform_.caixas.clear();
  unpacked("0.0.0.0\r\n");
  EXPECT_FALSE(signing::executeSign("", false));
  expectOneErrorBox(kNoPackage);
  EXPECT_EQ(Le(log_), "");  // the application never started
}

TEST_F(DigitalSign, MissingApplicationIsReportedAfterTheExtraction) {
  installPackage();
  EXPECT_FALSE(signing::executeSign("", false));
  expectOneErrorBox(kNoApplication);
  EXPECT_EQ(Le(log_), ran("zovUrid"));
}

TEST_F(DigitalSign, EmptyVersionDatIsReportedAsAListIndexError) {
  installPackage();
  installApplication();
  unpacked("");
  EXPECT_FALSE(signing::executeSign("", false));
  expectOneErrorBox("List index out of bounds (0)");
  EXPECT_EQ(Le(log_), "");
}

TEST_F(DigitalSign, UnreadableVersionDatIsReportedAsAnInputOutputError) {
  // Two ways a version.dat that exists cannot be read: a file without read permission (which does
  // not bind the super-user, so that row needs another user), and a link to a file whose first
  // read fails (the process's memory at address 0), which fails for everyone.
  struct Row {
    const char* how;
    bool needsNonRoot;
    const char* error;
  } rows[] = {
      {"mode 0", true, "I/O error 13"},
      {"link to /proc/self/mem", false, "I/O error 5"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.how);
    if (r.needsNonRoot && ::geteuid() == 0) continue;
    platform_.caixas.clear();
    installPackage();
    installApplication();
    unpacked("0.0.0.0");
    std::string versionDat = base_ + "JSignPdf/version.dat";
    if (r.needsNonRoot) {
      ::chmod(versionDat.c_str(), 0);
    } else {
      fs::remove(versionDat);
      fs::create_symlink("/proc/self/mem", versionDat);
    }
    EXPECT_FALSE(signing::executeSign("", false));
    expectOneErrorBox(r.error);
    fs::remove(versionDat);
  }
}

TEST_F(DigitalSign, ApplicationThatCannotBeStartedGivesFalseWithoutAMessage) {
  installPackage();
  Grava(base_ + "razOdizazido.exe", "#!/bin/sh\n");  // present but not executable
  unpacked("0.0.0.0\r\n");
  EXPECT_FALSE(signing::executeSign("", false));
  EXPECT_TRUE(platform_.caixas.empty());
}

TEST_F(DigitalSign, ParametersReachTheApplicationAsOneArgumentEach) {
  installPackage();
  installApplication();
  unpacked("0.0.0.0\r\n");
  struct Row {
    const char* dir;
    bool exec;
    const char* args;
  } rows[] = {
      {"", false, ""},
      {"", true, "arg=[-exec]\n"},
      {"/docs/sem_brancos", false, "arg=[-dir=/docs/sem_brancos]\n"},
      {"/home/ana/Meus documentos/edital 12", true,
       "arg=[-dir=/home/ana/Meus documentos/edital 12]\narg=[-exec]\n"},
      {"  /a b/  ", false, "arg=[-dir=/a b/]\n"},
      {"/aspas\"no meio", false, "arg=[-dir=/aspas\"no meio]\n"},
  };
  for (const Row& r : rows) {
    fs::remove(log_);
    EXPECT_TRUE(signing::executeSign(r.dir, r.exec)) << r.dir;
    EXPECT_EQ(Le(log_), ran("razOdizazido", r.args)) << r.dir;
  }
}

TEST_F(DigitalSign, AddParamAndGetParametersBuildTheCommandLine) {
  struct Step {
    const char* name;
    const char* value;
  };
  struct Row {
    std::vector<Step> steps;
    const char* text;
  } rows[] = {
      {{}, ""},
      {{{"dir", "/a b/c"}, {"exec", ""}}, "-dir=\"/a b/c\" -exec"},
      {{{"dir", "/sem/brancos"}}, "-dir=/sem/brancos"},
      {{{"dir", "\"/ja entre aspas\""}}, "-dir=\"/ja entre aspas\""},
      {{{"dir", "\"x"}}, "-dir=\"x"},  // begins with a quote: stored unchanged
      {{{"dir", " \t/p \r\n"}}, "-dir=/p"},
      {{{"dir", "/a"}, {"exec", " "}, {"DIR", "/b"}}, "-DIR=/b -exec"},
      {{{"-modo", "1"}, {"x", ""}}, "-modo=1 -x"},
      {{{"dir", "a\"b"}}, "-dir=\"a\\\"b\""},
      {{{"dir", "a\tb"}}, "-dir=\"a\tb\""},
      {{{"dir", "C:\\x y\\"}}, "-dir=\"C:\\x y\\\\\""},
  };
  for (const Row& r : rows) {
    TDigitalSign s;
    for (const Step& st : r.steps) s.addParam(st.name, st.value);
    EXPECT_EQ(s.getParameters(), r.text);
  }
  TDigitalSign s;
  s.addParam("exec", "");
  ASSERT_EQ(s.parameters.Count(), 1);
  EXPECT_EQ(s.parameters.Strings(0), "exec= ");
}

}  // namespace
