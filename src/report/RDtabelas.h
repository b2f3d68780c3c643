// The engine's fixed facts about pitches, attribute bits and styles, one table each, read by the
// encoder and the decoders of page commands, the page metrics, the character printer, the report
// files and the HTML export: nothing else spells out which pitch has which code or width.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "report/RDtipos.h"

namespace report {

// One row per pitch, in TSize order (so Pitch(t) is the row of t).
struct TLinhaPitch {
  TSize tamanho;
  int cpi;              // characters per inch
  const char* digitos;  // two digits: the RDP default pitch "F05", the HTML classes "f05"/"e05"
  TAtributo atributo;   // the pitch's element of TAtributos; also its printer sequence
  double fatorLargura;  // TRDFolha.FatorLargura: default cell width = 8 units x this factor
  // LarguraRelativa (width of one character of this pitch in default cells) is the default
  // pitch's cpi divided by this; 0 means always 2.0 (double-width print).
  double divisorLargura;
  const char* expandidoHP;  // the HP expanded sequence when this is the default pitch; null keeps
  const char* divHTML;      // the HTML default text style opening when this is the default pitch
  const char* classeHTML;   // the HTML class "fNN" of a text in this pitch: its size and spacing
  const char* classeExpandidaHTML;  // the class "eNN" of expanded text over this default pitch
};

inline constexpr std::array<TLinhaPitch, 6> kPitches{{
    {TSize::S05cpp, 5, "05", TAtributo::aExpandido, 2.4, 0, nullptr,
     "div {font-family:Courier New;font-size:16px;Letter-spacing:10px;",
     "font-size: 16px;Letter-spacing:10px", "font-size: 20px;Letter-spacing:8px"},
    {TSize::S10cpp, 10, "10", TAtributo::aNormal10, 1.2, 10, "\x1B(s5H",
     "div {font-family:Courier New;font-size:16px;", "font-size: 16px;",
     "font-size: 20px;Letter-spacing:8px"},
    {TSize::S12cpp, 12, "12", TAtributo::aComprimir12, 1.0, 12, "\x1B(s6H",
     "div {font-family:Courier New;font-size:14px;", "font-size: 14px;",
     "font-size: 20px;Letter-spacing:3px"},
    {TSize::S17cpp, 17, "17", TAtributo::aComprimir17, 0.70589, 17.1, "\x1B(s8.33H",
     "div {font-family:Courier New;font-size:11px;Letter-spacing:-1px;",
     "font-size: 11px;Letter-spacing:-1px", "font-size: 15px;Letter-spacing:3px"},
    {TSize::S20cpp, 20, "20", TAtributo::aComprimir20, 0.6, 20, "\x1B(s10H",
     "div {font-family:Courier New;font-size:11px;Letter-spacing:-2px;",
     "font-size: 10px;Letter-spacing:-1px", "font-size: 16px;Letter-spacing:0px"},
    {TSize::S15cpp, 15, "15", TAtributo::aComprimir15, 0.8, 15, "\x1B(s6.66H",
     "div {font-family:Courier New;font-size:13px;Letter-spacing:-1px;",
     "font-size: 13px;Letter-spacing:-1px", "font-size: 18px;Letter-spacing:3px"},
}};

// Pixels (page units) per inch of graphic and HTML output: a character of pitch p is
// kUnidadesPorPolegada / p.cpi units wide (96/17 at 17 cpi).
inline constexpr int kUnidadesPorPolegada = 96;

// The row of a pitch.
constexpr const TLinhaPitch& Pitch(TSize t) { return kPitches[static_cast<size_t>(t)]; }
// The row with `cpi` characters per inch, or null.
constexpr const TLinhaPitch* PitchPorCpi(int cpi) {
  for (const TLinhaPitch& p : kPitches)
    if (p.cpi == cpi) return &p;
  return nullptr;
}
// The row whose two digits are `digitos` ("05" ... "20"), or null.
constexpr const TLinhaPitch* PitchPorDigitos(std::string_view digitos) {
  for (const TLinhaPitch& p : kPitches)
    if (digitos == p.digitos) return &p;
  return nullptr;
}

// The width of one character of pitch `p` in cells of a report whose default pitch has
// `cpiPadrao` characters per inch.
constexpr double LarguraRelativa(const TLinhaPitch& p, int cpiPadrao) {
  return p.divisorLargura == 0 ? 2.0 : cpiPadrao / p.divisorLargura;
}

// One row per attribute bit, in decomposition order: the attribute number is read greedily from
// the largest value down, and the character printer sends the bits' sequences in this order.
struct TLinhaAtributo {
  TAtributo atributo;
  int valor;                            // what the bit adds to the attribute number
  const TLinhaPitch* pitch;             // the pitch it selects; null for bold, italic and underline
  std::string TCustom::*personalizado;  // its sequence in the user-defined printer model
};

inline constexpr std::array<TLinhaAtributo, 9> kAtributos{{
    {TAtributo::aComprimir15, 256, &kPitches[5], &TCustom::Comprimir15},
    {TAtributo::aComprimir20, 128, &kPitches[4], &TCustom::Comprimir20},
    {TAtributo::aComprimir17, 64, &kPitches[3], &TCustom::Comprimir17},
    {TAtributo::aComprimir12, 32, &kPitches[2], &TCustom::Comprimir12},
    {TAtributo::aNormal10, 16, &kPitches[1], &TCustom::Normal10},
    {TAtributo::aExpandido, 8, &kPitches[0], &TCustom::Expandido},
    {TAtributo::aSublinhado, 4, nullptr, &TCustom::Sublinhado},
    {TAtributo::aNegrito, 2, nullptr, &TCustom::Negrito},
    {TAtributo::aItalico, 1, nullptr, &TCustom::Italico},
}};

// One row per default style, in TEstilo order (the order of the RDP style letters).
struct TLinhaEstilo {
  TEstilo estilo;
  TAtributo atributo;
  char letraRDP;  // its letter on line 9 of an RDP file
};

inline constexpr std::array<TLinhaEstilo, 3> kEstilos{{
    {TEstilo::Snegrito, TAtributo::aNegrito, 'N'},
    {TEstilo::Sitalico, TAtributo::aItalico, 'I'},
    {TEstilo::Ssublinhado, TAtributo::aSublinhado, 'S'},
}};

// The fields of an attribute number, decomposed greedily in table order.
struct TAtributoDecomposto {
  TAtributos bits;
  const TLinhaPitch* pitch = nullptr;  // the last pitch bit met (the smallest), or null
};
// Decomposes an attribute number: each bit whose value still fits is taken, largest first.
constexpr TAtributoDecomposto DecompoeAtributo(int numero) {
  TAtributoDecomposto r;
  for (const TLinhaAtributo& a : kAtributos) {
    if (numero < a.valor) continue;
    numero -= a.valor;
    r.bits.Inclui(a.atributo);
    if (a.pitch) r.pitch = a.pitch;
  }
  return r;
}

}  // namespace report
