// Test helpers for files: a temporary folder removed with its contents, whole-file reads and
// writes, CR LF line joining and a logging shell script that stands in for a program.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace teste {

// A fresh folder under the system's temporary folder (TMPDIR), removed with the object.
class PastaTemporaria {
 public:
  // `prefixo` names the folder ("proposta-PREFIXO-XXXXXX") so a leftover is easy to trace; it is
  // made in `base` (default: the temporary folder).
  explicit PastaTemporaria(
      const std::string& prefixo = "teste",
      const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
    std::string modelo = (base / ("proposta-" + prefixo + "-XXXXXX")).string();
    if (!::mkdtemp(modelo.data())) throw std::runtime_error("mkdtemp failed: " + modelo);
    caminho_ = modelo;
  }
  ~PastaTemporaria() {
    std::error_code ec;
    std::filesystem::remove_all(caminho_, ec);
  }
  PastaTemporaria(const PastaTemporaria&) = delete;
  PastaTemporaria& operator=(const PastaTemporaria&) = delete;

  // The folder, without a trailing "/".
  const std::string& caminho() const { return caminho_; }
  // A path inside the folder.
  std::string operator/(const std::string& nome) const { return caminho_ + "/" + nome; }

 private:
  std::string caminho_;
};

// A file system in memory (/dev/shm) when there is one, else the temporary folder: for loops that
// write hundreds of files, where syncing each to a disk is all the cost.
inline std::filesystem::path BaseNaMemoria() {
  return std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path();
}

// The whole file, or empty when it cannot be read.
inline std::string Le(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary | std::ios::ate);
  auto tamanho = f.tellg();
  if (!f || tamanho < 0) return {};
  std::string s(static_cast<size_t>(tamanho), '\0');
  f.seekg(0);
  f.read(s.data(), static_cast<std::streamsize>(s.size()));
  return s;
}

// Writes bytes as the whole file (test set-up only); a fixture that cannot be written throws.
inline void Grava(const std::string& caminho, const std::string& bytes) {
  std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
  f << bytes;
  if (!f) throw std::runtime_error("cannot write fixture " + caminho);
}

// The names in a folder, sorted: what a failed or completed write left there.
inline std::vector<std::string> Nomes(const std::filesystem::path& pasta) {
  std::vector<std::string> n;
  for (const auto& e : std::filesystem::directory_iterator(pasta))
    n.push_back(e.path().filename().string());
  std::sort(n.begin(), n.end());
  return n;
}

// Lines joined with CR LF, each line ended.
inline std::string Crlf(std::initializer_list<std::string> linhas) {
  std::string s;
  for (const auto& l : linhas) s += l + "\r\n";
  return s;
}

// A shell script at `caminho` that appends its name, working folder and arguments (one per line,
// in brackets) to `registro`, then runs `extra` (more shell lines); made executable.
inline void GravaScriptRegistro(const std::string& caminho, const std::string& nome,
                                const std::string& registro, const std::string& extra = "") {
  Grava(caminho,
        "#!/bin/sh\n"
        "{ echo \"run " +
            nome +
            "\"; echo \"cwd=$(pwd)\";"
            " for a in \"$@\"; do echo \"arg=[$a]\"; done; } >> '" +
            registro + "'\n" + extra);
  ::chmod(caminho.c_str(), 0755);
}

}  // namespace teste
