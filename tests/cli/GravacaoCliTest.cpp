// proposta-cli saving where users keep their files: every system call of a save failing (through
// the fault shim) gives the right message and exit code with the original whole and nothing left
// behind; a user's own permissions are honoured (run as nobody); a file-size limit is an I/O error.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "support/Arquivos.h"
#include "support/ExecutaCli.h"
#include "support/ProcessoGerado.h"

using Nomes = std::vector<std::string>;

namespace {

constexpr int kItens = 50;
const char kComoNobody[] = "setpriv --reuid=65534 --regid=65534 --clear-groups";

// The environment that loads the fault shim (`shim`), failing `falha` inside `pasta`.
std::string ComFalha(const std::string& pasta, const std::string& falha,
                     const std::string& shim = FALHA_SISTEMA_SO) {
  return "env ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD=" + shim + " FALHA=" + falha +
         " FALHA_PASTA=" + pasta;
}

// proposta-cli and the fault shim copied where nobody may run them: the build folder may sit in a
// home that other users cannot enter (root's is mode 700).
class ProgramasDeNobody {
  teste::PastaTemporaria pasta_{"nobody"};  // first: the paths below are made from it

 public:
  ProgramasDeNobody() {
    chmod(pasta_.caminho().c_str(), 0755);
    Copia(PROPOSTA_BINARY_DIR "/proposta-cli", cli);
    Copia(FALHA_SISTEMA_SO, shim);
  }
  const std::string cli = pasta_ / "proposta-cli";
  const std::string shim = pasta_ / "falha_sistema.so";

