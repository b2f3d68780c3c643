// The recorded page pictures on Qt: replayed as vectors stretched into any rectangle of a
// QPainter (screen, image, printer) at that device's resolution; the Qt font metrics installed
// as the canvases' text measure; bitmaps drawn leaving out their transparent colour.
#pragma once

#include <QPainter>
#include <QRectF>

#include "report/RDmetafile.h"

namespace report {

// Replays `m` with its Width x Height mapped onto `destino` (device coordinates of `p`).
void DesenhaMetafile(QPainter& p, const TMetafile& m, const QRectF& destino);

// A destination rectangle (left, top, right, bottom) as Qt's (x, y, width, height).
QRectF RetanguloQt(const TRect& r);

// Makes TextWidth of every canvas use Qt's font metrics at 96 dots per inch ("Courier New"
// resolves to Liberation Mono through fontconfig). Needs a QGuiApplication.
void InstalaMedidorQt();

// Draws `bitmap` with its top left corner at (x, y), leaving out the pixels of its automatic
// transparent colour (the bottom left pixel's).
void DesenhaTransparente(QPainter& p, int x, int y, const TImagemRGB& bitmap);

}  // namespace report
