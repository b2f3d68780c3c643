// Atomic replacement: the target changes only as a whole; every failing step keeps the old file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/Erros.h"
#include "platform/AtomicFile.h"
#include "support/Arquivos.h"

using platform::AtomicStep;

namespace {
size_t Entradas(const teste::PastaTemporaria& p) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(p.caminho()), {}));
}
}  // namespace

TEST(AtomicFile, ReplacesTheTargetAndKeepsItsPermissions) {
  teste::PastaTemporaria pasta;
  std::string alvo = pasta / "a.xml";
  platform::writeFileAtomically(alvo, "novo");
  EXPECT_EQ(teste::Le(alvo), "novo");
  chmod(alvo.c_str(), 0640);
  std::string grande(3 << 20, 'x');  // larger than the write buffer
  platform::writeFileAtomically(alvo, grande);
  EXPECT_EQ(teste::Le(alvo), grande);
  struct stat st {};
  stat(alvo.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(Entradas(pasta), 1u);
}

TEST(AtomicFile, EachFailingStepLeavesTheOldFileWholeAndNoTemporary) {
  for (auto passo : {AtomicStep::Create, AtomicStep::Write, AtomicStep::Sync, AtomicStep::Close,
                     AtomicStep::Rename}) {
    teste::PastaTemporaria pasta;
    std::string alvo = pasta / "a.xml";
    teste::Grava(alvo, "antigo");
    platform::failAtomicStepForTesting(passo, 1, 28);
    try {
      platform::writeFileAtomically(alvo, std::string(3 << 20, 'n'));
      ADD_FAILURE() << static_cast<int>(passo);
    } catch (const base::EInOutError& e) {
      EXPECT_EQ(e.Mensagem(), "I/O error 28");
    }
    EXPECT_EQ(teste::Le(alvo), "antigo") << static_cast<int>(passo);
    EXPECT_EQ(Entradas(pasta), 1u) << static_cast<int>(passo);
  }
}

TEST(AtomicFile, AFailureOnALaterWriteOfAStreamIsCaughtToo) {
  teste::PastaTemporaria pasta;
  std::string alvo = pasta / "a.txt";
  teste::Grava(alvo, "antigo");
  platform::failAtomicStepForTesting(AtomicStep::Write, 2, 5);
  {
    platform::AtomicFileWriter w(alvo);
    std::string bloco(600 << 10, 'b');
    EXPECT_NO_THROW(w.write(bloco));
    EXPECT_NO_THROW(w.write(bloco));  // flushes the first block
    EXPECT_THROW(
        {
          w.write(bloco);
          w.commit();
        },
        base::EInOutError);
  }
  EXPECT_EQ(teste::Le(alvo), "antigo");
  EXPECT_EQ(Entradas(pasta), 1u);

  // A writer dropped without commit leaves nothing behind.
  {
    platform::AtomicFileWriter w(alvo);
    w.write("meio");
  }
  EXPECT_EQ(teste::Le(alvo), "antigo");
  EXPECT_EQ(Entradas(pasta), 1u);
}

TEST(AtomicFile, AMissingFolderIsAnInputOutputError) {
  teste::PastaTemporaria pasta;
  try {
    platform::writeFileAtomically(pasta / "nao/existe.xml", "x");
    FAIL();
  } catch (const base::EInOutError& e) {
    EXPECT_EQ(e.Mensagem(), "File not found");
  }
}
