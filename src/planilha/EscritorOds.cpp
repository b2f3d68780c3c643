// The ODS writer: the OpenDocument package (mimetype stored first, the manifest, content.xml)
// built in memory with libzip, then handed to the byte sink.
#include <zip.h>

#include <charconv>

#include "planilha/Escritores.h"

namespace planilha::detalhe {

namespace {

const char* const kCabecalho =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document-content"
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\""
    " xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\" office:version=\"1.2\">"
    "<office:automatic-styles>"
    "<number:number-style style:name=\"N4\"><number:number number:decimal-places=\"4\""
    " number:min-decimal-places=\"4\" number:min-integer-digits=\"1\" number:grouping=\"true\"/>"
    "</number:number-style>"
    "<number:number-style style:name=\"N2\"><number:number number:decimal-places=\"2\""
    " number:min-decimal-places=\"2\" number:min-integer-digits=\"1\" number:grouping=\"true\"/>"
    "</number:number-style>"
    "<style:style style:name=\"ceT\" style:family=\"table-cell\">"
    "<style:table-cell-properties fo:background-color=\"#d9d9d9\"/>"
    "<style:text-properties fo:font-weight=\"bold\"/></style:style>"
    "<style:style style:name=\"ceQ\" style:family=\"table-cell\" style:data-style-name=\"N4\"/>"
    "<style:style style:name=\"ceM\" style:family=\"table-cell\">"
    "<style:table-cell-properties style:cell-protect=\"none\" fo:background-color=\"#ffffcc\"/>"
    "</style:style>"
    "<style:style style:name=\"ceP\" style:family=\"table-cell\" style:data-style-name=\"N4\">"
    "<style:table-cell-properties style:cell-protect=\"none\" fo:background-color=\"#ffffcc\"/>"
    "</style:style>"
    "<style:style style:name=\"ceV\" style:family=\"table-cell\" style:data-style-name=\"N2\"/>";

const char* const kManifesto =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\""
    " manifest:version=\"1.2\">"
    "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\""
    " manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
    "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
    "</manifest:manifest>";

const char* const kTipo = "application/vnd.oasis.opendocument.spreadsheet";

// Text for an element's content or an attribute: markup escaped, characters XML cannot hold
// dropped.
void Escapa(std::string& s, std::string_view v) {
  for (char c : v) {
    switch (c) {
      case '&':
        s += "&amp;";
        break;
      case '<':
        s += "&lt;";
        break;
      case '>':
        s += "&gt;";
        break;
      case '"':
        s += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') s += c;
    }
  }
}

// A paragraph's text: runs of spaces, tabs and line breaks as the format's own elements, so the
// text reads back exactly.
void Paragrafo(std::string& s, std::string_view v) {
  s += "<text:p>";
  size_t i = 0;
  while (i < v.size()) {
    if (v[i] == ' ' && (i == 0 || i + 1 == v.size() || v[i + 1] == ' ')) {
      size_t n = 0;
      while (i < v.size() && v[i] == ' ') ++n, ++i;
      s += "<text:s text:c=\"" + std::to_string(n) + "\"/>";
    } else if (v[i] == '\t') {
      s += "<text:tab/>";
      ++i;
    } else if (v[i] == '\n') {
      s += "<text:line-break/>";
      ++i;
    } else {
      Escapa(s, v.substr(i, 1));
      ++i;
    }
  }
  s += "</text:p>";
}

void Texto(std::string& s, std::string_view v, const char* estilo = nullptr) {
  s += "<table:table-cell";
  if (estilo) s += std::string(" table:style-name=\"") + estilo + "\"";
  if (v.empty()) {
    s += "/>";
    return;
  }
  s += " office:value-type=\"string\">";
  Paragrafo(s, v);
  s += "</table:table-cell>";
}

std::string Numero(double v) {
  char buf[40];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, static_cast<size_t>(r.ptr - buf));
}

// A count of 10^-4 as a decimal with a dot ("43.5").
std::string Decimal(app::Contagem c) {
  std::string s = std::to_string(c / 10000);
  const int64_t frac = c % 10000;
  if (frac != 0) {
    std::string f = std::to_string(frac + 10000).substr(1);
    while (f.back() == '0') f.pop_back();
    s += "." + f;
  }
  return s;
}

void NumeroCelula(std::string& s, const std::string& valor, const char* estilo,
                  const char* formula = nullptr) {
  s += "<table:table-cell";
  if (estilo) s += std::string(" table:style-name=\"") + estilo + "\"";
  if (formula) s += std::string(" table:formula=\"") + formula + "\"";
  s += " office:value-type=\"float\" office:value=\"" + valor + "\"/>";
}

void Item(std::string& s, long linha, const LinhaExportada& l) {
  s += "<table:table-row>";
  if (l.ordem.empty())
    Texto(s, {});
  else
    NumeroCelula(s, l.ordem, nullptr);
  Texto(s, l.lote);
  Texto(s, l.codigo);
  Texto(s, l.produto);
  Texto(s, l.descricao);
  if (l.quantidade)
    NumeroCelula(s, Numero(*l.quantidade), "ceQ");
  else
    Texto(s, {});
  Texto(s, l.apuracao);
  Texto(s, l.marca, "ceM");
  if (l.valor)
    NumeroCelula(s, Decimal(*l.valor), "ceP");
  else
    Texto(s, {}, "ceP");
  const std::string n = std::to_string(linha);
  const std::string formula = "of:=[.F" + n + "]*[.I" + n + "]";
  NumeroCelula(s, Decimal(l.total), "ceV", formula.c_str());
  s += "</table:table-row>";
}

std::string Conteudo(const Folha& f) {
  std::string s = kCabecalho;
  const auto& colunas = ColunasExportadas();
  for (size_t i = 0; i < colunas.size(); ++i)
    s += "<style:style style:name=\"co" + std::to_string(i) +
         "\" style:family=\"table-column\"><style:table-column-properties style:column-width=\"" +
         std::to_string(static_cast<int>(colunas[i].largura * 2.1)) + "mm\"/></style:style>";
  s += "</office:automatic-styles><office:body><office:spreadsheet>"
       "<table:table table:name=\"Itens\" table:protected=\"true\">";
  for (size_t i = 0; i < colunas.size(); ++i)
    s += "<table:table-column table:style-name=\"co" + std::to_string(i) + "\"/>";
  s += "<table:table-row>";
  for (const DescricaoColuna& c : colunas) Texto(s, Titulo(c), "ceT");
  s += "</table:table-row>";
  long linha = 2;
  for (const LinhaExportada& l : f.linhas) Item(s, linha++, l);
  s += "<table:table-row><table:table-cell/></table:table-row>"
       "<table:table-row table:visibility=\"collapse\">";
  Texto(s, Titulo({ColunaExportada::Ordem, kTituloIdentificacao, 0, false}));
  Texto(s, f.id.processo);
  NumeroCelula(s, std::to_string(f.id.itens), nullptr);
  Texto(s, f.id.resumo);
  s += "</table:table-row></table:table></office:spreadsheet></office:body>"
       "</office:document-content>";
  return s;
}

// Adds an entry whose bytes stay alive until the package is closed.
bool Adiciona(zip_t* z, const char* nome, const std::string& bytes, bool guardado) {
  zip_source_t* fonte = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
  if (!fonte) return false;
  const zip_int64_t i = zip_file_add(z, nome, fonte, ZIP_FL_ENC_UTF_8);
  if (i < 0) {
    zip_source_free(fonte);
    return false;
  }
  return !guardado ||
         zip_set_file_compression(z, static_cast<zip_uint64_t>(i), ZIP_CM_STORE, 0) == 0;
}

// Builds the package into `pacote`.
bool Empacota(const std::string& conteudo, std::string& pacote) {
  zip_error_t erro;
  zip_error_init(&erro);
  zip_source_t* memoria = zip_source_buffer_create(nullptr, 0, 0, &erro);
  zip_error_fini(&erro);
  if (!memoria) return false;
  zip_source_keep(memoria);
  zip_t* z = zip_open_from_source(memoria, ZIP_TRUNCATE, nullptr);
  if (!z) {
    zip_source_free(memoria);
    return false;
  }
  const std::string tipo = kTipo, manifesto = kManifesto;
  bool ok = Adiciona(z, "mimetype", tipo, true) &&
            Adiciona(z, "META-INF/manifest.xml", manifesto, false) &&
            Adiciona(z, "content.xml", conteudo, false);
  if (ok && zip_close(z) != 0) ok = false;  // a failed close leaves the package open
  if (!ok) {
    zip_discard(z);
    zip_source_free(memoria);
    return false;
  }
  zip_stat_t st;
  zip_stat_init(&st);
  ok = zip_source_stat(memoria, &st) == 0 && zip_source_open(memoria) == 0;
  if (ok) {
    pacote.resize(st.size);
    ok = zip_source_read(memoria, pacote.data(), st.size) == static_cast<zip_int64_t>(st.size);
    zip_source_close(memoria);
  }
  zip_source_free(memoria);
  return ok;
}

}  // namespace

bool EscreveOds(const Folha& f, platform::ByteSink& destino, std::string& erro) {
  std::string pacote;
  if (!Empacota(Conteudo(f), pacote)) {
    erro = "N\xE3o foi poss\xEDvel montar o pacote da planilha (mem\xF3ria insuficiente?).";
    return false;
  }
  return destino.write(pacote);
}

}  // namespace planilha::detalhe
