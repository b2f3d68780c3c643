#include "app/forms/Protecao.h"

#include <exception>

#include "base/Erros.h"
#include "platform/Platform.h"

namespace app::forms {

// Runs f; an escaping error is shown in the error box. False when f raised.
bool Protege(const std::function<void()>& f) {
  try {
    f();
    return true;
  } catch (const base::Exception& e) {
    platform::current().showApplicationError(e.Mensagem());
  } catch (const std::exception& e) {
    platform::current().showApplicationError(e.what());
  }
  return false;
}

}  // namespace app::forms
