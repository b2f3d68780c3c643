// Storing and decoding page commands: AdicionaComando, DecodificaComando, SubstituiMacros and
// TotalPaginas.
#include <cstdio>

#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/Clock.h"
#include "report/RDestado.h"
#include "report/RDprint.h"
#include "report/RDtabelas.h"

namespace report {

namespace {

// Reads a decimal field; plain digit runs take the fast path.
bool LeInteiro(std::string_view s, int& v) {
  if (!s.empty() && s.size() <= 9) {
    int r = 0;
    bool digitos = true;
    for (char c : s) {
      if (c < '0' || c > '9') {
        digitos = false;
        break;
      }
      r = r * 10 + (c - '0');
    }
    if (digitos) {
      v = r;
      return true;
    }
  }
  int32_t r = 0;
  if (!base::TryStrToInt(s, r)) return false;
  v = r;
  return true;
}

// A substring that is empty when out of range (1-based start, as the component's fields are).
std::string_view Campo(std::string_view s, size_t inicio, size_t quantidade) {
  if (inicio - 1 >= s.size()) return {};
  return s.substr(inicio - 1, quantidade);
}

// 0-based position of the first occurrence of `macro` in `texto`, ignoring letter case.
size_t AchaMacro(const std::string& texto, std::string_view macro) {
  if (texto.size() < macro.size()) return std::string::npos;
  for (size_t i = 0; i + macro.size() <= texto.size(); ++i) {
    size_t k = 0;
    while (k < macro.size()) {
      char c = texto[i + k];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      if (c != macro[k]) break;
      ++k;
    }
    if (k == macro.size()) return i;
  }
  return std::string::npos;
}

}  // namespace

// Validates a position and stores one page command on page PaginaAtual.
bool TRDprint::AdicionaComando(int Linha, int Coluna, std::string_view Codigo,
                               std::string_view Texto, TAtributos Fonte, TColor Cor) {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (Cor == clNone) Cor = OpcoesPreview.CorLetraPreview;
  if (Linha > 999 || Coluna > 999 || Linha < 1 || Coluna < 1 || Coluna > TamanhoQteColunas) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Erro #09 - (POSI\xC7\xC3O INV\xC1LIDA) Linha %d, Coluna %d",
                  Linha, Coluna);
    ReportaErro(buf, true);
    return false;
  }
  if (Fonte.Vazio()) Fonte = e.comandos.AtributosPadrao;
  // Expanded print alone is no pitch: it is drawn over the default one.
  bool temPitch = false;
  for (const TLinhaPitch& p : kPitches)
    if (p.atributo != TAtributo::aExpandido && Fonte.Contem(p.atributo)) temPitch = true;
  if (!temPitch) Fonte.Inclui(e.comandos.AtributosPadrao);
  if (!e.aberto || !e.paginas) {
    ReportaErro("Erro #06 - (IMP/IMPF) Relat\xF3rio n\xE3o foi aberto...");
    return false;
  }
  int atributo = NumeroAtributo(Fonte);
  if (Texto.empty()) return true;
  // A page number beyond the 4-digit field would corrupt the layout: such commands are not stored.
  if (e.PaginaAtual < 0 || e.PaginaAtual > 9999) return false;
  if (Cor < 0) return true;  // a system colour has no RGB encoding: nothing is stored
  // The fixed-width head in one buffer: page, line, column, attribute, code letter, colour.
  static thread_local std::string comando;
  char cab[20];
  auto digitos = [&cab](int pos, int v, int n) {
    for (int i = n - 1; i >= 0; --i, v /= 10) cab[pos + i] = static_cast<char>('0' + v % 10);
  };
  digitos(0, e.PaginaAtual, 4);
  digitos(4, Linha, 3);
  digitos(7, Coluna, 3);
  digitos(10, atributo, 3);
  static const char hex[] = "0123456789ABCDEF";
  for (int i = 0; i < 3; ++i) {
    unsigned b = (static_cast<uint32_t>(Cor) >> (8 * i)) & 0xFF;
    cab[14 + 2 * i] = hex[b >> 4];
    cab[15 + 2 * i] = hex[b & 15];
  }
  comando.assign(cab, 13);
  comando += Codigo;
  comando.append(cab + 14, 6);
  comando += Texto;
  e.paginas->Insere(comando);
  return true;
}

// Splits one page command into the decoded-command fields.
bool TRDprint::DecodificaComando(std::string_view Comando) {
  TComandoDecodificado& d = EstadoRelatorio().atual;
  d.Negrito = d.Sublinhado = d.Italico = d.Expandido = false;
  auto falha = [&] {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando ");
    ReportaErro(buf + std::string(Comando), true);
    return false;
  };
  if (!LeInteiro(Campo(Comando, 1, 4), d.Pagina)) return falha();
  if (!LeInteiro(Campo(Comando, 5, 3), d.Linha)) return falha();
  if (!LeInteiro(Campo(Comando, 8, 3), d.Coluna)) return falha();
  if (!LeInteiro(Campo(Comando, 11, 3), d.Atributo)) return falha();
  d.Codigo = Comando.size() >= 14 ? Comando[13] : '\0';
  d.CorTexto = std::string(Campo(Comando, 15, 6));
  try {
    d.Cor = HexParaCor(d.CorTexto);
  } catch (const base::Exception&) {
    return falha();
  }
  d.Texto = SubstituiMacros(Campo(Comando, 21, std::string_view::npos));
  const TAtributoDecomposto partes = DecompoeAtributo(d.Atributo);
  if (partes.pitch) d.Cpi = partes.pitch->cpi;  // otherwise the previous command's pitch stays
  d.Expandido = partes.bits.Contem(TAtributo::aExpandido);
  d.Sublinhado = partes.bits.Contem(TAtributo::aSublinhado);
  d.Negrito = partes.bits.Contem(TAtributo::aNegrito);
  d.Italico = partes.bits.Contem(TAtributo::aItalico);
  return true;
}

// Replaces the first occurrence of each macro, in order, at output time.
std::string TRDprint::SubstituiMacros(std::string_view Texto) const {
  std::string r(Texto);
  if (r.find('&') == std::string::npos) return r;
  auto troca = [&r](std::string_view macro, auto valor) {
    size_t p = AchaMacro(r, macro);
    if (p != std::string::npos) r.replace(p, macro.size(), valor());
  };
  troca("&PAGE&", [this] { return base::FormatFixo("#,##0", TotalPaginas(), 0); });
  troca("&HORA&", [] { return base::FormataHora(platform::now()); });
  troca("&DATA&", [] { return base::FormataData(platform::now()); });
  troca("&TITULO&", [this] { return TitulodoRelatorio; });
  return r;
}

// The page number of the last entry of the store (1 when empty or unreadable).
int TRDprint::TotalPaginas() const {
  const auto& p = EstadoRelatorio().paginas;
  if (!p || p->Vazia()) return 1;
  int n = 0;
  return LeInteiro(Campo(p->Ultimo(), 1, 4), n) ? n : 1;
}

}  // namespace report
