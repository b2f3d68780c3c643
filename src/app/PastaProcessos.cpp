// The last process folder: read from and written to the settings file with the program's other
// settings files (atomic writes, a damaged file set aside).
#include "app/PastaProcessos.h"

#include <filesystem>
#include <system_error>

#include "app/ArquivoJson.h"
#include "base/Erros.h"
#include "platform/CodePage.h"
#include "platform/UserFolders.h"

namespace app {

namespace {

constexpr const char* kChave = "ultimoProcesso";

// The folder holding the file at `caminho` when it is still a folder; empty otherwise.
std::string PastaExistente(const std::string& caminho) {
  if (caminho.empty()) return {};
  const std::filesystem::path pasta = std::filesystem::path(caminho).parent_path();
  std::error_code erro;
  return std::filesystem::is_directory(pasta, erro) ? pasta.string() : std::string();
}

}  // namespace

std::string CaminhoPastas() {
  const std::string pasta = platform::userConfigFolder();
  return pasta.empty() ? std::string() : pasta + "/pastas.json";
}

PastaInicial PastaInicialAbrir(const std::string& processoAberto, const std::string& arquivo) {
  PastaInicial r;
  r.pasta = PastaExistente(processoAberto);
  if (!r.pasta.empty()) return r;
  if (!arquivo.empty()) {
    LeituraJson l = LeJson(arquivo);
    if (!l.erro.empty()) r.aviso = l.erro;
    if (l.documento) {
      auto it = l.documento->find(kChave);
      if (it != l.documento->end() && it->is_string())
        r.pasta = PastaExistente(it->get<std::string>());
    }
  }
  if (r.pasta.empty()) r.pasta = platform::homeFolder();
  return r;
}

std::optional<std::string> LembraPastaProcesso(const std::string& processo,
                                               const std::string& arquivo) {
  if (arquivo.empty())
    return std::string("Sem pasta pessoal (HOME): a pasta do processo n\xE3o pode ser lembrada.");
  const std::string absoluto = std::filesystem::absolute(processo).lexically_normal().string();
  LeituraJson l = LeJson(arquivo);
  // An unreadable file that is still in place is not written over.
  if (l.bloqueado) return l.erro;
  nlohmann::json doc = l.documento ? *l.documento : nlohmann::json{{"formato", 1}};
  doc[kChave] = absoluto;
  try {
    GravaJson(arquivo, doc);
  } catch (const nlohmann::json::exception&) {
    // A file name that is not UTF-8 has no place in the settings file.
    return "O nome da pasta " + platform::utf8ToCp1252(absoluto) +
           " n\xE3o p\xF4"
           "de ser guardado para a pr\xF3xima vez.";
  } catch (const base::Exception& e) {
    return "N\xE3o foi poss\xEDvel guardar a pasta do processo em " +
           platform::utf8ToCp1252(arquivo) + ": " + e.Mensagem();
  }
  if (!l.erro.empty()) return l.erro;
  return std::nullopt;
}

}  // namespace app
