// Composing a report and sending it out: Abrir, ImpF, ImpCentralizado, NovaPagina, Fechar,
// Abortar, Setup, MostraPreview and the print job ImprimeRelatorio.
#include <algorithm>
#include <cmath>

#include "base/Texto.h"
#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"
#include "report/RDprogresso.h"
#include "report/RDtabelas.h"

namespace report {

namespace {

// What a cancelled print says: how many pages had gone out, and whether the spooler dropped them
// (a port or device has them already).
std::string MensagemCancelamento(int enviadas, bool fila) {
  const std::string n = std::to_string(enviadas);
  std::string m = "Impress\xE3o cancelada: ";
  m += enviadas == 1 ? "1 p\xE1gina tinha sido enviada" : n + " p\xE1ginas tinham sido enviadas";
  m +=
      fila ? "; o trabalho foi retirado da fila de impress\xE3o." : " diretamente \xE0 impressora.";
  return m;
}

}  // namespace

// Opens a report: resets the print settings, takes the printer, builds the command set and the
// page metrics, creates the page store empty and starts page 1.
bool TRDprint::Abrir() {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (e.aberto) {
    ReportaErro("Erro #01 - (ABRIR) Relat\xF3rio j\xE1 foi aberto...");
    return false;
  }
  e.PaginaAtual = 1;
  e.Copias = NumerodeCopias;
  e.Agrupar = true;
  e.OrdemInversa = false;
  e.IntervaloPaginas.clear();
  e.ParImpar = 0;
  if (PortaComunicacao.empty()) {
    std::string nome;
    ImpressoraAtual(nome, PortaComunicacao);
    MapeiaImpressora(nome);
  }
  e.aberto = true;
  e.abortado = false;
  e.previewAberto = false;
  e.paginas = std::make_unique<TPaginasRelatorio>();
  ConfiguraComandos(Impressora, TamanhoQteLinhas, TamanhoQteLPP);
  e.MarcaBusca.clear();
  Imagens.clear();
  if (base::Trim(TitulodoRelatorio).empty()) TitulodoRelatorio = "Relat\xF3rio RDprint";
  CalculaMedidas();
  if (OnNewPage) OnNewPage(*this, 1);
  RodapePendente = true;
  return true;
}

// Places a text at a line and column of the current page.
bool TRDprint::ImpF(int Linha, int Coluna, std::string_view Texto, TAtributos Fonte, TColor Cor) {
  return AdicionaComando(Linha, Coluna, "T", Texto, Fonte, Cor);
}

// Places a text centred on a column of the current page.
bool TRDprint::ImpCentralizado(int Linha, int Coluna, std::string_view Texto, TAtributos Fonte,
                               TColor Cor) {
  if (Cor == clNone) Cor = OpcoesPreview.CorLetraPreview;
  // The width of one character of the set's widest pitch (the lowest cpi); 1.0 without a pitch.
  const TComandosImpressora& c = EstadoRelatorio().comandos;
  const TLinhaPitch* largura = nullptr;
  for (const TLinhaPitch& p : kPitches)
    if (Fonte.Contem(p.atributo) && (!largura || p.cpi < largura->cpi)) largura = &p;
  const double w = largura ? c.LarguraRelativa(largura->tamanho) : 1.0;
  const int64_t W = static_cast<int64_t>(std::nearbyint(w * 10000));
  const int64_t n = static_cast<int64_t>(Texto.size());
  const int64_t deslocamento =
      n >= 2 ? ArredondaRazao(n * W - 9800, 20000) : ArredondaRazao(n * W, 20000);
  int64_t coluna = std::max<int64_t>(Coluna - deslocamento, 1);
  return AdicionaComando(Linha, static_cast<int>(std::min<int64_t>(coluna, 100000)), "X", Texto,
                         Fonte, Cor);
}

// Leaves the current page (its foot event) and starts the next one.
int TRDprint::NovaPagina() {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (!e.aberto) {
    ReportaErro("Erro #04 - (NOVA P\xC1GINA) Relat\xF3rio n\xE3o foi aberto...");
    return -1;
  }
  if (OnBeforeNewPage) OnBeforeNewPage(*this, e.PaginaAtual);
  e.PaginaAtual += 1;
  if (OnNewPage) OnNewPage(*this, e.PaginaAtual);
  RodapePendente = true;
  return e.PaginaAtual;
}

// Ends the composition: fires the last page's foot, then previews or prints, then frees the pages.
bool TRDprint::Fechar() {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (e.abortado) return true;
  if (!e.aberto) {
    ReportaErro("Erro #02 - (FECHAR) Relat\xF3rio n\xE3o foi aberto...");
    return false;
  }
  if (OnBeforeNewPage) OnBeforeNewPage(*this, e.PaginaAtual);
  RodapePendente = false;
  if (OpcoesPreview.Preview)
    MostraPreview();
  else
    ImprimeRelatorio("");
  if (!e.abortado) e.paginas.reset();
  Imagens.clear();
  e.aberto = false;
  e.previewAberto = false;
  return true;
}

// Abandons the open report.
bool TRDprint::Abortar() {
  TEstadoRelatorio& e = EstadoRelatorio();
  bool resultado = false;
  if (e.aberto) {
    e.paginas.reset();
    resultado = true;
  } else {
    ReportaErro("Erro #08 - (ABORTAR) Relat\xF3rio n\xE3o foi aberto...");
  }
  e.aberto = false;
  e.abortado = true;
  if (OnCancel) OnCancel(*this);
  return resultado;
}

// Shows the print setup dialog; a cancelled setup outside the preview abandons the report.
bool TRDprint::Setup() {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (!e.aberto) {
    ReportaErro("Erro #05 - (SETUP) Relat\xF3rio n\xE3o foi aberto...");
    return false;
  }
  bool confirmou = JanelasRelatorio().MostraSetup(*this);
  if (confirmou)
    ConfiguraComandos(Impressora, TamanhoQteLinhas, TamanhoQteLPP);
  else if (!e.previewAberto)
    Abortar();
  return confirmou;
}

// Shows the preview window modally.
void TRDprint::MostraPreview() {
  if (OnPreview) OnPreview(*this);
  TEstadoRelatorio& e = EstadoRelatorio();
  struct Limpa {
    TEstadoRelatorio& e;
    ~Limpa() { e.previewAberto = false; }
  } limpa{e};
  e.previewAberto = true;
  JanelasRelatorio().MostraPreview(*this);
}

// The print job: the selected pages and copies to the printer, or the printer file. True when the
// job ran to its end and every byte reached its destination.
bool TRDprint::ImprimeRelatorio(const std::string& ArquivoSaida) {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (ArquivoSaida.empty()) {
    bool continuar = true;
    if (OnBeforePrint) OnBeforePrint(*this, continuar);
    if (!continuar) return false;
  }
  e.abortado = false;
  e.cancelamento = false;
  e.paginaImpressa = false;
  const bool grafico = Impressora == TModelo::Grafico;
  TImpressoraGrafica* impressora = nullptr;
  if (grafico) {
    impressora = JanelasRelatorio().ImpressoraGrafica();
    if (!impressora) {
      CaixaErro(
          "Nenhuma impressora gr\xE1"
          "fica dispon\xEDvel para imprimir o relat\xF3rio.");
      return false;
    }
    if (!impressora->IniciaDocumento(Orientacao, TitulodoRelatorio)) return false;
  } else if (!IniciaDocumento(ArquivoSaida)) {
    return false;
  }

  std::vector<int> lista;
  const int total = TotalPaginas();
  if (!e.IntervaloPaginas.empty()) {
    std::vector<std::string> textos;
    ExpandePaginas(e.IntervaloPaginas, textos);
    for (const auto& t : textos) lista.push_back(std::stoi(t));
  } else {
    for (int p = 1; p <= total; ++p) lista.push_back(p);
  }

  bool parar = false;  // a cancel request was seen
  int enviadas = 0;    // page copies handed to the printer
  try {
    TConfigProgresso config;
    config.caption = ArquivoSaida.empty() ? "Imprimindo..." : "Gravando...";
    config.rotulo = TitulodoRelatorio;
    config.maximo = std::max(e.Copias, 0) * static_cast<int>(lista.size());
    config.cor = CorForm;
    config.corFonte = CorFonte;
    ProgressoRelatorio progresso(*this, MostrarProgresso, config);
    e.cancelamento = false;

    const int passes = e.Agrupar ? e.Copias : 1;
    const int copiasPorPagina = e.Agrupar ? 1 : e.Copias;
    for (int passe = 0; passe < passes && !parar; ++passe) {
      for (size_t k = 0; k < lista.size() && !parar; ++k) {
        int pagina = e.OrdemInversa ? lista[lista.size() - 1 - k] : lista[k];
        if (pagina > total || (e.ParImpar == 1 && pagina % 2 == 0) ||
            (e.ParImpar == 2 && pagina % 2 != 0))
          continue;
        for (int copia = 0; copia < copiasPorPagina; ++copia) {
          if (grafico) {
            if (e.paginaImpressa) impressora->NovaPagina();
            impressora->ImprimePaginaGrafica(*this, pagina);
            e.paginaImpressa = true;
          } else {
            ImprimePaginaTexto(pagina);
          }
          ++enviadas;
          platform::current().processMessages();
          progresso.Passo();
          if (e.cancelamento) {
            parar = true;
            break;
          }
        }
      }
      platform::current().processMessages();
      progresso.Repinta();
      if (e.cancelamento) parar = true;
    }
  } catch (...) {
    // An error escaping a page (a malformed entry) reaches the caller with the document let go
    // unfinished: nothing more is sent, and a printer file keeps its old content.
    if (grafico)
      impressora->AbandonaDocumento();
    else
      e.canal = TCanal{};
    throw;
  }

  bool terminado = true;
  if (parar && ArquivoSaida.empty()) {
    // Pages are made faster than Cancelar can be pressed: the job goes from the spooler with
    // every page it holds.
    const bool fila = grafico || EstadoRelatorio().canal.spooler;
    if (grafico)
      impressora->AbandonaDocumento();
    else
      e.canal = TCanal{};
    platform::current().showMessage(MensagemCancelamento(enviadas, fila));
  } else if (grafico) {
    impressora->FinalizaDocumento();
  } else {
    terminado = FinalizaDocumento();
  }
  if (ArquivoSaida.empty() && OnAfterPrint) OnAfterPrint(*this);
  return terminado && !parar;
}

}  // namespace report
