// A private CUPS server for the tests, started and stopped by the tests themselves: run as root on
// a unix socket in a temporary folder (no TCP port), with raw queues whose backend appends every
// job's bytes to a file. This process and the programs it starts reach it through CUPS_SERVER.
#pragma once

#include <cups/cups.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace teste {

class ServidorCups {
 public:
  // Starts the server and waits until it answers; ok() tells whether it runs, motivo() why not.
  ServidorCups() {
    if (::geteuid() != 0) {
      motivo_ = "o servidor de impressão de teste precisa de root";
      return;
    }
    char modelo[] = "/tmp/proposta-cups-XXXXXX";
    if (!::mkdtemp(modelo)) {
      motivo_ = "sem pasta temporária";
      return;
    }
    pasta_ = modelo;
    soquete_ = pasta_ + "/cups.sock";
    if (!Prepara()) return;
    Inicia();
  }

  ~ServidorCups() {
    Para();
    ::cupsSetServer(nullptr);
    ::unsetenv("CUPS_SERVER");
    std::error_code ec;
    if (!pasta_.empty()) std::filesystem::remove_all(pasta_, ec);
  }

  ServidorCups(const ServidorCups&) = delete;
  ServidorCups& operator=(const ServidorCups&) = delete;

  bool ok() const { return pid_ > 0; }
  const std::string& motivo() const { return motivo_; }
  const std::string& pasta() const { return pasta_; }

