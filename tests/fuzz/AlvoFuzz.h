// A fuzz target is one function over a byte string. Built with libFuzzer (`make fuzz`) the macro
// makes it the program's entry point; in the test build it registers the function, so that the
// replay test runs every kept input (tests/fuzz/corpus/<nome>/) through the same code under the
// test build's sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace teste {

using AlvoFuzz = std::function<void(std::string_view)>;

// The registered targets by name (the name of their corpus folder).
inline std::map<std::string, AlvoFuzz>& AlvosFuzz() {
  static std::map<std::string, AlvoFuzz> alvos;
  return alvos;
}

struct RegistroFuzz {
  RegistroFuzz(const char* nome, AlvoFuzz f) { AlvosFuzz()[nome] = std::move(f); }
};

}  // namespace teste

#ifdef PROPOSTA_LIBFUZZER
#define PROPOSTA_ALVO_FUZZ(nome, funcao)                                        \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) { \
    funcao(std::string_view(reinterpret_cast<const char*>(dados), tamanho));    \
    return 0;                                                                   \
  }
#else
#define PROPOSTA_ALVO_FUZZ(nome, funcao) static teste::RegistroFuzz registro_##funcao(nome, funcao);
#endif
