// RDPDF: the report engine's own small PDF 1.4 writer. A caller sets the document properties,
// starts a document, draws page by page in points (origin at the top left corner, y downward) and
// ends the document; the writer assembles the whole file in memory and saves it in one piece.
// It knows lines, rectangles, text in the fourteen standard Type 1 fonts, fill and stroke colours,
// the line width and JPEG pictures; page contents are Flate-compressed when Compress is set.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "report/RDTools.h"

namespace platform {
class ByteSink;
}

namespace report {

class TRDprint;

// The font TextOut uses: an index into the fourteen standard fonts (0 Helvetica ... 4 Courier ...
// 13 ZapfDingbats) and the size in points.
struct TPDFFont {
  uint8_t FontIndex = 4;
  int32_t Size = 12;
};

class TPrintPDF {
 public:
  // The owner is the component that exports through the writer (may be null).
  explicit TPrintPDF(TRDprint* Owner = nullptr);
  ~TPrintPDF();
  TPrintPDF(const TPrintPDF&) = delete;
  TPrintPDF& operator=(const TPrintPDF&) = delete;

  // Properties, in declaration order. Set them before BeginDoc (it writes the document
  // information at once); PageWidth and PageHeight must not change until EndDoc.
  std::string FileName;
  std::string Title;
  // The current page; the page count once the last page is started (0 before any BeginDoc).
  int32_t PageNumber() const { return PageNumber_; }
  int32_t PageWidth = 612;
  int32_t PageHeight = 792;
  double LineWidth = 0.75;
  std::string Author;
  std::string Creator;
  std::string Keywords;
  std::string Subject;
  std::string Producer;
  TPDFFont Font;
  bool Compress = true;
  int32_t JPEGQuality = 90;

  // Starts a new document in memory with page 1 current; false (see Erro) when it cannot.
  bool BeginDoc();
  // Closes the current page and starts the next.
  void NewPage();
  // Closes the last page, completes the file and saves it as FileName; false (see Erro) when the
  // file was not written, and then the previous file, if any, is whole.
  bool EndDoc();
  // The same, writing the file into `destino` (finished on success).
  bool EndDoc(platform::ByteSink& destino);

  // Drawing on the current page, in points.
  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  void DrawLine(double x1, double y1, double x2, double y2);
  // A rectangle whose corner is (x, y), extending `height` upward and `width` to the right.
  void DrawRectangle(double x, double y, double width, double height);
  // Appends a line of operators as it is.
  void WriteCommand(std::string_view comando);
  void SetLineWidth(double width);
  void SetFillColor(TColor cor);
  void SetStrokeColor(TColor cor);
  // Text with its baseline at (x, y) in Font; `escala` is the horizontal scale in percent (0:
  // none).
  void TextOut(std::string_view texto, double x, double y, bool rotacionado, double escala);
  // A picture with its top left corner at (x, y), at 0.75 point per pixel, compressed as JPEG at
  // JPEGQuality; false (see Erro, nothing added) for a quality outside 1 to 100 or a picture the
  // encoder refuses.
  bool DrawBitmap(const TImagemRGB& bitmap, double x, double y);

  // Why the last operation that returned false failed (Windows-1252).
  const std::string& Erro() const { return erro_; }

 private:
  struct Documento;
  bool Falha(std::string mensagem);
  void IniciaConteudo();
  void TerminaConteudo();
  bool MontaFim();
  bool SalvaArquivo(const std::string& caminho, std::string_view bytes);
  bool Perde(std::string mensagem);
  void LinhaRGB(TColor cor, const char* operador);

  int32_t PageNumber_ = 0;
  std::string erro_;
  std::string perdido_;  // why the document in memory was dropped, if it was
  std::unique_ptr<Documento> doc_;
};

}  // namespace report
