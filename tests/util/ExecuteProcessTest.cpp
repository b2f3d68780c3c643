// runAndWait: the program starts in its own folder with the split parameters, the call waits for
// it, and a program that cannot be started gives false.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/Arquivos.h"
#include "util/vekExecuteProcess.h"

namespace {

using teste::Le;
using TempFolder = teste::PastaTemporaria;
using teste::Grava;
using teste::GravaScriptRegistro;

TEST(ExecuteProcess, RunsInTheProgramFolderWithTheParametersSplit) {
  TempFolder t("exec");
  std::string folder = t / "pasta com espa\xC3\xA7o";  // UTF-8 file name with a blank
  std::filesystem::create_directory(folder);
  std::string log = t / "log.txt";
  GravaScriptRegistro(folder + "/prog.exe", "prog", log);

  struct Row {
    const char* parameters;
    const char* logged;
  } rows[] = {
      {"", ""},
      {"a b", "arg=[a]\narg=[b]\n"},
      {"-dir=\"/a b/c\" -exec", "arg=[-dir=/a b/c]\narg=[-exec]\n"},
      {"\"x\\\"y\"", "arg=[x\"y]\n"},
  };
  for (const Row& r : rows) {
    std::filesystem::remove(log);
    ASSERT_TRUE(util::runAndWait(folder + "/prog.exe", r.parameters, 5)) << r.parameters;
    EXPECT_EQ(Le(log), "run prog\ncwd=" + folder + "\n" + r.logged) << r.parameters;
  }
}

TEST(ExecuteProcess, WaitsUntilTheProgramHasEnded) {
  TempFolder t("wait");
  std::string done = t / "done";
  GravaScriptRegistro(t / "slow.exe", "slow", t / "log.txt",
                      "sleep 0.3\necho ok > '" + done + "'\n");
  ASSERT_TRUE(util::runAndWait(t / "slow.exe", "", 0));
  EXPECT_EQ(Le(done), "ok\n");
}

TEST(ExecuteProcess, ExitCodeIsNotLookedAt) {
  TempFolder t("exit");
  Grava(t / "fails.exe", "#!/bin/sh\nexit 3\n");
  ::chmod((t / "fails.exe").c_str(), 0755);
  EXPECT_TRUE(util::runAndWait(t / "fails.exe", "", 5));
}

TEST(ExecuteProcess, ProgramThatCannotBeStartedGivesFalse) {
  TempFolder t("nostart");
  Grava(t / "plain.exe", "#!/bin/sh\nexit 0\n");  // not executable
  Grava(t / "badinterp.exe", "#!/nonexistent/interpreter\n");
  ::chmod((t / "badinterp.exe").c_str(), 0755);
  std::filesystem::create_directory(t / "folder.exe");
  for (std::string path :
       {t / "missing.exe", t / "plain.exe", t / "badinterp.exe", t / "folder.exe", std::string()})
    EXPECT_FALSE(util::runAndWait(path, "a", 5)) << path;
}

}  // namespace
