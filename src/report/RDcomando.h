// A page command as a value: the fields of one entry of the page store, the one decoder from its
// stored text and the one encoder to it. Every reader of the layout (store, report files, search,
// renderer, the outputs) takes the positions of the fields from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "report/RDTools.h"

namespace report {

// Where a fixed field of the layout lies in the stored text (0-based start, width).
struct TCampoComando {
  size_t inicio, tamanho;
  size_t fim() const { return inicio + tamanho; }
};

inline constexpr TCampoComando kCampoPagina{0, 4};
inline constexpr TCampoComando kCampoLinha{4, 3};
inline constexpr TCampoComando kCampoColuna{7, 3};
inline constexpr TCampoComando kCampoAtributo{10, 3};
inline constexpr TCampoComando kCampoCodigo{13, 1};
inline constexpr TCampoComando kCampoCor{14, 6};
// The text runs from here to the end of the entry.
inline constexpr size_t kInicioTexto = 20;

// The fixed fields of a page command, as the encoder writes them.
struct TCabecaComando {
  int Pagina = 0, Linha = 0, Coluna = 0, Atributo = 0;
  char Codigo = 'T';
  TColor Cor = 0;
};

// A decoded page command: the fixed fields, what the attribute number says, the colour as stored
// and the text as stored (macros are replaced by whoever outputs it).
struct TComando : TCabecaComando {
  int Cpi = 10;  // a command without pitch bits keeps the pitch decoded before it into this value
  bool Expandido = false, Sublinhado = false, Negrito = false, Italico = false;
  std::string CorTexto;
  std::string Texto;
};

// The text of a drawing command holds fixed sub-fields. Lines ("H", "V") and frames ("F"): 5
// digits end line, 5 digits end column, "D" for a double line, then (H and V only) one digit 0-3
// for the end style. Pictures ("G"): 5 digits index into the picture list, 5 digits width and 5
// digits height in millimetres.
inline constexpr TCampoComando kSubLinhaFinal{0, 5};
inline constexpr TCampoComando kSubColunaFinal{5, 5};
inline constexpr TCampoComando kSubDupla{10, 1};
inline constexpr TCampoComando kSubEstilo{11, 1};
inline constexpr TCampoComando kSubIndice{0, 5};
inline constexpr TCampoComando kSubLargura{5, 5};
inline constexpr TCampoComando kSubAltura{10, 5};

// A number sub-field: its characters as stored (shorter or empty when the text ends before it)
// and its value when they convert. Each output decides what a field that does not convert means.
struct TSubcampo {
  std::string_view texto;
  std::optional<int32_t> valor;
  // Whether the text reaches the field at all.
  bool Presente() const { return !texto.empty(); }
  // The value; raises the conversion error of the characters when they do not convert.
  int32_t Valor() const;
};

// The sub-fields of a line or a frame (a frame's end style is never read).
struct TLinhaComando {
  TSubcampo LinhaFinal, ColunaFinal, Estilo;
  bool Dupla = false;
};

// The sub-fields of a picture.
struct TFiguraComando {
  TSubcampo Indice, Largura, Altura;
};

// Reads the sub-fields of a decoded command's text; the result refers to that text, so the
// command must outlive it.
TLinhaComando DecodificaLinha(const TComando& comando);
TLinhaComando DecodificaLinha(const TComando&&) = delete;
TFiguraComando DecodificaFigura(const TComando& comando);
TFiguraComando DecodificaFigura(const TComando&&) = delete;

// Decodes a stored command into `c`; false, with `c` as it was, when a fixed field does not
// convert.
bool DecodificaComando(std::string_view comando, TComando& c);

// Writes the stored text of a command into `saida`; false (saida untouched) when a field does not
// fit its width or the colour is a system colour, which has no RGB digits.
bool CodificaComando(const TCabecaComando& cabeca, std::string_view texto, std::string& saida);

// Whether a stored line has every fixed field of the layout (digits, code letter, six
// hexadecimal colour digits).
bool ComandoBemFormado(std::string_view comando);

// Single fields of a stored entry, read without decoding it.
// The code letter ('\0' when the entry is too short to have one).
inline char CodigoDe(std::string_view comando) {
  return comando.size() > kCampoCodigo.inicio ? comando[kCampoCodigo.inicio] : '\0';
}
// The text as stored.
inline std::string_view TextoDe(std::string_view comando) {
  return comando.size() > kInicioTexto ? comando.substr(kInicioTexto) : std::string_view();
}
// The characters of a fixed field (shorter or empty when the entry ends before it).
inline std::string_view CampoDe(std::string_view comando, TCampoComando campo) {
  return campo.inicio < comando.size() ? comando.substr(campo.inicio, campo.tamanho)
                                       : std::string_view();
}
// The page number of an entry, or `seFalhar` when its page field does not convert.
int PaginaDe(std::string_view comando, int seFalhar);
// The page field of a page number ("0000" format): what every entry of that page starts with.
std::string PrefixoPagina(int pagina);
// The entry with its code letter replaced (the search mark is the found entry as an M).
std::string ComOutroCodigo(std::string_view comando, char codigo);

}  // namespace report
