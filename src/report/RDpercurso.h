// Reading the page store for one output. One walk over the entries owns the progress window, the
// cancel request, the entries that do not decode (reported as "Erro #10" and left out) and the
// stop at the first failure; each output is a writer fed by it. Decoding replaces the macros and
// carries the pitch from entry to entry within one output only.
#pragma once

#include <string_view>

#include "report/RDcomando.h"
#include "report/RDjanelas.h"
#include "report/RDplano.h"
#include "report/RDresultado.h"

namespace report {

class TRDprint;

class TLeitorComandos {
 public:
  // Starts with the report's default pitch.
  explicit TLeitorComandos(TRDprint& rd);
  // The entry decoded, with its macros replaced; null (after "Erro #10" to OnErro) when a fixed
  // field does not convert. The value lives until the next call.
  const TComando* Le(std::string_view entrada);

 private:
  TRDprint& rd_;
  TComando comando_;
};

// How a walk ended.
struct TFimPercurso {
  bool cancelado = false;  // the user's cancel request stopped it
  int paginas = 0;         // page copies handed to a printer
};

// An output: a file writer is fed every entry of the store in order, a printer the page copies
// of a print job.
class TEscritorRelatorio {
 public:
  virtual ~TEscritorRelatorio() = default;
  // Whether the entries are wanted decoded (the report file copies them as stored).
  virtual bool QuerDecodificadas() const { return true; }
  // One entry as stored and, when wanted, decoded; false stops the walk (the output failed).
  virtual bool Entrada(std::string_view, const TComando*) { return true; }
  // One copy of a page of a print job; false when the printer takes nothing more.
  virtual bool Pagina(int) { return true; }
  // After the walk: completes the output, or abandons it after a failure or a cancel, and says
  // how it went.
  virtual TResultado Conclui(const TFimPercurso& fim) = 0;
  // Lets the output go unfinished when an error escapes the walk: nothing more is sent, a file
  // keeps its old content.
  virtual void Abandona() {}
};

// Feeds every entry of the store to `escritor`, with a progress window when `mostrar`; what the
// writer concludes is the result.
TResultado PercorreEntradas(TRDprint& rd, const TConfigProgresso& config, bool mostrar,
                            TEscritorRelatorio& escritor);

// Hands the plan's page copies to `escritor`, pass after pass, with a progress window when
// `mostrar`; after each copy lets messages through and steps the bar. Stops at a cancel request
// and at the first page the printer did not take; what the writer concludes is the result.
TResultado PercorrePlano(TRDprint& rd, const TPlanoImpressao& plano, const TConfigProgresso& config,
                         bool mostrar, TEscritorRelatorio& escritor);

}  // namespace report
