// The supplier's company profiles: what the letterhead, the signature and the bank details of a
// written proposal need, several companies kept in perfis.json in the user's configuration folder
// and one chosen per proposal.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

// One company; texts are Windows-1252 as typed (the CNPJ and CPF with or without their masks).
struct PerfilEmpresa {
  std::string nome;  // the profile's own name, by which it is chosen
  std::string razaoSocial, cnpj, inscricaoEstadual, inscricaoMunicipal;
  std::string endereco, municipio, uf, cep, telefone, email;
  std::string banco, agencia, conta;
  std::string representante, cpf, cargo;
};

// A field of the profile: its key in the file, its command-line option, its label in the window
// (Windows-1252), the member and the most characters it takes. One table for every reader.
struct CampoPerfil {
  const char* chave;
  const char* opcao;
  const char* rotulo;
  std::string PerfilEmpresa::*membro;
  int largura;
};
const std::vector<CampoPerfil>& CamposPerfil();

// Why the profile cannot be kept (a message saying what to fix), or std::nullopt: a name, the
// razão social and a valid CNPJ are required; a CPF, a UF and a CEP are checked when given.
std::optional<std::string> RecusaPerfil(const PerfilEmpresa& perfil);

// The profiles file: $XDG_CONFIG_HOME/proposta/perfis.json (or ~/.config/proposta/perfis.json).
std::string CaminhoPerfis();

// The profiles kept, in the file's order, and what reading found.
struct PerfisLidos {
  std::vector<PerfilEmpresa> perfis;
  std::string erro;        // a damaged file (kept aside) or an unreadable one
  bool bloqueado = false;  // unreadable: SalvaPerfil refuses to write over it
};
PerfisLidos LePerfis();

// The profile of that name (compared without regard to case), or null.
const PerfilEmpresa* AchaPerfil(const std::vector<PerfilEmpresa>& perfis, const std::string& nome);

// Adds the profile, or replaces the one of the same name, and writes the file atomically. Returns
// the refusal (RecusaPerfil, or an unreadable file left alone) without writing; raises
// base::EInOutError when the file cannot be written (the old one stays whole). A damaged file
// found on the way was kept aside: `aviso` says where.
std::optional<std::string> SalvaPerfil(const PerfilEmpresa& perfil, std::string* aviso = nullptr);
// Removes the profile of that name; false when there was none.
bool RemovePerfil(const std::string& nome);

}  // namespace app
