// Fuzz target: the recovery journal reader never crashes or reads out of bounds, and what it takes
// from a journal is what the writer would write again: the header and the records it read, written
// and read back, give the same file, stamp and records. The bytes are read as they come and once
// more with the check field of every line made right, so that the fuzzer reaches the fields
// behind it (a mutated line almost never keeps a matching check).
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/DiarioRecuperacao.h"
#include "fuzz/AlvoFuzz.h"

namespace {

[[noreturn]] void Falha(const char* o_que) {
  std::fprintf(stderr, "di\xC3\xA1rio: %s\n", o_que);
  std::abort();
}

// The same value, a NaN included (compared by its bits).
bool MesmoValor(const std::optional<double>& a, const std::optional<double>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || std::memcmp(&*a, &*b, sizeof(double)) == 0;
}

bool MesmoRegistro(const app::RegistroDiario& a, const app::RegistroDiario& b) {
  return a.tipo == b.tipo && a.momento == b.momento && a.posicao == b.posicao &&
         a.ordem == b.ordem && a.codigo == b.codigo && a.marca == b.marca &&
         MesmoValor(a.valor, b.valor);
}

// Every line with its last field replaced by the CRC-32 of what comes before its last TAB.
std::string ComChecagem(std::string_view bytes) {
  std::string r;
  for (size_t inicio = 0; inicio < bytes.size();) {
    size_t fim = bytes.find('\n', inicio);
    const bool inteira = fim != std::string_view::npos;
    std::string_view linha = bytes.substr(inicio, inteira ? fim - inicio : std::string_view::npos);
    inicio = inteira ? fim + 1 : bytes.size();
    const size_t tab = linha.rfind('\t');
    if (tab != std::string_view::npos) linha = linha.substr(0, tab);
    const uLong crc =
        crc32(0L, reinterpret_cast<const Bytef*>(linha.data()), static_cast<uInt>(linha.size()));
    char campo[10];
    std::snprintf(campo, sizeof campo, "\t%08lx", static_cast<unsigned long>(crc & 0xffffffffu));
    r.append(linha).append(campo);
    if (inteira) r += '\n';
  }
  return r;
}

void Confere(std::string_view bytes) {
  const app::ConteudoDiario d = app::LeDiario(bytes);
  if (d.bytesValidos > bytes.size()) Falha("bytes v\xC3\xA1lidos al\xC3\xA9m do fim");
  if (d.bytesValidos > 0 && bytes[d.bytesValidos - 1] != '\n')
    Falha("bytes v\xC3\xA1lidos no meio de uma linha");
  for (const app::RegistroDiario& r : d.registros)
    if (r.valor && !std::isfinite(*r.valor))
      Falha("pre\xC3\xA7o que n\xC3\xA3o \xC3\xA9 n\xC3\xBAmero");
  if (d.estado == app::ConteudoDiario::Estado::Vazio) {
    if (!d.registros.empty()) Falha("registros num di\xC3\xA1rio vazio");
    return;
  }
  std::string regravado = app::CodificaCabecalho(d.caminho, d.carimbo);
  for (const app::RegistroDiario& r : d.registros) regravado += app::CodificaRegistro(r);
  const app::ConteudoDiario volta = app::LeDiario(regravado);
  if (volta.estado != app::ConteudoDiario::Estado::Valido)
    Falha("o regravado n\xC3\xA3o \xC3\xA9 v\xC3\xA1lido");
  if (volta.bytesValidos != regravado.size()) Falha("o regravado n\xC3\xA3o \xC3\xA9 lido inteiro");
  if (volta.caminho != d.caminho || !(volta.carimbo == d.carimbo))
    Falha(
        "o cabe\xC3\xA7"
        "alho muda");
  if (volta.registros.size() != d.registros.size()) Falha("a quantidade de registros muda");
  for (size_t i = 0; i < d.registros.size(); ++i)
    if (!MesmoRegistro(volta.registros[i], d.registros[i])) Falha("um registro muda");
}

void LeERegrava(std::string_view entrada) {
  Confere(entrada);
  Confere(ComChecagem(entrada));
}

}  // namespace

PROPOSTA_ALVO_FUZZ("diario", LeERegrava)
