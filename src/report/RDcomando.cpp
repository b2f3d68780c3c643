// Decoding and encoding page commands.
#include "report/RDcomando.h"

#include <cstdio>

#include "base/Erros.h"
#include "base/Formato.h"
#include "report/RDtabelas.h"

namespace report {

namespace {

// Reads a decimal field; plain digit runs take the fast path, anything else reads as the
// conversion routine of the system does.
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

// Writes `v` as `campo.tamanho` zero-padded digits at the field's place; false when it does not
// fit.
bool Digitos(char* destino, TCampoComando campo, int v) {
  if (v < 0) return false;
  for (size_t i = campo.tamanho; i-- > 0; v /= 10)
    destino[campo.inicio + i] = static_cast<char>('0' + v % 10);
  return v == 0;
}

bool EhHexadecimal(char h) {
  return (h >= '0' && h <= '9') || (h >= 'A' && h <= 'F') || (h >= 'a' && h <= 'f');
}

// The characters of a sub-field and their value, converted as the system's conversion routine
// does (leading blanks, a sign, "$" or "0x" for hexadecimal).
TSubcampo Subcampo(std::string_view texto, TCampoComando campo) {
  TSubcampo s{CampoDe(texto, campo), std::nullopt};
  int32_t v = 0;
  if (base::TryStrToInt(s.texto, v)) s.valor = v;
  return s;
}

}  // namespace

// The fixed fields, the colour, the attribute number's parts and the text.
bool DecodificaComando(std::string_view comando, TComando& c) {
  int pagina = 0, linha = 0, coluna = 0, atributo = 0;
  if (!LeInteiro(CampoDe(comando, kCampoPagina), pagina) ||
      !LeInteiro(CampoDe(comando, kCampoLinha), linha) ||
      !LeInteiro(CampoDe(comando, kCampoColuna), coluna) ||
      !LeInteiro(CampoDe(comando, kCampoAtributo), atributo))
    return false;
  const std::string_view corTexto = CampoDe(comando, kCampoCor);
  TColor cor = 0;
  try {
    cor = HexParaCor(corTexto);
  } catch (const base::Exception&) {
    return false;
  }
  c.Pagina = pagina;
  c.Linha = linha;
  c.Coluna = coluna;
  c.Atributo = atributo;
  c.Codigo = CodigoDe(comando);
  c.CorTexto.assign(corTexto);
  c.Cor = cor;
  c.Texto.assign(TextoDe(comando));
  const TAtributoDecomposto partes = DecompoeAtributo(atributo);
  if (partes.pitch) c.Cpi = partes.pitch->cpi;
  c.Expandido = partes.bits.Contem(TAtributo::aExpandido);
  c.Sublinhado = partes.bits.Contem(TAtributo::aSublinhado);
  c.Negrito = partes.bits.Contem(TAtributo::aNegrito);
  c.Italico = partes.bits.Contem(TAtributo::aItalico);
  return true;
}

// Page, line, column, attribute number, code letter, colour (red first), text.
bool CodificaComando(const TCabecaComando& cabeca, std::string_view texto, std::string& saida) {
  char fixo[kInicioTexto];
  if (!Digitos(fixo, kCampoPagina, cabeca.Pagina) || !Digitos(fixo, kCampoLinha, cabeca.Linha) ||
      !Digitos(fixo, kCampoColuna, cabeca.Coluna) ||
      !Digitos(fixo, kCampoAtributo, cabeca.Atributo) || cabeca.Cor < 0)
    return false;
  fixo[kCampoCodigo.inicio] = cabeca.Codigo;
  static const char hex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < 3; ++i) {
    const unsigned b = (static_cast<uint32_t>(cabeca.Cor) >> (8 * i)) & 0xFF;
    fixo[kCampoCor.inicio + 2 * i] = hex[b >> 4];
    fixo[kCampoCor.inicio + 2 * i + 1] = hex[b & 15];
  }
  saida.assign(fixo, kInicioTexto);
  saida += texto;
  return true;
}

// Digits up to the code letter, six hexadecimal digits after it.
bool ComandoBemFormado(std::string_view comando) {
  if (comando.size() < kCampoCor.fim()) return false;
  for (size_t i = 0; i < kCampoCodigo.inicio; ++i)
    if (comando[i] < '0' || comando[i] > '9') return false;
  for (size_t i = kCampoCor.inicio; i < kCampoCor.fim(); ++i)
    if (!EhHexadecimal(comando[i])) return false;
  return true;
}

// The value, or the conversion error StrToInt raises for the characters.
int32_t TSubcampo::Valor() const { return valor ? *valor : base::StrToInt(texto); }

// End line, end column, the double flag and the end style.
TLinhaComando DecodificaLinha(const TComando& comando) {
  const std::string_view t = comando.Texto;
  TLinhaComando l;
  l.LinhaFinal = Subcampo(t, kSubLinhaFinal);
  l.ColunaFinal = Subcampo(t, kSubColunaFinal);
  l.Estilo = Subcampo(t, kSubEstilo);
  l.Dupla = CampoDe(t, kSubDupla) == "D";
  return l;
}

// Index, width and height.
TFiguraComando DecodificaFigura(const TComando& comando) {
  const std::string_view t = comando.Texto;
  return {Subcampo(t, kSubIndice), Subcampo(t, kSubLargura), Subcampo(t, kSubAltura)};
}

// The page field read as the decoder reads it.
int PaginaDe(std::string_view comando, int seFalhar) {
  int n = 0;
  return LeInteiro(CampoDe(comando, kCampoPagina), n) ? n : seFalhar;
}

// The page as "0000".
std::string PrefixoPagina(int pagina) {
  char prefixo[16];
  std::snprintf(prefixo, sizeof prefixo, "%04d", pagina);
  return prefixo;
}

// The entry with another letter in the code field.
std::string ComOutroCodigo(std::string_view comando, char codigo) {
  std::string r(comando);
  if (r.size() > kCampoCodigo.inicio) r[kCampoCodigo.inicio] = codigo;
  return r;
}

}  // namespace report
