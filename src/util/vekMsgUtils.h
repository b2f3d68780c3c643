// Modal message boxes with a Portuguese caption and a fixed set of buttons and icon per kind; the
// program's own modules (the signing launcher) report through them.
#pragma once

#include <string>

namespace util {

// The kinds of message box; the ordinals are part of the interface.
enum TMessageKind : int {
  mkQuestion = 0,        // Yes, No; question icon
  mkWarning = 1,         // OK; exclamation icon
  mkError = 2,           // OK; stop icon
  mkInformation = 3,     // OK; information icon
  mkQuestionCancel = 4,  // Yes, No, Cancel; question icon
};

// The platform message-box style of a kind; any other value gives 0 (OK, no icon).
int messageKindStyle(int kind);

// Shows text under caption with the kind's buttons and icon; returns the button pressed
// (platform::mb::IDOK, IDCANCEL, IDYES, IDNO).
int showMessageBox(const std::string& text, const std::string& caption, int kind);

// An OK box with the exclamation icon, captioned "Aviso".
void showWarning(const std::string& text);

// An OK box with the stop icon, captioned "Erro".
void showError(const std::string& text);

}  // namespace util
