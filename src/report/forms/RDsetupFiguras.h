// The pictures of the print setup dialog, drawn here: the printer icon of the printer list
// (18 x 16), the dialog's header icon (32 x 32), and the four collation pictures (93 x 38) named
// after the order of the sheets they show. Each bitmap's transparent colour is the one of its
// bottom left pixel.
#pragma once

#include <QPixmap>

#include "report/RDTools.h"

namespace report {

const TImagemRGB& IconeImpressora();
const TImagemRGB& Img123123();
const TImagemRGB& Img321321();
const TImagemRGB& Img112233();
const TImagemRGB& Img332211();
// The header icon, with its transparent colour already left out.
QPixmap IconeCabecalho();

}  // namespace report
