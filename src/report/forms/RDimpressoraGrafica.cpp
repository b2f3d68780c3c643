// Graphic printing on QPrinter: the document on a spooler queue or in a PDF file, the device
// capabilities read from the printer's page layout, each page stretched into its place.
#include "report/forms/RDimpressoraGrafica.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

#include "base/Erros.h"
#include "platform/AtomicFile.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"
#include "report/RDprint.h"
#include "report/forms/RDpintura.h"
#include "report/forms/RDsetup.h"

namespace report {

namespace {

const char kSemImpressora[] =
    "Nenhuma impressora est\xE1 instalada. Instale uma impressora no sistema e tente de novo.";

// The page orientation of Qt.
QPageLayout::Orientation OrientacaoQt(TPrinterOrientation o) {
  return o == TPrinterOrientation::poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// A file name (the file system's bytes) as message text.
std::string NomeArquivo(const std::string& caminho) {
  return platform::fromQString(platform::pathToQString(caminho));
}

// The message for a PDF file that cannot be written.
std::string ErroArquivo(const std::string& caminho) {
  return "N\xE3o foi poss\xEDvel gravar o arquivo \"" + NomeArquivo(caminho) +
         "\". Verifique se a pasta existe, se h\xE1 permiss\xE3o de grava\xE7\xE3o e espa\xE7o "
         "livre no disco e tente de novo.";
}

// A printer on the spooler queue `fila`, laid out for the orientation, its margins at the device's
// unprintable edges; null when the spooler does not know the queue.
std::unique_ptr<QPrinter> ImpressoraDaFila(const std::string& fila, TPrinterOrientation o) {
  auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
  const QString nome = platform::toQString(fila);
  p->setPrinterName(nome);
  // An unknown name leaves the printer on another queue (or on PDF output for an empty one).
  if (p->outputFormat() != QPrinter::NativeFormat || p->printerName() != nome) return nullptr;
  p->setPageOrientation(OrientacaoQt(o));
  AplicaPropriedadesImpressora(fila, *p);  // what "&Propriedades..." set for this printer
  QPageLayout layout = p->pageLayout();
  layout.setMargins(layout.minimumMargins());
  p->setPageLayout(layout);
  return p;
}

// A printer writing a PDF file at `saida` with the paper, resolution and edges of `pdf`; null
// when the edges leave no room on the paper.
std::unique_ptr<QPrinter> ImpressoraPdf(const TArquivoPdf& pdf, const QString& saida,
                                        TPrinterOrientation o) {
  auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
  p->setOutputFormat(QPrinter::PdfFormat);
  p->setOutputFileName(saida);
  p->setResolution(pdf.resolucao);
  p->setPageSize(pdf.papel);
  p->setPageOrientation(OrientacaoQt(o));
  if (!p->setPageMargins(pdf.bordas, QPageLayout::Point)) return nullptr;
  return p;
}

}  // namespace

// The device capabilities of the printer's page layout at its resolution.
TMedidasImpressora MedidasDaImpressora(const QPrinter& printer) {
  const QPageLayout layout = printer.pageLayout();
  const int dpi = printer.resolution();
  const QRect papel = layout.fullRectPixels(dpi), area = layout.paintRectPixels(dpi);
  TMedidasImpressora m;
  m.LOGPIXELSX = m.LOGPIXELSY = dpi;
  m.PHYSICALWIDTH = papel.width();
  m.PHYSICALHEIGHT = papel.height();
  m.PHYSICALOFFSETX = area.left() - papel.left();
  m.PHYSICALOFFSETY = area.top() - papel.top();
  m.HORZRES = area.width();
  m.VERTRES = area.height();
  return m;
}

// The current printer's page geometry.
std::optional<TMedidasImpressora> MedidasImpressora(TPrinterOrientation orientacao) {
  const auto atual = platform::current().currentPrinter();
  if (!atual) return std::nullopt;
  const auto printer = ImpressoraDaFila(atual->deviceName, orientacao);
  if (!printer) return std::nullopt;
  return MedidasDaImpressora(*printer);
}

// A printer on the current queue.
TImpressoraGraficaQt::TImpressoraGraficaQt() = default;

// A printer writing the PDF file.
TImpressoraGraficaQt::TImpressoraGraficaQt(TArquivoPdf pdf) : pdf_(std::move(pdf)) {}

// Ends a document left open.
TImpressoraGraficaQt::~TImpressoraGraficaQt() { Descarta(); }

// Begins the document, or says why it cannot.
bool TImpressoraGraficaQt::IniciaDocumento(TPrinterOrientation orientacao,
                                           const std::string& titulo) {
  Descarta();
  std::string erro;
  if (Inicia(orientacao, titulo, erro)) return true;
  Descarta();
  CaixaErro(erro);
  return false;
}

// Prepares the printer and begins painting on it; false with the message in `erro`.
bool TImpressoraGraficaQt::Inicia(TPrinterOrientation orientacao, const std::string& titulo,
                                  std::string& erro) {
  if (pdf_) {
    erro = ErroArquivo(pdf_->caminho);
    try {
      arquivo_ = std::make_unique<platform::AtomicFileWriter>(pdf_->caminho);
    } catch (const base::EInOutError&) {
      return false;
    }
    rascunho_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/proposta-XXXXXX.pdf");
    if (!rascunho_->open()) return false;
    rascunho_->close();
    printer_ = ImpressoraPdf(*pdf_, rascunho_->fileName(), orientacao);
    if (!printer_) return false;
  } else {
    const auto atual = platform::current().currentPrinter();
    if (!atual) {
      erro = kSemImpressora;
      return false;
    }
    destino_ = atual->deviceName;
    printer_ = ImpressoraDaFila(atual->deviceName, orientacao);
    if (!printer_) {
      erro = "A impressora \"" + destino_ +
             "\" n\xE3o foi encontrada. Verifique se ela est\xE1 instalada ou escolha outra "
             "impressora e tente de novo.";
      return false;
    }
    erro = "N\xE3o foi poss\xEDvel iniciar a impress\xE3o na impressora \"" + destino_ +
           "\". Verifique se ela est\xE1 ligada e dispon\xEDvel e tente de novo.";
  }
  printer_->setDocName(platform::toQString(titulo));
  printer_->setCopyCount(1);
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(printer_.get())) return false;
  medidas_ = MedidasDaImpressora(*printer_);
  return true;
}

// The next printer page.
void TImpressoraGraficaQt::NovaPagina() {
  if (painter_ && painter_->isActive() && !printer_->newPage()) falhou_ = true;
}

// The page drawn bare and stretched into its place on the printable area.
void TImpressoraGraficaQt::ImprimePaginaGrafica(TRDprint& rd, int pagina) {
  if (!painter_ || !painter_->isActive()) return;
  report::ImprimePaginaGrafica(rd, pagina, medidas_,
                               [this](const TMetafile& figura, const TRect& destino) {
                                 DesenhaMetafile(*painter_, figura, RetanguloQt(destino));
                               });
}

// Ends the document: the job goes to the spooler, or the PDF file replaces the old one.
void TImpressoraGraficaQt::FinalizaDocumento() {
  if (!painter_ || !painter_->isActive()) return;
  bool ok = painter_->end() && !falhou_;
  if (ok && pdf_) {
    QFile rascunho(rascunho_->fileName());
    ok = rascunho.open(QIODevice::ReadOnly);
    const QByteArray bytes = ok ? rascunho.readAll() : QByteArray();
    ok = ok && rascunho.error() == QFileDevice::NoError;
    try {
      if (ok) {
        arquivo_->write(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        arquivo_->commit();
      }
    } catch (const base::EInOutError&) {
      ok = false;
    }
  }
  const std::string erro = pdf_ ? ErroArquivo(pdf_->caminho)
                                : "A impress\xE3o na impressora \"" + destino_ +
                                      "\" n\xE3o terminou. Verifique a impressora e tente de novo.";
  Descarta();
  if (!ok) CaixaErro(erro);
}

// Abandons the open document.
void TImpressoraGraficaQt::AbandonaDocumento() {
  // The print run is aborted before the painter ends, so that the pages drawn never reach the
  // spooler.
  if (printer_ && painter_ && painter_->isActive()) printer_->abort();
  Descarta();
}

// Ends a document still open and lets go of its printer; an unfinished PDF file is not written.
void TImpressoraGraficaQt::Descarta() {
  if (painter_ && painter_->isActive()) painter_->end();
  painter_.reset();
  printer_.reset();
  rascunho_.reset();
  arquivo_.reset();
  falhou_ = false;
}

}  // namespace report
