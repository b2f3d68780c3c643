// The window tests' common ground: a temporary folder with a process file, the scripted platform
// installed, the main window shown and active, and keys typed into whatever has the focus.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/forms/proposta.h"
#include "support/Arquivos.h"
#include "support/PlataformaRoteiro.h"

class QWidget;

namespace teste {

// A process file of `itens` items in the written layout (CR LF lines), each given as the nine
// values ordem, codigo, nome, descricao, marca, quantidade, valor, apuracao, lote.
struct ItemFixture {
  std::string ordem, codigo, nome, descricao, marca, quantidade, valor, apuracao, lote;
};
std::string ProcessoFixture(const std::string& label, const std::string& descricao,
                            const std::vector<ItemFixture>& itens);

// The four-item process of the tests: lot 1 = items 1 (no price) and 2 (brand "Fa:ber", 1,2),
// lot 2 = items 3 and 4 (no prices, lowest total price).
std::string ProcessoPadrao();

class Ambiente {
 public:
  explicit Ambiente(const std::string& bytes = ProcessoPadrao());
  ~Ambiente();

  // Opens the process file through "&Abrir Processo" with the dialog answering its path.
  void Abre();
  // Types text (one key event per character, Windows-1252 or not) into the focused control.
  void Digita(const QString& texto);
  // One key into the focused control.
  void Tecla(int tecla, Qt::KeyboardModifiers mod = Qt::NoModifier);
  // Lets the window's pending refreshes and timers run.
  static void Processa();
  // The control that has the focus.
  static QWidget* Foco();

  QTemporaryDir pasta;
  std::string processo;  // path of the process file
  PlataformaRoteiro plataforma;
  std::unique_ptr<app::forms::TForm1> janela;
  int bipes = 0;

 private:
  platform::ScopedPlatform escopo_;
};

}  // namespace teste
