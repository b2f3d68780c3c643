// Composing a report and sending it out: Abrir, ImpF, ImpCentralizado, NovaPagina, Fechar,
// Abortar, Setup, MostraPreview and the print job ImprimeRelatorio.
#include <algorithm>
#include <cmath>
#include <memory>

#include "base/Texto.h"
#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDpercurso.h"
#include "report/RDprint.h"
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

namespace {

// A character printer: each page copy's bytes on the open channel.
class EscritorCaracteres : public TEscritorRelatorio {
 public:
  explicit EscritorCaracteres(TRDprint& rd) : rd_(rd) {}
  bool Pagina(int pagina) override {
    rd_.ImprimePaginaTexto(pagina);
    const TCanal& canal = EstadoRelatorio().canal;
    return canal.saida && !canal.saida->failed();
  }
  // A cancelled job on a printer is taken back (a printer file is dropped when it is closed).
  TResultado Conclui(const TFimPercurso& fim) override {
    if (fim.cancelado && !EstadoRelatorio().canal.arquivo) {
      const bool fila = EstadoRelatorio().canal.spooler;
      Abandona();
      return {false, TCaixa::Informacao, MensagemCancelamento(fim.paginas, fila)};
    }
    TResultado r = rd_.FechaDocumento();
    if (fim.cancelado) r.ok = false;
    return r;
  }
  void Abandona() override { EstadoRelatorio().canal = TCanal{}; }

 private:
  TRDprint& rd_;
};

// A graphic printer: every page after the first on a new printer page.
class EscritorGrafico : public TEscritorRelatorio {
 public:
  EscritorGrafico(TRDprint& rd, TImpressoraGrafica& impressora)
      : rd_(rd), impressora_(impressora) {}
  bool Pagina(int pagina) override {
    TEstadoRelatorio& e = EstadoRelatorio();
    if (e.paginaImpressa) impressora_.NovaPagina();
    impressora_.ImprimePaginaGrafica(rd_, pagina);
    e.paginaImpressa = true;
    return true;
  }
  TResultado Conclui(const TFimPercurso& fim) override {
    if (fim.cancelado) {
      Abandona();
      return {false, TCaixa::Informacao, MensagemCancelamento(fim.paginas, true)};
    }
    impressora_.FinalizaDocumento();
    return TResultado::Sucesso();
  }
  void Abandona() override { impressora_.AbandonaDocumento(); }

 private:
  TRDprint& rd_;
  TImpressoraGrafica& impressora_;
};

}  // namespace

// The print job with its message shown.
bool TRDprint::ImprimeRelatorio(const std::string& ArquivoSaida) {
  return Comunica(Imprime(ArquivoSaida));
}

// The print job: the page plan walked to the printer or the printer file. Succeeds when the job
// ran to its end and every byte reached its destination.
TResultado TRDprint::Imprime(const std::string& ArquivoSaida) {
  return Imprime(ArquivoSaida, nullptr);
}

// The job on the channel it opens, or for a printer file on the caller's sink.
TResultado TRDprint::Imprime(const std::string& ArquivoSaida, platform::ByteSink* destino) {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (ArquivoSaida.empty()) {
    bool continuar = true;
    if (OnBeforePrint) OnBeforePrint(*this, continuar);
    if (!continuar) return TResultado::Interrompido();
  }
  e.abortado = false;
  e.cancelamento = false;
  e.paginaImpressa = false;
  std::unique_ptr<TEscritorRelatorio> escritor;
  if (Impressora == TModelo::Grafico) {
    TImpressoraGrafica* impressora = JanelasRelatorio().ImpressoraGrafica();
    if (!impressora)
      return TResultado::Falha(TCaixa::Erro,
                               "Nenhuma impressora gr\xE1"
                               "fica dispon\xEDvel para imprimir o relat\xF3rio.");
    if (!impressora->IniciaDocumento(Orientacao, TitulodoRelatorio))
      return TResultado::Interrompido();
    escritor = std::make_unique<EscritorGrafico>(*this, *impressora);
  } else {
    TResultado aberto =
        destino ? AbreDocumento(*destino, ArquivoSaida) : AbreDocumento(ArquivoSaida);
    if (!aberto.ok) return aberto;
    escritor = std::make_unique<EscritorCaracteres>(*this);
  }

  const TPlanoImpressao plano = PaginasAImprimir(e, TotalPaginas());
  const TConfigProgresso config{ArquivoSaida.empty() ? "Imprimindo..." : "Gravando...",
                                TitulodoRelatorio, plano.passosProgresso, CorForm, CorFonte};
  TResultado resultado = PercorrePlano(*this, plano, config, MostrarProgresso, *escritor);
  if (ArquivoSaida.empty() && OnAfterPrint) OnAfterPrint(*this);
  return resultado;
}

}  // namespace report
