// Test material for signatures, made at run time with the openssl tool and SoftHSM: a test CA,
// holder certificates with the ICP-Brasil CPF/CNPJ fields (valid, expiring soon, expired), their
// PKCS#12 files, a SoftHSM token holding the holder's key and certificate, and an NSS database
// trusting the CA for pdfsig. Nothing is written outside the temporary folder.
#pragma once

#include <libp11.h>
#include <openssl/pem.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

#include "support/Arquivos.h"

namespace teste {

// Runs a shell command line (stderr joined to stdout); its exit code and output.
inline std::pair<int, std::string> Comando(const std::string& cmd) {
  FILE* f = popen((cmd + " 2>&1").c_str(), "r");
  std::string saida;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) saida.append(buf, n);
  int st = pclose(f);
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, saida};
}

// Runs a shell command; throws with its output when it fails.
inline std::string Roda(const std::string& cmd) {
  auto [codigo, saida] = Comando(cmd);
  if (codigo != 0) throw std::runtime_error("falhou: " + cmd + "\n" + saida);
  return saida;
}

constexpr const char* kModuloSoftHsm = "/usr/lib/softhsm/libsofthsm2.so";
constexpr const char* kSenhaA1 = "senha-teste";
constexpr const char* kPinToken = "123456";

class MaterialAssinatura {
 public:
  MaterialAssinatura() {
    Grava(pasta / "index.txt", "");
    Grava(pasta / "serial", "1000\n");
    Roda(
        "openssl req -x509 -newkey rsa:2048 -nodes -keyout '" + (pasta / "ca.key") + "' -out '" +
        ca +
        "' -days 3650 -subj '/C=BR/O=ICP-Brasil Teste/CN=AC Teste das Propostas'"
        " -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign");
    Titular("pf", "/C=BR/O=ICP-Brasil/CN=JOS\xC3\x89 DA SILVA:12345678909",
            "2.16.76.1.3.1;OCT:0101198012345678909000000000000000000000000000SSPSP", "-days 365");
    Titular("pj", "/C=BR/O=ICP-Brasil/CN=EMPRESA EXEMPLO LTDA:12345678000195",
            "2.16.76.1.3.3;OCT:12345678000195", "-days 365");
    Titular("vencido", "/C=BR/O=ICP-Brasil/CN=ANTIGO TITULAR:98765432100",
            "2.16.76.1.3.1;OCT:0101197098765432100",
            "-startdate 20200101000000Z -enddate "
            "20210101120000Z");
    Titular("proximo", "/C=BR/O=ICP-Brasil/CN=QUASE VENCIDO:11144477735",
            "2.16.76.1.3.1;OCT:0101199011144477735", "-days 10");
  }

  PastaTemporaria pasta{"material-assinatura"};
  const std::string ca = pasta / "ca.pem";
  // NOME.pfx (password kSenhaA1), NOME.pem, NOME.key for pf, pj, vencido, proximo.
  std::string Pfx(const std::string& nome) const { return pasta / (nome + ".pfx"); }
  std::string Pem(const std::string& nome) const { return pasta / (nome + ".pem"); }
  std::string Chave(const std::string& nome) const { return pasta / (nome + ".key"); }

  // A file holding `texto` on its first line (password and PIN files).
  std::string ArquivoSegredo(const std::string& texto) const {
    std::string f = pasta / ("segredo-" + std::to_string(segredos_++));
    Grava(f, texto + "\n");
    return f;
  }

  // An NSS database trusting the test CA, for pdfsig (made once).
  std::string BancoNss() {
    std::string db = pasta / "nss";
    if (!std::filesystem::exists(db)) {
      std::filesystem::create_directory(db);
      Roda("certutil -N -d 'sql:" + db + "' --empty-password");
      Roda("certutil -A -d 'sql:" + db + "' -n ca -t CT,C,C -i '" + ca + "'");
    }
    return "sql:" + db;
  }

