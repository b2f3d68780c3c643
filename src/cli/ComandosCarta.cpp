// proposta-cli perfil, perfil salvar, carta and conferir: the company profiles, the written price
// proposal composed as the window's letter command does and written by extension, and the check of
// a proposal before it is sent. The terms come from those kept for the process, with options for
// one run.
#include "app/CartaProposta.h"
#include "app/Conferencia.h"
#include "app/Documentos.h"
#include "app/Perfis.h"
#include "app/ProcessoArquivo.h"
#include "app/RegrasEntrada.h"
#include "app/TermosProposta.h"
#include "base/Formato.h"
#include "cli/Comandos.h"
#include "cli/ComponenteCli.h"
#include "cli/SaidaRelatorio.h"
#include "platform/CodePage.h"

namespace cli {

namespace {

const char kUsoTermos[] =
    "[--orgao TEXTO] [--validade DIAS] [--entrega TEXTO] [--local-entrega TEXTO] "
    "[--pagamento TEXTO] [--garantia TEXTO] [--casas 2|4] [--limite-marca 20|40|50]";

// A whole number option; false (after a message) when it is not one.
bool OpcaoInteira(std::vector<std::string>& args, const char* nome, int& valor) {
  std::string texto;
  if (!Opcao(args, nome, texto)) return true;
  int32_t v = 0;
  if (!base::TryStrToInt(texto, v)) {
    Erro(std::string(nome) + " espera um n\xFAmero inteiro, n\xE3o \"" +
         platform::utf8ToCp1252(texto) + "\".");
    return false;
  }
  valor = v;
  return true;
}

// The term options over the terms kept; false (after a message) on a bad value.
bool LeOpcoesTermos(std::vector<std::string>& args, app::TermosProposta& t) {
  for (const app::CampoTermos& c : app::CamposTermos()) {
    std::string valor;
    if (*c.opcao && Opcao(args, c.opcao, valor)) t.*c.membro = platform::utf8ToCp1252(valor);
  }
  if (!OpcaoInteira(args, "--validade", t.validadeDias) ||
      !OpcaoInteira(args, "--casas", t.casasDecimais) ||
      !OpcaoInteira(args, "--limite-marca", t.limiteMarca))
    return false;
  if (auto e = app::RecusaTermos(t)) {
    Erro(*e);
    return false;
  }
  return true;
}

// Reads the process, its terms with the options, and the chosen profile; the exit code when
// something is missing.
struct Proposta {
  app::TTabelaItens tabela;
  app::DadosCarta dados;
};
int Prepara(std::vector<std::string>& args, const std::string& uso, Proposta& p) {
  std::vector<std::string> resto = args;
  if (resto.empty() || resto[0].rfind("--", 0) == 0) {
    Erro("Uso: proposta-cli " + uso);
    return kErro;
  }
  const std::string arquivo = resto[0];
  resto.erase(resto.begin());
  const app::CabecalhoProcesso cab = app::LerProcesso(arquivo, p.tabela);
  p.dados.numeroProcesso = cab.label5;
  p.dados.descricao = cab.descricao;
  app::TermosLidos lidos = app::LeTermos(cab.label5, cab.descricao);
  if (!lidos.erro.empty()) Erro(lidos.erro);
  p.dados.termos = lidos.termos;
  if (!LeOpcoesTermos(resto, p.dados.termos)) return kErro;
  args = resto;
  const app::PerfisLidos perfis = app::LePerfis();
  if (!perfis.erro.empty()) Erro(perfis.erro);
  if (p.dados.termos.perfil.empty()) {
    Erro("Falta --perfil NOME (veja proposta-cli perfil).");
    return kErro;
  }
  const app::PerfilEmpresa* perfil = app::AchaPerfil(perfis.perfis, p.dados.termos.perfil);
  if (!perfil) {
    Erro("N\xE3o h\xE1 perfil \"" + p.dados.termos.perfil +
         "\"; crie-o com proposta-cli perfil salvar NOME --razao-social ... --cnpj ...");
    return kRecusa;
  }
  p.dados.perfil = *perfil;
  return kSucesso;
}

// proposta-cli carta: the letter written by extension; 0, 1 (empty table, missing profile) or 2.
int Carta(const std::vector<std::string>& argumentos) {
  const std::string uso =
      "carta ARQUIVO.xml --perfil NOME --saida SAIDA [--modelo M] " + std::string(kUsoTermos);
  std::vector<std::string> args = argumentos;
  Destino destino;
  const report::TFormato* formato = LeDestino(args, destino);
  if (!formato) return kErro;
  Proposta p;
  if (int r = Prepara(args, uso, p); r != kSucesso) return r;
  if (!args.empty()) {
    Erro("Uso: proposta-cli " + uso);
    return kErro;
  }
  JanelasComPreview janelas;
  report::JanelasInstaladas guardaJanelas(janelas);
  report::TRDprint rd;
  app::ConfiguraCarta(rd, p.dados.numeroProcesso);
  LigaErros(rd);
  bool gravado = false;
  janelas.noPreview = [&](report::TRDprint& r) { gravado = Grava(r, *formato, destino); };
  app::TCartaProposta carta(rd, p.tabela, p.dados);
  if (!carta.Emite()) return p.tabela.Vazia() ? kRecusa : kErro;
  return gravado ? kSucesso : kErro;
}

// proposta-cli conferir: the findings, one a line; 1 when there is any, 0 when clean.
int Conferir(const std::vector<std::string>& argumentos) {
  const std::string uso = "conferir ARQUIVO.xml --perfil NOME " + std::string(kUsoTermos);
  std::vector<std::string> args = argumentos;
  Proposta p;
  if (int r = Prepara(args, uso, p); r != kSucesso) return r;
  if (!args.empty()) {
    Erro("Uso: proposta-cli " + uso);
    return kErro;
  }
  const std::vector<app::Pendencia> achados =
      app::ConfereProposta(p.tabela, p.dados.perfil, p.dados.termos);
  for (const app::Pendencia& a : achados) Saida(app::TextoPendencia(a));
  if (achados.empty()) Saida("Nenhuma pend\xEAncia: a proposta pode ser enviada.");
  return achados.empty() ? kSucesso : kRecusa;
}

// proposta-cli perfil salvar NOME [--campo VALOR...]: creates or changes a profile.
int SalvarPerfil(std::vector<std::string> args) {
  const app::PerfisLidos lidos = app::LePerfis();
  if (args.empty() || args[0].rfind("--", 0) == 0) {
    Erro("Uso: proposta-cli perfil salvar NOME --razao-social TEXTO --cnpj CNPJ [...]");
    return kErro;
  }
  app::PerfilEmpresa perfil;
  if (const app::PerfilEmpresa* existente =
          app::AchaPerfil(lidos.perfis, platform::utf8ToCp1252(args[0])))
    perfil = *existente;
  perfil.nome = platform::utf8ToCp1252(args[0]);
  args.erase(args.begin());
  for (const app::CampoPerfil& c : app::CamposPerfil()) {
    std::string valor;
    if (*c.opcao && Opcao(args, c.opcao, valor)) perfil.*c.membro = platform::utf8ToCp1252(valor);
  }
  if (!args.empty()) {
    Erro("Op\xE7\xE3o desconhecida: " + platform::utf8ToCp1252(args[0]) +
         " (veja proposta-cli perfil --help).");
    return kErro;
  }
  std::string aviso;
  if (auto e = app::SalvaPerfil(perfil, &aviso)) {
    Erro(*e);
    return kRecusa;
  }
  if (!aviso.empty()) Erro(aviso);
  Saida("Perfil \"" + perfil.nome + "\" gravado em " +
        platform::utf8ToCp1252(app::CaminhoPerfis()) + ".");
  return kSucesso;
}

// proposta-cli perfil: lists the profiles (or saves one).
int Perfil(const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "salvar")
    return SalvarPerfil(std::vector<std::string>(args.begin() + 1, args.end()));
  if (!args.empty()) {
    Erro("Uso: proposta-cli perfil | perfil salvar NOME ...");
    return kErro;
  }
  const app::PerfisLidos lidos = app::LePerfis();
  if (!lidos.erro.empty()) Erro(lidos.erro);
  for (const app::PerfilEmpresa& p : lidos.perfis)
    Saida(p.nome + ": " + p.razaoSocial + " - CNPJ " +
          app::MascaraCNPJ(app::NormalizaCNPJ(p.cnpj)));
  if (lidos.perfis.empty() && lidos.erro.empty())
    Saida("Nenhum perfil em " + platform::utf8ToCp1252(app::CaminhoPerfis()) + ".");
  return lidos.erro.empty() ? kSucesso : kErro;
}

// The profile options for the help (UTF-8).
std::string AjudaCamposPerfil() {
  std::string r = "    Campos:";
  int largura = 10;
  for (const app::CampoPerfil& c : app::CamposPerfil()) {
    if (!*c.opcao) continue;
    const std::string item = std::string(" ") + c.opcao;
    if (largura + item.size() > 92) {
      r += "\n          ";
      largura = 10;
    }
    r += item;
    largura += static_cast<int>(item.size());
  }
  return r + "\n";
}

Registro perfil(
    {"perfil", "perfil | perfil salvar NOME --razao-social TEXTO --cnpj CNPJ [--CAMPO VALOR...]",
     "    Lista os perfis de empresa (em $XDG_CONFIG_HOME/proposta/perfis.json) ou "
     "cria e altera\n"
     "    um: os campos n\xC3\xA3o dados ficam como estavam. O CNPJ (num\xC3\xA9rico ou "
     "alfanum\xC3\xA9rico) e o CPF\n"
     "    do representante s\xC3\xA3o conferidos pelos d\xC3\xADgitos "
     "verificadores (recusa: sa\xC3\xAD"
     "da 1).\n" +
         AjudaCamposPerfil(),
     Perfil});
Registro carta({"carta",
                "carta ARQUIVO.xml --perfil NOME --saida SAIDA [--modelo M] [TERMOS] "
                "[IMPRESS\xC3\x83O]",
                "    A proposta comercial do processo em papel A4, com o perfil da empresa e os "
                "termos guardados\n"
                "    para o processo (TERMOS: " +
                    std::string(kUsoTermos) +
                    " valem s\xC3\xB3 nesta vez),\n"
                    "    gravada pela extens\xC3\xA3o de SAIDA como a listagem: .rdp, .txt, .prn "
                    "(modelo M), .html ou .pdf.\n" +
                    std::string(kAjudaOpcoesPrn),
                Carta});
Registro conferir({"conferir", "conferir ARQUIVO.xml --perfil NOME [TERMOS]",
                   "    Confere a proposta antes do envio e lista, por item e com o motivo, o que "
                   "a desclassifica\n"
                   "    ou questiona: item sem valor em lote cotado, item sem marca ou com marca "
                   "longa demais,\n"
                   "    casas decimais al\xC3\xA9m do edital, totais impressos que n\xC3\xA3o "
                   "somam, validade ou\n"
                   "    representante faltando, CNPJ ou CPF inv\xC3\xA1lido. Sa\xC3\xAD"
                   "da 1 quando h\xC3\xA1 pend\xC3\xAAncia, 0 quando n\xC3\xA3o h\xC3\xA1.",
                   Conferir});

}  // namespace

}  // namespace cli
