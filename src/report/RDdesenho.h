// The graphic page renderer: one page of the page store drawn into a recorded picture, as paper
// for the preview or bare for a graphic printer, on the character grid of the page metrics.
#pragma once

#include "report/RDmetafile.h"

namespace report {

class TRDprint;

// Draws page `Pagina` (1-based) into `Figura`, which it sizes itself: the whole paper with
// `Preview` (and PaginaAtual := Pagina), LarguraTexto x AlturaTexto without. A malformed
// parameter of a G, H, V or F entry raises base::EConvertError, a G index outside the picture
// list base::EListError, a coordinate out of range base::EIntOverflow; the picture then holds
// what was drawn before the failure and nothing else is kept.
void DesenhaPagina(TRDprint& rd, int Pagina, TMetafile& Figura, bool Preview);

}  // namespace report
