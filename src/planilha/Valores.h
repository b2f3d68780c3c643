// What a cell of the sheet means as a price or a brand. Prices are exact counts of
// ten-thousandths: a numeric cell must hold at most four decimals, a text follows the Brazilian
// format ("1.234,56", "43,5", "R$ 43,50"); nothing is rounded or cut silently. Brands obey the
// entry rules of a typed brand.
#pragma once

#include <string>
#include <string_view>

#include "app/Moeda.h"
#include "planilha/Planilha.h"

namespace planilha {

enum class Leitura { Vazia, Aceita, Recusada };

// The price of a cell into `valor`; when refused, `motivo` says why (Windows-1252).
Leitura LePreco(const Celula& c, app::Contagem& valor, std::string& motivo);
// The price of a text in the Brazilian format (also "R$ 43,50", "43.5" and "1.234.567").
Leitura LePrecoTexto(std::string_view texto, app::Contagem& valor, std::string& motivo);
// The brand of a cell into `marca`: refused characters removed, accented letters taken as their
// base letter, blanks at both ends dropped; more than 20 characters is refused.
Leitura LeMarca(const Celula& c, std::string& marca, std::string& motivo);
// A cell as a text: its text, or a number in its shortest form ("12", "3,5").
std::string TextoDaCelula(const Celula& c);
// A name for comparison: without letter case, accents and repeated or surrounding blanks.
std::string NomeComparavel(std::string_view nome);

}  // namespace planilha
