// The report engine's process-wide state in one struct behind one accessor: open flags, current
// page, print settings, page store, search mark, printer command set, page metrics,
// output channel and the cancel request. Tests start from a clean state with
// ReiniciaEstadoRelatorio().
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/ByteSink.h"
#include "report/RDpaginas.h"
#include "report/RDplano.h"
#include "report/RDtabelas.h"
#include "report/RDtipos.h"

namespace report {

// The byte sequences of the selected printer model and the default attributes.
struct TComandosImpressora {
  std::string LinhasPorPolegada;  // 6 or 8 lines per inch, by TamanhoQteLPP
  std::string TamanhoPagina, SaltoPagina;
  std::string Reset, Inicializar;
  std::string FontePadrao;  // the default font sequence
  TAtributos AtributosPadrao{TAtributo::aNormal10};
  int AtributoPadrao = 16;
  int CpiPadrao = 10;
  // The sequence that switches an attribute on (bold, italic, underline, expanded, a pitch).
  std::string& Sequencia(TAtributo a) { return sequencias_[static_cast<size_t>(a)]; }
  const std::string& Sequencia(TAtributo a) const { return sequencias_[static_cast<size_t>(a)]; }
  // Width of one character of a pitch in default cells (by CpiPadrao).
  double LarguraRelativa(TSize t) const { return report::LarguraRelativa(Pitch(t), CpiPadrao); }

 private:
  std::array<std::string, 9> sequencias_;
};

// The open character-printer channel: where its bytes go and the name its messages use.
struct TCanal {
  std::unique_ptr<platform::ByteSink> dono;  // the sink the channel opened (none when lent to it)
  platform::ByteSink* saida = nullptr;
  std::string nome;      // the port, device, printer or file name for the messages
  bool spooler = false;  // a raw job on the spooler (its errors read "Error ...")
  bool arquivo = false;  // a file that appears only when complete (abandoned on cancel)
};

// The print settings (Copias, Agrupar, OrdemInversa, IntervaloPaginas, ParImpar) are the base.
struct TEstadoRelatorio : TAjustesImpressao {
  bool aberto = false;
  bool abortado = false;
  bool previewAberto = false;
  int PaginaAtual = 1;
  // The page store, from Abrir until Fechar has finished or Abortar.
  std::unique_ptr<TPaginasRelatorio> paginas;
  std::string MarcaBusca;
  TComandosImpressora comandos;
  TRDFolha folha;
  bool paginaImpressa = false;
  bool cancelamento = false;  // the cancel request raised by the progress window
  TCanal canal;
};

// The one report state of the process.
TEstadoRelatorio& EstadoRelatorio();
// Discards the report state (abandoning any open channel) and starts a clean one.
void ReiniciaEstadoRelatorio();

}  // namespace report
