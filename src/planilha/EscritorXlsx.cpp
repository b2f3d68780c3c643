// The XLSX writer: libxlsxwriter in its constant-memory mode writes the workbook into a private
// temporary folder; the finished file then goes out through the byte sink.
#include <locale.h>
#include <stdlib.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <filesystem>

#include "planilha/Escritores.h"
#include "platform/ReadFile.h"

namespace planilha::detalhe {

namespace {

// A private temporary folder, removed with its contents.
class PastaTemporaria {
 public:
  PastaTemporaria() {
    std::string modelo = (std::filesystem::temp_directory_path() / "proposta-xlsx-XXXXXX").string();
    if (::mkdtemp(modelo.data())) caminho_ = modelo;
  }
  ~PastaTemporaria() {
    std::error_code ec;
    if (!caminho_.empty()) std::filesystem::remove_all(caminho_, ec);
  }
  const std::string& caminho() const { return caminho_; }

 private:
  std::string caminho_;
};

// A text cell of at most the 32,767 characters a cell holds, cut on a character boundary.
std::string Cabe(std::string_view s) {
  constexpr size_t kMaximo = 32767;
  if (s.size() <= kMaximo) return std::string(s);
  size_t n = kMaximo;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return std::string(s.substr(0, n));
}

struct Formatos {
  lxw_format *titulo, *texto, *quantidade, *marca, *preco, *total;
};

Formatos CriaFormatos(lxw_workbook* wb) {
  Formatos f{};
  f.titulo = workbook_add_format(wb);
  format_set_bold(f.titulo);
  format_set_bg_color(f.titulo, 0xD9D9D9);
  format_set_text_wrap(f.titulo);
  f.texto = workbook_add_format(wb);
  format_set_num_format(f.texto, "@");
  f.quantidade = workbook_add_format(wb);
  format_set_num_format(f.quantidade, "#,##0.0000");
  f.marca = workbook_add_format(wb);
  format_set_unlocked(f.marca);
  format_set_num_format(f.marca, "@");
  format_set_bg_color(f.marca, 0xFFFFCC);
  f.preco = workbook_add_format(wb);
  format_set_unlocked(f.preco);
  format_set_num_format(f.preco, "#,##0.0000");
  format_set_bg_color(f.preco, 0xFFFFCC);
  f.total = workbook_add_format(wb);
  format_set_num_format(f.total, "#,##0.00");
  return f;
}

void Texto(lxw_worksheet* ws, lxw_row_t r, lxw_col_t c, std::string_view s, lxw_format* f) {
  if (s.empty())
    worksheet_write_blank(ws, r, c, f);
  else
    worksheet_write_string(ws, r, c, Cabe(s).c_str(), f);
}

void EscreveItem(lxw_worksheet* ws, lxw_row_t r, const LinhaExportada& l, const Formatos& f) {
  if (!l.ordem.empty()) worksheet_write_number(ws, r, 0, std::stod(l.ordem), nullptr);
  Texto(ws, r, 1, l.lote, f.texto);
  Texto(ws, r, 2, l.codigo, f.texto);
  Texto(ws, r, 3, l.produto, f.texto);
  Texto(ws, r, 4, l.descricao, f.texto);
  if (l.quantidade) worksheet_write_number(ws, r, 5, *l.quantidade, f.quantidade);
  Texto(ws, r, 6, l.apuracao, f.texto);
  Texto(ws, r, 7, l.marca, f.marca);
  if (l.valor)
    worksheet_write_number(ws, r, 8, static_cast<double>(*l.valor) / 10000.0, f.preco);
  else
    worksheet_write_blank(ws, r, 8, f.preco);
  const std::string linha = std::to_string(r + 1);
  const std::string formula = "=F" + linha + "*I" + linha;
  worksheet_write_formula_num(ws, r, 9, formula.c_str(), f.total,
                              static_cast<double>(l.total) / 10000.0);
}

// The C library's own number format for as long as it lives: the library writes numbers with
// printf, which would put the user's decimal comma into the file.
class NumerosEmC {
 public:
  NumerosEmC()
      : c_(newlocale(LC_NUMERIC_MASK, "C", nullptr)), antes_(c_ ? uselocale(c_) : nullptr) {}
  ~NumerosEmC() {
    if (!c_) return;
    uselocale(antes_);
    freelocale(c_);
  }
  NumerosEmC(const NumerosEmC&) = delete;
  NumerosEmC& operator=(const NumerosEmC&) = delete;

