// Writing the items as a sheet the supplier fills in: one row per item in the table's order, the
// header row, the item total as a formula, only the brand and price cells unlocked, and the
// identification row below the items. Three formats: XLSX (libxlsxwriter), ODS (an OpenDocument
// package built with libzip) and CSV (";" and UTF-8 with a byte-order mark, as the Brazilian
// spreadsheet opens it). Everything goes out through a byte sink.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/TabelaItens.h"
#include "planilha/Planilha.h"
#include "platform/ByteSink.h"

namespace planilha {

// The format a file name asks for by its extension (any letter case); nullopt for another one.
std::optional<Formato> FormatoDaExtensao(std::string_view caminho);

// Writes the sheet of the table into `destino` (finished when all went well); false with the
// sink's error, or `erro` filled, otherwise. `processo` is the process number as shown.
bool Exporta(Formato formato, const app::TTabelaItens& tabela, std::string_view processo,
             platform::ByteSink& destino, std::string& erro);

// The same into the file at caminho (replaced atomically), the format by its extension.
bool ExportaArquivo(const std::string& caminho, const app::TTabelaItens& tabela,
                    std::string_view processo, std::string& erro);

}  // namespace planilha