 private:
  static void Copia(const std::string& de, const std::string& para) {
    std::filesystem::copy_file(de, para);
    chmod(para.c_str(), 0755);
  }
};

inline ino_t Inode(const std::string& caminho) {
  struct stat st {};
  ::stat(caminho.c_str(), &st);
  return st.st_ino;
}

// A row of the fault matrix: the command (its first word, then the process file, or for exportar
// the report file r.rdp made from it beforehand, then the rest; "@" stands for the folder, also in
// the output), the file it writes there, the calls that fail, the exit code and the output (for
// an error: exactly when it ends a line, otherwise its start, before the system's own words; for
// a success: a part of it). An exit 0 means the new file is in place; otherwise the file it
// writes keeps its earlier bytes.
struct Falha {
  const char* comando;
  const char* alvo;
  const char* falha;
  int saida;
  std::string mensagem;
};

// The report writers' messages for a file of the folder.
std::string ErroRelatorio(const char* arquivo) {
  return std::string(
             "Erro: Erro na grava\xC3\xA7"
             "ao do arquivo...\n\nArquivo: @/") +
         arquivo + "\n";
}
std::string NaoGravou(const char* arquivo) {
  return std::string("Erro: N\xC3\xA3o foi poss\xC3\xADvel gravar @/") + arquivo + " (";
}

const char kAviso[] = "Aviso: O arquivo foi gravado, mas o sistema n\xC3\xA3o confirmou";

const Falha kMatriz[] = {
    {"regravar", "p.xml", "write:28", 2, "I/O error 28\n"},
    {"regravar", "p.xml", "fsync:5", 2, "I/O error 5\n"},
    {"regravar", "p.xml", "link:5", 2, "I/O error 5\n"},
    {"regravar", "p.xml", "rename:5", 2, "I/O error 5\n"},
    {"regravar", "p.xml", "close:5", 0, kAviso},
    {"regravar", "p.xml", "fsync-pasta:5", 0, kAviso},
    {"regravar", "p.xml", "tmpfile:95", 0, ""},
    {"regravar", "p.xml", "tmpfile:95,write:28", 2, "I/O error 28\n"},
    {"regravar", "p.xml", "tmpfile:95,fsync:5", 2, "I/O error 5\n"},
    {"regravar", "p.xml", "tmpfile:95,close:5", 2, "I/O error 5\n"},
    {"regravar", "p.xml", "tmpfile:95,rename:5", 2, "I/O error 5\n"},
    {"regravar", "p.xml", "tmpfile:95,fsync-pasta:5", 0, kAviso},
    {"gerar --empresa X --substituir", "pX.xml", "write:28", 2, "I/O error 28\n"},
    {"gerar --empresa X --substituir", "pX.xml", "fsync:5", 2, "I/O error 5\n"},
    {"gerar --empresa X --substituir", "pX.xml", "link:5", 2, "I/O error 5\n"},
    {"gerar --empresa X --substituir", "pX.xml", "rename:5", 2, "I/O error 5\n"},
    {"gerar --empresa X --substituir", "pX.xml", "close:5", 0, kAviso},
    {"gerar --empresa X --substituir", "pX.xml", "fsync-pasta:5", 0, kAviso},
    {"gerar --empresa X --substituir", "pX.xml", "tmpfile:95,close:5", 2, "I/O error 5\n"},
    {"gerar --empresa X --substituir", "pX.xml", "tmpfile:95,rename:5", 2, "I/O error 5\n"},
    // The report writers, each through the same atomic file.
    {"listagem --saida @/l.txt", "l.txt", "write:28", 2, ErroRelatorio("l.txt")},
    {"listagem --saida @/l.txt", "l.txt", "fsync:5", 2, ErroRelatorio("l.txt")},
    {"listagem --saida @/l.txt", "l.txt", "link:5", 2, ErroRelatorio("l.txt")},
    {"listagem --saida @/l.txt", "l.txt", "rename:5", 2, ErroRelatorio("l.txt")},
    {"listagem --saida @/l.txt", "l.txt", "tmpfile:95,write:28", 2, ErroRelatorio("l.txt")},
    {"listagem --saida @/l.txt", "l.txt", "tmpfile:95,rename:5", 2, ErroRelatorio("l.txt")},
    {"listagem --saida @/l.txt", "l.txt", "close:5", 0, ""},
    {"listagem --saida @/l.txt", "l.txt", "fsync-pasta:5", 0, ""},
    {"listagem --saida @/l.rdp", "l.rdp", "write:28", 2, ErroRelatorio("l.rdp")},
    {"listagem --saida @/l.rdp", "l.rdp", "rename:5", 2, ErroRelatorio("l.rdp")},
    {"listagem --saida @/l.rdp", "l.rdp", "fsync-pasta:5", 0, ""},
    {"listagem --saida @/l.prn", "l.prn", "write:28", 2, "Erro #03 - I/O 28 @/l.prn\n"},
    {"listagem --saida @/l.prn", "l.prn", "rename:5", 2, "Erro #03 - I/O 5 @/l.prn\n"},
    {"listagem --saida @/l.prn", "l.prn", "fsync-pasta:5", 0, ""},
    {"listagem --saida @/l.html", "l.html", "write:28", 2, NaoGravou("l.html")},
    {"listagem --saida @/l.html", "l.html", "rename:5", 2, NaoGravou("l.html")},
    {"listagem --saida @/l.html", "l.html", "fsync-pasta:5", 0, ""},
    {"listagem --saida @/l.pdf", "l.pdf", "write:28", 2, NaoGravou("l.pdf")},
    {"listagem --saida @/l.pdf", "l.pdf", "rename:5", 2, NaoGravou("l.pdf")},
    {"listagem --saida @/l.pdf", "l.pdf", "fsync-pasta:5", 0, ""},
    {"exportar --saida @/l.txt", "l.txt", "write:28", 2, ErroRelatorio("l.txt")},
    {"exportar --saida @/l.pdf", "l.pdf", "rename:5", 2, NaoGravou("l.pdf")},
};

// The arguments of a row's command for the process file in `pasta`.
std::vector<std::string> Argumentos(const std::string& comando, const std::string& pasta) {
  std::vector<std::string> args;
  std::istringstream palavras(comando);
  for (std::string w; palavras >> w;) {
    for (size_t p; (p = w.find('@')) != std::string::npos;) w.replace(p, 1, pasta);
    args.push_back(w);
    if (args.size() == 1) args.push_back(pasta + (w == "exportar" ? "/r.rdp" : "/p.xml"));
  }
  return args;
}

}  // namespace

