// The graphic page printer on Qt: a print document on the current printer (a spooler queue,
// through QPrinter) or in a PDF file, each report page stretched onto the printable area.
#pragma once

#include <QMarginsF>
#include <QPageSize>
#include <memory>
#include <optional>
#include <string>

#include "report/RDimpressao.h"
#include "report/RDjanelas.h"

class QPainter;
class QPrinter;
class QTemporaryFile;

namespace platform {
class AtomicFileWriter;
}

namespace report {

// A PDF file printed as a printer would print it: its resolution, its paper and the unprintable
// edges a device would have, in points (left, top, right, bottom of the page as printed).
struct TArquivoPdf {
  std::string caminho;  // the file system's own bytes
  int resolucao = 600;
  QPageSize papel{QPageSize::A4};
  QMarginsF bordas;
};

// Prints whole pages through QPrinter. One document at a time; the title names the job, the job
// has one copy (the print job repeats the pages itself), and the printer's margins are its
// unprintable edges, so the painter's origin is the printable area's top left corner. A document
// abandoned without FinalizaDocumento (an error escaping a page) is ended when the next one starts
// or the printer is destroyed; a PDF file is then left as it was.
class TImpressoraGraficaQt : public TImpressoraGrafica {
 public:
  // Prints on the platform's current printer, looked up when each document starts.
  TImpressoraGraficaQt();
  // Prints into the PDF file (replaced only when the document ends well).
  explicit TImpressoraGraficaQt(TArquivoPdf pdf);
  ~TImpressoraGraficaQt() override;
  TImpressoraGraficaQt(const TImpressoraGraficaQt&) = delete;
  TImpressoraGraficaQt& operator=(const TImpressoraGraficaQt&) = delete;

  // Begins the document; false, after an error box saying what to do, when there is no printer,
  // the queue is unknown or the printer (or file) cannot be opened.
  bool IniciaDocumento(TPrinterOrientation orientacao, const std::string& titulo) override;
  void NovaPagina() override;
  void ImprimePaginaGrafica(TRDprint& rd, int pagina) override;
  // Ends the document (the job goes to the spooler, or the PDF file is written); an error box
  // when that fails.
  void FinalizaDocumento() override;
  // Lets the document go without ending it: a PDF file keeps its old content.
  void AbandonaDocumento() override;

 private:
  bool Inicia(TPrinterOrientation orientacao, const std::string& titulo, std::string& erro);
  void Descarta();

  std::optional<TArquivoPdf> pdf_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<QTemporaryFile> rascunho_;             // what QPrinter writes for a PDF file
  std::unique_ptr<platform::AtomicFileWriter> arquivo_;  // the PDF file's new version
  std::string destino_;                                  // the printer, for the messages
  TMedidasImpressora medidas_;
  bool falhou_ = false;  // a page could not be started
};

// The device capabilities of a printer: resolution, the paper and the printable area in device
// pixels, from its page layout at its resolution.
TMedidasImpressora MedidasDaImpressora(const QPrinter& printer);

// The page geometry of the platform's current printer for the orientation; nothing when there is
// no current printer or the spooler does not know it.
std::optional<TMedidasImpressora> MedidasImpressora(
    TPrinterOrientation orientacao = TPrinterOrientation::poPortrait);

}  // namespace report
