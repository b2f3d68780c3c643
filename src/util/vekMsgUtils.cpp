#include "util/vekMsgUtils.h"

#include "platform/Platform.h"

namespace util {

// Maps a message kind to the buttons-and-icon style value of the platform's message box.
int messageKindStyle(int kind) {
  namespace mb = platform::mb;
  switch (kind) {
    case mkQuestion:
      return mb::YESNO | mb::ICONQUESTION;
    case mkWarning:
      return mb::OK | mb::ICONEXCLAMATION;
    case mkError:
      return mb::OK | mb::ICONHAND;
    case mkInformation:
      return mb::OK | mb::ICONASTERISK;
    case mkQuestionCancel:
      return mb::YESNOCANCEL | mb::ICONQUESTION;
    default:
      return mb::OK;
  }
}

// Shows the box through the platform layer and returns the button pressed.
int showMessageBox(const std::string& text, const std::string& caption, int kind) {
  return platform::current().messageBox(text, caption, messageKindStyle(kind));
}

// Shows a warning box; the answer is discarded.
void showWarning(const std::string& text) { showMessageBox(text, "Aviso", mkWarning); }

// Shows an error box; the answer is discarded.
void showError(const std::string& text) { showMessageBox(text, "Erro", mkError); }

}  // namespace util
