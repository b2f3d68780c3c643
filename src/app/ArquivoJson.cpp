// Settings files: read whole, parsed, and set aside when damaged; written through the atomic file.
#include "app/ArquivoJson.h"

#include <cerrno>
#include <cstdio>

#include "base/Erros.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/ReadFile.h"
#include "platform/UserFolders.h"

namespace app {

namespace {

constexpr size_t kLimite = 64u << 20;  // a settings file is small; a huge one is damaged

// "AAAAMMDD-HHMMSS" of now.
std::string Carimbo() {
  const base::DataHora d = platform::now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d-%02d%02d%02d", d.ano, d.mes, d.dia, d.hora, d.minuto,
                d.segundo);
  return buf;
}

// Moves a damaged file aside and says so (or says it could not, and blocks writing over it).
LeituraJson PoeDeLado(const std::string& caminho, const std::string& motivo) {
  LeituraJson r;
  const std::string deLado = caminho + ".danificado-" + Carimbo();
  const std::string nome = platform::utf8ToCp1252(caminho);
  if (std::rename(caminho.c_str(), deLado.c_str()) != 0) {
    r.bloqueado = true;
    r.erro = "O arquivo " + nome + " est\xE1 danificado (" + motivo +
             ") e n\xE3o p\xF4"
             "de ser posto de lado (erro " +
             std::to_string(errno) +
             "); ele n\xE3o ser\xE1 alterado. Corrija-o ou mova-o e tente de novo.";
    return r;
  }
  r.erro = "O arquivo " + nome + " est\xE1 danificado (" + motivo + ") e foi guardado como " +
           platform::utf8ToCp1252(deLado) + "; os dados dele n\xE3o foram usados.";
  return r;
}

}  // namespace

LeituraJson LeJson(const std::string& caminho) {
  LeituraJson r;
  std::string bytes;
  platform::ReadError erro;
  if (!platform::readRegularFile(caminho, kLimite, bytes, erro)) {
    if (erro.code == ENOENT) return r;
    if (erro.code == EFBIG) return PoeDeLado(caminho, "grande demais");
    r.bloqueado = true;
    r.erro = "N\xE3o foi poss\xEDvel ler " + platform::utf8ToCp1252(caminho) + ": " + erro.text;
    return r;
  }
  nlohmann::json doc = nlohmann::json::parse(bytes, nullptr, false);
  if (doc.is_discarded()) return PoeDeLado(caminho, "n\xE3o \xE9 JSON v\xE1lido");
  if (!doc.is_object()) return PoeDeLado(caminho, "n\xE3o \xE9 um objeto JSON");
  r.documento = std::move(doc);
  return r;
}

void GravaJson(const std::string& caminho, const nlohmann::json& documento) {
  const size_t barra = caminho.find_last_of('/');
  if (barra != std::string::npos && barra > 0) {
    if (int e = platform::makeFolders(caminho.substr(0, barra)); e != 0)
      throw base::EInOutError("I/O error " + std::to_string(e), e);
  }
  platform::writeFileAtomically(caminho, documento.dump(2) + "\n");
}

nlohmann::json TextoJson(const std::string& cp1252) { return platform::cp1252ToUtf8(cp1252); }

std::string TextoDeJson(const nlohmann::json& objeto, const char* chave) {
  auto it = objeto.find(chave);
  if (it == objeto.end() || !it->is_string()) return {};
  return platform::utf8ToCp1252(it->get<std::string>());
}

}  // namespace app
