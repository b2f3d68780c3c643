// The formats a report is saved in, one table: the file extension, the save dialog's filter, the
// writer, and whether the format is printer bytes. The preview's save dialog and the command line
// read it; nothing else ties an extension to a writer.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace report {

class TRDprint;

struct TFormato {
  const char* extensao;   // lower case, no dot; a file name's is matched without regard to case
  const char* descricao;  // the save dialog's filter text, which shows the mask
  bool impressora;        // the printer's bytes: the model and the print options apply
  bool (*grava)(TRDprint& rd, const std::string& arquivo);  // reports its own errors
};

// In the save dialog's order (the first is its default).
extern const std::array<TFormato, 5> kFormatos;

// The save dialog's mask of a format: "*.HTML".
std::string Mascara(const TFormato& f);
// The format of a file name's extension (after the last dot of its last part), or null.
const TFormato* FormatoDoArquivo(std::string_view nome);
// The extensions for a message: ".html, .pdf, .txt, .rdp ou .prn".
std::string ListaDeExtensoes();

}  // namespace report
