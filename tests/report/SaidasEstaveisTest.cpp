// Every output of the engine, for the bundled example's listing and for the benchmarks' generated
// listing, compared with digests recorded from a known-good build: a change of the writers' shape
// must not change one byte of a report file, text, printer stream (each model and print option),
// HTML or PDF document, nor of a report file loaded and written again, nor of a raw print job.
#include <cstdlib>
#include <functional>
#include <map>

#include "../../bench/ListagemBench.h"
#include "app/ProcessoArquivo.h"
#include "report/RelatorioTeste.h"

using namespace report;

namespace {

// The size and the 64-bit FNV-1a digest of the bytes, as "size:hex".
std::string Digesto(const std::string& bytes) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
  return std::to_string(bytes.size()) + ":" + hex;
}

// The bytes with the output's own name (an HTML page is titled with it; the test's folder differs
// from run to run) written as "SAIDA".
std::string SemPasta(std::string bytes, const std::string& arquivo) {
  for (size_t at = bytes.find(arquivo); at != std::string::npos; at = bytes.find(arquivo, at))
    bytes.replace(at, arquivo.size(), "SAIDA");
  return bytes;
}

// The print settings a .prn output may take, as the command line's options set them.
struct Opcoes {
  const char* nome;
  std::function<void(TEstadoRelatorio&)> aplica;
};
const Opcoes kOpcoes[] = {
    {"paginas", [](TEstadoRelatorio& e) { e.IntervaloPaginas = "3,1,2-4"; }},
    {"impares", [](TEstadoRelatorio& e) { e.ParImpar = 1; }},
    {"pares", [](TEstadoRelatorio& e) { e.ParImpar = 2; }},
    {"copias", [](TEstadoRelatorio& e) { e.Copias = 2; }},
    {"sem-agrupar", [](TEstadoRelatorio& e) { e.Copias = 2, e.Agrupar = false; }},
    {"inversa", [](TEstadoRelatorio& e) { e.OrdemInversa = true; }},
};

const std::pair<const char*, TModelo> kModelos[] = {
    {"epson", TModelo::Epson},   {"rima", TModelo::Rima},
    {"hp", TModelo::HP},         {"personalizado", TModelo::Personalizado},
    {"bobina", TModelo::Bobina}, {"daruma", TModelo::Daruma},
};

using Gravador = std::function<bool(TRDprint&, const std::string&)>;

// Every output of one composed report, by name; each is written from a fresh composition, as one
// run of the command line does.
std::map<std::string, Gravador> Saidas() {
  std::map<std::string, Gravador> s;
  s["rdp"] = [](TRDprint& rd, const std::string& a) { return rd.GravaRDP(a); };
  s["txt"] = [](TRDprint& rd, const std::string& a) { return rd.GravaTXT(a); };
  s["html"] = [](TRDprint& rd, const std::string& a) { return rd.GravaHTML(a); };
  s["pdf"] = [](TRDprint& rd, const std::string& a) { return rd.GravaPDF(a); };
  for (const auto& [nome, modelo] : kModelos) {
    const TModelo m = modelo;
    auto prn = [m](const std::function<void(TEstadoRelatorio&)>& opcoes) {
      return [m, opcoes](TRDprint& rd, const std::string& a) {
        rd.Impressora = m;
        rd.ConfiguraComandos(rd.Impressora, rd.TamanhoQteLinhas, rd.TamanhoQteLPP);
        if (opcoes) opcoes(EstadoRelatorio());
        return rd.GravaPRN(a);
      };
    };
    s[std::string("prn-") + nome] = prn({});
    for (const Opcoes& o : kOpcoes) s[std::string("prn-") + nome + "-" + o.nome] = prn(o.aplica);
  }
  return s;
}

