// The zip package of a workbook (libzip over the bytes in memory), read with limits.
#include <zip.h>

#include "planilha/Leitores.h"

namespace planilha::detalhe {

namespace {
// An entry that unpacks to more than this many times its packed size, beyond a few tens of
// megabytes, is a zip bomb: real sheets compress ten or twenty times.
constexpr size_t kRazaoBomba = 500;
constexpr size_t kBombaMinima = size_t(32) << 20;
}  // namespace

struct Pacote::Estado {
  zip_t* zip = nullptr;
  mutable size_t descompactado = 0;  // bytes unpacked so far, all entries together
};

Pacote::Pacote() : e_(std::make_unique<Estado>()) {}

Pacote::~Pacote() {
  if (e_->zip) zip_discard(e_->zip);
}

std::optional<std::string> Pacote::Abre(std::string_view bytes) {
  zip_error_t erro;
  zip_error_init(&erro);
  zip_source_t* fonte = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &erro);
  if (fonte) {
    e_->zip = zip_open_from_source(fonte, ZIP_RDONLY | ZIP_CHECKCONS, &erro);
    if (!e_->zip) zip_source_free(fonte);
  }
  zip_error_fini(&erro);
  if (!e_->zip)
    return std::string(
        "o arquivo compactado est\xE1 danificado ou incompleto. Pe\xE7"
        "a uma nova c\xF3pia do arquivo ou salve a planilha de novo");
  if (zip_get_num_entries(e_->zip, 0) > static_cast<zip_int64_t>(kLimiteEntradas))
    return std::string(
        "o arquivo compactado tem entradas demais para uma planilha. Salve a "
        "planilha de novo como .xlsx, .ods ou .csv");
  return std::nullopt;
}

bool Pacote::Existe(const std::string& entrada) const {
  return e_->zip && zip_name_locate(e_->zip, entrada.c_str(), 0) >= 0;
}

std::optional<std::string> Pacote::Le(const std::string& entrada,
                                      const std::function<bool(std::string_view)>& parte) const {
  zip_file_t* f = zip_fopen(e_->zip, entrada.c_str(), 0);
  if (!f) {
    const int codigo = zip_error_code_zip(zip_get_error(e_->zip));
    if (codigo == ZIP_ER_NOPASSWD || codigo == ZIP_ER_WRONGPASSWD)
      return std::string(
          "a planilha est\xE1 protegida por senha. Retire a senha e salve-a de novo");
    return "a parte \"" + entrada + "\" do arquivo compactado falta ou est\xE1 danificada. " +
           "Salve a planilha de novo";
  }
  zip_stat_t st;
  zip_stat_init(&st);
  const zip_uint64_t compactado =
      zip_stat(e_->zip, entrada.c_str(), 0, &st) == 0 && (st.valid & ZIP_STAT_COMP_SIZE)
          ? st.comp_size
          : 0;
  std::string buffer(size_t(1) << 16, '\0');
  std::optional<std::string> motivo;
  size_t desta = 0;
  for (;;) {
    const zip_int64_t n = zip_fread(f, buffer.data(), buffer.size());
    if (n < 0) {
      motivo = "a parte \"" + entrada + "\" do arquivo compactado est\xE1 danificada. Salve a " +
               "planilha de novo";
      break;
    }
    if (n == 0) break;
    e_->descompactado += static_cast<size_t>(n);
    desta += static_cast<size_t>(n);
    if (e_->descompactado > kLimiteDescompactado ||
        (desta > kBombaMinima && desta / kRazaoBomba > compactado)) {
      motivo =
          "descompactado, o arquivo cresce al\xE9m do que uma planilha ocupa (um arquivo "
          "compactado malicioso ou uma planilha grande demais). Divida a planilha em "
          "arquivos menores";
      break;
    }
    if (!parte(std::string_view(buffer.data(), static_cast<size_t>(n)))) break;
  }
  zip_fclose(f);
  return motivo;
}

std::optional<std::string> Pacote::LeTudo(const std::string& entrada, std::string& bytes) const {
  bytes.clear();
  return Le(entrada, [&](std::string_view p) {
    bytes.append(p);
    return true;
  });
}

std::optional<std::string> Analisa(const Pacote& p, const std::string& entrada, LeitorXml& x) {
  auto motivo = p.Le(entrada, [&](std::string_view parte) { return x.Parte(parte, false); });
  if (motivo) return motivo;
  if (!x.Interrompido()) x.Parte({}, true);
  if (x.Interrompido()) return x.Motivo();
  return std::nullopt;
}

}  // namespace planilha::detalhe
