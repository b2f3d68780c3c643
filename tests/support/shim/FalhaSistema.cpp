// A system-call shim for the tests of failing writes, loaded into proposta-cli with LD_PRELOAD.
// FALHA_PASTA names a folder (absolute); FALHA lists, comma-separated, the calls that fail there
// and the error number they fail with: "write:28,fsync-pasta:5". The calls: write, fsync (of a
// file), fsync-pasta (of the folder itself), close (of a file open for writing), link, rename and
// tmpfile (an unnamed file cannot be created: the file system seems to have none). Every other
// call, and every call outside the folder, goes to the C library untouched.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The error number configured for `call`, or 0.
int configured(const char* call) {
  const char* lista = std::getenv("FALHA");
  if (!lista) return 0;
  size_t n = std::strlen(call);
  for (const char* p = lista; *p;) {
    if (std::strncmp(p, call, n) == 0 && p[n] == ':') return std::atoi(p + n + 1);
    const char* virgula = std::strchr(p, ',');
    if (!virgula) break;
    p = virgula + 1;
  }
  return 0;
}

// True when the path lies in FALHA_PASTA (the folder itself when `aPropria`).
bool naPasta(const char* caminho, bool aPropria) {
  const char* pasta = std::getenv("FALHA_PASTA");
  if (!pasta || !caminho) return false;
  size_t n = std::strlen(pasta);
  if (std::strncmp(caminho, pasta, n) != 0) return false;
  if (aPropria) return caminho[n] == '\0';
  return caminho[n] == '/' && std::strchr(caminho + n + 1, '/') == nullptr;
}

// The path an open descriptor stands for ("" when unknown).
void caminhoDe(int fd, char* saida, size_t tamanho) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = ::readlink(link, saida, tamanho - 1);
  saida[n < 0 ? 0 : n] = '\0';
}

// The path a name relative to a folder descriptor stands for.
void caminhoEm(int dirfd, const char* nome, char* saida, size_t tamanho) {
  if (nome[0] == '/') {
    std::snprintf(saida, tamanho, "%s", nome);
    return;
  }
  char pasta[4096];
  if (dirfd == AT_FDCWD) {
    if (!::getcwd(pasta, sizeof pasta)) pasta[0] = '\0';
  } else {
    caminhoDe(dirfd, pasta, sizeof pasta);
  }
  bool ponto = std::strcmp(nome, ".") == 0;
  int n = std::snprintf(saida, tamanho, "%s%s%s", pasta, ponto ? "" : "/", ponto ? "" : nome);
  if (n < 0 || static_cast<size_t>(n) >= tamanho) saida[0] = '\0';
}

// The error for a call on a descriptor, or 0: only files (or, for fsync-pasta, the folder itself)
// of FALHA_PASTA count; `escrita` requires a file open for writing.
int falhaNoDescritor(const char* call, int fd, bool escrita) {
  int err = configured(call);
  if (!err) return 0;
  struct stat st {};
  if (::fstat(fd, &st) != 0) return 0;
  bool pasta = std::strcmp(call, "fsync-pasta") == 0;
  if (pasta != S_ISDIR(st.st_mode)) return 0;
  if (escrita && (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDONLY) return 0;
  char caminho[4096];
  caminhoDe(fd, caminho, sizeof caminho);
  return naPasta(caminho, pasta) ? err : 0;
}

// The error for a call that names a path (relative to dirfd), or 0.
int falhaNoCaminho(const char* call, int dirfd, const char* nome, bool aPropria) {
  int err = configured(call);
  if (!err || !nome) return 0;
  char caminho[4096];
  caminhoEm(dirfd, nome, caminho, sizeof caminho);
  return naPasta(caminho, aPropria) ? err : 0;
}

// The C library's own function of that name.
template <typename F>
F real(const char* nome) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, nome));
}

// Fails with err (errno set) when err is not 0.
#define FALHA_SE(err, valor) \
  do {                       \
    if (int e_ = (err)) {    \
      errno = e_;            \
      return valor;          \
    }                        \
  } while (0)

// An open with O_TMPFILE in the folder: refused as by a file system without unnamed files.
int tmpfileRecusado(int dirfd, const char* nome, int flags) {
  if ((flags & O_TMPFILE) != O_TMPFILE) return 0;
  return falhaNoCaminho("tmpfile", dirfd, nome, true);
}

// Reads the optional mode argument of open.
#define LE_MODO(flags, modo)                                 \
  mode_t modo = 0;                                           \
  if ((flags)&O_CREAT || ((flags)&O_TMPFILE) == O_TMPFILE) { \
    va_list va;                                              \
    va_start(va, flags);                                     \
    modo = static_cast<mode_t>(va_arg(va, int));             \
    va_end(va);                                              \
  }

}  // namespace

extern "C" {

ssize_t write(int fd, const void* b, size_t n) {
  FALHA_SE(falhaNoDescritor("write", fd, true), -1);
  return real<ssize_t (*)(int, const void*, size_t)>("write")(fd, b, n);
}

int fsync(int fd) {
  FALHA_SE(falhaNoDescritor("fsync", fd, false), -1);
  FALHA_SE(falhaNoDescritor("fsync-pasta", fd, false), -1);
  return real<int (*)(int)>("fsync")(fd);
}

int close(int fd) {
  int err = falhaNoDescritor("close", fd, true);
  int r = real<int (*)(int)>("close")(fd);
  FALHA_SE(err, -1);
  return r;
}

int rename(const char* de, const char* para) {
  FALHA_SE(falhaNoCaminho("rename", AT_FDCWD, para, false), -1);
  return real<int (*)(const char*, const char*)>("rename")(de, para);
}

int renameat(int d1, const char* de, int d2, const char* para) {
  FALHA_SE(falhaNoCaminho("rename", d2, para, false), -1);
  return real<int (*)(int, const char*, int, const char*)>("renameat")(d1, de, d2, para);
}

int linkat(int d1, const char* de, int d2, const char* para, int flags) {
  FALHA_SE(falhaNoCaminho("link", d2, para, false), -1);
  return real<int (*)(int, const char*, int, const char*, int)>("linkat")(d1, de, d2, para, flags);
}

int open(const char* nome, int flags, ...) {
  LE_MODO(flags, modo);
  FALHA_SE(tmpfileRecusado(AT_FDCWD, nome, flags), -1);
  return real<int (*)(const char*, int, ...)>("open")(nome, flags, modo);
}

int openat(int dirfd, const char* nome, int flags, ...) {
  LE_MODO(flags, modo);
  FALHA_SE(tmpfileRecusado(dirfd, nome, flags), -1);
  return real<int (*)(int, const char*, int, ...)>("openat")(dirfd, nome, flags, modo);
}

}  // extern "C"
