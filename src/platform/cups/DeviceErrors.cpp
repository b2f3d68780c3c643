#include "platform/cups/DeviceErrors.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/CodePage.h"

namespace platform::cups {

namespace {

// The group that owns the device (the one to join for writing to it); "lp" when unknown.
std::string deviceGroup(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && st.st_gid != 0)
    if (const struct group* g = ::getgrgid(st.st_gid)) return g->gr_name;
  return "lp";
}

// The name of the user running the program, for the command to type.
std::string userName() {
  if (const struct passwd* p = ::getpwuid(::geteuid())) return p->pw_name;
  return "SEU_USUARIO";
}

// The system's own words for an error, in the user's language (UTF-8).
std::string systemWords(int err) {
  char buffer[256];
  const char* text = ::strerror_r(err, buffer, sizeof buffer);  // GNU variant
  return text ? text : "";
}

}  // namespace

// One text per kind of failure; the path and the names the user needs are put in.
std::string explainDeviceError(int err, const std::string& path) {
  const std::string& p = path;
  std::string text;
  switch (err) {
    case EACCES:
    case EPERM: {
      const std::string group = deviceGroup(path);
      text = "Sem permissão para escrever em " + p + ". Inclua o seu usuário no grupo " + group +
             " (sudo usermod -aG " + group + " " + userName() +
             ") e entre de novo na sessão, ou imprima pela fila da impressora.";
      break;
    }
    case EBUSY:
      text = "A impressora em " + p +
             " está em uso por outro programa (talvez pelo servidor de impressão). Aguarde o fim "
             "da outra impressão ou imprima pela fila da impressora.";
      break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      text = "O dispositivo " + p +
             " não existe ou não responde. Verifique se a impressora está ligada e conectada, ou "
             "informe outra porta.";
      break;
    case EIO:
      text = "A impressora em " + p +
             " não aceitou os dados. Verifique se ela está ligada, com papel e pronta (online), e "
             "imprima de novo.";
      break;
    case ENOSPC:
      text = "Não há espaço livre para gravar " + p + ". Libere espaço no disco e tente de novo.";
      break;
    case EROFS:
      text = p + " está num disco somente de leitura. Escolha outro local.";
      break;
    case EISDIR:
      text = p + " é uma pasta. Informe um arquivo ou o dispositivo da impressora.";
      break;
    default:
      text = systemWords(err) + ": " + p + ". Verifique a porta ou o arquivo informado.";
      break;
  }
  return utf8ToCp1252(text);
}

}  // namespace platform::cups
