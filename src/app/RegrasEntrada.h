// The rules of item entry that need no window: the brand's refused characters and key filter, the
// price edit's key filter, the focus marking by control class, the company name check and the CNPJ
// format used by the listing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/Formato.h"

namespace app {

// Removes every "/", "\", "<", ">", "?", ":", "*", "|" and apostrophe, in that order.
std::string RemoveCaracteres(std::string_view texto);
// True for the characters the brand edit takes from the keyboard: A-Z, a-z, 0-9, space, backspace
// and the null character.
bool MarcaAceitaCaractere(char c);
// True for the characters the price field takes from the keyboard: digits, "+", "-", "E", "e" and
// the decimal separator; control characters (backspace, Enter, Esc) always pass.
bool ValorAceitaCaractere(char c, const base::FormatSettings& fs = base::FormatoPadrao());
// 14 digits as 99.999.999/9999-99; missing digits leave shorter pieces, the punctuation stays.
std::string MascaraCNPJ(std::string_view digitos);

// What happens when the focus arrives at a control of the given class name.
enum class AcaoFocoEntrada { Nada, ProximoControle, Amarelo };
AcaoFocoEntrada DBEditEnter(std::string_view classe, bool somenteLeitura);
// What happens when the focus leaves it.
enum class AcaoFocoSaida { Nada, CorJanela };
AcaoFocoSaida DBEditExit(std::string_view classe, bool somenteLeitura);

// The company name typed for Gerar Arquivo becomes part of a file name: a name holding \ / : * ? "
// < > | or a control character is refused with this message; std::nullopt when it is acceptable
// (the empty name included).
std::optional<std::string> RecusaNomeEmpresa(std::string_view nome);

}  // namespace app
