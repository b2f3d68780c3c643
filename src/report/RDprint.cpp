// TRDprint's construction, defaults, numbered errors and page metrics.
#include "report/RDprint.h"

#include <cmath>

#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDtabelas.h"

namespace report {

// The attribute number of a set.
int NumeroAtributo(TAtributos a) {
  int n = 0;
  for (const TLinhaAtributo& l : kAtributos)
    if (a.Contem(l.atributo)) n += l.valor;
  return n;
}

// The constructor's printer-name mapping table.
std::vector<std::string> TRDprint::MapeamentoPadrao() {
  return {"//--- Grafico Compativel com Windows/USB ---//",
          "//",
          "GRAFICO=GRAFICO",
          "HP=GRAFICO",
          "DESKJET=GRAFICO",
          "LASERJET=GRAFICO",
          "INKJET=GRAFICO",
          "STYLUS=GRAFICO",
          "EPL=GRAFICO",
          "USB=GRAFICO",
          "//",
          "//--- Linha Epson Matricial 9 e 24 agulhas ---//",
          "//",
          "EPSON=EPSON",
          "GENERIC=EPSON",
          "TEXT=EPSON",
          "LX-300=EPSON",
          "LX-810=EPSON",
          "FX-2170=EPSON",
          "FX-1170=EPSON",
          "LQ-1170=EPSON",
          "LQ-2170=EPSON",
          "OKIDATA=EPSON",
          "//",
          "//--- Rima e Emilia ---//",
          "//",
          "RIMA=RIMA",
          "EMILIA=RIMA",
          "//",
          "//--- Linha HP/Xerox padr\xE3o PCL ---//",
          "//",
          "PCL=HP",
          "//",
          "//--- Impressoras 40 Colunas ---//",
          "//",
          "DR700=DARUMA",
          "DARUMA=BOBINA",
          "SIGTRON=BOBINA",
          "SWEDA=BOBINA",
          "BEMATECH=BOBINA"};
}

// Sets every default; clears the process-wide open flag.
TRDprint::TRDprint() : Mapeamento(MapeamentoPadrao()) { EstadoRelatorio().aberto = false; }

TRDprint::~TRDprint() = default;

// An error box with an OK button.
void CaixaErro(const std::string& mensagem) {
  platform::current().messageBox(mensagem, "Erro", platform::mb::OK | platform::mb::ICONHAND);
}

// A warning box with an OK button.
void CaixaAviso(const std::string& mensagem) {
  platform::current().messageBox(mensagem, "Aviso",
                                 platform::mb::OK | platform::mb::ICONEXCLAMATION);
}

// The sink's own account, only when the old file may be lost.
std::string DetalheFalha(const platform::ByteSink& saida) {
  return saida.safeCopy().empty() ? std::string() : "\r\r" + saida.error().text;
}

// Numbered errors go to OnErro, else to an error box (unless only the event may hear them).
void TRDprint::ReportaErro(const std::string& mensagem, bool soEvento) {
  if (OnErro)
    OnErro(*this, mensagem);
  else if (!soEvento)
    CaixaErro(mensagem);
}

// One box per result, of the kind the result names.
bool TRDprint::Comunica(const TResultado& resultado) {
  switch (resultado.caixa) {
    case TCaixa::Nenhuma:
      break;
    case TCaixa::Erro:
      CaixaErro(resultado.mensagem);
      break;
    case TCaixa::Aviso:
      CaixaAviso(resultado.mensagem);
      break;
    case TCaixa::Aplicacao:
      platform::current().showApplicationError(resultado.mensagem);
      break;
    case TCaixa::Informacao:
      platform::current().showMessage(resultado.mensagem);
      break;
    case TCaixa::Numerado:
      ReportaErro(resultado.mensagem);
      break;
  }
  return resultado.ok;
}

// Fills the page metrics of graphic output from the component's settings.
void TRDprint::CalculaMedidas() {
  TRDFolha& f = EstadoRelatorio().folha;
  auto mm = [](int v) { return static_cast<int32_t>(std::trunc(v * 96 / 25.4)); };
  f.MargemEsquerda = mm(Margens.Left);
  f.MargemSuperior = mm(Margens.Top);
  f.MargemDireita = mm(Margens.Right);
  f.MargemInferior = mm(Margens.Bottom);
  f.LarguraRemalina = OpcoesPreview.Remalina ? 35 : 0;
  static const char* const fontes[] = {"Courier New", "Lucida Console", "Arial", "Verdana",
                                       "Tahoma"};
  f.NomeFonte = fontes[static_cast<int>(FonteGrafica)];
  f.TamanhoFonte = 10;
  f.AlturaLinha = TamanhoQteLPP == TLinha::Seis ? 16 : 12;
  f.LarguraBase = 8;
  f.MeiaLargura = 4;
  f.MeiaAltura = static_cast<int32_t>(std::nearbyint(f.AlturaLinha / 2.0));
  f.FatorLargura = Pitch(FonteTamanhoPadrao).fatorLargura;
  f.LarguraTexto =
      static_cast<int32_t>(std::nearbyint(TamanhoQteColunas * f.LarguraBase * f.FatorLargura));
  f.AlturaTexto = TamanhoQteLinhas * f.AlturaLinha;
}

}  // namespace report
