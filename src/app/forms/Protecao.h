// The handler boundary of the main window: an error that escapes a handler is shown in the
// application's error box and the program goes on.
#pragma once

#include <functional>

namespace app::forms {

// Runs f; an escaping error is shown in the error box. False when f raised.
bool Protege(const std::function<void()>& f);

}  // namespace app::forms
