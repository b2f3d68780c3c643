// Where a page lands on a graphic printer's page, and the bare page picture handed to it.
#include "report/RDimpressao.h"

#include <cmath>

#include "report/RDdesenho.h"
#include "report/RDestado.h"
#include "report/RDprint.h"

namespace report {

namespace {

// A margin in printer dots taken relative to the printable area: what lies beyond the
// unprintable edge on its side.
int MargemImprimivel(int dpi, int milimetros, int borda) {
  const int margem = static_cast<int>(std::trunc(dpi / 25.4 * milimetros));
  return margem <= borda ? 0 : margem - borda;
}

}  // namespace

// The destination rectangle of the component's page on the printable area.
TRect DestinoPaginaGrafica(const TRDprint& rd, const TMedidasImpressora& m) {
  const TRDFolha& f = EstadoRelatorio().folha;
  const int esquerda = MargemImprimivel(m.LOGPIXELSX, rd.Margens.Left, m.PHYSICALOFFSETX);
  const int direita = MargemImprimivel(m.LOGPIXELSX, rd.Margens.Right, m.BordaDireita());
  const int topo = MargemImprimivel(m.LOGPIXELSY, rd.Margens.Top, m.PHYSICALOFFSETY);
  const int base = MargemImprimivel(m.LOGPIXELSY, rd.Margens.Bottom, m.BordaInferior());
  const int largura = m.HORZRES - (esquerda + direita);
  const int altura = m.VERTRES - (topo + base);
  double pw = std::nearbyint(static_cast<double>(rd.TamanhoQteColunas) * f.LarguraBase *
                             f.FatorLargura * m.LOGPIXELSX / 96);
  double ph =
      std::nearbyint(static_cast<double>(rd.TamanhoQteLinhas) * f.AlturaLinha * m.LOGPIXELSY / 96);
  if (rd.ReduzParaCaber) {
    // A side with no room left (margins over the whole printable area) gives no scale: dividing
    // by it would make the page vanish or turn over.
    double s = 1.0;
    if (largura > 0 && pw > largura) s = pw / largura;
    if (altura > 0 && ph > altura && ph / altura > s) s = ph / altura;
    if (s > 1) {
      pw = std::trunc(pw / s);
      ph = std::trunc(ph / s);
    }
  }
  const int w = static_cast<int>(pw), h = static_cast<int>(ph);
  return {esquerda, topo, esquerda + w - 1, topo + h - 1};
}

// Draws the page bare and hands it to the printer side with its destination.
void ImprimePaginaGrafica(TRDprint& rd, int Pagina, const TMedidasImpressora& m,
                          const std::function<void(const TMetafile&, const TRect&)>& estica) {
  TMetafile figura;
  DesenhaPagina(rd, Pagina, figura, false);
  estica(figura, DestinoPaginaGrafica(rd, m));
  EstadoRelatorio().paginaImpressa = true;
}

}  // namespace report
