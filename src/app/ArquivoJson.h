// The settings files the program keeps for the user (company profiles, the terms of each process):
// JSON a person can read, written atomically, and a damaged file reported and kept aside under a
// name that says so, never reset silently.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace app {

// What reading a settings file found.
struct LeituraJson {
  std::optional<nlohmann::json> documento;  // empty when the file is missing, damaged or unreadable
  std::string erro;        // damaged or unreadable: what happened, for the user (Windows-1252)
  bool bloqueado = false;  // unreadable and still in place: it must not be written over
};

// Reads the JSON object at `caminho`. A file that is not a JSON object is renamed to
// "NAME.danificado-AAAAMMDD-HHMMSS" beside it and reported; a missing file is no error.
LeituraJson LeJson(const std::string& caminho);

// Writes the object as the whole new content of `caminho` (indented, UTF-8), creating the folder
// when missing; raises base::EInOutError when it cannot, leaving the old file whole.
void GravaJson(const std::string& caminho, const nlohmann::json& documento);

// A Windows-1252 text as a JSON string, and a JSON member back (empty when absent or not text).
nlohmann::json TextoJson(const std::string& cp1252);
std::string TextoDeJson(const nlohmann::json& objeto, const char* chave);

}  // namespace app
