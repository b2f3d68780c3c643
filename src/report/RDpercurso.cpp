// Reading the page store for one output.
#include "report/RDpercurso.h"

#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDprint.h"
#include "report/RDprogresso.h"

namespace report {

// The default pitch until an entry sets one.
TLeitorComandos::TLeitorComandos(TRDprint& rd) : rd_(rd) {
  comando_.Cpi = EstadoRelatorio().comandos.CpiPadrao;
}

// Decodes, reports what does not decode, replaces the macros.
const TComando* TLeitorComandos::Le(std::string_view entrada) {
  if (!DecodificaComando(entrada, comando_)) {
    rd_.ReportaErro("Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando " + std::string(entrada), true);
    return nullptr;
  }
  if (comando_.Texto.find('&') != std::string::npos)
    comando_.Texto = rd_.SubstituiMacros(comando_.Texto);
  return &comando_;
}

// Store order; the cancel request is looked at before each entry.
TResultado PercorreEntradas(TRDprint& rd, const TConfigProgresso& config, bool mostrar,
                            TEscritorRelatorio& escritor) {
  const TPaginasRelatorio* paginas = EstadoRelatorio().paginas.get();
  ProgressoRelatorio progresso(rd, mostrar, config);
  TLeitorComandos leitor(rd);
  const bool decodifica = escritor.QuerDecodificadas();
  if (paginas) {
    for (auto pos = paginas->Inicio(); pos != paginas->Fim(); paginas->Avanca(pos)) {
      if (!progresso.Entrada()) return escritor.Conclui({true, 0});
      const std::string_view entrada = paginas->Em(pos);
      const TComando* comando = nullptr;
      if (decodifica && !(comando = leitor.Le(entrada))) continue;
      if (!escritor.Entrada(entrada, comando)) break;
    }
  }
  return escritor.Conclui({});
}

namespace {

// The page copies of the plan; stops after the copy at which a cancel request is seen or which
// the printer did not take.
TFimPercurso CopiasDoPlano(const TPlanoImpressao& plano, TEscritorRelatorio& escritor,
                           ProgressoRelatorio& progresso) {
  const TEstadoRelatorio& e = EstadoRelatorio();
  platform::Platform& plataforma = platform::current();
  TFimPercurso fim;
  for (int passe = 0; passe < plano.passes; ++passe) {
    for (int pagina : plano.paginas) {
      for (int copia = 0; copia < plano.copiasPorPagina; ++copia) {
        const bool aceita = escritor.Pagina(pagina);
        ++fim.paginas;
        plataforma.processMessages();
        progresso.Passo();
        fim.cancelado = e.cancelamento;
        if (fim.cancelado || !aceita) return fim;
      }
    }
    plataforma.processMessages();
    progresso.Repinta();
    fim.cancelado = e.cancelamento;
    if (fim.cancelado) return fim;
  }
  return fim;
}

}  // namespace

// The copies, then the writer's conclusion; an error escaping a page lets the output go.
TResultado PercorrePlano(TRDprint& rd, const TPlanoImpressao& plano, const TConfigProgresso& config,
                         bool mostrar, TEscritorRelatorio& escritor) {
  TFimPercurso fim;
  try {
    ProgressoRelatorio progresso(rd, mostrar, config);
    fim = CopiasDoPlano(plano, escritor, progresso);
  } catch (...) {
    escritor.Abandona();
    throw;
  }
  return escritor.Conclui(fim);
}

}  // namespace report
