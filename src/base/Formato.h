// Number and date texts in the user's format settings (Brazilian by default), independent of the C
// library's locale: FloatToStr, StrToFloat, StrToInt and FormatFloat as the system's code uses
// them, and exact display of fixed-point counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// The format settings: decimal ",", thousands ".", short date dd/mm/yyyy, time HH:MM.
struct FormatSettings {
  char separadorDecimal = ',';
  char separadorMilhar = '.';
  char separadorData = '/';
  char separadorHora = ':';
};

// The settings of the Brazilian locale the program runs with.
const FormatSettings& FormatoPadrao();

// A broken-down local date and time.
struct DataHora {
  int ano = 1899, mes = 12, dia = 30, hora = 0, minuto = 0, segundo = 0;
};

// Decimal text of an integer.
std::string IntToStr(int64_t v);

// Shortest general form with up to 15 significant digits ("10", "12,5", "1E20", "1,5E-7").
std::string FloatToStr(double v, const FormatSettings& fs = FormatoPadrao());

// Reads a decimal number written with the settings' decimal separator (no thousands separators);
// raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(std::string_view texto, const FormatSettings& fs = FormatoPadrao());
// The same check without raising.
bool TryStrToFloat(std::string_view texto, double& valor,
                   const FormatSettings& fs = FormatoPadrao());

// Reads a 32-bit decimal (or $/0x hexadecimal) integer; raises EConvertError
// "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view texto);
bool TryStrToInt(std::string_view texto, int32_t& valor);

// Formats a double with a pattern such as "#,##0.00", "0.0000", "00000" or "R$ #,##0.00":
// halves are rounded away from zero on the value's 15-significant-digit decimal form.
std::string FormatFloat(std::string_view padrao, double v,
                        const FormatSettings& fs = FormatoPadrao());

// Formats a fixed-point count of 10^-escala units with the same patterns, rounding halves away from
// zero on the integer itself (no binary floating point involved).
std::string FormatFixo(std::string_view padrao, int64_t contagem, int escala = 4,
                       const FormatSettings& fs = FormatoPadrao());

// "dd/mm/yyyy" and "hh:nn" with the settings' separators.
std::string FormataData(const DataHora& d, const FormatSettings& fs = FormatoPadrao());
std::string FormataHora(const DataHora& d, const FormatSettings& fs = FormatoPadrao());

}  // namespace base
