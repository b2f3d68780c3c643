// proposta-cli assinar, run as a program: a copy of the tool in a temporary folder with stand-in
// signing programs beside it (the tool looks for them in its own folder).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void script(const std::string& path, const std::string& body) {
  std::ofstream(path, std::ios::binary) << "#!/bin/sh\n" << body;
  ::chmod(path.c_str(), 0755);
}

class Assinar : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::temp_directory_path() / "proposta-assinar-XXXXXX").string();
    ASSERT_NE(::mkdtemp(templ.data()), nullptr);
    dir_ = templ;
    std::string tool = std::string(PROPOSTA_BINARY_DIR) + "/proposta-cli";
    ASSERT_TRUE(fs::exists(tool)) << "build proposta-cli first";
    std::error_code ec;
    fs::create_hard_link(tool, dir_ + "/proposta-cli", ec);
    if (ec) fs::copy_file(tool, dir_ + "/proposta-cli");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // Runs the copy with args (already shell-quoted); gives the exit code, stderr in err_.
  int run(const std::string& args) {
    std::string cmd = "'" + dir_ + "/proposta-cli' assinar " + args + " 2>'" + dir_ + "/err.txt'";
    int status = std::system(cmd.c_str());
    err_ = slurp(dir_ + "/err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void standIns() {
    script(dir_ + "/zovUrid.exe", "echo zovUrid >> '" + dir_ +
                                      "/log.txt'\nmkdir -p JSignPdf\necho 0.0.0.0 > "
                                      "JSignPdf/version.dat\n");
    script(dir_ + "/razOdizazido.exe",
           "for a in \"$@\"; do echo \"[$a]\"; done >> '" + dir_ + "/log.txt'\n");
  }
  std::string dir_, err_;
};

TEST_F(Assinar, StartsTheApplicationWithDirAndExec) {
  standIns();
  EXPECT_EQ(run("--dir '/tmp/meus editais' --exec"), 0) << err_;
  EXPECT_EQ(slurp(dir_ + "/log.txt"), "zovUrid\n[-dir=/tmp/meus editais]\n[-exec]\n");
}

TEST_F(Assinar, MissingProgramsGiveExitOneAndTheMessage) {
  EXPECT_EQ(run(""), 1);
  EXPECT_NE(err_.find("Não foi possível encontrar os recursos do JSignPDF!"), std::string::npos)
      << err_;
}

TEST_F(Assinar, UnknownArgumentIsAUsageError) {
  standIns();
  EXPECT_EQ(run("--pasta x"), 2);
  EXPECT_FALSE(fs::exists(dir_ + "/log.txt"));
}

}  // namespace
