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

struct Pacote::Fluxo::Estado {
  zip_file_t* arquivo = nullptr;
  size_t& descompactado;  // the package's count, all entries together
  std::string entrada;
  zip_uint64_t compactado;  // the entry's packed size
  size_t desta = 0;         // bytes unpacked from this entry
  std::string buffer = std::string(size_t(1) << 16, '\0');
};

Pacote::Fluxo::Fluxo(std::unique_ptr<Estado> e) : e_(std::move(e)) {}

Pacote::Fluxo::~Fluxo() { zip_fclose(e_->arquivo); }

std::optional<std::string> Pacote::Fluxo::Proxima(std::string_view& parte) {
  parte = {};
  const zip_int64_t n = zip_fread(e_->arquivo, e_->buffer.data(), e_->buffer.size());
  if (n < 0)
    return "a parte \"" + e_->entrada + "\" do arquivo compactado est\xE1 danificada. Salve a " +
           "planilha de novo";
  e_->descompactado += static_cast<size_t>(n);
  e_->desta += static_cast<size_t>(n);
  if (e_->descompactado > kLimiteDescompactado ||
      (e_->desta > kBombaMinima && e_->desta / kRazaoBomba > e_->compactado))
    return std::string(
        "descompactado, o arquivo cresce al\xE9m do que uma planilha ocupa (um arquivo "
        "compactado malicioso ou uma planilha grande demais). Divida a planilha em "
        "arquivos menores");
  parte = std::string_view(e_->buffer.data(), static_cast<size_t>(n));
  return std::nullopt;
}

std::optional<std::string> Pacote::AbreEntrada(const std::string& entrada,
                                               std::unique_ptr<Fluxo>& fluxo) const {
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
  fluxo.reset(new Fluxo(std::unique_ptr<Fluxo::Estado>(
      new Fluxo::Estado{f, e_->descompactado, entrada, compactado})));
  return std::nullopt;
}

std::optional<std::string> Pacote::Le(const std::string& entrada,
                                      const std::function<bool(std::string_view)>& parte) const {
  std::unique_ptr<Fluxo> f;
  if (auto motivo = AbreEntrada(entrada, f)) return motivo;
  for (;;) {
    std::string_view p;
    if (auto motivo = f->Proxima(p)) return motivo;
    if (p.empty() || !parte(p)) return std::nullopt;
  }
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