  // Runs a CUPS client command (lpadmin, cupsdisable...) against this server; its exit code, with
  // what it printed in `saida`.
  int Executa(const std::string& comando, std::string* saida = nullptr) const {
    const std::string cmd = "CUPS_SERVER='" + soquete_ + "' " + comando + " 2>&1";
    FILE* f = ::popen(cmd.c_str(), "r");
    if (!f) return -1;
    std::string out;
    std::array<char, 1024> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0) out.append(buf.data(), n);
    const int st = ::pclose(f);
    if (saida) *saida = out;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }

  // Adds a raw queue (no driver: bytes pass unchanged) on `uri`; by default the capture backend
  // writing to Capturado(nome). `extra` are further lpadmin options. Empty on success, otherwise
  // what lpadmin said.
  std::string AdicionaFila(const std::string& nome, const std::string& descricao,
                           const std::string& uri = "", const std::string& extra = "") const {
    const std::string destino = uri.empty() ? "capture:" + Arquivo(nome) : uri;
    std::string saida;
    int r =
        Executa("lpadmin -p '" + nome + "' -E -v '" + destino + "' -D '" + descricao + "' " + extra,
                &saida);
    return r == 0 ? std::string() : "lpadmin: " + saida;
  }

  // The bytes the capture backend received for a queue so far.
  std::string Capturado(const std::string& fila) const {
    std::ifstream f(Arquivo(fila), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }

 private:
  std::string Arquivo(const std::string& fila) const { return pasta_ + "/" + fila + ".prn"; }

  // Writes a file; false (with the reason) on failure.
  bool Escreve(const std::string& caminho, const std::string& conteudo, mode_t modo = 0644) {
    std::ofstream f(caminho, std::ios::binary);
    f << conteudo;
    f.close();
    if (!f || ::chmod(caminho.c_str(), modo) != 0) {
      motivo_ = "não foi possível gravar " + caminho;
      return false;
    }
    return true;
  }

  // The server's folders, configuration and backends.
  bool Prepara() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const char* d : {"conf/ppd", "spool/tmp", "cache", "state", "log", "lib/backend"})
      fs::create_directories(pasta_ + "/" + d, ec);
    for (const char* d : {"daemon", "filter", "notifier", "driver"})
      fs::create_directory_symlink(std::string("/usr/lib/cups/") + d, pasta_ + "/lib/" + d, ec);
    for (const auto& b : fs::directory_iterator("/usr/lib/cups/backend", ec))
      fs::create_symlink(b.path(), pasta_ + "/lib/backend/" + b.path().filename().string(), ec);
    // capture:/path appends the job's bytes to /path; lento:/path does the same after 3 seconds;
    // falha: always fails; parallel: and serial: accept their device names and print nothing.
    // Mode 0700, owned by root: the server runs them as root.
    const std::string captura =
        "#!/bin/sh\n"
        "if [ $# -eq 0 ]; then exit 0; fi\n"
        "out=\"${DEVICE_URI#*:}\"\n"
        "[ \"${DEVICE_URI%%:*}\" = lento ] && sleep 3\n"
        "if [ -n \"$6\" ]; then cat -- \"$6\"; else cat; fi >> \"$out\" || exit 1\n"
        "exit 0\n";
    const std::string falha =
        "#!/bin/sh\nif [ $# -eq 0 ]; then exit 0; fi\n"
        "echo 'ERROR: impressora desligada (teste)' >&2\nexit 1\n";
    const std::string nada = "#!/bin/sh\nif [ $# -eq 0 ]; then exit 0; fi\nexit 1\n";
    const std::string b = pasta_ + "/lib/backend/";
    for (const char* n : {"parallel", "serial"}) fs::remove(b + n, ec);
    if (!Escreve(b + "capture", captura, 0700) || !Escreve(b + "lento", captura, 0700) ||
        !Escreve(b + "falha", falha, 0700) || !Escreve(b + "parallel", nada, 0700) ||
        !Escreve(b + "serial", nada, 0700))
      return false;
    const std::string& d = pasta_;
    return Escreve(d + "/conf/cupsd.conf",
                   "LogLevel warn\nListen " + soquete_ +
                       "\nBrowsing No\nBrowseLocalProtocols none\nDefaultAuthType None\n"
                       "WebInterface No\nPreserveJobHistory Yes\nPreserveJobFiles No\n"
                       "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                       "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                       "</Policy>\n") &&
           Escreve(d + "/conf/cups-files.conf",
                   "ServerRoot " + d + "/conf\nServerBin " + d + "/lib\nRequestRoot " + d +
                       "/spool\nTempDir " + d + "/spool/tmp\nCacheDir " + d + "/cache\nStateDir " +
                       d + "/state\nErrorLog " + d + "/log/error_log\nAccessLog " + d +
                       "/log/access_log\nPageLog " + d +
                       "/log/page_log\nFileDevice Yes\nUser lp\nGroup lp\n"
                       "SystemGroup root lpadmin\n");
  }

  // Starts cupsd in the foreground and polls its socket until it accepts a connection.
  void Inicia() {
    const std::string conf = pasta_ + "/conf/cupsd.conf", files = pasta_ + "/conf/cups-files.conf",
                      log = pasta_ + "/log/stdout";
    const pid_t pid = ::fork();
    if (pid == 0) {
      int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0) {
        ::dup2(fd, 1);
        ::dup2(fd, 2);
      }
      for (const char* cupsd : {"/usr/sbin/cupsd", "cupsd"})
        ::execlp(cupsd, "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(),
                 static_cast<char*>(nullptr));
      ::_exit(127);
    }
    if (pid < 0) {
      motivo_ = "fork falhou";
      return;
    }
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < limite) {
      int st;
      if (::waitpid(pid, &st, WNOHANG) == pid) {
        motivo_ = "cupsd terminou ao iniciar; veja " + log;
        return;
      }
      if (Responde()) {
        pid_ = pid;
        ::setenv("CUPS_SERVER", soquete_.c_str(), 1);
        ::cupsSetServer(soquete_.c_str());
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    motivo_ = "cupsd não respondeu em 20 s";
  }

  // True when the server's socket accepts a connection.
  bool Responde() const {
    int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, soquete_.c_str(), sizeof a.sun_path - 1);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
  }

  // Asks the server to stop and waits for it (killing it after 10 s).
  void Para() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() >= limite) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = 0;
  }

  std::string pasta_, soquete_, motivo_;
  pid_t pid_ = 0;
};

}  // namespace teste