 private:
  // A holder certificate issued by the CA with the otherName field, and its PKCS#12 file.
  void Titular(const std::string& nome, const std::string& sujeito, const std::string& outroNome,
               const std::string& datas) {
    const std::string ext = pasta / (nome + ".ext"), cnf = pasta / "ca.cnf";
    Grava(ext,
          "[ext]\nbasicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,"
          "nonRepudiation\nsubjectAltName=@san\n[san]\notherName.1=" +
              outroNome + "\nemail.1=titular@example.com\n");
    Grava(cnf, "[ca]\ndefault_ca=d\n[d]\ndatabase=" + (pasta / "index.txt") +
                   "\nnew_certs_dir=" + pasta.caminho() + "\nserial=" + (pasta / "serial") +
                   "\ndefault_md=sha256\npolicy=p\nunique_subject=no\n[p]\ncommonName=supplied\n");
    Roda("openssl req -newkey rsa:2048 -nodes -keyout '" + Chave(nome) + "' -out '" +
         (pasta / (nome + ".csr")) + "' -utf8 -subj '" + sujeito + "'");
    Roda("openssl ca -batch -notext -config '" + cnf + "' -cert '" + ca + "' -keyfile '" +
         (pasta / "ca.key") + "' -in '" + (pasta / (nome + ".csr")) + "' -out '" + Pem(nome) +
         "' -extfile '" + ext + "' -extensions ext -utf8 " + datas);
    Roda("openssl pkcs12 -export -inkey '" + Chave(nome) + "' -in '" + Pem(nome) + "' -certfile '" +
         ca + "' -out '" + Pfx(nome) + "' -passout pass:" + kSenhaA1);
  }
  mutable int segredos_ = 0;
};

// A SoftHSM token in a temporary folder holding a holder's key and certificate (id 01) and the
// CA's certificate; SOFTHSM2_CONF points at it for this process and for the commands it runs.
class TokenSoftHsm {
 public:
  TokenSoftHsm(const MaterialAssinatura& m, const std::string& titular) {
    std::filesystem::create_directory(pasta / "tokens");
    Grava(conf, "directories.tokendir = " + (pasta / "tokens") +
                    "\nobjectstore.backend = file\nlog.level = ERROR\n");
    ::setenv("SOFTHSM2_CONF", conf.c_str(), 1);
    Roda("softhsm2-util --init-token --free --label 'Token Teste' --so-pin 12345678 --pin " +
         std::string(kPinToken));
    // The objects go in through PKCS#11 in a child process, so that this process loads the
    // module only where the code under test does.
    pid_t p = ::fork();
    if (p == 0) ::_exit(Importa(m.Chave(titular), m.Pem(titular), m.ca) ? 0 : 1);
    int st = 0;
    ::waitpid(p, &st, 0);
    if (!WIFEXITED(st) || WEXITSTATUS(st) != 0)
      throw std::runtime_error("import into SoftHSM failed");
  }
  PastaTemporaria pasta{"softhsm"};
  const std::string conf = pasta / "softhsm2.conf";
  // "SOFTHSM2_CONF=..." for a command line.
  std::string Ambiente() const { return "SOFTHSM2_CONF='" + conf + "'"; }

 private:
  template <class T>
  static T* LePem(const std::string& caminho, T* (*le)(FILE*, T**, pem_password_cb*, void*)) {
    FILE* f = std::fopen(caminho.c_str(), "r");
    T* x = f ? le(f, nullptr, nullptr, nullptr) : nullptr;
    if (f) std::fclose(f);
    return x;
  }
  static bool Importa(const std::string& chave, const std::string& pem, const std::string& ca) {
    PKCS11_CTX* ctx = PKCS11_CTX_new();
    PKCS11_SLOT* leitoras = nullptr;
    unsigned int n = 0;
    if (PKCS11_CTX_load(ctx, kModuloSoftHsm) != 0 ||
        PKCS11_enumerate_slots(ctx, &leitoras, &n) != 0)
      return false;
    PKCS11_SLOT* slot = PKCS11_find_token(ctx, leitoras, n);
    if (!slot || PKCS11_open_session(slot, 1) != 0 || PKCS11_login(slot, 0, kPinToken) != 0)
      return false;
    unsigned char id1[] = {0x01}, id2[] = {0x02};
    char rotulo[] = "titular", rotuloCa[] = "ac";
    EVP_PKEY* k = LePem<EVP_PKEY>(chave, PEM_read_PrivateKey);
    X509* x = LePem<X509>(pem, PEM_read_X509);
    X509* c = LePem<X509>(ca, PEM_read_X509);
    return k && x && c && PKCS11_store_private_key(slot->token, k, rotulo, id1, 1) == 0 &&
           PKCS11_store_certificate(slot->token, x, rotulo, id1, 1, nullptr) == 0 &&
           PKCS11_store_certificate(slot->token, c, rotuloCa, id2, 1, nullptr) == 0;
  }
};

}  // namespace teste
