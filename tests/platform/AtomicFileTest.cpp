// Replacing a file where users keep it: the target changes only as a whole; links, owner and
// permissions survive; every failing step keeps the old file and leaves nothing behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "base/Erros.h"
#include "platform/AtomicFile.h"
#include "support/Arquivos.h"
#include "support/Falhas.h"

using platform::AtomicStep;
using Nomes = std::vector<std::string>;

namespace {

class AtomicFile : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XDG_CACHE_HOME", cache.caminho().c_str(), 1); }
  void TearDown() override {
    platform::clearAtomicFailuresForTesting();
    unsetenv("XDG_CACHE_HOME");
  }
  // The safe copies left in the cache folder.
  Nomes CopiasSeguras() const {
    auto p = std::filesystem::path(cache.caminho()) / "proposta";
    return std::filesystem::exists(p) ? teste::Nomes(p) : Nomes{};
  }
  // The message of the EInOutError the write raises ("" when it raises none).
  static std::string ErroAoGravar(const std::string& alvo, const std::string& bytes) {
    return teste::ErroDe<base::EInOutError>([&] { platform::writeFileAtomically(alvo, bytes); });
  }
  teste::PastaTemporaria pasta, cache;
};

struct stat Estado(const std::string& caminho) {
  struct stat st {};
  EXPECT_EQ(::stat(caminho.c_str(), &st), 0) << caminho;
  return st;
}

}  // namespace

TEST_F(AtomicFile, ReplacesTheTargetKeepingOwnerGroupAndPermissions) {
  std::string alvo = pasta / "a.xml";
  teste::Grava(alvo, "antigo");
  ASSERT_EQ(chown(alvo.c_str(), 65534, 65534), 0);  // tests run as root
  chmod(alvo.c_str(), 02640);
  ino_t antes = Estado(alvo).st_ino;
  std::string grande(3 << 20, 'x');  // larger than the write buffer
  EXPECT_TRUE(platform::writeFileAtomically(alvo, grande).durable());
  EXPECT_TRUE(teste::Le(alvo) == grande);
  struct stat st = Estado(alvo);
  EXPECT_NE(st.st_ino, antes);  // replaced, not rewritten
  EXPECT_EQ(st.st_mode & 07777, 02640u);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);
  EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"a.xml"});
}

TEST_F(AtomicFile, EachFailingStepLeavesTheOldFileWholeAndNoTemporary) {
  for (bool comNome : {false, true}) {
    for (auto passo : {AtomicStep::Create, AtomicStep::Write, AtomicStep::Sync, AtomicStep::Link,
                       AtomicStep::Close, AtomicStep::Rename}) {
      if (comNome && passo == AtomicStep::Link) continue;    // a named file needs no link
      if (!comNome && passo == AtomicStep::Close) continue;  // closed once in place: a warning
      std::string alvo = pasta / "a.xml";
      teste::Grava(alvo, "antigo");
      // A file system without unnamed files: the new content has our temporary name.
      if (comNome) platform::failAtomicStepForTesting(AtomicStep::Unnamed, 1, EOPNOTSUPP);
      platform::failAtomicStepForTesting(passo, 1, ENOSPC);
      SCOPED_TRACE(std::to_string(static_cast<int>(passo)) + (comNome ? " named" : " unnamed"));
      EXPECT_EQ(ErroAoGravar(alvo, std::string(3 << 20, 'n')), "I/O error 28");
      EXPECT_TRUE(teste::Le(alvo) == "antigo");
      EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"a.xml"});
      platform::clearAtomicFailuresForTesting();
    }
  }
}

TEST_F(AtomicFile, AFailureOnceTheNewFileIsInPlaceIsAWarningNotAFailure) {
  // The folder's sync, and the close of an unnamed file (renamed while open, its content synced).
  for (auto passo : {AtomicStep::SyncFolder, AtomicStep::Close}) {
    std::string alvo = pasta / "a.xml";
    teste::Grava(alvo, "antigo");
    platform::failAtomicStepForTesting(passo, 1, EIO);
    platform::WriteResult r = platform::writeFileAtomically(alvo, "novo");
    EXPECT_EQ(r.durabilityError, EIO);
    EXPECT_EQ(teste::Le(alvo), "novo");
    EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"a.xml"});
  }
  std::string aviso = platform::durabilityWarning("/p/a.xml", EIO);
  EXPECT_NE(aviso.find("(I/O error 5):\r/p/a.xml\r"), std::string::npos) << aviso;
}

TEST_F(AtomicFile, AFailureOnALaterWriteOfAStreamIsCaughtToo) {
  std::string alvo = pasta / "a.txt";
  teste::Grava(alvo, "antigo");
  platform::failAtomicStepForTesting(AtomicStep::Write, 2, EIO);
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
  // A writer dropped without commit leaves nothing behind.
  {
    platform::AtomicFileWriter w(alvo);
    w.write("meio");
  }
  EXPECT_EQ(teste::Le(alvo), "antigo");
  EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"a.txt"});
}

TEST_F(AtomicFile, SymbolicLinksAreFollowedAndTheTargetIsWrittenInItsOwnFolder) {
  std::filesystem::create_directories(pasta / "a");
  std::filesystem::create_directories(pasta / "b");
  std::string alvo = pasta / "b/p.xml";
  teste::Grava(alvo, "antigo");
  // A chain: a relative link to an absolute one.
  std::filesystem::create_symlink(alvo, pasta / "a/absoluto.xml");
  std::filesystem::create_symlink("absoluto.xml", pasta / "a/p.xml");
  platform::writeFileAtomically(pasta / "a/p.xml", "novo");
  EXPECT_EQ(teste::Le(alvo), "novo");
  EXPECT_TRUE(std::filesystem::is_symlink(pasta / "a/p.xml"));
  EXPECT_EQ(teste::Nomes(pasta / "a"), (Nomes{"absoluto.xml", "p.xml"}));
  EXPECT_EQ(teste::Nomes(pasta / "b"), Nomes{"p.xml"});

  // A loop of links is refused and changes nothing.
  std::filesystem::create_symlink("l2", pasta / "a/l1");
  std::filesystem::create_symlink("l1", pasta / "a/l2");
  EXPECT_EQ(ErroAoGravar(pasta / "a/l1", "x"), "I/O error 40");
  EXPECT_EQ(teste::Nomes(pasta / "a"), (Nomes{"absoluto.xml", "l1", "l2", "p.xml"}));
}