TEST(GravacaoCli, EveryFailingStepOfASaveKeepsTheOriginalAndLeavesNothing) {
  for (const Falha& f : kMatriz) {
    SCOPED_TRACE(std::string(f.comando) + " / " + f.falha);
    teste::PastaTemporaria pasta;
    std::string processo = pasta / "p.xml", alvo = pasta / f.alvo;
    const std::string original = teste::ProcessoSemPrecos(kItens);
    teste::Grava(processo, original);
    // A file the command writes over, other than the process file, is there from an earlier run.
    const std::string anterior = alvo == processo ? original : "de uma vez anterior\r\n";
    teste::Grava(alvo, anterior);

    Nomes esperados = {"p.xml"};
    if (std::string_view(f.comando).starts_with("exportar")) {
      ASSERT_EQ(teste::ExecutaCli({"listagem", processo, "--saida", pasta / "r.rdp"}).codigo, 0);
      esperados.push_back("r.rdp");
    }
    auto r = teste::ExecutaCli(Argumentos(f.comando, pasta.caminho()),
                               ComFalha(pasta.caminho(), f.falha));
    std::string mensagem = f.mensagem;
    for (size_t p; (p = mensagem.find('@')) != std::string::npos;)
      mensagem.replace(p, 1, pasta.caminho());
    EXPECT_EQ(r.codigo, f.saida);
    if (f.saida != 0) {
      if (mensagem.ends_with('\n')) {
        EXPECT_EQ(r.saida, mensagem);
      } else {
        EXPECT_TRUE(r.saida.starts_with(mensagem)) << r.saida;
      }
      EXPECT_TRUE(teste::Le(alvo) == anterior);
    } else {
      EXPECT_NE(r.saida.find(mensagem), std::string::npos) << r.saida;
      EXPECT_TRUE(teste::Le(alvo) != anterior);
    }
    if (alvo == processo && f.saida == 0) {
      EXPECT_TRUE(teste::Le(processo) == teste::ProcessoRegravado(kItens));
    } else {
      EXPECT_TRUE(teste::Le(processo) == original);
    }
    if (alvo != processo) esperados.push_back(f.alvo);
    std::sort(esperados.begin(), esperados.end());
    EXPECT_EQ(teste::Nomes(pasta.caminho()), esperados);
  }
}

// Where the user keeps the file, run as that user (nobody): folder and file permissions, the
// owner of the file, and the cache folder for the safe copy.
struct Lugar {
  const char* caso;
  mode_t pasta;          // the process folder (owned by root)
  mode_t arquivo;        // the process file
  bool doUsuario;        // the file belongs to the user (otherwise to root)
  bool cacheUtilizavel;  // the user may create the safe copy's folder
  const char* falha;     // calls failing in the process folder ("" for none)
  int saida;
  const char* mensagem;  // the start of the output
  bool regravado;
};

const Lugar kLugares[] = {
    {"pasta sem novos arquivos", 0755, 0644, true, true, "", 0, "", true},
    {"arquivo de outro usuario numa pasta comum", 0777, 0666, false, true, "", 0, "", true},
    {"arquivo somente leitura numa pasta comum", 0777, 0444, true, true, "", 2, "I/O error 13\n",
     false},
    {"arquivo somente leitura numa pasta fechada", 0755, 0444, true, true, "", 2, "I/O error 13\n",
     false},
    {"sem lugar para a copia segura", 0755, 0644, true, false, "", 2, "I/O error 13\n", false},
    {"a regravacao no lugar falha", 0755, 0644, true, true, "write:28", 2,
     "I/O error 28\n\nO arquivo pode ter ficado incompleto. O conte\xC3\xBA"
     "do novo completo est\xC3\xA1 guardado em:\n",
     false},
};

