// proposta-cli goes the window's way with a recovery journal: opening the file offers it (the
// tool answers as a user who confirms), so `regravar` writes what a crashed run had typed.
#include <gtest/gtest.h>

#include "app/Proposta.h"
#include "support/Arquivos.h"
#include "support/ExecutaCli.h"

TEST(RecuperacaoCli, RegravarWritesWhatACrashedRunTypedAndRemovesTheJournal) {
  teste::PastaTemporaria pasta;
  std::string processo = pasta / "pregao.xml";
  teste::Grava(processo, teste::ExemploLote1Completo());
  std::string diario;
  {
    app::TProposta p;
    p.AbrirProcesso(processo);
    p.ClientDataSet1.Edita();
    p.ClientDataSet1.AtribuiTexto(app::Campo::marca, "Acme");
    p.ClientDataSet1.AtribuiTexto(app::Campo::valor, "3,5");
    p.ClientDataSet1.Grava();
    diario = p.Recuperacao().CaminhoDiario();
  }  // dropped without writing, as a crash drops it
  ASSERT_TRUE(std::filesystem::exists(diario));

  auto r = teste::ExecutaCli({"regravar", processo});
  EXPECT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(r.saida.find("que n\xC3\xA3o foram gravados. Recuperar?"), std::string::npos)
      << r.saida;
  EXPECT_NE(teste::Le(processo).find(" <marca>Acme</marca>\r\n <quantidade>80</quantidade>\r\n"
                                     " <valor>3,5</valor>"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(diario));
}