TEST_F(AtomicFile, AFileWithOtherHardLinksIsRewrittenInPlaceAfterASafeCopy) {
  std::string alvo = pasta / "p.xml", outro = pasta / "copia.xml";
  teste::Grava(alvo, std::string(2 << 20, 'a'));
  ASSERT_EQ(link(alvo.c_str(), outro.c_str()), 0);
  ino_t inode = Estado(alvo).st_ino;
  platform::writeFileAtomically(alvo, "curto");  // shorter than before: the rest is cut
  EXPECT_EQ(teste::Le(outro), "curto");
  EXPECT_EQ(Estado(alvo).st_ino, inode);
  EXPECT_EQ(Estado(alvo).st_nlink, 2u);
  EXPECT_EQ(teste::Nomes(pasta.caminho()), (Nomes{"copia.xml", "p.xml"}));
  EXPECT_EQ(CopiasSeguras(), Nomes{});

  // The rewrite fails: the error says where the complete new content is.
  platform::failAtomicStepForTesting(AtomicStep::Rewrite, 1, ENOSPC);
  std::string novo(3 << 20, 'n');
  std::string erro = ErroAoGravar(alvo, novo);
  Nomes copias = CopiasSeguras();
  ASSERT_EQ(copias.size(), 1u);
  EXPECT_TRUE(copias[0].starts_with("p.xml.")) << copias[0];
  std::string copia = (std::filesystem::path(cache.caminho()) / "proposta" / copias[0]).string();
  EXPECT_TRUE(erro.starts_with("I/O error 28\r\r")) << erro;
  EXPECT_NE(erro.find("\r" + copia + "\r"), std::string::npos) << erro;
  EXPECT_TRUE(teste::Le(copia) == novo);
  EXPECT_EQ(teste::Nomes(pasta.caminho()), (Nomes{"copia.xml", "p.xml"}));

  // Without a place for the safe copy the file is not touched.
  std::string arquivo = cache / "arquivo";
  teste::Grava(arquivo, "");
  setenv("XDG_CACHE_HOME", arquivo.c_str(), 1);
  teste::Grava(alvo, "antigo");
  EXPECT_EQ(ErroAoGravar(alvo, "novo"), "I/O error 20");
  EXPECT_EQ(teste::Le(outro), "antigo");
}

TEST_F(AtomicFile, AFileWithExtendedAttributesKeepsThemAndItsInode) {
  std::string alvo = pasta / "p.xml";
  teste::Grava(alvo, "antigo");
  ASSERT_EQ(setxattr(alvo.c_str(), "user.origem", "orgao", 5, 0), 0);
  ino_t inode = Estado(alvo).st_ino;
  platform::writeFileAtomically(alvo, "novo");
  EXPECT_EQ(teste::Le(alvo), "novo");
  EXPECT_EQ(Estado(alvo).st_ino, inode);
  char valor[8] = {};
  EXPECT_EQ(getxattr(alvo.c_str(), "user.origem", valor, sizeof valor), 5);
  EXPECT_STREQ(valor, "orgao");
}

TEST_F(AtomicFile, NamesUpToTheFileSystemLimitAreWritable) {
  for (size_t n : {249u, 252u, 255u}) {
    std::string nome(n - 4, 'n');
    nome += ".xml";
    std::string alvo = pasta / nome;
    teste::Grava(alvo, "antigo");
    EXPECT_EQ(ErroAoGravar(alvo, "novo"), "") << n;
    EXPECT_EQ(teste::Le(alvo), "novo") << n;
    std::filesystem::remove(alvo);
  }
  EXPECT_EQ(ErroAoGravar(pasta / std::string(256, 'n'), "x"), "I/O error 36");
  EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{});
}

TEST_F(AtomicFile, StaleTemporariesOfOursGoAtTheNextSaveInTheirFolder) {
  for (const char* n : {".proposta-Ab12Cd.tmp", ".proposta-EmUso1.tmp", ".proposta-curto.tmp",
                        ".proposta-abc123.txt", "outro.tmp"})
    teste::Grava(pasta / n, "x");
  // A save in progress elsewhere holds its temporary file locked.
  int emUso = open((pasta / ".proposta-EmUso1.tmp").c_str(), O_RDONLY);
  ASSERT_EQ(flock(emUso, LOCK_EX), 0);
  platform::writeFileAtomically(pasta / "a.xml", "novo");
  close(emUso);
  EXPECT_EQ(teste::Nomes(pasta.caminho()), (Nomes{".proposta-EmUso1.tmp", ".proposta-abc123.txt",
                                                  ".proposta-curto.tmp", "a.xml", "outro.tmp"}));
}

TEST_F(AtomicFile, WhatIsNoFileIsRefused) {
  std::filesystem::create_directories(pasta / "pasta.xml");
  EXPECT_EQ(ErroAoGravar(pasta / "pasta.xml", "x"), "I/O error 21");
  EXPECT_EQ(ErroAoGravar(pasta / "nao/existe.xml", "x"), "File not found");
  EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"pasta.xml"});
}
