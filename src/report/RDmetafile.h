// TMetafile: a recorded vector picture in page units (1/96 inch), the list of drawing operations
// the page renderer makes; tests inspect it and the Qt layer replays it stretched into any
// rectangle. TMetafileCanvas records onto one with the canvas operations the renderer uses.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/RDTools.h"
#include "report/RDtipos.h"

namespace report {

enum class TPenStyle { psSolid = 0, psDot = 1, psClear = 2 };
enum class TBrushStyle { bsSolid = 0, bsClear = 1 };
enum class TFontStyle { fsBold = 0, fsItalic = 1, fsUnderline = 2 };
using TFontStyles = TConjunto<TFontStyle, uint8_t>;

// A rectangle or a pair of points, in the picture's units.
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TRect&) const = default;
};

struct TPen {
  TColor Color = clBlack;
  TPenStyle Style = TPenStyle::psSolid;
  int Width = 1;
  bool operator==(const TPen&) const = default;
};

// A brush; giving a clear brush a colour makes it solid, as the platform's brushes do.
class TBrush {
 public:
  // The colour and the style.
  TColor Color() const { return cor_; }
  TBrushStyle Style() const { return estilo_; }
  // Sets the colour; a clear brush becomes solid.
  void SetColor(TColor cor) {
    cor_ = cor;
    estilo_ = TBrushStyle::bsSolid;
  }
  // Sets the style (bsClear: nothing is filled, texts get no background).
  void SetStyle(TBrushStyle estilo) { estilo_ = estilo; }
  bool operator==(const TBrush&) const = default;

 private:
  TColor cor_ = clWhite;
  TBrushStyle estilo_ = TBrushStyle::bsSolid;
};

struct TFont {
  std::string Name = "Courier New";
  int Size = 10;  // points
  TColor Color = clBlack;
  TFontStyles Style;
  bool operator==(const TFont&) const = default;
};

class TMetafile;

// One recorded drawing operation with the canvas state it was drawn with.
struct TOperacaoDesenho {
  enum class TTipo {
    MoveTo,             // Rect.Left, Rect.Top: the new pen position
    LineTo,             // from (Left, Top) to (Right, Bottom), end point not painted; Pen
    Rectangle,          // outline with Pen, inside with Brush
    Ellipse,            // inscribed in Rect; outline with Pen, inside with Brush
    FillRect,           // Rect with Brush (a clear brush records nothing)
    TextOut,            // Texto with its cell's top left corner at (Left, Top); Font; Brush
                        // solid = opaque background of Brush's colour, clear = none
    StretchDrawFigura,  // Figura stretched into Rect
    StretchDrawImagem,  // Imagem stretched into Rect, leaving out its automatic transparent
                        // colour (CorTransparenteAutomatica) when Transparente
  };
  TTipo Tipo = TTipo::MoveTo;
  TRect Rect;
  TPen Pen;
  TBrush Brush;
  TFont Font;
  std::string Texto;
  std::shared_ptr<const TMetafile> Figura;
  std::shared_ptr<const TImagemRGB> Imagem;
  bool Transparente = false;
};

// A recorded picture: its size in page units and its operations in drawing order.
class TMetafile {
 public:
  int Width = 0;
  int Height = 0;
  std::vector<TOperacaoDesenho> Operacoes;
};

// Measures a text (Windows-1252) in a font, in page units.
using TMedidorTexto = std::function<int(const TFont& fonte, std::string_view texto)>;
// Installs the measurer every canvas's TextWidth uses; an empty one restores the headless
// measure of 8 units per character (10-point Courier New at 96 dots per inch).
void InstalaMedidorTexto(TMedidorTexto medidor);

// The colour a bitmap with automatic transparency leaves out: its bottom left pixel.
TColor CorTransparenteAutomatica(const TImagemRGB& imagem);

// A canvas recording into a picture. Creating it empties the picture's operations (its size is
// kept); every drawing call appends one operation with the current pen, brush and font.
class TMetafileCanvas {
 public:
  explicit TMetafileCanvas(TMetafile& figura);
  TMetafileCanvas(const TMetafileCanvas&) = delete;
  TMetafileCanvas& operator=(const TMetafileCanvas&) = delete;

  TPen Pen;
  TBrush Brush;
  TFont Font;

  // Moves the pen position.
  void MoveTo(int x, int y);
  // A line from the pen position to (x, y), which becomes the pen position.
  void LineTo(int x, int y);
  // The shapes, in the platform's sense (right and bottom edges outside the figure).
  void Rectangle(int x1, int y1, int x2, int y2);
  void Ellipse(int x1, int y1, int x2, int y2);
  void FillRect(const TRect& r);
  // A text with its first cell's top left corner at (x, y).
  void TextOut(int x, int y, std::string_view texto);
  // The width of a text in the current font, from the installed measurer.
  int TextWidth(std::string_view texto) const;
  // Records another picture stretched into r; the recording keeps it.
  void StretchDraw(const TRect& r, std::shared_ptr<const TMetafile> figura);
  // Records a bitmap stretched into r; with `transparente` its automatic transparent colour is
  // left out.
  void StretchDraw(const TRect& r, std::shared_ptr<const TImagemRGB> imagem, bool transparente);

 private:
  TOperacaoDesenho& Nova(TOperacaoDesenho::TTipo tipo, const TRect& r);
  TMetafile& figura_;
  int x_ = 0, y_ = 0;  // pen position
};

}  // namespace report
