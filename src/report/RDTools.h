// RDTools: the stateless conversions the report engine applies to texts, colours, page selections
// and pictures on their way to a printer, a file or the screen. Texts are Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// A colour value: red in the low byte, then green, then blue; negative values are system colours.
using TColor = int32_t;

// Replaces accented letters (and the signs ª º ¼ ½ ¾ §) by their plain forms; same length.
std::string RemoveAcentos(std::string_view texto);
// Turns frame code letters into code page 437 box-drawing bytes; other characters pass.
std::string ConverteMoldura(std::string_view texto);
// Turns frame code letters into "-", "|" and "+" (a space stays a space).
std::string ConverteMolduraTexto(std::string_view texto);
// Turns blank-separated decimal values ("27 64") into bytes; tokens that are not 0..255 add
// nothing.
std::string ConverteCodigos(std::string_view texto);
// Expands a page selection ("1,3,5-12") into page numbers as texts, in order, duplicates included.
void ExpandePaginas(std::string_view selecao, std::vector<std::string>& lista);
// Drops the nine characters file names cannot hold: " * / : < > ? \ |.
std::string LimpaNomeArquivo(std::string_view texto);
// The RGB value of a colour (red in the low byte), a system colour as a standard desktop shows it.
uint32_t CorRGB(TColor cor);
// Six upper-case hexadecimal digits red, green, blue; raises base::Exception for a negative colour.
std::string CorParaHex(TColor cor);
// The colour of six hexadecimal digits; raises base::EConvertError for text that is not
// hexadecimal.
TColor HexParaCor(std::string_view hex);
// Escapes " ' > < & for HTML.
std::string CodificaHTML(std::string_view texto);
// Appends CodificaHTML(texto) to destino.
void AnexaHTML(std::string& destino, std::string_view texto);
// Escapes a text for a PDF string literal: a backslash before ( ) and itself, \b \n \f \r for
// those four controls, a backslash and three octal digits for the other bytes below 32 and 127.
std::string CodificaTextoPDF(std::string_view texto);
// Appends CodificaTextoPDF(texto) to destino.
void AnexaTextoPDF(std::string& destino, std::string_view texto);
// "0.## " of a number with "." as decimal separator, whatever the locale: the value's
// 15-significant-digit decimal reading rounded to two decimals, halves away from zero; a value
// that rounds to zero is "0 ".
std::string NumeroPDF(double valor);
// Appends NumeroPDF(valor) to destino.
void AnexaNumeroPDF(std::string& destino, double valor);
// Writes NumeroPDF(valor) at destino (at most kNumeroPDFCurto bytes) and returns the end, when the
// number takes the short way (below 10^7 and not near a half); null otherwise.
constexpr size_t kNumeroPDFCurto = 16;
char* EscreveNumeroPDF(char* destino, double valor);
// Base64 (RFC 4648, padded, no line breaks) of the whole input stream.
void CodificaBase64(std::istream& entrada, std::ostream& saida);
// num / den rounded to the nearest integer, halves to even (den > 0): exact where a ratio of
// integers must be rounded.
int64_t ArredondaRazao(int64_t num, int64_t den);
// Converts Windows-1252 to the OEM code page (850), character for character.
std::string AnsiParaOem(std::string_view texto);
// The platform's current printer, read afresh: its device name and its port, a port holding "LPT"
// cut to its first four characters ("LPT1:" gives LPT1); both empty when there is no printer.
void ImpressoraAtual(std::string& Nome, std::string& Porta);

// A 24-bit RGB picture: rows top to bottom, three bytes per pixel (red, green, blue).
struct TImagemRGB {
  int largura = 0;
  int altura = 0;
  std::vector<uint8_t> pixels;  // largura * altura * 3
  TImagemRGB() = default;
  TImagemRGB(int l, int a) : largura(l), altura(a), pixels(static_cast<size_t>(l) * a * 3, 0) {}
  uint8_t* Pixel(int x, int y) { return &pixels[(static_cast<size_t>(y) * largura + x) * 3]; }
  const uint8_t* Pixel(int x, int y) const {
    return &pixels[(static_cast<size_t>(y) * largura + x) * 3];
  }
};

// The largest picture the files take: no side beyond what a JPEG holds, and no more pixels than
// memory takes well (a picture is resized in memory first, three bytes a pixel).
constexpr int64_t kLadoMaximoImagem = 65500;
constexpr int64_t kPixelsMaximoImagem = 100'000'000;
// Whether a picture of that many pixels a side (not negative) is within that size.
inline bool ImagemGravavel(double largura, double altura) {
  return largura <= kLadoMaximoImagem && altura <= kLadoMaximoImagem &&
         largura * altura <= kPixelsMaximoImagem;
}
// Why picture `indice` cannot go into a file of that format ("PDF"), whose pictures have at least
// one pixel a side when umPixel.
std::string ImagemNaoCabe(int indice, std::string_view formato, bool umPixel);

// Resizes `origem` into `destino` (whose width and height are the wanted size) with bilinear
// weights in 16.16 fixed point.
void RedimensionaImagem(const TImagemRGB& origem, TImagemRGB& destino);

}  // namespace report
