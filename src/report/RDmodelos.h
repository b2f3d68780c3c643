// The printer models, one table: the words of a mapping row that name a model, the names the
// setup dialog and the preview show, the command-line key, and the fixed byte sequences of the
// character printers. Nothing else spells out a model's name, key or bytes.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "report/RDtipos.h"

namespace report {

class TRDprint;

// The fixed sequences of a character printer: line spacing (6 and 8 lines per inch), page length
// (followed by the line count), form feed, reset and initialisation, and the attribute sequences
// by TAtributo (bold, italic, underline, expanded, 10, 12, 17, 20 and 15 cpi).
struct TBytesModelo {
  const char *seis, *oito, *tamanho, *salto, *reset, *inicializar;
  std::array<const char*, 9> atributos;
};

inline constexpr TBytesModelo kBytesEpson = {
    "\x1B\x32",
    "\x1B\x30",
    "\x1B\x43",
    "\x0C",
    "\x1B\x50\x12\x1B\x57\x30\x1B\x35\x1B\x48\x1B\x2D\x30",
    "\x1B\x40",
    {"\x1B\x47", "\x1B\x34", "\x1B\x2D\x31", "\x1B\x57\x31", "\x12\x1B\x50", "\x12\x1B\x4D",
     "\x1B\x50\x1B\x0F", "\x1B\x4D\x1B\x0F", "\x1B\x50\x1B\x0F"}};
inline constexpr TBytesModelo kBytesRima = {
    "\x1B\x32",
    "\x1B\x30",
    "\x1B\x43",
    "\x0C",
    "\x1E\x30\x1B\x35\x1B\x46\x1B\x2D\x30",
    "\x1B\x40",
    {"\x1B\x45", "\x1B\x34", "\x1B\x2D\x31", "\x1B\x0E", "\x1E\x30", "\x1E\x32", "\x1E\x34",
     "\x1E\x35", "\x1E\x34"}};
// HP's page length and expanded sequences depend on the line count and the default pitch.
inline constexpr TBytesModelo kBytesHP = {"\x1B&l6D",
                                          "\x1B&l8D",
                                          "",
                                          "\x1B&l0H",
                                          "\x1B(s0B\x1B(s0S\x1B&d@\x1B(s10H\x1B(12U\x1B&l0L",
                                          "\x1B"
                                          "E",
                                          {"\x1B(s3B", "\x1B(s1S", "\x1B&d0D", "", "\x1B(s10H",
                                           "\x1B(s12H", "\x1B(s16.67H", "\x1B(s20H", "\x1B(s15H"}};
inline constexpr TBytesModelo kBytesDaruma = {
    "\x1B\x33\x21",
    "\x1B\x32",
    "\x1B\x43",
    "\x0A",
    "\x0E\x0C\x1B\x57\x32\x1B\x34\x30\x1B\x46\x1B\x2D\x30",
    "\x1B\x40",
    {"\x1B\x47", "\x1B\x34\x31", "\x1B\x2D\x31", "\x1B\x57\x31", "\x0E", "\x0E", "\x0E", "\x0F",
     "\x0E"}};
// Graphic and receipt printers get no sequence at all.
inline constexpr TBytesModelo kSemBytes = {
    "", "", "", "", "", "", {"", "", "", "", "", "", "", "", ""}};

// One row per model, in TModelo order (so Modelo(m) is the row of m).
struct TLinhaModelo {
  TModelo modelo;
  // The values of a mapping row ("NAME=VALUE", upper case) that choose this model.
  std::array<const char*, 3> palavras;
  const char* nome;           // in the setup dialog's list; null: the custom model's own name
  const char* nomePreview;    // in the preview's status bar; null: the panel is left as it is
  const char* chave;          // --modelo of the command line, without regard to case
  bool grafico;               // printed through the platform's drawing, not as printer bytes
  const TBytesModelo* bytes;  // null: the custom model's sequences (ImpressoraPersonalizada)
};

inline constexpr std::array<TLinhaModelo, 7> kModelos{{
    {TModelo::Epson,
     {"EPSON", "ESCP"},
     "Epson - Matriciais e compat\xEDveis",
     "Epson",
     "epson",
     false,
     &kBytesEpson},
    {TModelo::Rima, {"RIMA", "EMILIA"}, "Rima / Emilia", "Rima/Emila", "rima", false, &kBytesRima},
    {TModelo::HP, {"HP", "PCL"}, "HP Deskjet/Laser (PCL 3)", "HP", "hp", false, &kBytesHP},
    {TModelo::Grafico,
     {"GRAFICO", "WINDOWS"},
     "Gr\xE1"
     "fico - Compat\xEDvel com Windows",
     "Grafico",
     "grafico",
     true,
     &kSemBytes},
    {TModelo::Personalizado,
     {"CUSTOM", "OUTRO", "PERSONALIZADO"},
     nullptr,
     "Personalizado",
     "personalizado",
     false,
     nullptr},
    {TModelo::Bobina, {"BOBINA"}, "Bobina / Cupom", "Bobina", "bobina", false, &kSemBytes},
    {TModelo::Daruma, {"DARUMA"}, "Daruma DR700", nullptr, "daruma", false, &kBytesDaruma},
}};

// The row of a model.
constexpr const TLinhaModelo& Modelo(TModelo m) { return kModelos[static_cast<size_t>(m)]; }

// The model a mapping row's value (upper case) names; false when it names none.
bool ModeloDaPalavra(std::string_view palavra, TModelo& modelo);
// The model of a command-line key, without regard to case; false for any other key.
bool ModeloDaChave(const std::string& chave, TModelo& modelo);
// The keys of the models that print as bytes, for messages and help: "epson, rima, ... ou daruma".
std::string ListaDeChaves();
// The name of a model; the custom model is named by the component's ImpressoraPersonalizada.
std::string NomeModelo(const TRDprint& rd, TModelo modelo);

}  // namespace report
