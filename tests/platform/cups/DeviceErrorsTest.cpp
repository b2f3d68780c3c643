// What the user is told when a printer device cannot be written directly.
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "platform/CodePage.h"
#include "platform/cups/DeviceErrors.h"

TEST(ErroDeDispositivo, EachFailureSaysWhatToDo) {
  // A device owned by the printers' group, as /dev/usb/lp0 is.
  char modelo[] = "/tmp/proposta-lp-XXXXXX";
  const int fd = mkstemp(modelo);
  ASSERT_GE(fd, 0);
  close(fd);
  const std::string dispositivo = modelo;
  const struct group* lp = getgrnam("lp");
  ASSERT_NE(lp, nullptr);
  ASSERT_EQ(chown(modelo, 0, lp->gr_gid), 0);
  const struct {
    int erro;
    std::string caminho;
    std::vector<std::string> trechos;  // UTF-8
  } casos[] = {
      {EACCES,
       dispositivo,
       {"Sem permissão para escrever em " + dispositivo, "grupo lp", "usermod -aG lp "}},
      {EBUSY, "/dev/usb/lp0", {"/dev/usb/lp0 está em uso por outro programa"}},
      {ENOENT, "/dev/usb/lp9", {"O dispositivo /dev/usb/lp9 não existe", "ligada e conectada"}},
      {EIO, "/dev/lp0", {"com papel e pronta"}},
      {ENOSPC, "/tmp/x.prn", {"Libere espaço"}},
      {ETXTBSY, "/tmp/x.prn", {": /tmp/x.prn. Verifique"}},
  };
  for (const auto& c : casos) {
    const std::string texto =
        platform::cp1252ToUtf8(platform::cups::explainDeviceError(c.erro, c.caminho));
    for (const auto& t : c.trechos) EXPECT_NE(texto.find(t), std::string::npos) << texto;
  }
  unlink(modelo);
}
