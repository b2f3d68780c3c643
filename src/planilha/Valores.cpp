#include "planilha/Valores.h"

#include <charconv>

#include "app/RegrasEntrada.h"
#include "app/TabelaItens.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "report/RDTools.h"

namespace planilha {

namespace {

bool Digitos(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// "1.234.567" as digits, when its groups are those of a thousands separator.
bool Milhares(std::string_view s, std::string& digitos) {
  size_t ponto = s.find('.');
  if (ponto == std::string_view::npos) {
    digitos = s;
    return Digitos(s);
  }
  const std::string_view primeiro = s.substr(0, ponto);
  if (!Digitos(primeiro) || primeiro.size() > 3) return false;
  digitos = primeiro;
  for (std::string_view resto = s.substr(ponto + 1);;) {
    const size_t p = resto.find('.');
    const std::string_view grupo = resto.substr(0, p);
    if (grupo.size() != 3 || !Digitos(grupo)) return false;
    digitos += grupo;
    if (p == std::string_view::npos) return true;
    resto = resto.substr(p + 1);
  }
}

// Integer digits and decimal digits as a count; refused beyond four decimals or 14 integer
// digits, the motive naming the price as `original()` writes it (built only then).
template <class Original>
Leitura Conta(std::string_view inteiro, std::string_view decimais, const Original& original,
              app::Contagem& valor, std::string& motivo) {
  if (decimais.size() > 4) {
    motivo = "o pre\xE7o \"" + original() +
             "\" tem mais de quatro casas decimais (nada \xE9 arredondado)";
    return Leitura::Recusada;
  }
  if (inteiro.size() > 14) {
    motivo = "o pre\xE7o \"" + original() + "\" \xE9 grande demais";
    return Leitura::Recusada;
  }
  app::Contagem c = 0;
  for (char d : inteiro) c = c * 10 + (d - '0');
  for (size_t i = 0; i < 4; ++i) c = c * 10 + (i < decimais.size() ? decimais[i] - '0' : 0);
  valor = c;
  return Leitura::Aceita;
}

Leitura NaoEPreco(std::string_view texto, std::string& motivo) {
  motivo = "\"" + std::string(texto) + "\" n\xE3o \xE9 um pre\xE7o (use 1.234,56)";
  return Leitura::Recusada;
}

std::string_view Apara(std::string_view s) {
  auto branco = [](char c) { return c == ' ' || c == '\t' || c == '\xA0'; };
  while (!s.empty() && branco(s.front())) s.remove_prefix(1);
  while (!s.empty() && branco(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

Leitura LePrecoTexto(std::string_view original, app::Contagem& valor, std::string& motivo) {
  std::string_view s = Apara(original);
  if (s.substr(0, 2) == "R$") s = Apara(s.substr(2));
  if (s.empty()) return Leitura::Vazia;
  if (s.front() == '-') {
    motivo = "o pre\xE7o \"" + std::string(original) + "\" \xE9 negativo";
    return Leitura::Recusada;
  }
  if (s.front() == '+') s.remove_prefix(1);
  const auto escrito = [original] { return std::string(original); };
  std::string inteiro;
  const size_t virgula = s.find(',');
  if (virgula != std::string_view::npos) {
    const std::string_view decimais = s.substr(virgula + 1);
    if (!Milhares(s.substr(0, virgula), inteiro) || !Digitos(decimais))
      return NaoEPreco(original, motivo);
    return Conta(inteiro, decimais, escrito, valor, motivo);
  }
  const size_t ponto = s.find('.');
  if (ponto != std::string_view::npos && s.find('.', ponto + 1) == std::string_view::npos) {
    const std::string_view decimais = s.substr(ponto + 1);
    if (decimais.size() == 3 && Digitos(decimais)) {
      // Spelled with the digits the user typed: "2.500" may be 2.500,00 or 2,500.
      const std::string milhar = std::string(s) + ",00";
      const std::string fracao = std::string(s.substr(0, ponto)) + "," + std::string(decimais);
      motivo = "o pre\xE7o \"" + std::string(original) + "\" \xE9 amb\xEDguo (" + milhar + " ou " +
               fracao + "?): escreva-o com v\xEDrgula, como " + milhar + " ou " + fracao;
      return Leitura::Recusada;
    }
    inteiro = s.substr(0, ponto);
    if (!Digitos(inteiro) || !Digitos(decimais)) return NaoEPreco(original, motivo);
    return Conta(inteiro, decimais, escrito, valor, motivo);
  }
  if (!Milhares(s, inteiro)) return NaoEPreco(original, motivo);
  return Conta(inteiro, {}, escrito, valor, motivo);
}

Leitura LePreco(const Celula& c, app::Contagem& valor, std::string& motivo) {
  if (c.tipo == TipoCelula::Vazia) return Leitura::Vazia;
  if (c.tipo == TipoCelula::Texto) return LePrecoTexto(c.texto, valor, motivo);
  // A number: its shortest decimal form of 15 digits drops the binary noise a formula leaves
  // (0.1 + 0.2), not a fifth decimal someone typed.
  char buf[64];
  const auto fim = std::to_chars(buf, buf + sizeof buf, c.numero, std::chars_format::general, 15);
  std::string_view s(buf, static_cast<size_t>(fim.ptr - buf));
  if (s.find_first_of("eE") != std::string_view::npos ||
      s.find_first_of("ni") != std::string_view::npos) {
    if (c.numero != 0) {
      motivo = "o n\xFAmero " + std::string(s) + " n\xE3o \xE9 um pre\xE7o";
      return Leitura::Recusada;
    }
    s = "0";
  }
  if (s.front() == '-') {
    motivo = "o pre\xE7o " + base::FloatToStr(c.numero) + " \xE9 negativo";
    return Leitura::Recusada;
  }
  const size_t ponto = s.find('.');
  const std::string_view decimais =
      ponto == std::string_view::npos ? std::string_view() : s.substr(ponto + 1);
  return Conta(
      s.substr(0, ponto), decimais, [&c] { return base::FloatToStr(c.numero); }, valor, motivo);
}

std::string TextoDaCelula(const Celula& c) {
  if (c.tipo == TipoCelula::Numero) return base::FloatToStr(c.numero);
  return c.texto;
}

Leitura LeMarca(const Celula& c, std::string& marca, std::string& motivo) {
  const std::string limpa =
      std::string(Apara(report::RemoveAcentos(app::RemoveCaracteres(TextoDaCelula(c)))));
  if (limpa.empty()) return Leitura::Vazia;
  const size_t largura = app::TTabelaItens::Largura(app::Campo::marca);
  if (limpa.size() > largura) {
    motivo = "a marca \"" + limpa + "\" tem " + std::to_string(limpa.size()) +
             " caracteres; cabem " + std::to_string(largura);
    return Leitura::Recusada;
  }
  marca = limpa;
  return Leitura::Aceita;
}

std::string NomeComparavel(std::string_view nome) {
  const std::string semAcento = base::LowerCase(report::RemoveAcentos(nome));
  std::string r;
  for (char c : semAcento) {
    const bool branco = c == ' ' || c == '\t' || c == '\xA0' || c == '\n' || c == '\r';
    if (branco) {
      if (!r.empty() && r.back() != ' ') r += ' ';
    } else {
      r += c;
    }
  }
  if (!r.empty() && r.back() == ' ') r.pop_back();
  return r;
}

}  // namespace planilha
