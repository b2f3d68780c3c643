#include "app/RegrasEntrada.h"

#include <limits>

#include "app/Moeda.h"
#include "base/Erros.h"
#include "base/Texto.h"

namespace app {

std::string RemoveCaracteres(std::string_view texto) {
  std::string r(texto);
  for (char proibido : {'/', '\\', '<', '>', '?', ':', '*', '|', '\''}) {
    std::string limpo;
    limpo.reserve(r.size());
    for (char c : r)
      if (c != proibido) limpo += c;
    r.swap(limpo);
  }
  return r;
}

bool MarcaAceitaCaractere(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
         c == '\x08' || c == '\0';
}

bool ValorAceitaCaractere(char c, const base::FormatSettings& fs) {
  if (static_cast<unsigned char>(c) < 0x20) return true;
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'E' || c == 'e' ||
         c == fs.separadorDecimal;
}

std::string MotivoRecusaValor(char c, const base::FormatSettings& fs) {
  if (c == '.' || c == ',' || c == fs.separadorMilhar)
    return "Use a v\xEDrgula para separar os centavos";
  return "O pre\xE7o aceita s\xF3 algarismos; use a v\xEDrgula para separar os centavos";
}

std::string MascaraCNPJ(std::string_view s) {
  using base::Copy;
  return Copy(s, 1, 2) + "." + Copy(s, 3, 3) + "." + Copy(s, 6, 3) + "/" + Copy(s, 9, 4) + "-" +
         Copy(s, 13, 2);
}

AcaoFocoEntrada DBEditEnter(std::string_view classe, bool somenteLeitura) {
  for (auto c : {"TDBEdit", "TEdit", "TDBMemo", "TMemo", "TMaskEdit"})
    if (classe == c)
      return somenteLeitura ? AcaoFocoEntrada::ProximoControle : AcaoFocoEntrada::Amarelo;
  for (auto c : {"TDBLookupComboBox", "TDBComboBox", "TComboBox"})
    if (classe == c) return AcaoFocoEntrada::Amarelo;
  return AcaoFocoEntrada::Nada;
}

AcaoFocoSaida DBEditExit(std::string_view classe, bool somenteLeitura) {
  if (classe == "TDBEdit" || classe == "TEdit")
    return somenteLeitura ? AcaoFocoSaida::Nada : AcaoFocoSaida::CorJanela;
  for (auto c : {"TDBLookupComboBox", "TDBComboBox", "TComboBox", "TDBMemo", "TMemo", "TMaskEdit"})
    if (classe == c) return AcaoFocoSaida::CorJanela;
  return AcaoFocoSaida::Nada;
}

std::optional<std::string> RecusaPreco(std::string_view ordem, std::optional<double> valor,
                                       std::optional<double> quantidade) {
  if (!valor) return std::nullopt;
  const std::string item = "O pre\xE7o do item " + std::string(ordem);
  if (*valor < 0)
    return item + " n\xE3o pode ser negativo: digite o pre\xE7o unit\xE1rio, de 0 para cima.";
  try {
    ArredondaContagem(Produto(ParaFixo(*valor), quantidade.value_or(0.0)));
    return std::nullopt;
  } catch (const base::Exception&) {
    return item +
           " \xE9 grande demais: o pre\xE7o e o total do item (pre\xE7o x quantidade) v\xE3o "
           "at\xE9 "
           "R$ " +
           FormataDinheiro(std::numeric_limits<Contagem>::max()) + ".";
  }
}

std::optional<std::string> RecusaNomeEmpresa(std::string_view nome) {
  if (nome.find_first_not_of(' ') == std::string_view::npos)
    return std::string(
        "Digite o nome da empresa: ele faz parte do nome do arquivo da proposta, que sem ele "
        "seria gravado sobre o arquivo do processo.");
  for (char c : nome) {
    unsigned char u = static_cast<unsigned char>(c);
    bool proibido = u < 0x20 || u == 0x7F || c == '\\' || c == '/' || c == ':' || c == '*' ||
                    c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
    if (proibido)
      return std::string(
          "O nome da empresa n\xE3o pode conter os caracteres \\ / : * ? \" < > | nem caracteres "
          "de "
          "controle, pois ele faz parte do nome do arquivo da proposta.\rDigite o nome novamente.");
  }
  return std::nullopt;
}

}  // namespace app