// The digests recorded before the writers were reshaped.
const std::map<std::string, std::string> kEsperados = {
    {"bench-html", "3977308:134adad225520cf3"},
    {"bench-pdf", "609885:5c504b8f1717a102"},
    {"bench-prn-bobina", "1643539:249bdb73cf2ccea5"},
    {"bench-prn-bobina-copias", "3287078:70e19ec4acf63925"},
    {"bench-prn-bobina-impares", "822575:a04f8ddad09e438f"},
    {"bench-prn-bobina-inversa", "1643539:e0fdfa58a17268f5"},
    {"bench-prn-bobina-paginas", "41055:4b75666f83915c45"},
    {"bench-prn-bobina-pares", "820964:01e52aa317e72cc1"},
    {"bench-prn-bobina-sem-agrupar", "3287078:a4a39ac6d8587329"},
    {"bench-prn-daruma", "1643762:5b1b9035d0bfc871"},
    {"bench-prn-daruma-copias", "3287502:8f81d1f298b080f9"},
    {"bench-prn-daruma-impares", "822698:92f2fd085d902011"},
    {"bench-prn-daruma-inversa", "1643762:e460b0a48270c1a9"},
    {"bench-prn-daruma-paginas", "41082:0b42a9739956ce9f"},
    {"bench-prn-daruma-pares", "821086:9400b8d930974811"},
    {"bench-prn-daruma-sem-agrupar", "3287502:fdfff26827bde931"},
    {"bench-prn-epson", "1643763:88cf3a789d8a1b98"},
    {"bench-prn-epson-copias", "3287503:fe885b86879fcc9a"},
    {"bench-prn-epson-impares", "822699:9ef671352bca0d44"},
    {"bench-prn-epson-inversa", "1643763:35294d8a245ae910"},
    {"bench-prn-epson-paginas", "41083:02b47ad7d712b37e"},
    {"bench-prn-epson-pares", "821087:299b1eb97469bcb2"},
    {"bench-prn-epson-sem-agrupar", "3287503:2fd676d931fef56a"},
    {"bench-prn-hp", "1644593:41315d29da83bcc2"},
    {"bench-prn-hp-copias", "3289137:14fc128b64049ee3"},
    {"bench-prn-hp-impares", "823129:cb0716992ead3496"},
    {"bench-prn-hp-inversa", "1644593:6bb14ce318b705ea"},
    {"bench-prn-hp-paginas", "41129:1563dcbbfd108cc4"},
    {"bench-prn-hp-pares", "821513:b8e8a7ec781b679b"},
    {"bench-prn-hp-sem-agrupar", "3289137:7bda6fe206743333"},
    {"bench-prn-personalizado", "1643761:10fb5770d77a50c4"},
    {"bench-prn-personalizado-copias", "3287501:5703c8216f6401d6"},
    {"bench-prn-personalizado-impares", "822697:cd2d09dffbad5ec0"},
    {"bench-prn-personalizado-inversa", "1643761:b8a775cb16fca77c"},
    {"bench-prn-personalizado-paginas", "41081:f9a6eabf7970ad12"},
    {"bench-prn-personalizado-pares", "821085:26991c8bf844d86e"},
    {"bench-prn-personalizado-sem-agrupar", "3287501:0636480c58a700c6"},
    {"bench-prn-rima", "1643758:89472a5689265d81"},
    {"bench-prn-rima-copias", "3287498:a457f3c285a5e9c8"},
    {"bench-prn-rima-impares", "822694:60172e829024fdfd"},
    {"bench-prn-rima-inversa", "1643758:e04226d684a232d1"},
    {"bench-prn-rima-paginas", "41078:1cc15a2d7e29b75b"},
    {"bench-prn-rima-pares", "821082:a713c157b8624c28"},
    {"bench-prn-rima-sem-agrupar", "3287498:aeb4e264bd7b4f80"},
    {"bench-rdp", "2573736:0fbfaa27575916fe"},
    {"bench-txt", "1644341:0f4929febb33babb"},
    {"exemplo-html", "8773:713295c647a9cf2b"},
    {"exemplo-pdf", "4158:4a83f4fc1b31d3a9"},
    {"exemplo-prn-bobina", "4011:39c844be6ca4be74"},
    {"exemplo-prn-bobina-copias", "8022:941bfa9f00caaf17"},
    {"exemplo-prn-bobina-impares", "4011:39c844be6ca4be74"},
    {"exemplo-prn-bobina-inversa", "4011:39c844be6ca4be74"},
    {"exemplo-prn-bobina-paginas", "4011:39c844be6ca4be74"},
    {"exemplo-prn-bobina-pares", "0:cbf29ce484222325"},
    {"exemplo-prn-bobina-sem-agrupar", "8022:941bfa9f00caaf17"},
    {"exemplo-prn-daruma", "4034:2896f2ea3c12feda"},
    {"exemplo-prn-daruma-copias", "8046:a25327c2881bed25"},
    {"exemplo-prn-daruma-impares", "4034:2896f2ea3c12feda"},
    {"exemplo-prn-daruma-inversa", "4034:2896f2ea3c12feda"},
    {"exemplo-prn-daruma-paginas", "4034:2896f2ea3c12feda"},
    {"exemplo-prn-daruma-pares", "22:e94538586c5a9589"},
    {"exemplo-prn-daruma-sem-agrupar", "8046:a25327c2881bed25"},
    {"exemplo-prn-epson", "4035:b445ad67f5c91c3b"},
    {"exemplo-prn-epson-copias", "8047:c9a8670b50c35f86"},
    {"exemplo-prn-epson-impares", "4035:b445ad67f5c91c3b"},
    {"exemplo-prn-epson-inversa", "4035:b445ad67f5c91c3b"},
    {"exemplo-prn-epson-paginas", "4035:b445ad67f5c91c3b"},
    {"exemplo-prn-epson-pares", "23:70c56f267a5071de"},
    {"exemplo-prn-epson-sem-agrupar", "8047:c9a8670b50c35f86"},
    {"exemplo-prn-hp", "4065:3934afc7832dd609"},
    {"exemplo-prn-hp-copias", "8081:2fdf50528dcdb62f"},
    {"exemplo-prn-hp-impares", "4065:3934afc7832dd609"},
    {"exemplo-prn-hp-inversa", "4065:3934afc7832dd609"},
    {"exemplo-prn-hp-paginas", "4065:3934afc7832dd609"},
    {"exemplo-prn-hp-pares", "49:6a77b5eb67cbafc3"},
    {"exemplo-prn-hp-sem-agrupar", "8081:2fdf50528dcdb62f"},
    {"exemplo-prn-personalizado", "4033:b4888b8f8ad33f2f"},
    {"exemplo-prn-personalizado-copias", "8045:1a57bf6592691732"},
    {"exemplo-prn-personalizado-impares", "4033:b4888b8f8ad33f2f"},
    {"exemplo-prn-personalizado-inversa", "4033:b4888b8f8ad33f2f"},
    {"exemplo-prn-personalizado-paginas", "4033:b4888b8f8ad33f2f"},
    {"exemplo-prn-personalizado-pares", "21:849ed2026606a0fa"},
    {"exemplo-prn-personalizado-sem-agrupar", "8045:1a57bf6592691732"},
    {"exemplo-prn-rima", "4030:92b4855661de8490"},
    {"exemplo-prn-rima-copias", "8042:c56d37cbe17a7df4"},
    {"exemplo-prn-rima-impares", "4030:92b4855661de8490"},
    {"exemplo-prn-rima-inversa", "4030:92b4855661de8490"},
    {"exemplo-prn-rima-paginas", "4030:92b4855661de8490"},
    {"exemplo-prn-rima-pares", "18:2f4d9c4b22f78a9c"},
    {"exemplo-prn-rima-sem-agrupar", "8042:c56d37cbe17a7df4"},
    {"exemplo-rdp", "4571:fb981a82a82bd251"},
    {"exemplo-txt", "4013:7d6d01976fe44821"},
    {"exportar-html", "8773:79e54ee973267460"},
    {"exportar-pdf", "4152:6827b7b5bb3503a3"},
    {"exportar-prn-bobina", "4011:39c844be6ca4be74"},
    {"exportar-prn-bobina-copias", "8022:941bfa9f00caaf17"},
    {"exportar-prn-bobina-impares", "4011:39c844be6ca4be74"},
    {"exportar-prn-bobina-inversa", "4011:39c844be6ca4be74"},
    {"exportar-prn-bobina-paginas", "4011:39c844be6ca4be74"},
    {"exportar-prn-bobina-pares", "0:cbf29ce484222325"},
    {"exportar-prn-bobina-sem-agrupar", "8022:941bfa9f00caaf17"},
    {"exportar-prn-daruma", "4034:2896f2ea3c12feda"},
    {"exportar-prn-daruma-copias", "8046:a25327c2881bed25"},
    {"exportar-prn-daruma-impares", "4034:2896f2ea3c12feda"},
    {"exportar-prn-daruma-inversa", "4034:2896f2ea3c12feda"},
    {"exportar-prn-daruma-paginas", "4034:2896f2ea3c12feda"},
    {"exportar-prn-daruma-pares", "22:e94538586c5a9589"},
    {"exportar-prn-daruma-sem-agrupar", "8046:a25327c2881bed25"},
    {"exportar-prn-epson", "4035:b445ad67f5c91c3b"},
    {"exportar-prn-epson-copias", "8047:c9a8670b50c35f86"},
    {"exportar-prn-epson-impares", "4035:b445ad67f5c91c3b"},
    {"exportar-prn-epson-inversa", "4035:b445ad67f5c91c3b"},
    {"exportar-prn-epson-paginas", "4035:b445ad67f5c91c3b"},
    {"exportar-prn-epson-pares", "23:70c56f267a5071de"},
    {"exportar-prn-epson-sem-agrupar", "8047:c9a8670b50c35f86"},
    {"exportar-prn-hp", "4065:3934afc7832dd609"},
    {"exportar-prn-hp-copias", "8081:2fdf50528dcdb62f"},
    {"exportar-prn-hp-impares", "4065:3934afc7832dd609"},
    {"exportar-prn-hp-inversa", "4065:3934afc7832dd609"},
    {"exportar-prn-hp-paginas", "4065:3934afc7832dd609"},
    {"exportar-prn-hp-pares", "49:6a77b5eb67cbafc3"},
    {"exportar-prn-hp-sem-agrupar", "8081:2fdf50528dcdb62f"},
    {"exportar-prn-personalizado", "4033:b4888b8f8ad33f2f"},
    {"exportar-prn-personalizado-copias", "8045:1a57bf6592691732"},
    {"exportar-prn-personalizado-impares", "4033:b4888b8f8ad33f2f"},
    {"exportar-prn-personalizado-inversa", "4033:b4888b8f8ad33f2f"},
    {"exportar-prn-personalizado-paginas", "4033:b4888b8f8ad33f2f"},
    {"exportar-prn-personalizado-pares", "21:849ed2026606a0fa"},
    {"exportar-prn-personalizado-sem-agrupar", "8045:1a57bf6592691732"},
    {"exportar-prn-rima", "4030:92b4855661de8490"},
    {"exportar-prn-rima-copias", "8042:c56d37cbe17a7df4"},
    {"exportar-prn-rima-impares", "4030:92b4855661de8490"},
    {"exportar-prn-rima-inversa", "4030:92b4855661de8490"},
    {"exportar-prn-rima-paginas", "4030:92b4855661de8490"},
    {"exportar-prn-rima-pares", "18:2f4d9c4b22f78a9c"},
    {"exportar-prn-rima-sem-agrupar", "8042:c56d37cbe17a7df4"},
    {"exportar-rdp", "4571:fb981a82a82bd251"},
    {"exportar-txt", "4013:7d6d01976fe44821"},
    {"imprimir-bobina", "4011:39c844be6ca4be74"},
    {"imprimir-daruma", "4034:2896f2ea3c12feda"},
    {"imprimir-epson", "4035:b445ad67f5c91c3b"},
    {"imprimir-hp", "4065:3934afc7832dd609"},
    {"imprimir-personalizado", "4033:b4888b8f8ad33f2f"},
    {"imprimir-rima", "4030:92b4855661de8490"},
};

