// The preview's page: its picture size, drawing and painting, the zoom, page navigation, the
// keyboard table, dragging and the wheel.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <cmath>

#include "base/Erros.h"
#include "base/Formato.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"
#include "report/RDdesenho.h"
#include "report/RDprint.h"
#include "report/RDtabelas.h"
#include "report/forms/RDfiguras.h"
#include "report/forms/RDpintura.h"
#include "report/forms/RDpreview.h"
#include "report/forms/RDrolagem.h"

namespace report::forms {

namespace {
// Round as the window computes it: to the nearest integer, halves to even.
int Arredonda(double v) { return static_cast<int>(std::nearbyint(v)); }
}  // namespace

// The page picture's size in pixels at 96 per inch: the grid at the default pitch and line
// height, the continuous-form strips and the margins.
void TDFMPreview::TamanhoFolha() {
  auto pixels = [](int mm) { return static_cast<int>(std::trunc(mm * 3.779527559055118)); };
  const int banda = rd_.OpcoesPreview.Remalina ? 35 : 0;
  const int cpi = Pitch(rd_.FonteTamanhoPadrao).cpi;
  Figura.Width = Arredonda(rd_.TamanhoQteColunas * 96.0 / cpi) + 2 * banda +
                 pixels(rd_.Margens.Left) + pixels(rd_.Margens.Right);
  Figura.Height = rd_.TamanhoQteLinhas * (rd_.TamanhoQteLPP == TLinha::Seis ? 16 : 12) +
                  pixels(rd_.Margens.Top) + pixels(rd_.Margens.Bottom);
}

// Draws the current page into the picture, repaints it, and updates the page panel and the
// navigation buttons. A page the renderer cannot draw is reported in the error box; what it drew
// before stays on screen.
void TDFMPreview::Mostrar() {
  try {
    DesenhaPagina(rd_, Pagina, Figura, true);
  } catch (const base::Exception& e) {
    platform::current().showApplicationError(e.Mensagem());
  }
  VISOR->update();
  Paineis[0]->setText(platform::toQString("P\xE1gina: " + std::to_string(Pagina) + " de " +
                                          std::to_string(QtdPaginas)));
  btPRIMEIRA->setEnabled(Pagina > 1);
  btANTERIOR->setEnabled(Pagina > 1);
  btPROXIMA->setEnabled(Pagina < QtdPaginas);
  btULTIMA->setEnabled(Pagina < QtdPaginas);
  btDIRETO->setEnabled(QtdPaginas > 1);
}

// The shadow and the page, replayed as vectors at the screen's own resolution.
void TDFMPreview::VISORPaint(QPainter& p) {
  const int w = Arredonda(Figura.Width * Zoom / 100.0);
  const int h = Arredonda(Figura.Height * Zoom / 100.0);
  p.fillRect(QRect(16, 16, w - 16, h - 16), QColor(0x60, 0x60, 0x60));
  DesenhaMetafile(p, Figura, QRectF(10, 10, w - 16, h - 16));
}

// Applies a zoom: a percentage, -2 (the whole page) or -1 (the width), clamped to 20..400; sizes
// the page box and centres it while it is smaller than the scroll box.
void TDFMPreview::AjustaZoom(int valor) {
  Zoom = valor;
  const int clienteL = Scroller->viewport()->width(), clienteA = Scroller->viewport()->height();
  if (Zoom == -2 && Figura.Width > 0 && Figura.Height > 0) {
    const int zw = static_cast<int>(std::trunc((clienteL - 10) * 100.0 / Figura.Width));
    const int zh = static_cast<int>(std::trunc((clienteA - 10) * 100.0 / Figura.Height));
    Zoom = std::min(zw, zh);
  }
  if (Zoom == -1 && Figura.Width > 0)
    Zoom = static_cast<int>(std::trunc((Scroller->width() - 30) * 100.0 / Figura.Width));
  Zoom = std::clamp(Zoom, 20, 400);
  VISOR->resize(Arredonda(Figura.Width * Zoom / 100.0) + 10,
                Arredonda(Figura.Height * Zoom / 100.0) + 10);
  Scroller->Atualiza();
  const int left =
      VISOR->width() < Scroller->width() ? (Scroller->viewport()->width() - VISOR->width()) / 2 : 0;
  const int top = VISOR->height() < Scroller->height()
                      ? (Scroller->viewport()->height() - VISOR->height()) / 2
                      : 0;
  Scroller->Posiciona(left, top);
  Paineis[1]->setText(platform::toQString(base::FormatFloat("#00", Zoom) + "%"));
  MarcaMenuZoom(valor);
  VISOR->update();
}

// The zoom menu checks the zoom in force: the fit that was asked for, or the percentage it
// lists; nothing for a zoom it does not list.
void TDFMPreview::MarcaMenuZoom(int pedido) {
  QAction* marcado = nullptr;
  for (QAction* a : GrupoZoom->actions()) {
    const int v = a->data().toInt();
    if (pedido < 0 ? v == pedido : v == Zoom) marcado = a;
  }
  if (marcado)
    marcado->setChecked(true);
  else if (QAction* a = GrupoZoom->checkedAction())
    a->setChecked(false);
}

// Page navigation: first, previous, next, last (the scroll bars stay where they are).
void TDFMPreview::btPRIMEIRAClick() {
  if (Pagina == 1) return;
  Pagina = 1;
  Mostrar();
}

// The previous page.
void TDFMPreview::btANTERIORClick() {
  if (Pagina < 2) return;
  --Pagina;
  Mostrar();
}

// The next page.
void TDFMPreview::btPROXIMAClick() {
  if (Pagina >= QtdPaginas) return;
  ++Pagina;
  Mostrar();
}

// The last page.
void TDFMPreview::btULTIMAClick() {
  if (Pagina == QtdPaginas) return;
  Pagina = QtdPaginas;
  Mostrar();
}

// Fit width, whole page, zoom in and out by 10.
void TDFMPreview::btLARGURAClick() { AjustaZoom(-1); }

// The whole page.
void TDFMPreview::btFULLClick() { AjustaZoom(-2); }

// Zoom in by 10.
void TDFMPreview::btAumentaClick() { AjustaZoom(Zoom + 10); }

// Zoom out by 10.
void TDFMPreview::btDiminuiClick() { AjustaZoom(Zoom - 10); }

// A zoom menu item applies its value (which checks it).
void TDFMPreview::Zoom25Click(QAction* item) { AjustaZoom(item->data().toInt()); }

// The keys: arrows scroll (and turn the page at either end), F3 searches, Ctrl+Shift+F lists the
// matches, and the tool bar's keys run its commands.
void TDFMPreview::FormKeyDown(int tecla, Qt::KeyboardModifiers shift) {
  QScrollBar* horizontal = Scroller->horizontalScrollBar();
  QScrollBar* vertical = Scroller->verticalScrollBar();
  const int passo = Arredonda(VISOR->height() / 20.0);
  if (tecla == Qt::Key_Left) horizontal->setValue(horizontal->value() - 20);
  if (tecla == Qt::Key_Right) horizontal->setValue(horizontal->value() + 20);
  if (tecla == Qt::Key_Up) {
    const int antes = vertical->value();
    vertical->setValue(antes - passo);
    if (vertical->value() == antes && Pagina > 1) {
      --Pagina;
      vertical->setValue(vertical->maximum());
      Mostrar();
    }
  }
  if (tecla == Qt::Key_Down) {
    const int antes = vertical->value();
    vertical->setValue(antes + passo);
    if (vertical->value() == antes && Pagina < QtdPaginas) {
      ++Pagina;
      vertical->setValue(0);
      Mostrar();
    }
  }
  if (tecla == Qt::Key_F3) {
    if (shift & Qt::ShiftModifier)
      ProcuraAnterior();
    else
      FindDialog1Find();
  }
  const bool ctrlShift = (shift & Qt::ControlModifier) && (shift & Qt::ShiftModifier);
  if (tecla == Qt::Key_F && ctrlShift)
    MostraOcorrencias();
  else
    TeclaDaBarra(tecla, shift);
}

// The left button grabs the page: the grabbing hand, the press point, dragging on. (Other
// buttons start no drag: the right one opens the zoom menu, which takes the release.)
void TDFMPreview::VISORMouseDown(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  TEstadoPreview& s = EstadoPreview();
  if (!s.arrastando) QApplication::setOverrideCursor(CursorPegou());
  s.pressao = e->position().toPoint();
  s.arrastando = true;
}

// While dragging, the page point under the mouse follows the mouse.
void TDFMPreview::VISORMouseMove(QMouseEvent* e) {
  TEstadoPreview& s = EstadoPreview();
  if (!s.arrastando) return;
  const QPoint agora = e->position().toPoint();
  QScrollBar* horizontal = Scroller->horizontalScrollBar();
  QScrollBar* vertical = Scroller->verticalScrollBar();
  horizontal->setValue(horizontal->value() + s.pressao.x() - agora.x());
  vertical->setValue(vertical->value() + s.pressao.y() - agora.y());
}

// Ends the drag and gives the default cursor back.
void TDFMPreview::VISORMouseUp(QMouseEvent* e) {
  TEstadoPreview& s = EstadoPreview();
  if (e->button() != Qt::LeftButton || !s.arrastando) return;
  s.arrastando = false;
  QApplication::restoreOverrideCursor();
}

// The wheel as the arrow keys: down for a negative delta, up otherwise; always handled.
bool TDFMPreview::DoMouseWheel(int delta) {
  FormKeyDown(delta < 0 ? Qt::Key_Down : Qt::Key_Up, Qt::NoModifier);
  return true;
}

}  // namespace report::forms
