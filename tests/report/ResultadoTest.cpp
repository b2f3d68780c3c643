// One error channel: an operation of the engine returns its failure with the user's message and
// shows nothing; the function the windows and the command line call shows that message once.
#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

namespace {

struct Saida {
  const char* nome;
  std::function<TResultado(TRDprint&, const std::string&)> escreve;
  std::function<bool(TRDprint&, const std::string&)> grava;
};

const Saida kSaidas[] = {
    {"rdp", [](TRDprint& r, const std::string& a) { return r.EscreveRDP(a); },
     [](TRDprint& r, const std::string& a) { return r.GravaRDP(a); }},
    {"txt", [](TRDprint& r, const std::string& a) { return r.EscreveTXT(a); },
     [](TRDprint& r, const std::string& a) { return r.GravaTXT(a); }},
    {"prn", [](TRDprint& r, const std::string& a) { return r.EscrevePRN(a); },
     [](TRDprint& r, const std::string& a) { return r.GravaPRN(a); }},
    {"html", [](TRDprint& r, const std::string& a) { return r.EscreveHTML(a); },
     [](TRDprint& r, const std::string& a) { return r.GravaHTML(a); }},
    {"pdf", [](TRDprint& r, const std::string& a) { return r.EscrevePDF(a); },
     [](TRDprint& r, const std::string& a) { return r.GravaPDF(a); }},
    {"carrega", [](TRDprint& r, const std::string& a) { return r.CarregaRDP(a); },
     [](TRDprint& r, const std::string& a) { return r.LeRDP(a); }},
};

}  // namespace

TEST_F(RelatorioTeste, AFailedOutputReturnsItsMessageAndTheEdgeShowsItOnce) {
  rd->Impressora = TModelo::Epson;
  ASSERT_TRUE(rd->Abrir());
  rd->ImpF(1, 1, "texto", normal, clBlack);
  std::vector<std::string> eventos;
  rd->OnErro = [&](TRDprint&, const std::string& m) { eventos.push_back(m); };
  const std::string arquivo = Caminho("pasta-que-falta") + "/saida";
  for (const Saida& s : kSaidas) {
    plataforma.caixas.clear();
    plataforma.erros.clear();
    eventos.clear();
    const TResultado r = s.escreve(*rd, arquivo);
    EXPECT_FALSE(r.ok) << s.nome;
    EXPECT_NE(r.caixa, TCaixa::Nenhuma) << s.nome;
    EXPECT_FALSE(r.mensagem.empty()) << s.nome;
    EXPECT_TRUE(plataforma.caixas.empty() && plataforma.erros.empty() && eventos.empty()) << s.nome;

    EXPECT_FALSE(s.grava(*rd, arquivo)) << s.nome;
    std::vector<std::string> mostradas = eventos;
    for (const auto& c : plataforma.caixas) mostradas.push_back(c.texto);
    mostradas.insert(mostradas.end(), plataforma.erros.begin(), plataforma.erros.end());
    EXPECT_EQ(mostradas, std::vector<std::string>{r.mensagem}) << s.nome;
  }
}

TEST_F(RelatorioTeste, AWrongCommandCountWarnsEvenWhenTheFileLoads) {
  const std::string arquivo = Caminho("conta.rdp");
  EscreveArquivo(arquivo,
                 "<< RDprint 6.0 - Deltress Sistemas >>\r\n<< ESTE  ARQUIVO N\xC3O DEVE SER "
                 "EDITADO >>\r\n000005\r\nT\r\n000066\r\n000080\r\n6\r\nF10\r\n\r\n" +
                     teste::Comando(1, 1, 1, 16, 'T', "um") + "\r\n");
  const TResultado r = rd->CarregaRDP(arquivo);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.caixa, TCaixa::Aviso);
  EXPECT_EQ(r.mensagem, "RDPrint: Erro no controle, relat\xF3rio pode causar erro");
  EXPECT_TRUE(plataforma.caixas.empty());
}