class SaidasEstaveis : public teste::RelatorioTeste {
 protected:
  void SetUp() override { setenv("SOURCE_DATE_EPOCH", "1700000000", 1); }
  void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

  // Composes the listing of `tabela` (as "Relatório" does) and writes one output while it is open.
  std::string Compoe(app::TTabelaItens& tabela, const Gravador& grava, const std::string& ext) {
    std::string bytes;
    const std::string arquivo = Caminho("saida." + ext);
    bench::Compoe(tabela, [&](TRDprint& rd) {
      rd.MostrarProgresso = false;
      EXPECT_TRUE(grava(rd, arquivo));
      bytes = LeArquivo(arquivo);
    });
    return SemPasta(bytes, arquivo);
  }

  // Checks one output against its recorded digest, printing the row to record when it differs.
  void Confere(const std::string& nome, const std::string& bytes) {
    const std::string d = Digesto(bytes);
    auto it = kEsperados.find(nome);
    EXPECT_TRUE(it != kEsperados.end() && it->second == d)
        << "    {\"" << nome << "\", \"" << d << "\"},";
  }

  void ConfereListagem(const std::string& prefixo, app::TTabelaItens& tabela) {
    for (const auto& [nome, grava] : Saidas()) {
      const std::string ext = nome.substr(0, nome.find('-'));
      Confere(prefixo + nome, Compoe(tabela, grava, ext));
    }
  }
};

