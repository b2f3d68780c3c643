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
// Why the price field refused a character, for the status bar: a point (or any other separator
// than the decimal one) gets "Use a vírgula para separar os centavos".
std::string MotivoRecusaValor(char c, const base::FormatSettings& fs = base::FormatoPadrao());
// 14 digits as 99.999.999/9999-99; missing digits leave shorter pieces, the punctuation stays.
std::string MascaraCNPJ(std::string_view digitos);

// What happens when the focus arrives at a control of the given class name.
enum class AcaoFocoEntrada { Nada, ProximoControle, Amarelo };
AcaoFocoEntrada DBEditEnter(std::string_view classe, bool somenteLeitura);
// What happens when the focus leaves it.
enum class AcaoFocoSaida { Nada, CorJanela };
AcaoFocoSaida DBEditExit(std::string_view classe, bool somenteLeitura);

// A price no bid can have, refused when its row is posted: a negative one, and one whose count or
// whose item amount (price x quantity) the money count cannot hold. The message names the item
// (`ordem`); std::nullopt when the price is acceptable (a null price included).
std::optional<std::string> RecusaPreco(std::string_view ordem, std::optional<double> valor,
                                       std::optional<double> quantidade);

// The company name typed for Gerar Arquivo becomes part of a file name: a name holding \ / : * ? "
// < > | or a control character is refused with this message, and so is an empty (or blank) name,
// which would name the proposal file after the process file; std::nullopt when it is acceptable.
std::optional<std::string> RecusaNomeEmpresa(std::string_view nome);

}  // namespace app