TEST(GravacaoCli, TheUsersOwnPermissionsDecideAndTheFileIsRewrittenInPlaceWhereNeeded) {
  ProgramasDeNobody programas;
  for (const Lugar& l : kLugares) {
    SCOPED_TRACE(l.caso);
    teste::PastaTemporaria base;
    chmod(base.caminho().c_str(), 0755);
    std::string pasta = base / "processos", cache = base / "cache";
    std::filesystem::create_directory(pasta);
    std::filesystem::create_directory(cache);
    if (l.cacheUtilizavel) {
      ASSERT_EQ(chown(cache.c_str(), 65534, 65534), 0);
    }
    std::string processo = pasta + "/p.xml";
    std::string original = teste::ProcessoSemPrecos(kItens);
    teste::Grava(processo, original);
    if (l.doUsuario) {
      ASSERT_EQ(chown(processo.c_str(), 65534, 65534), 0);
    }
    chmod(processo.c_str(), l.arquivo);
    chmod(pasta.c_str(), l.pasta);
    ino_t inode = Inode(processo);

    std::string ambiente = "XDG_CACHE_HOME=" + cache + " " + kComoNobody;
    if (*l.falha) ambiente += " " + ComFalha(pasta, l.falha, programas.shim);
    auto r = teste::ExecutaCli({"regravar", processo}, ambiente, programas.cli);
    EXPECT_EQ(r.codigo, l.saida);
    EXPECT_TRUE(r.saida.starts_with(l.mensagem)) << r.saida;
    if (l.saida == 0) {
      EXPECT_TRUE(teste::Le(processo) == teste::ProcessoRegravado(kItens));
    } else if (!*l.falha) {
      EXPECT_TRUE(teste::Le(processo) == original);
    }
    EXPECT_EQ(Inode(processo), inode);  // the file was never replaced by another
    EXPECT_EQ(teste::Nomes(pasta), Nomes{"p.xml"});
    std::string copias = cache + "/proposta";
    Nomes guardadas = std::filesystem::exists(copias) ? teste::Nomes(copias) : Nomes{};
    if (*l.falha) {
      // The safe copy holds the whole new content, and the message says where it is.
      ASSERT_EQ(guardadas.size(), 1u);
      std::string copia = copias + "/" + guardadas[0];
      EXPECT_NE(r.saida.find("\n" + copia + "\n"), std::string::npos) << r.saida;
      EXPECT_TRUE(teste::Le(copia) == teste::ProcessoRegravado(kItens));
    } else {
      EXPECT_EQ(guardadas, Nomes{});
    }
  }
}

TEST(GravacaoCli, AProposalIsNotCreatedWhereTheUserMayNotCreateFiles) {
  teste::PastaTemporaria base;
  chmod(base.caminho().c_str(), 0755);
  std::string processo = base / "p.xml";
  teste::Grava(processo, teste::ProcessoSemPrecos(3));
  chmod(processo.c_str(), 0666);
  ProgramasDeNobody programas;
  auto r = teste::ExecutaCli({"gerar", processo, "--empresa", "X"}, kComoNobody, programas.cli);
  EXPECT_EQ(r.codigo, 2);
  EXPECT_EQ(r.saida, "I/O error 13\n");
  EXPECT_EQ(teste::Nomes(base.caminho()), Nomes{"p.xml"});
}

TEST(GravacaoCli, AFileSizeLimitIsAnInputOutputErrorAndNothingIsLeft) {
  for (const char* comando : {"regravar", "gerar"}) {
    SCOPED_TRACE(comando);
    teste::PastaTemporaria pasta;
    std::string processo = pasta / "p.xml";
    std::string original = teste::ProcessoSemPrecos(200);  // about 40 KB
    teste::Grava(processo, original);
    std::vector<std::string> args = {comando, processo};
    if (std::string(comando) == "gerar") args.insert(args.end(), {"--empresa", "X"});
    auto r = teste::ExecutaCli(args, "ulimit -f 40;");  // 40 blocks of 512 bytes
    EXPECT_EQ(r.codigo, 2);
    EXPECT_EQ(r.saida, "I/O error 27\n");
    EXPECT_TRUE(teste::Le(processo) == original);
    EXPECT_EQ(teste::Nomes(pasta.caminho()), Nomes{"p.xml"});
  }
}
