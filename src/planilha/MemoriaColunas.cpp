#include "planilha/MemoriaColunas.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "base/Erros.h"
#include "base/Formato.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/ReadFile.h"
#include "platform/UserFolders.h"

namespace planilha {

namespace {

using Json = nlohmann::json;

Json ParaJson(const Mapeamento& m) {
  Json j;
  j["colunas"] = TextoColunas(m);
  j["por"] = NomeCriterio(m.por);
  j["cabecalho"] = m.linhaCabecalho;
  return j;
}

// A mapping of the file; nullopt for an entry that is not one.
std::optional<Mapeamento> DeJson(const Json& j) {
  if (!j.is_object() || !j.contains("colunas") || !j["colunas"].is_string()) return std::nullopt;
  std::string erro;
  std::optional<Mapeamento> m = LeColunas(j["colunas"].get<std::string>(), erro);
  if (!m) return std::nullopt;
  if (j.contains("por") && j["por"].is_string()) {
    const auto por = CriterioDoNome(j["por"].get<std::string>());
    if (!por) return std::nullopt;
    m->por = *por;
  }
  if (j.contains("cabecalho") && j["cabecalho"].is_number_integer())
    m->linhaCabecalho = j["cabecalho"].get<long>();
  return m;
}

// Puts a damaged file aside (false when it could not be); the warning for the user.
std::string PoeDeLado(const std::string& caminho, const std::string& porque, bool& movido) {
  const base::DataHora d = platform::now();
  char sufixo[48];
  std::snprintf(sufixo, sizeof sufixo, ".danificado-%04d%02d%02d-%02d%02d%02d", d.ano, d.mes, d.dia,
                d.hora, d.minuto, d.segundo);
  const std::string novo = caminho + sufixo;
  movido = std::rename(caminho.c_str(), novo.c_str()) == 0;
  return platform::utf8ToCp1252(
      "O arquivo das colunas lembradas (" + caminho + ") está danificado (" + porque + ")" +
      (movido ? "; ele foi guardado como " + novo + " e as colunas serão perguntadas de novo."
              : " e não pôde ser renomeado; ele não será regravado nesta execução."));
}

}  // namespace

std::string MemoriaColunas::CaminhoPadrao() {
  const std::string pasta = platform::userConfigFolder();
  return pasta.empty() ? std::string() : pasta + "/colunas.json";
}

std::optional<std::string> MemoriaColunas::Carrega() {
  mapas_.clear();
  if (caminho_.empty()) return std::nullopt;
  std::string bytes;
  platform::ReadError erro;
  if (!platform::readRegularFile(caminho_, size_t(16) << 20, bytes, erro))
    return erro.code == ENOENT ? std::nullopt : std::optional<std::string>(erro.text);
  const Json j = Json::parse(bytes, nullptr, false);
  if (j.is_discarded() || !j.is_object() || !j.contains("layouts") || !j["layouts"].is_object()) {
    bool movido = false;
    std::string aviso =
        PoeDeLado(caminho_, j.is_discarded() ? "não é JSON" : "faltam os layouts", movido);
    intocavel_ = !movido;
    return aviso;
  }
  for (const auto& [assinatura, valor] : j["layouts"].items())
    if (auto m = DeJson(valor)) mapas_[platform::utf8ToCp1252(assinatura)] = *m;
  return std::nullopt;
}

std::optional<Mapeamento> MemoriaColunas::Procura(const std::string& assinatura) const {
  const auto i = mapas_.find(assinatura);
  if (i == mapas_.end()) return std::nullopt;
  return i->second;
}

void MemoriaColunas::Lembra(const std::string& assinatura, const Mapeamento& m) {
  mapas_[assinatura] = m;
}

std::optional<std::string> MemoriaColunas::Grava() const {
  if (intocavel_)
    return std::string(
        "O arquivo danificado das colunas lembradas foi mantido como est\xE1; as "
        "colunas escolhidas agora n\xE3o ser\xE3o lembradas.");
  if (caminho_.empty())
    return std::string("Sem pasta pessoal: as colunas escolhidas n\xE3o ser\xE3o lembradas.");
  const size_t barra = caminho_.rfind('/');
  if (barra != std::string::npos) platform::makeFolders(caminho_.substr(0, barra));
  Json j;
  j["versao"] = 1;
  j["layouts"] = Json::object();
  for (const auto& [assinatura, m] : mapas_)
    j["layouts"][platform::cp1252ToUtf8(assinatura)] = ParaJson(m);
  try {
    platform::writeFileAtomically(caminho_, j.dump(1) + "\n");
  } catch (const base::EInOutError& e) {
    return "As colunas escolhidas n\xE3o puderam ser lembradas: " + e.Mensagem();
  }
  return std::nullopt;
}

std::optional<Mapeamento> MapeamentoConhecido(const std::vector<LinhaPlanilha>& primeiras,
                                              const MemoriaColunas& memoria) {
  if (auto proprio = LayoutProprio(primeiras)) return proprio;
  for (const LinhaPlanilha& l : primeiras) {
    auto m = memoria.Procura(AssinaturaLayout(l));
    if (m && m->linhaCabecalho == l.linha) return m;
  }
  return std::nullopt;
}

std::optional<std::string> LembraMapeamento(const std::vector<LinhaPlanilha>& primeiras,
                                            const Mapeamento& m, MemoriaColunas& memoria) {
  for (const LinhaPlanilha& l : primeiras)
    if (l.linha == m.linhaCabecalho) {
      memoria.Lembra(AssinaturaLayout(l), m);
      return memoria.Grava();
    }
  return std::nullopt;
}

}  // namespace planilha
