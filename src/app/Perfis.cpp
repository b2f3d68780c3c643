// Company profiles in one JSON file: {"perfis": [{"nome": ..., "razao_social": ...}, ...]}.
#include "app/Perfis.h"

#include <cctype>

#include "app/ArquivoJson.h"
#include "app/Documentos.h"
#include "app/RegrasEntrada.h"
#include "base/Texto.h"
#include "platform/UserFolders.h"

namespace app {

const std::vector<CampoPerfil>& CamposPerfil() {
  static const std::vector<CampoPerfil> campos = {
      {"nome", "", "Nome do perfil", &PerfilEmpresa::nome, 40},
      {"razao_social", "--razao-social", "Raz\xE3o social", &PerfilEmpresa::razaoSocial, 100},
      {"cnpj", "--cnpj", "CNPJ", &PerfilEmpresa::cnpj, 18},
      {"inscricao_estadual", "--ie", "Inscri\xE7\xE3o estadual", &PerfilEmpresa::inscricaoEstadual,
       20},
      {"inscricao_municipal", "--im", "Inscri\xE7\xE3o municipal",
       &PerfilEmpresa::inscricaoMunicipal, 20},
      {"endereco", "--endereco", "Endere\xE7o", &PerfilEmpresa::endereco, 100},
      {"municipio", "--municipio", "Munic\xEDpio", &PerfilEmpresa::municipio, 60},
      {"uf", "--uf", "UF", &PerfilEmpresa::uf, 2},
      {"cep", "--cep", "CEP", &PerfilEmpresa::cep, 9},
      {"telefone", "--telefone", "Telefone", &PerfilEmpresa::telefone, 30},
      {"email", "--email", "E-mail", &PerfilEmpresa::email, 80},
      {"banco", "--banco", "Banco", &PerfilEmpresa::banco, 60},
      {"agencia", "--agencia", "Ag\xEAncia", &PerfilEmpresa::agencia, 10},
      {"conta", "--conta", "Conta", &PerfilEmpresa::conta, 20},
      {"representante", "--representante", "Representante legal", &PerfilEmpresa::representante,
       80},
      {"cpf", "--cpf", "CPF do representante", &PerfilEmpresa::cpf, 14},
      {"cargo", "--cargo", "Cargo do representante", &PerfilEmpresa::cargo, 60},
  };
  return campos;
}

namespace {

bool ApenasDigitos(const std::string& s) {
  return s.find_first_not_of("0123456789") == std::string::npos;
}

// The form of the UF and the CEP, when given.
std::optional<std::string> RecusaEndereco(const PerfilEmpresa& p) {
  const std::string uf = base::Trim(p.uf);
  if (!uf.empty() && (uf.size() != 2 || !std::isalpha(static_cast<unsigned char>(uf[0])) ||
                      !std::isalpha(static_cast<unsigned char>(uf[1]))))
    return "A UF \"" + p.uf + "\" deve ter duas letras (por exemplo SP).";
  std::string cep;
  for (char c : p.cep)
    if (c != '-' && c != '.' && c != ' ') cep += c;
  if (!cep.empty() && (cep.size() != 8 || !ApenasDigitos(cep)))
    return "O CEP \"" + p.cep + "\" deve ter 8 algarismos (por exemplo 01310-100).";
  return std::nullopt;
}

PerfilEmpresa PerfilDeJson(const nlohmann::json& o) {
  PerfilEmpresa p;
  for (const CampoPerfil& c : CamposPerfil()) p.*c.membro = TextoDeJson(o, c.chave);
  return p;
}

nlohmann::json JsonDePerfil(const PerfilEmpresa& p) {
  nlohmann::json o = nlohmann::json::object();
  for (const CampoPerfil& c : CamposPerfil()) o[c.chave] = TextoJson(p.*c.membro);
  return o;
}

void GravaPerfis(const std::vector<PerfilEmpresa>& perfis) {
  nlohmann::json lista = nlohmann::json::array();
  for (const PerfilEmpresa& p : perfis) lista.push_back(JsonDePerfil(p));
  GravaJson(CaminhoPerfis(), nlohmann::json{{"formato", 1}, {"perfis", lista}});
}

}  // namespace

std::optional<std::string> RecusaPerfil(const PerfilEmpresa& p) {
  if (base::Trim(p.nome).empty()) return std::string("D\xEA um nome ao perfil.");
  for (const CampoPerfil& c : CamposPerfil())
    if (static_cast<int>((p.*c.membro).size()) > c.largura)
      return std::string(c.rotulo) + " tem mais de " + std::to_string(c.largura) + " caracteres.";
  if (base::Trim(p.razaoSocial).empty())
    return std::string("Preencha a raz\xE3o social da empresa.");
  if (auto e = RecusaCNPJ(p.cnpj)) return e;
  if (!base::Trim(p.cpf).empty())
    if (auto e = RecusaCPF(p.cpf)) return e;
  return RecusaEndereco(p);
}

std::string CaminhoPerfis() {
  const std::string pasta = platform::userConfigFolder();
  return pasta.empty() ? std::string() : pasta + "/perfis.json";
}

PerfisLidos LePerfis() {
  PerfisLidos r;
  const std::string caminho = CaminhoPerfis();
  if (caminho.empty()) {
    r.erro = "Sem pasta pessoal (HOME): os perfis n\xE3o podem ser guardados.";
    r.bloqueado = true;
    return r;
  }
  LeituraJson l = LeJson(caminho);
  r.erro = l.erro;
  r.bloqueado = l.bloqueado;
  if (!l.documento) return r;
  auto it = l.documento->find("perfis");
  if (it == l.documento->end() || !it->is_array()) return r;
  for (const nlohmann::json& o : *it)
    if (o.is_object()) r.perfis.push_back(PerfilDeJson(o));
  return r;
}

const PerfilEmpresa* AchaPerfil(const std::vector<PerfilEmpresa>& perfis, const std::string& nome) {
  for (const PerfilEmpresa& p : perfis)
    if (base::LowerCase(base::Trim(p.nome)) == base::LowerCase(base::Trim(nome))) return &p;
  return nullptr;
}

std::optional<std::string> SalvaPerfil(const PerfilEmpresa& perfil, std::string* aviso) {
  if (auto e = RecusaPerfil(perfil)) return e;
  PerfisLidos lidos = LePerfis();
  if (lidos.bloqueado) return lidos.erro;
  if (aviso) *aviso = lidos.erro;
  PerfilEmpresa novo = perfil;
  novo.nome = base::Trim(perfil.nome);
  novo.cnpj = MascaraCNPJ(NormalizaCNPJ(perfil.cnpj));
  if (!base::Trim(perfil.cpf).empty()) novo.cpf = MascaraCPF(NormalizaCPF(perfil.cpf));
  bool trocado = false;
  for (PerfilEmpresa& p : lidos.perfis)
    if (&p == AchaPerfil(lidos.perfis, novo.nome)) {
      p = novo;
      trocado = true;
    }
  if (!trocado) lidos.perfis.push_back(novo);
  GravaPerfis(lidos.perfis);
  return std::nullopt;
}

bool RemovePerfil(const std::string& nome) {
  PerfisLidos lidos = LePerfis();
  const PerfilEmpresa* alvo = AchaPerfil(lidos.perfis, nome);
  if (!alvo || lidos.bloqueado) return false;
  lidos.perfis.erase(lidos.perfis.begin() + (alvo - lidos.perfis.data()));
  GravaPerfis(lidos.perfis);
  return true;
}

}  // namespace app
