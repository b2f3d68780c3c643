// The character printer's output channel as a value: the print job says whether every byte went
// out, through the spooler or straight to a port, and shows the messages of each path once.
#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

TEST_F(RelatorioTeste, ThePrintJobSaysWhetherEveryByteWentOut) {
  const struct {
    const char* caso;
    bool spooler;
    std::string porta;
    bool falhaAoEscrever, recusaNoInicio, imprimir;
    bool esperado;
    std::vector<std::string> caixas, erros;
  } casos[] = {
      {"spooler", true, "", false, false, true, true, {}, {}},
      {"o inicio nao foi impresso", true, "", false, false, false, false, {}, {}},
      {"spooler recusa o trabalho", true, "", false, true, true, false, {"Error 5"}, {}},
      {"spooler perde bytes",
       true,
       "",
       true,
       false,
       true,
       false,
       {"Error 5\r\rfalha no trabalho"},
       {}},
      {"porta cheia",
       false,
       "/dev/full",
       false,
       false,
       true,
       false,
       {},
       {"Erro #03 - I/O 28 /dev/full"}},
      {"porta", false, "/dev/null", false, false, true, true, {}, {}},
  };
  for (const auto& c : casos) {
    report::ReiniciaEstadoRelatorio();
    TRDprint r;
    r.PortaComunicacao = c.porta.empty() ? "nenhuma" : c.porta;
    r.UsaGerenciadorImpr = c.spooler;
    r.Impressora = TModelo::Bobina;
    ASSERT_TRUE(r.Abrir());
    r.ImpF(1, 1, "texto", normal, clBlack);
    std::vector<std::string> erros;
    r.OnErro = [&](TRDprint&, const std::string& m) { erros.push_back(m); };
    r.OnBeforePrint = [&](TRDprint&, bool& continuar) { continuar = c.imprimir; };
    plataforma.caixas.clear();
    plataforma.trabalhoFalhaAoEscrever = c.falhaAoEscrever;
    plataforma.aceitaTrabalho = !c.recusaNoInicio;
    EXPECT_EQ(r.ImprimeRelatorio(""), c.esperado) << c.caso;
    std::vector<std::string> caixas;
    for (const auto& x : plataforma.caixas) caixas.push_back(x.texto);
    EXPECT_EQ(caixas, c.caixas) << c.caso;
    EXPECT_EQ(erros, c.erros) << c.caso;
    EXPECT_FALSE(EstadoRelatorio().canal.saida) << c.caso;  // the channel is closed either way
  }
}
