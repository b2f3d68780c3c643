// The message boxes of the utility unit: style per kind, captions, and the button passed back.
#include <gtest/gtest.h>

#include "support/PlataformaRoteiro.h"
#include "util/vekMsgUtils.h"

namespace {

using ScriptedPlatform = teste::PlataformaRoteiro;

TEST(MsgUtils, EachKindShowsItsButtonsAndIcon) {
  struct Row {
    int kind;
    int style;
  } rows[] = {{util::mkQuestion, 36},
              {util::mkWarning, 48},
              {util::mkError, 16},
              {util::mkInformation, 64},
              {util::mkQuestionCancel, 35},
              {5, 0},
              {7, 0},
              {-1, 0}};
  for (const Row& r : rows) {
    ScriptedPlatform p;
    platform::ScopedPlatform guard(p);
    util::showMessageBox("texto", "T\xEDtulo", r.kind);
    ASSERT_EQ(p.caixas.size(), 1u);
    EXPECT_EQ(p.caixas[0].estilo, r.style) << "kind " << r.kind;
    EXPECT_EQ(p.caixas[0].titulo, "T\xEDtulo");
    EXPECT_EQ(p.caixas[0].texto, "texto");
  }
}

TEST(MsgUtils, ShowMessageBoxReturnsTheButtonPressed) {
  ScriptedPlatform p;
  platform::ScopedPlatform guard(p);
  p.respostasCaixa = {platform::mb::IDNO, platform::mb::IDCANCEL};
  EXPECT_EQ(util::showMessageBox("Continuar?", "Confirma", util::mkQuestion), 7);
  EXPECT_EQ(util::showMessageBox("Continuar?", "Confirma", util::mkQuestionCancel), 2);
}

TEST(MsgUtils, ErrorAndWarningUseTheirCaptionsAndKeepLineBreaks) {
  ScriptedPlatform p;
  platform::ScopedPlatform guard(p);
  util::showError("linha 1\rlinha 2");
  util::showWarning("cuidado");
  ASSERT_EQ(p.caixas.size(), 2u);
  EXPECT_EQ(p.caixas[0].titulo, "Erro");
  EXPECT_EQ(p.caixas[0].estilo, 16);
  EXPECT_EQ(p.caixas[0].texto, "linha 1\rlinha 2");
  EXPECT_EQ(p.caixas[1].titulo, "Aviso");
  EXPECT_EQ(p.caixas[1].estilo, 48);
}

}  // namespace
