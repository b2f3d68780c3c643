// The data-aware edit: a line edit bound to one field of the item table. It shows the current row's
// value, puts the row into edit mode when the user types, keeps a "modified" mark until its text is
// written into the row (just before a post, or when the focus leaves it), gives the stored value
// back on Esc, and filters the keys the field refuses (the price field beeps).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/TabelaItens.h"
#include "app/forms/TEdit.h"

namespace app::forms {

class TDBEdit : public TEdit {
  Q_OBJECT

 public:
  TDBEdit(QWidget* parent, TTabelaItens& tabela, Campo campo);

  // True after the user changed the text and it was not written into the row yet.
  bool Modificado() const { return modificado_; }
  // Shows the current row's value of the field (its edit text); clears the modified mark.
  void MostraCampo();
  // The row changed or was posted: the shown text is stale and no longer counts as modified.
  void DescartaModificacao() { modificado_ = false; }
  // Writes the text into the row when modified (AtribuiTexto); raises what the field raises, and
  // then stays modified.
  void EscreveNoCampo();

  // The user's character handler, before the edit's own (Enter, Backspace and printable
  // characters, as Windows-1252 bytes); setting the key to 0 discards it.
  std::function<void(char& key)> OnKeyPress;
  // The text changed (typing, pasting, or a row shown).
  std::function<void()> OnChange;
  // Brings the shown value up to date before a key or the focus is handled (the window shows rows
  // lazily).
  std::function<void()> aoSincronizar;
  // Writes the edited texts into the row when the focus leaves; returns the error text when that
  // was refused (the focus then comes back here).
  std::function<std::optional<std::string>()> aoSair;
  // The row went into edit mode through this edit.
  std::function<void()> aoEditar;
  // Sounds the refusal beep (replaceable by tests).
  std::function<void()> aoBipe;
  // The field refused a typed character (after the beep): the window says why.
  std::function<void(char key)> aoRecusar;
  // True from a refusal of the edited text on leaving until its error box was shown: the move
  // that took the focus away must not post the row and show the same error again.
  bool RecusaPendente() const { return recusaPendente_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void AntesDeEntrar() override;
  bool PodeSair() override;

 private:
  bool PodeModificar() const;
  bool Edita();
  void Restaura();
  void TextoMudou();

  TTabelaItens& tabela_;
  Campo campo_;
  bool modificado_ = false;
  bool mostrando_ = false;
  bool recusaPendente_ = false;
};

}  // namespace app::forms
