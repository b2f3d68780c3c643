// The printer model of a printer name, with the platform's description and make and model of that
// printer tried when the name alone gives the graphic model.
#include "report/RelatorioTeste.h"

using namespace report;

TEST(MapeiaImpressora, TheNameDecidesElseTheDescriptionElseTheMakeAndModel) {
  teste::PlataformaRoteiro plataforma;
  plataforma.impressoras = {{"lx300", "", "Epson LX-300+", "Local Raw Printer"},
                            {"caixa", "", "", "Generic Text-Only Printer"},
                            {"emilia", "", "Epson LX-300+", ""},
                            {"deskjet", "", "Epson LX-300+", ""},
                            {"balcao", "", "Impressora do balc\xE3o", "Bematech MP-4200"},
                            {"sala", "", "Sala 2", "Local Raw Printer"}};
  platform::ScopedPlatform guarda(plataforma);
  ReiniciaEstadoRelatorio();
  TRDprint rd;
  const struct {
    const char* nome;
    TModelo modelo;
  } casos[] = {
      {"LX300", TModelo::Epson},    // found without regard to case, by its description
      {"caixa", TModelo::Epson},    // by its make and model (GENERIC=EPSON)
      {"emilia", TModelo::Rima},    // the name decides before the description
      {"deskjet", TModelo::Epson},  // a name mapped to the graphic model is tried further
      {"balcao", TModelo::Bobina},  // the description says nothing, the make and model does
      {"sala", TModelo::Grafico},  {"ausente", TModelo::Grafico},  // not a printer of the platform
      {"", TModelo::Grafico},
  };
  for (const auto& c : casos) {
    rd.Impressora = TModelo::Personalizado;
    rd.MapeiaImpressora(c.nome);
    EXPECT_EQ(rd.Impressora, c.modelo) << c.nome;
  }
  ReiniciaEstadoRelatorio();
}
