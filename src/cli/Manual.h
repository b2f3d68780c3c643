// The manual page of proposta-cli (man, in roff), written from the same table of commands that
// --help lists, so the page never falls behind the tool.
#pragma once

#include <ostream>
#include <string>

namespace cli {

// Writes the page: name, synopsis, `descricao` (UTF-8, the opening text of --help), then every
// command with its usage and help, and the exit codes.
void Manual(std::ostream& o, const std::string& descricao);

}  // namespace cli
