// Check digits: each character's code minus 48 weighted from the right with 2, 3, ... (9 then
// back to 2 for the CNPJ), the sum taken modulo 11; a remainder below 2 gives 0, otherwise 11
// minus the remainder.
#include "app/Documentos.h"

#include "base/Texto.h"

namespace app {

namespace {

// Blanks and the punctuation of the masks.
bool Pontuacao(char c) { return c == '.' || c == '/' || c == '-' || c == ' '; }

// The check digit of `corpo` with weights from 2 up to `pesoMaximo` from the right, cycling.
int DigitoVerificador(std::string_view corpo, int pesoMaximo) {
  int soma = 0, peso = 2;
  for (size_t i = corpo.size(); i-- > 0;) {
    soma += (static_cast<unsigned char>(corpo[i]) - 48) * peso;
    peso = peso == pesoMaximo ? 2 : peso + 1;
  }
  const int resto = soma % 11;
  return resto < 2 ? 0 : 11 - resto;
}

// True when both check digits at the end of `s` (of length n) follow from what comes before.
bool DigitosConferem(const std::string& s, int pesoMaximo) {
  const size_t n = s.size();
  const int d1 = DigitoVerificador(std::string_view(s).substr(0, n - 2), pesoMaximo);
  const int d2 = DigitoVerificador(std::string_view(s).substr(0, n - 1), pesoMaximo);
  return s[n - 2] - '0' == d1 && s[n - 1] - '0' == d2;
}

bool TodosIguais(const std::string& s) { return s.find_first_not_of(s[0]) == std::string::npos; }

bool Digito(char c) { return c >= '0' && c <= '9'; }
bool Alfanumerico(char c) { return Digito(c) || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::string NormalizaCNPJ(std::string_view texto) {
  std::string r;
  for (char c : texto)
    if (!Pontuacao(c)) r += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return r;
}

std::string NormalizaCPF(std::string_view texto) {
  std::string r;
  for (char c : texto)
    if (!Pontuacao(c)) r += c;
  return r;
}

std::optional<std::string> RecusaCNPJ(std::string_view texto) {
  const std::string s = NormalizaCNPJ(texto);
  const std::string mostrado = "\"" + std::string(texto) + "\"";
  if (s.size() != 14)
    return "O CNPJ " + mostrado +
           " deve ter 14 caracteres: 12 letras (A a Z) ou algarismos e 2 d\xEDgitos "
           "verificadores (" +
           std::to_string(s.size()) + " digitados).";
  for (size_t i = 0; i < s.size(); ++i)
    if (i < 12 ? !Alfanumerico(s[i]) : !Digito(s[i]))
      return "O CNPJ " + mostrado +
             " s\xF3 pode ter letras de A a Z e algarismos, e os dois \xFAltimos caracteres "
             "(d\xEDgitos verificadores) s\xE3o algarismos.";
  if (TodosIguais(s) || !DigitosConferem(s, 9))
    return "O CNPJ " + mostrado +
           " \xE9 inv\xE1lido: os d\xEDgitos verificadores n\xE3o conferem. Confira o n\xFAmero "
           "no cart\xE3o CNPJ da empresa.";
  return std::nullopt;
}

std::optional<std::string> RecusaCPF(std::string_view texto) {
  const std::string s = NormalizaCPF(texto);
  const std::string mostrado = "\"" + std::string(texto) + "\"";
  if (s.size() != 11)
    return "O CPF " + mostrado + " deve ter 11 algarismos (" + std::to_string(s.size()) +
           " digitados).";
  for (char c : s)
    if (!Digito(c)) return "O CPF " + mostrado + " s\xF3 pode ter algarismos.";
  if (TodosIguais(s) || !DigitosConferem(s, 11))
    return "O CPF " + mostrado +
           " \xE9 inv\xE1lido: os d\xEDgitos verificadores n\xE3o conferem. Confira o "
           "n\xFAmero no documento do representante.";
  return std::nullopt;
}

std::string MascaraCPF(std::string_view s) {
  using base::Copy;
  return Copy(s, 1, 3) + "." + Copy(s, 4, 3) + "." + Copy(s, 7, 3) + "-" + Copy(s, 10, 2);
}

}  // namespace app
