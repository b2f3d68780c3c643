// Test entry point: takes the locale from the environment, as the window program does once Qt
// starts, so formatting and parsing are checked under the user's locale and never depend on it.
// The user's data folder (recovery journals) is a fresh folder of this run, so no test reads a
// journal another run left and none is left behind.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::string dados = (std::filesystem::temp_directory_path() / "proposta-dados-XXXXXX").string();
  bool propria = ::mkdtemp(dados.data()) != nullptr;
  if (propria) ::setenv("XDG_DATA_HOME", dados.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  int r = RUN_ALL_TESTS();
  std::error_code e;
  if (propria) std::filesystem::remove_all(dados, e);
  return r;
}