 private:
  locale_t c_;
  locale_t antes_;
};

// Writes the workbook file; the library's message otherwise.
bool EscreveLivro(const Folha& folha, const std::string& caminho, std::string& erro) {
  const NumerosEmC numeros;
  lxw_workbook_options opcoes{};
  opcoes.constant_memory = LXW_TRUE;
  lxw_workbook* wb = workbook_new_opt(caminho.c_str(), &opcoes);
  if (!wb) {
    erro = "N\xE3o foi poss\xEDvel criar a planilha tempor\xE1ria.";
    return false;
  }
  lxw_worksheet* ws = workbook_add_worksheet(wb, "Itens");
  const Formatos f = CriaFormatos(wb);
  const auto& colunas = ColunasExportadas();
  for (size_t i = 0; i < colunas.size(); ++i)
    worksheet_set_column(ws, static_cast<lxw_col_t>(i), static_cast<lxw_col_t>(i),
                         colunas[i].largura, nullptr);
  worksheet_freeze_panes(ws, 1, 0);
  for (size_t i = 0; i < colunas.size(); ++i)
    worksheet_write_string(ws, 0, static_cast<lxw_col_t>(i), Titulo(colunas[i]).c_str(), f.titulo);
  lxw_row_t r = 1;
  for (const LinhaExportada& l : folha.linhas) EscreveItem(ws, r++, l, f);
  const lxw_row_t id = static_cast<lxw_row_t>(LinhaIdentificacao(folha) - 1);
  lxw_row_col_options oculta{};
  oculta.hidden = 1;
  worksheet_set_row_opt(ws, id, LXW_DEF_ROW_HEIGHT, nullptr, &oculta);
  worksheet_write_string(
      ws, id, 0, Titulo({ColunaExportada::Ordem, kTituloIdentificacao, 0, false}).c_str(), nullptr);
  worksheet_write_string(ws, id, 1, folha.id.processo.c_str(), f.texto);
  worksheet_write_number(ws, id, 2, static_cast<double>(folha.id.itens), nullptr);
  worksheet_write_string(ws, id, 3, folha.id.resumo.c_str(), f.texto);
  lxw_protection protecao{};
  protecao.format_columns = 1;
  protecao.format_rows = 1;
  worksheet_protect(ws, nullptr, &protecao);
  const lxw_error e = workbook_close(wb);
  if (e != LXW_NO_ERROR) {
    erro = std::string("N\xE3o foi poss\xEDvel montar a planilha: ") + lxw_strerror(e) + ".";
    return false;
  }
  return true;
}

}  // namespace

bool EscreveXlsx(const Folha& folha, platform::ByteSink& destino, std::string& erro) {
  PastaTemporaria pasta;
  if (pasta.caminho().empty()) {
    erro = "N\xE3o foi poss\xEDvel criar uma pasta tempor\xE1ria para montar a planilha.";
    return false;
  }
  const std::string caminho = pasta.caminho() + "/itens.xlsx";
  if (!EscreveLivro(folha, caminho, erro)) return false;
  std::string bytes;
  platform::ReadError le;
  if (!platform::readRegularFile(caminho, size_t(1) << 31, bytes, le)) {
    erro = le.text;
    return false;
  }
  return destino.write(bytes);
}

}  // namespace planilha::detalhe
