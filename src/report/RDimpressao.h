// Graphic printing of one page: the printer's device capabilities, where the page lands on the
// printer page (margins taken relative to the printable area, shrunk to fit when asked), and the
// bare page picture handed to the printer side to stretch there.
#pragma once

#include <functional>

#include "report/RDmetafile.h"

namespace report {

class TRDprint;

// The printer page geometry in printer dots, as the device reports it.
struct TMedidasImpressora {
  int PHYSICALOFFSETX = 0, PHYSICALOFFSETY = 0;  // unprintable left and top edges
  int PHYSICALWIDTH = 0, PHYSICALHEIGHT = 0;     // the whole sheet
  int HORZRES = 0, VERTRES = 0;                  // the printable area
  int LOGPIXELSX = 0, LOGPIXELSY = 0;            // dots per inch
  // The unprintable right and bottom edges.
  int BordaDireita() const { return PHYSICALWIDTH - PHYSICALOFFSETX - HORZRES; }
  int BordaInferior() const { return PHYSICALHEIGHT - PHYSICALOFFSETY - VERTRES; }
};

// The rectangle (left, top, left + pw - 1, top + ph - 1) in printable-area dots that the page of
// the component's metrics is stretched into.
TRect DestinoPaginaGrafica(const TRDprint& rd, const TMedidasImpressora& m);

// Draws page `Pagina` bare (LarguraTexto x AlturaTexto), hands it with its destination to
// `estica`, which stretches it onto the current printer page, and sets the page-printed flag.
// Errors of DesenhaPagina pass through (nothing is handed over then).
void ImprimePaginaGrafica(TRDprint& rd, int Pagina, const TMedidasImpressora& m,
                          const std::function<void(const TMetafile&, const TRect&)>& estica);

}  // namespace report
