// The preview's commands: print and printer setup, saving in the five file types, the PDF
// export, reading a saved report, e-mail, going to a page, closing, and the text search with its
// two additions (the other direction with Shift+F3, the list of every match).
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>
#include <cmath>

#include "base/Formato.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "report/RDTools.h"
#include "report/RDformatos.h"
#include "report/RDprint.h"
#include "report/forms/RDocorrencias.h"
#include "report/forms/RDpreview.h"
#include "report/forms/RDprocura.h"
#include "report/forms/RDrolagem.h"

namespace report::forms {

namespace {

// The dialog filter of a list of types: "description|mask|...".
std::string Filtro(std::initializer_list<std::pair<const char*, const char*>> tipos) {
  std::string f;
  for (const auto& [descricao, mascara] : tipos)
    f += (f.empty() ? "" : "|") + std::string(descricao) + "|" + mascara;
  return f;
}

// The chosen name with its extension (from the last dot of the file name part) replaced.
std::string TrocaExtensao(const std::string& nome, const std::string& extensao) {
  const size_t barra = nome.find_last_of('/');
  const size_t ponto = nome.find_last_of('.');
  const bool temExtensao =
      ponto != std::string::npos && (barra == std::string::npos || ponto > barra);
  return (temExtensao ? nome.substr(0, ponto) : nome) + extensao;
}

}  // namespace

// True when a command's button is visible and enabled.
bool TDFMPreview::Disponivel(const QToolButton* b) const {
  return b->isEnabled() && !b->isHidden();
}

// Prints with the current settings, after the setup dialog when the window was opened so.
void TDFMPreview::btIMPRIMIRClick() {
  if (!Disponivel(btIMPRIMIR)) return;
  if (SetupAntes) {
    if (!rd_.Setup()) return;
    AtualizaImpressora();
  }
  rd_.ImprimeRelatorio("");
}

// The printer setup; nothing is printed.
void TDFMPreview::btSETUPClick() {
  if (!Disponivel(btSETUP)) return;
  if (rd_.Setup()) AtualizaImpressora();
}

// Saves in the format chosen in the dialog, under the chosen name with that format's extension
// (upper case); the writers report their own errors and the window stays open.
void TDFMPreview::btSALVARClick() {
  if (!Disponivel(btSALVAR)) return;
  platform::FileDialogOptions o;
  o.title = "Salvar relat\xF3rio como...";
  o.folder = pasta_;
  o.fileName = platform::cp1252ToUtf8(LimpaNomeArquivo(rd_.TitulodoRelatorio));
  for (const TFormato& f : kFormatos)
    o.filter += (o.filter.empty() ? "" : "|") + std::string(f.descricao) + "|" + Mascara(f);
  o.type = 0;
  auto escolhido = platform::current().chooseFileToSave(o);
  if (!escolhido) return;
  const int n = static_cast<int>(kFormatos.size());
  const TFormato& formato = kFormatos[o.type >= 0 && o.type < n ? o.type : 0];
  formato.grava(rd_, TrocaExtensao(*escolhido, Mascara(formato).substr(1)));
}

// Exports to PDF under the chosen name with the extension .PDF.
void TDFMPreview::btPDFClick() {
  if (!Disponivel(btPDF)) return;
  platform::FileDialogOptions o;
  o.title = "Exportar Relat\xF3rio para PDF";
  o.folder = pasta_;
  o.fileName = platform::cp1252ToUtf8(LimpaNomeArquivo(rd_.TitulodoRelatorio));
  o.filter = Filtro({{"Arquivo PDF (*.PDF)", "*.PDF"}});
  auto escolhido = platform::current().chooseFileToSave(o);
  if (escolhido) rd_.GravaPDF(TrocaExtensao(*escolhido, ".PDF"));
}

// Reads a saved report into the page store and shows its first page at the same zoom (the page
// box follows the new page size).
void TDFMPreview::btABRIRClick() {
  if (!Disponivel(btABRIR)) return;
  platform::FileDialogOptions o;
  o.title = "Selecionar relat\xF3rio...";
  o.folder = pasta_;
  o.filter = Filtro({{"Relat\xF3rio RDprint (*.RDP)", "*.RDP"}});
  auto escolhido = platform::current().chooseFileToOpen(o);
  if (!escolhido) return;
  rd_.LeRDP(*escolhido);
  PainelOcorrencias->Limpa();
  QtdPaginas = rd_.TotalPaginas();
  TamanhoFolha();
  Pagina = 1;
  Mostrar();
  AjustaZoom(Zoom);
}

// Hands the report to the program's e-mail event.
void TDFMPreview::btEMAILClick() {
  if (!Disponivel(btEMAIL)) return;
  if (rd_.OnSendMail) rd_.OnSendMail(rd_);
}

// Asks for a page number; out-of-range numbers go to the first or the last page.
void TDFMPreview::btDIRETOClick() {
  std::string texto;
  if (!platform::current().inputQuery("Acesso r\xE1pido", "Qual p\xE1gina deseja ver ?", texto))
    return;
  int32_t n = 0;
  if (!base::TryStrToInt(texto, n)) {
    platform::current().showMessage("P\xE1gina inv\xE1lida...");
    return;
  }
  Pagina = std::clamp(n, 1, std::max(QtdPaginas, 1));
  Mostrar();
}

// Ends the modal loop; the opener destroys the window.
void TDFMPreview::btFECHARClick() { reject(); }

// Starts a search from the first entry with an empty find dialog.
void TDFMPreview::btPROCURARClick() {
  EstadoPreview().posicaoBusca = 0;
  FindDialog1->DefineTexto("");
  FindDialog1->show();
  FindDialog1->raise();
  FindDialog1->activateWindow();
}

// The find dialog's find button and F3: the next match in the dialog's direction.
void TDFMPreview::FindDialog1Find() { Procura(FindDialog1->ParaBaixo()); }

// Shift+F3: the nearest match in the other direction, starting beside the match shown.
void TDFMPreview::ProcuraAnterior() {
  TEstadoPreview& s = EstadoPreview();
  const bool paraBaixo = !FindDialog1->ParaBaixo();
  if (s.achado.indice >= 0) s.posicaoBusca = s.achado.indice + (paraBaixo ? 1 : -1);
  Procura(paraBaixo);
}

// Runs the search routine; shows the page of the match scrolled to it, or says that nothing was
// found (the page is drawn again without the cleared mark).
void TDFMPreview::Procura(bool paraBaixo) {
  const std::string texto = FindDialog1->Texto();
  if (texto.empty()) return;
  TEstadoPreview& s = EstadoPreview();
  if (ProcuraTexto(paraBaixo, FindDialog1->DiferenciaMaiusculas(), texto, s.posicaoBusca,
                   s.achado)) {
    Pagina = s.achado.pagina;
    Mostrar();
    RolaAteAchado();
  } else {
    Mostrar();
    platform::current().showMessage("N\xE3o \xE9 poss\xEDvel encontrar \"" + texto + "\"");
  }
}

// Scrolls so that the found line and column come into view, at the bottom right edge.
void TDFMPreview::RolaAteAchado() {
  const TAchado& a = EstadoPreview().achado;
  QScrollBar* vertical = Scroller->verticalScrollBar();
  QScrollBar* horizontal = Scroller->horizontalScrollBar();
  if (vertical->maximum() > vertical->minimum() && rd_.TamanhoQteLinhas > 0) {
    const int y =
        a.linha * static_cast<int>(std::nearbyint(VISOR->height() / double(rd_.TamanhoQteLinhas)));
    const int cliente = Scroller->viewport()->height();
    vertical->setValue(cliente < y ? y - cliente : 0);
  }
  if (horizontal->maximum() > horizontal->minimum() && rd_.TamanhoQteColunas > 0) {
    const int x =
        a.coluna * static_cast<int>(std::nearbyint(VISOR->width() / double(rd_.TamanhoQteColunas)));
    const int cliente = Scroller->viewport()->width();
    horizontal->setValue(cliente < x ? x - cliente : 0);
  }
}

// Opens the side panel with the find dialog's text and options and lists every match.
void TDFMPreview::MostraOcorrencias() {
  PainelOcorrencias->show();
  const std::string texto = FindDialog1->Texto();
  if (!texto.empty()) PainelOcorrencias->Lista(texto, FindDialog1->DiferenciaMaiusculas());
  PainelOcorrencias->edTexto->setFocus(Qt::ShortcutFocusReason);
}

// One match of the list, marked and shown like a search result; F3 goes on from there.
void TDFMPreview::IrParaOcorrencia(const TOcorrencia& o) {
  TEstadoPreview& s = EstadoPreview();
  if (!MarcaEntrada(o.achado.indice, s.achado)) return;
  s.posicaoBusca = s.achado.indice + (FindDialog1->ParaBaixo() ? 1 : -1);
  Pagina = s.achado.pagina;
  Mostrar();
  RolaAteAchado();
}

}  // namespace report::forms