TEST_F(SaidasEstaveis, TheExampleListingWritesTheRecordedBytes) {
  app::TTabelaItens tabela;
  app::LerProcesso(PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml", tabela);
  ConfereListagem("exemplo-", tabela);
}

TEST_F(SaidasEstaveis, TheBenchmarkListingWritesTheRecordedBytes) {
  ConfereListagem("bench-", bench::Tabela(10000));
}

TEST_F(SaidasEstaveis, AReportFileLoadedAndWrittenAgainWritesTheRecordedBytes) {
  app::TTabelaItens tabela;
  app::LerProcesso(PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml", tabela);
  const std::string rdp = Caminho("exemplo.rdp");
  bench::Compoe(tabela, [&](TRDprint& rd) { rd.GravaRDP(rdp); });
  for (const auto& [nome, grava] : Saidas()) {
    const std::string ext = nome.substr(0, nome.find('-'));
    const std::string arquivo = Caminho("exportado." + ext);
    // As the command line's exportar: a component with the engine's defaults.
    ReiniciaEstadoRelatorio();
    TRDprint outro;
    outro.PortaComunicacao = "nenhuma";
    outro.MostrarProgresso = false;
    outro.OpcoesPreview.Preview = true;
    janelas.aoPreview = [&](TRDprint& r) {
      EXPECT_TRUE(r.LeRDP(rdp));
      EXPECT_TRUE(grava(r, arquivo));
    };
    ASSERT_TRUE(outro.Abrir());
    outro.Fechar();
    Confere("exportar-" + nome, SemPasta(LeArquivo(arquivo), arquivo));
  }
}

TEST_F(SaidasEstaveis, ARawPrintJobSendsTheRecordedBytes) {
  app::TTabelaItens tabela;
  app::LerProcesso(PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml", tabela);
  plataforma.impressora = platform::PrinterInfo{"matricial", "matricial", "", ""};
  for (const auto& [nome, modelo] : kModelos) {
    plataforma.bytesImpressos.clear();
    bench::Compoe(tabela, [&, m = modelo](TRDprint& rd) {
      rd.MostrarProgresso = false;
      rd.Impressora = m;
      rd.ConfiguraComandos(rd.Impressora, rd.TamanhoQteLinhas, rd.TamanhoQteLPP);
      EXPECT_TRUE(rd.ImprimeRelatorio(""));
    });
    Confere(std::string("imprimir-") + nome, plataforma.bytesImpressos);
  }
}

}  // namespace
