// The window tests' common ground and the process file fixtures.
#include "Ambiente.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "app/forms/TDBEdit.h"

namespace teste {

// A process file in the written layout.
std::string ProcessoFixture(const std::string& label, const std::string& descricao,
                            const std::vector<ItemFixture>& itens) {
  std::string s = "<processo label=\"" + label + "\" descricao=\"" + descricao +
                  "\" totalitens=\"" + std::to_string(itens.size()) + "\">\r\n<produtos>\r\n";
  for (const ItemFixture& i : itens) {
    s += "<produto>\r\n";
    s += " <ordem>" + i.ordem + "</ordem>\r\n";
    s += " <codigo>" + i.codigo + "</codigo>\r\n";
    s += " <nome>" + i.nome + "</nome>\r\n";
    s += " <descricao>" + i.descricao + "</descricao>\r\n";
    s += " <marca>" + i.marca + "</marca>\r\n";
    s += " <quantidade>" + i.quantidade + "</quantidade>\r\n";
    s += " <valor>" + i.valor + "</valor>\r\n";
    s += " <apuracao>" + i.apuracao + "</apuracao>\r\n";
    s += " <lote>" + i.lote + "</lote>\r\n";
    s += "</produto>\r\n";
  }
  s += "</produtos>\r\n</processo>\r\n";
  return s;
}

// The four-item process of the tests.
std::string ProcessoPadrao() {
  return ProcessoFixture(
      "20240007", "Preg\xE3o 7/2024 & material",
      {{"1", "C-001", "Caneta azul",
        "Caneta esferogr\xE1"
        "fica",
        "", "10", "", "1", "1"},
       {"2", "C-002", "L\xE1pis preto", "L\xE1pis HB", "Fa:ber", "2,5", "1,2", "1", "1"},
       {"3", "P-010", "Papel A4", "Resma de 500 folhas", "", "4", "", "2", "2"},
       {"4", "P-011", "Envelope", "Envelope pardo", "", "1", "", "2", "2"}});
}

// A folder with the process file, the scripted platform and the window, shown and active.
Ambiente::Ambiente(const std::string& bytes) : escopo_(plataforma) {
  // Recovery journals go to this test's folder, never to the user's.
  ::setenv("XDG_DATA_HOME", (pasta.path().toStdString() + "/dados").c_str(), 1);
  processo = pasta.path().toStdString() + "/proc.xml";
  Grava(processo, bytes);
  janela = std::make_unique<app::forms::TForm1>();
  janela->DBEdit1->aoBipe = [this] { ++bipes; };
  janela->DBEdit2->aoBipe = [this] { ++bipes; };
  janela->show();
  janela->activateWindow();
  QApplication::setActiveWindow(janela.get());
  if (!QTest::qWaitForWindowActive(janela.get())) qWarning("the window did not become active");
  Processa();
}

Ambiente::~Ambiente() {
  janela->hide();
  janela.reset();
}

// Opens the process file through "&Abrir Processo".
void Ambiente::Abre() {
  plataforma.arquivosAbrir.push_back(processo);
  QTest::mouseClick(janela->BitBtn1, Qt::LeftButton);
  Processa();
}

// Types text into the focused control, one key event per character.
void Ambiente::Digita(const QString& texto) {
  for (QChar c : texto) {
    QWidget* alvo = Foco();
    if (!alvo) return;
    if (c.unicode() < 0x80)
      QTest::keyClick(alvo, static_cast<char>(c.unicode()));
    else
      QTest::sendKeyEvent(QTest::Click, alvo, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  Processa();
}

// One key into the focused control.
void Ambiente::Tecla(int tecla, Qt::KeyboardModifiers mod) {
  if (QWidget* alvo = Foco()) QTest::keyClick(alvo, static_cast<Qt::Key>(tecla), mod);
  Processa();
}

// Lets pending refreshes run.
void Ambiente::Processa() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// The control that has the focus.
QWidget* Ambiente::Foco() { return QApplication::focusWidget(); }

}  // namespace teste
