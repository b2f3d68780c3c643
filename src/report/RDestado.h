// The report engine's process-wide state in one struct behind one accessor: open flags, current
// page, print settings, page store, search mark, printer command set, decoded command, page
// metrics, output channel and the cancel request. Tests start from a clean state with
// ReiniciaEstadoRelatorio().
#pragma once

#include <memory>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/Platform.h"
#include "report/RDpaginas.h"
#include "report/RDtipos.h"

namespace report {

// The byte sequences of the selected printer model and the default attributes.
struct TComandosImpressora {
  std::string LinhasPorPolegada;  // 6 or 8 lines per inch, by TamanhoQteLPP
  std::string TamanhoPagina, SaltoPagina;
  std::string Negrito, Italico, Sublinhado, Expandido;
  std::string Normal10, Comprimir12, Comprimir15, Comprimir17, Comprimir20;
  std::string Reset, Inicializar;
  std::string FontePadrao;  // the default font sequence
  TAtributos AtributosPadrao{TAtributo::aNormal10};
  int AtributoPadrao = 16;
  int CpiPadrao = 10;
  // Width of one character of each pitch in default cells.
  double Largura5 = 2.0, Largura10 = 1.0, Largura12 = 10.0 / 12, Largura15 = 10.0 / 15,
         Largura17 = 10.0 / 17.1, Largura20 = 0.5;
  // Width of one character of a pitch (5, 10, 12, 15, 17 or 20 cpi).
  double LarguraRelativa(int cpi) const;
};

// The fields of the page command decoded last.
struct TComandoDecodificado {
  int Pagina = 0, Linha = 0, Coluna = 0, Atributo = 0;
  int Cpi = 10;  // kept from the previous command when the attribute number has no pitch
  bool Expandido = false, Sublinhado = false, Negrito = false, Italico = false;
  char Codigo = ' ';
  std::string CorTexto;
  TColor Cor = 0;
  std::string Texto;
};

// The open character-printer channel: a raw spooler job, a file being written or a device.
struct TCanalSaida {
  std::unique_ptr<platform::RawPrintJob> trabalho;
  std::unique_ptr<platform::AtomicFileWriter> arquivo;
  int dispositivo = -1;  // a port or device opened directly
  std::string nome;      // the port, device or file name for the messages
  int erro = 0;          // the first I/O error seen while sending
  bool Aberto() const { return trabalho || arquivo || dispositivo >= 0; }
};

struct TEstadoRelatorio {
  bool aberto = false;
  bool abortado = false;
  bool previewAberto = false;
  int PaginaAtual = 1;
  // Print settings.
  int Copias = 1;
  bool Agrupar = true;
  bool OrdemInversa = false;
  std::string IntervaloPaginas;
  int ParImpar = 0;
  // The page store, from Abrir until Fechar has finished or Abortar.
  std::unique_ptr<TPaginasRelatorio> paginas;
  std::string MarcaBusca;
  TComandosImpressora comandos;
  std::string expandidoHP;  // the HP expanded sequence, kept when the default pitch is 5 cpi
  TComandoDecodificado atual;
  TRDFolha folha;
  bool paginaImpressa = false;
  bool cancelamento = false;  // the cancel request raised by the progress window
  TCanalSaida canal;
};

// The one report state of the process.
TEstadoRelatorio& EstadoRelatorio();
// Discards the report state (closing any open channel without sending) and starts a clean one.
void ReiniciaEstadoRelatorio();

}  // namespace report
