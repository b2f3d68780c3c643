// The byte sinks: a file appears only whole, a device gets every send at once, a spooler job ends
// only when finished, and every failure is a value that stops further writes and keeps old files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/ByteSink.h"
#include "support/Arquivos.h"
#include "support/PlataformaRoteiro.h"

using platform::AtomicStep;
using platform::SinkError;

using Nomes = std::vector<std::string>;

TEST(FileSink, TheNewFileAppearsOnlyAtFinishAndAnUnfinishedSinkKeepsTheOldOne) {
  teste::PastaTemporaria pasta;
  const std::string alvo = pasta / "r.txt";
  teste::Grava(alvo, "antigo");
  SinkError erro;
  {
    auto s = platform::openFileSink(alvo, erro);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->write("meio"));
  }  // dropped unfinished
  EXPECT_EQ(teste::Le(alvo), "antigo");
  EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"r.txt"});

  auto s = platform::openFileSink(alvo, erro);
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->write("no"));
  EXPECT_TRUE(s->write("vo"));
  EXPECT_EQ(teste::Le(alvo), "antigo");
  EXPECT_TRUE(s->finish());
  EXPECT_EQ(teste::Le(alvo), "novo");
  EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"r.txt"});
}

TEST(FileSink, TargetsThatCannotBeWrittenAreRefusedBeforeAnyByte) {
  teste::PastaTemporaria pasta;
  std::filesystem::create_directory(pasta / "pasta");
  const std::string fifo = pasta / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string alvo;
    int codigo;
  } casos[] = {
      {pasta / "falta/r.txt", ENOENT},
      {pasta / "pasta", EISDIR},
      {fifo, 0},         // would be replaced by a regular file
      {"/dev/null", 0},  // the device must stay a device
  };
  for (const auto& c : casos) {
    SinkError erro;
    EXPECT_FALSE(platform::openFileSink(c.alvo, erro)) << c.alvo;
    EXPECT_EQ(erro.code, c.codigo) << c.alvo;
    EXPECT_NE(erro.text.find(c.alvo), std::string::npos) << erro.text;
  }
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(teste::Nomes(pasta.caminho()), (Nomes{"fifo", "pasta"}));
}

TEST(FileSink, AFailingStepStopsTheSinkAndKeepsTheOldFile) {
  const struct {
    AtomicStep passo;
    size_t bytes;  // larger than the writer's buffer makes write() reach the disk
    bool falhaNaEscrita;
  } casos[] = {
      {AtomicStep::Write, 3 << 20, true},  // the disk is reached while writing
      {AtomicStep::Rename, 10, false},     // or only at the end
  };
  for (const auto& c : casos) {
    teste::PastaTemporaria pasta;
    const std::string alvo = pasta / "r.txt";
    teste::Grava(alvo, "antigo");
    SinkError erro;
    auto s = platform::openFileSink(alvo, erro);
    ASSERT_TRUE(s);
    platform::failAtomicStepForTesting(c.passo, 1, EIO);
    const bool escreveu = s->write(std::string(c.bytes, 'x'));
    const bool terminou = s->finish();
    platform::failAtomicStepForTesting(c.passo, 0, 0);
    EXPECT_EQ(escreveu, !c.falhaNaEscrita) << static_cast<int>(c.passo);
    EXPECT_FALSE(terminou);
    EXPECT_TRUE(s->failed());
    EXPECT_EQ(s->error().code, EIO);
    EXPECT_FALSE(s->write("mais"));  // nothing more goes out
    EXPECT_EQ(teste::Le(alvo), "antigo");
    EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"r.txt"});  // no temporary file left
  }
}

TEST(DeviceSink, EverySendReachesTheDeviceAtOnce) {
  teste::PastaTemporaria pasta;
  const std::string fifo = pasta / "porta";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  SinkError erro;
  EXPECT_FALSE(platform::openDeviceSink(fifo, erro));  // no reader: refused, not waited for
  EXPECT_EQ(erro.code, ENXIO);

  int leitor = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(leitor, 0);
  auto s = platform::openPortSink(fifo, erro);  // a device, so written directly
  ASSERT_TRUE(s) << erro.text;
  char buf[16];
  for (const char* parte : {"\x1B@", "linha\r\n"}) {
    ASSERT_TRUE(s->write(parte));
    ssize_t n = ::read(leitor, buf, sizeof buf);  // before finish()
    EXPECT_EQ(std::string(buf, n > 0 ? static_cast<size_t>(n) : 0), parte);
  }
  EXPECT_TRUE(s->finish());
  ::close(leitor);
}

TEST(DeviceSink, FailuresAreValuesThatStopTheSink) {
  SinkError erro;
  auto cheio = platform::openDeviceSink("/dev/full", erro);
  ASSERT_TRUE(cheio);
  EXPECT_FALSE(cheio->write("x"));
  EXPECT_EQ(cheio->error().code, ENOSPC);
  EXPECT_FALSE(cheio->write("y"));
  EXPECT_FALSE(cheio->finish());

  teste::PastaTemporaria pasta;
  EXPECT_FALSE(platform::openDeviceSink(pasta / "lp9", erro));
  EXPECT_EQ(erro.code, ENOENT);
  teste::Grava(pasta / "arquivo", "dados");
  EXPECT_FALSE(platform::openDeviceSink(pasta / "arquivo", erro));  // not a device
  EXPECT_EQ(teste::Le(pasta / "arquivo"), "dados");
}

TEST(SpoolerSink, TheJobEndsOnlyWhenFinishedAndItsFailuresAreValues) {
  teste::PlataformaRoteiro p;
  platform::ScopedPlatform usa(p);
  SinkError erro;
  {
    auto s = platform::openSpoolerSink("EPSON LX-300", "Relat\xF3rio", erro);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->write("AB"));
    EXPECT_TRUE(s->write(""));
  }  // dropped unfinished
  EXPECT_EQ(p.trabalhosTerminados, 0);
  auto s = platform::openSpoolerSink("EPSON LX-300", "Relat\xF3rio", erro);
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->write("CD"));
  EXPECT_TRUE(s->finish());
  EXPECT_EQ(p.trabalhosTerminados, 1);
  EXPECT_EQ(p.bytesImpressos, "ABCD");
  ASSERT_EQ(p.trabalhos.size(), 2u);
  EXPECT_EQ(p.trabalhos[1].impressora, "EPSON LX-300");
  EXPECT_EQ(p.trabalhos[1].documento, "Relat\xF3rio");

  p.trabalhoFalhaAoEscrever = true;
  s = platform::openSpoolerSink("EPSON LX-300", "x", erro);
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->write("EF"));
  EXPECT_EQ(s->error().text, "falha no trabalho");
  EXPECT_FALSE(s->finish());
  p.trabalhoFalhaAoEscrever = false;
  p.aceitaTrabalho = false;
  p.erroTrabalho = platform::SinkError{5, "impressora desligada"};
  EXPECT_FALSE(platform::openSpoolerSink("EPSON LX-300", "x", erro));
  EXPECT_EQ(erro.text, "impressora desligada");
}
