#include "app/forms/TDBEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTimer>

#include "app/RegrasEntrada.h"
#include "app/forms/Protecao.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"

namespace app::forms {

namespace {
// The character a key types (Enter, Backspace or a printable one, as Windows-1252) in doEvento,
// and in tecla what the edit takes it as: in a price the keypad's decimal key is the decimal
// separator. False for the other keys.
bool CaractereDaTecla(const QKeyEvent* e, bool semAtalho, bool preco, char& doEvento, char& tecla) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
    doEvento = '\r';
  else if (e->key() == Qt::Key_Backspace && semAtalho)
    doEvento = '\x08';
  else if (semAtalho && e->text().size() == 1 && e->text()[0].isPrint()) {
    std::string b = platform::fromQString(e->text());
    doEvento = b.empty() ? '?' : b[0];
  } else
    return false;
  tecla = doEvento;
  if (preco && (e->modifiers() & Qt::KeypadModifier) && (tecla == '.' || tecla == ','))
    tecla = base::FormatoPadrao().separadorDecimal;
  return true;
}
}  // namespace

// A bound edit with no context menu and no drops: every change comes through the keyboard.
TDBEdit::TDBEdit(QWidget* parent, TTabelaItens& tabela, Campo campo)
    : TEdit(parent), tabela_(tabela), campo_(campo) {
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  size_t largura = TTabelaItens::Largura(campo);
  if (largura) setMaxLength(static_cast<int>(largura));
  connect(this, &QLineEdit::textChanged, this, [this] { TextoMudou(); });
  aoBipe = [] { QApplication::beep(); };
}

// The row can take typing: the table is open and has a current row.
bool TDBEdit::PodeModificar() const { return tabela_.Aberta() && !tabela_.Vazia(); }

// Puts the current row into edit mode; false when there is no row to edit.
bool TDBEdit::Edita() {
  if (!PodeModificar()) return false;
  if (tabela_.EstadoAtual() != TTabelaItens::Estado::Editando) {
    tabela_.Edita();
    if (aoEditar) aoEditar();
  }
  return true;
}

// Shows the current row's value of the field; clears the modified mark.
void TDBEdit::MostraCampo() {
  std::string texto = tabela_.Aberta() ? tabela_.TextoExibicao(campo_) : std::string();
  mostrando_ = true;
  QString q = platform::toQString(texto);
  if (q != text()) setText(q);
  mostrando_ = false;
  modificado_ = false;
}

// Writes the text into the row when modified.
void TDBEdit::EscreveNoCampo() {
  if (!modificado_) return;
  tabela_.AtribuiTexto(campo_, platform::fromQString(text()));
  modificado_ = false;
}

// Esc: the row's value comes back, selected.
void TDBEdit::Restaura() {
  MostraCampo();
  selectAll();
}

// A change of text by the user marks the edit modified (and the row edited); a shown row does not.
void TDBEdit::TextoMudou() {
  if (!mostrando_) {
    if (!PodeModificar()) {
      // Nothing to edit: the text goes back to what the (absent) row shows.
      MostraCampo();
      return;
    }
    Protege([this] { Edita(); });
    modificado_ = true;
  }
  if (OnChange) OnChange();
}

// Keys: Esc restores; characters go through the user's handler, then the field's filter, then
// into the edit with the row in edit mode; editing keys (Delete, paste, cut, undo) edit the row.
void TDBEdit::keyPressEvent(QKeyEvent* e) {
  if (aoSincronizar) aoSincronizar();
  const bool semAtalho =
      !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (e->key() == Qt::Key_Escape) {
    Restaura();
    e->accept();
    return;
  }
  char tecla = 0, doEvento = 0;
  const bool caractere = CaractereDaTecla(e, semAtalho, campo_ == Campo::valor, doEvento, tecla);
  if (!caractere) {
    bool edicao = e->key() == Qt::Key_Delete || e->matches(QKeySequence::Paste) ||
                  e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Undo) ||
                  e->matches(QKeySequence::Redo) || e->matches(QKeySequence::DeleteStartOfWord) ||
                  e->matches(QKeySequence::DeleteEndOfWord) ||
                  e->matches(QKeySequence::DeleteCompleteLine);
    if (edicao && !Protege([this] { Edita(); })) return;
    if (edicao && !PodeModificar()) {
      e->accept();
      return;
    }
    QLineEdit::keyPressEvent(e);
    return;
  }
  if (OnKeyPress && !Protege([&] { OnKeyPress(tecla); })) {
    e->accept();
    return;
  }
  e->accept();
  if (tecla == 0 || tecla == '\r') return;
  if (static_cast<unsigned char>(tecla) >= 0x20 && campo_ == Campo::valor &&
      !ValorAceitaCaractere(tecla)) {
    if (aoBipe) aoBipe();
    if (aoRecusar) aoRecusar(tecla);
    return;
  }
  if (static_cast<unsigned char>(tecla) < 0x20 && tecla != '\x08') return;
  bool pode = false;
  if (!Protege([&] { pode = Edita(); }) || !pode) return;
  if (tecla == doEvento)
    QLineEdit::keyPressEvent(e);
  else if (tecla == '\x08')
    backspace();
  else
    insert(platform::toQString(std::string(1, tecla)));
}

// Entering: the shown value is brought up to date before it is selected.
void TDBEdit::AntesDeEntrar() {
  if (aoSincronizar) aoSincronizar();
}

// Leaving for another control: the edited text is written into the row; when the row refuses it
// the focus comes back with the text selected and the error is shown.
bool TDBEdit::PodeSair() {
  if (modificado_ && aoSair) {
    if (auto erro = aoSair()) {
      std::string mensagem = *erro;
      recusaPendente_ = true;
      QTimer::singleShot(0, this, [this, mensagem] {
        recusaPendente_ = false;
        setFocus(Qt::OtherFocusReason);
        selectAll();
        platform::current().showApplicationError(mensagem);
      });
      return false;
    }
  }
  return true;
}

}  // namespace app::forms
