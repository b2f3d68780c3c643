// A save killed at any instant: a child process writes the rewritten 20,000-item process file over
// the old one and is killed (kill -9, or SIGTERM with the programs' handler) at 100 instants spread
// over the write. Every time the file is the old one or the new one, byte for byte, and nothing
// else is left (but for a kill -9 while the complete file is being linked in: that leaves it under
// our temporary name, and the next save in the folder removes it).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "platform/AtomicFile.h"
#include "platform/PendingFile.h"
#include "platform/SignalSetup.h"
#include "support/Arquivos.h"
#include "support/ProcessoGerado.h"

using Nomes = std::vector<std::string>;
using Relogio = std::chrono::steady_clock;

namespace {

constexpr int kItens = 20000;
constexpr int kInstantes = 100;

// A child that rewrites alvo with `novo` as the programs do (their signal set-up included, and
// a file system without unnamed files when comNome); it tells through the pipe when it starts.
pid_t IniciaGravacao(const std::string& alvo, const std::string& novo, bool comNome, int& pronto) {
  int tubo[2];
  if (pipe(tubo) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    close(tubo[0]);
    platform::installSignalHandlers();
    if (comNome) platform::failAtomicStepForTesting(platform::AtomicStep::Unnamed, 1, EOPNOTSUPP);
    char c = 1;
    if (write(tubo[1], &c, 1) != 1) _exit(4);
    try {
      platform::writeFileAtomically(alvo, novo);
    } catch (...) {
      _exit(3);
    }
    _exit(0);
  }
  close(tubo[1]);
  pronto = tubo[0];
  return pid;
}

// Waits until the child has started its write.
void EsperaInicio(int pronto) {
  char c;
  ASSERT_EQ(read(pronto, &c, 1), 1);
  close(pronto);
}

// How long a whole write takes here: the fastest of three (a slow outlier, a busy machine, would
// put most instants after the write).
Relogio::duration DuracaoDaGravacao(const std::string& alvo, const std::string& novo,
                                    bool comNome) {
  Relogio::duration menor = Relogio::duration::max();
  for (int i = 0; i < 3; ++i) {
    int pronto;
    pid_t pid = IniciaGravacao(alvo, novo, comNome, pronto);
    EsperaInicio(pronto);
    auto inicio = Relogio::now();
    int estado;
    waitpid(pid, &estado, 0);
    menor = std::min(menor, Relogio::now() - inicio);
    EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
  }
  return menor;
}

// True when the file holds exactly `bytes`; `buffer` is reused, so that the loop allocates nothing.
bool Contem(const std::string& caminho, const std::string& bytes, std::string& buffer) {
  int fd = open(caminho.c_str(), O_RDONLY);
  struct stat st {};
  bool igual = fd >= 0 && fstat(fd, &st) == 0 && static_cast<size_t>(st.st_size) == bytes.size();
  buffer.resize(bytes.size());
  for (size_t lido = 0; igual && lido < buffer.size();) {
    ssize_t n = read(fd, buffer.data() + lido, buffer.size() - lido);
    igual = n > 0;
    lido += n > 0 ? static_cast<size_t>(n) : 0;
  }
  if (fd >= 0) close(fd);
  return igual && buffer == bytes;
}

// Kills rewrites of alvo with `sinal` at `instantes` instants spread over a write and checks what
// each leaves: the old or the new file, whole, and nothing of ours but, after a kill -9, one file
// under our temporary name (an unnamed file gets its name only from its link to its rename;
// without unnamed files any kill -9 before the rename leaves one) that the next save in the folder
// removes. Which of these each instant gives depends on the machine's timing; they are printed.
void Interrompe(const teste::PastaTemporaria& pasta, int sinal, bool comNome, int instantes) {
  std::string alvo = pasta / "p.xml";
  const std::string antigo = teste::ProcessoSemPrecos(kItens);
  const std::string novo = teste::ProcessoRegravado(kItens);
  teste::Grava(alvo, antigo);
  auto duracao = DuracaoDaGravacao(alvo, novo, comNome);
  int antigos = 0, novos = 0, sobras = 0;
  std::string buffer;
  bool antigoNoLugar = false;
  for (int i = 0; i < instantes; ++i) {
    if (!antigoNoLugar) teste::Grava(alvo, antigo);
    int pronto;
    pid_t pid = IniciaGravacao(alvo, novo, comNome, pronto);
    EsperaInicio(pronto);
    // Spread over one and a half writes: most instants inside it, the last ones after its end.
    std::this_thread::sleep_for(duracao * 3 * (2 * i + 1) / (4 * instantes));
    kill(pid, sinal);
    int estado;
    waitpid(pid, &estado, 0);
    EXPECT_TRUE(WIFSIGNALED(estado) || (WIFEXITED(estado) && WEXITSTATUS(estado) == 0)) << i;

    bool eAntigo = Contem(alvo, antigo, buffer), eNovo = !eAntigo && Contem(alvo, novo, buffer);
    EXPECT_TRUE(eAntigo || eNovo) << "instant " << i;
    antigoNoLugar = eAntigo;
    antigos += eAntigo;
    novos += eNovo;
    Nomes nomes = teste::Nomes(pasta.caminho());
    if (nomes == Nomes{"p.xml"}) continue;
    ++sobras;
    EXPECT_EQ(sinal, SIGKILL) << "instant " << i << ": " << nomes[0];
    EXPECT_EQ(nomes.size(), 2u) << "instant " << i;
    EXPECT_TRUE(platform::isOurTemporaryName(nomes[0])) << nomes[0];
    // An unnamed file is linked in only when complete.
    EXPECT_TRUE(comNome || Contem(pasta / nomes[0], novo, buffer)) << "instant " << i;
    platform::writeFileAtomically(pasta / "outro.xml", "x");
    std::filesystem::remove(pasta / "outro.xml");
    EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"p.xml"}) << "instant " << i;
  }
  std::printf("%s%s: %d antigos, %d novos, %d sobras\n", sinal == SIGKILL ? "kill -9" : "SIGTERM",
              comNome ? " (sem arquivos sem nome)" : "", antigos, novos, sobras);
}

}  // namespace

TEST(Interrupcao, AKillLeavesTheOldOrTheNewFileAndNothingElse) {
  const struct {
    int sinal;
    bool comNome;  // a file system without unnamed files
    int instantes;
  } casos[] = {{SIGKILL, false, kInstantes},
               {SIGTERM, false, kInstantes},
               {SIGKILL, true, kInstantes / 10},
               {SIGTERM, true, kInstantes / 10}};
  for (const auto& c : casos) {
    SCOPED_TRACE(testing::Message() << c.sinal << (c.comNome ? " com nome" : ""));
    teste::PastaTemporaria pasta;
    Interrompe(pasta, c.sinal, c.comNome, c.instantes);
  }
}
