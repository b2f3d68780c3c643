// Zip packages built in memory for the tests' hand-made workbooks and OpenDocument files.
#pragma once

#include <zip.h>

#include <string>
#include <utility>
#include <vector>

namespace teste {

// A zip package in memory with these entries (name, bytes), for hand-made workbooks.
inline std::string Pacote(const std::vector<std::pair<std::string, std::string>>& entradas) {
  zip_error_t erro;
  zip_error_init(&erro);
  zip_source_t* memoria = zip_source_buffer_create(nullptr, 0, 0, &erro);
  zip_source_keep(memoria);
  zip_t* z = zip_open_from_source(memoria, ZIP_TRUNCATE, &erro);
  for (const auto& [nome, bytes] : entradas)
    zip_file_add(z, nome.c_str(), zip_source_buffer(z, bytes.data(), bytes.size(), 0), 0);
  zip_close(z);
  zip_stat_t st;
  zip_stat_init(&st);
  zip_source_stat(memoria, &st);
  std::string s(st.size, '\0');
  zip_source_open(memoria);
  zip_source_read(memoria, s.data(), st.size);
  zip_source_close(memoria);
  zip_source_free(memoria);
  zip_error_fini(&erro);
  return s;
}

}  // namespace teste
