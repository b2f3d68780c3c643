// The item listing: pagination by line counter, item lines, lot subtotals and the grand total.
#include "app/Listagem.h"

#include "app/Moeda.h"
#include "app/RegrasEntrada.h"
#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/Clock.h"
#include "platform/Platform.h"

namespace app {

using report::TAtributo;
using report::TAtributos;

const char* const kRodapeListagem =
    "VEK - Solu\xE7\xE3o em Gest\xE3o Municipal - https://www.vek.com.br";

namespace {
const TAtributos kNormal{TAtributo::aNormal10};
const std::string kRegua(136, '=');
}  // namespace

// The constructor's table with GENERIC and TEXT replaced by GENERICO and without DR700.
std::vector<std::string> MapeamentoPrograma() {
  std::vector<std::string> r;
  for (const std::string& linha : report::TRDprint::MapeamentoPadrao()) {
    if (linha == "GENERIC=EPSON")
      r.push_back("GENERICO=EPSON");
    else if (linha == "TEXT=EPSON" || linha == "DR700=DARUMA")
      continue;
    else
      r.push_back(linha);
  }
  return r;
}

// The program's RDprint1: 136 columns, margins 10, striped preview, its captions and mapping.
void ConfiguraRDprint1(report::TRDprint& rd) {
  rd.TamanhoQteColunas = 136;
  rd.Margens = report::TMargens{10, 10, 10, 10};
  rd.OpcoesPreview.PaginaZebrada = true;
  rd.OpcoesPreview.CaptionPreview = "Rdprint Preview";
  rd.OpcoesPreview.BotaoSetup = report::TStatBut::Ativo;
  rd.CaptionSetup = "Rdprint Setup";
  rd.Mapeamento = MapeamentoPrograma();
}

// Pads a text to a width, in front or after it.
std::string TListagem::AlinhaTexto(const std::string& texto, int largura, int modo,
                                   const std::string& pad) {
  if ((modo != 0 && modo != 1) || static_cast<int>(texto.size()) >= largura) return texto;
  std::string enchimento;
  for (int i = static_cast<int>(texto.size()); i < largura; ++i) enchimento += pad;
  return modo == 0 ? enchimento + texto : texto + enchimento;
}

// Places a text at a column of the current listing line.
void TListagem::Texto(int coluna, const std::string& texto) {
  RDprint1.ImpF(linha, coluna, texto, kNormal, 0);
}

// Places a text centred on a column of the current listing line.
void TListagem::Centralizado(int coluna, const std::string& texto) {
  RDprint1.ImpCentralizado(linha, coluna, texto, kNormal, 0);
}

// Lines 2 to 8 (9 with a bidder); leaves the listing line on the first item line.
void TListagem::ImprimeCabecalho() {
  linha = 2;
  Texto(3, "P\xE1gina : " + std::to_string(pagina));
  Texto(119, "Em : " + base::FormataData(platform::now()));
  ++linha;
  Centralizado(66, kRegua);
  ++linha;
  Centralizado(66, "Listagem de Produto");
  ++linha;
  Centralizado(66, "Processo: " + Label5Caption);
  ++linha;
  if (!base::Trim(Licitante).empty()) {
    Centralizado(5, "  Licitante: " + Licitante + "  CNPJ: " + MascaraCNPJ(CNPJ));
    ++linha;
  }
  Centralizado(66, kRegua);
  ++linha;
  Texto(3, "Ordem:");
  Texto(10, "Lote:");
  Texto(20, "Produto:");
  Texto(63, "Marca:");
  Texto(85, "Quant:");
  Texto(102, "Vr. Unit:");
  Texto(123, "Vr. Total:");
  ++linha;
  Centralizado(66, kRegua);
  ++linha;
}

// Lines 64 and 65: the rule and the maker's footer.
void TListagem::ImprimeRodape() {
  linha = 64;
  Centralizado(66, kRegua);
  linha = 65;
  Texto(3, kRodapeListagem);
}

// The next line; from line 63 on, the foot, a new page and its head.
void TListagem::AvancaLinha() {
  ++linha;
  if (linha >= 63) {
    ImprimeRodape();
    pagina = RDprint1.NovaPagina();
    ImprimeCabecalho();
  }
}

// "Relatório": refuses an empty table, composes the listing and previews it.
void TListagem::BitBtn2Click() {
  if (tabela_.Vazia()) {
    platform::current().showMessage("Selecione um arquivo de processo!");
    return;
  }
  // A report that cannot be opened (another one is open) is not composed into.
  if (!RDprint1.Abrir()) return;
  RDprint1.OpcoesPreview.Preview = true;
  pagina = 1;
  if (ProgressBar1) {
    *ProgressBar1 = BarraProgresso{0, tabela_.NumLinhas(), 0, 1, true};
    if (aoMudarProgresso) aoMudarProgresso();
  }
  try {
    Compoe();
  } catch (...) {
    // A lot that is not a number stops the listing with the conversion error; the report is
    // abandoned so that the next "Relatório" can open one.
    RDprint1.Abortar();
    EscondeBarra();
    throw;
  }
  ImprimeRodape();
  RDprint1.Fechar();
  EscondeBarra();
}

// Hides the progress bar again at the end of the listing.
void TListagem::EscondeBarra() {
  if (!ProgressBar1) return;
  ProgressBar1->visivel = false;
  if (aoMudarProgresso) aoMudarProgresso();
}

// The Lote column: a numeric lot with five digits ("00002"), any other as it stands ("A1").
std::string TListagem::TextoLote(std::string_view lote) {
  double numero = 0;
  if (base::TryStrToFloat(lote, numero)) return base::FormatFloat("00000", numero);
  return std::string(lote);
}

// The item lines, the lot subtotal blocks and the grand total.
void TListagem::Compoe() {
  Contagem totalLote = 0, totalGeral = 0;
  std::string ultimoLote;
  ImprimeCabecalho();
  tabela_.Primeiro();  // posts a row being edited, as walking the table does
  const int linhas = tabela_.NumLinhas();
  for (int i = 0; i < linhas; ++i) {
    const LinhaItem& item = tabela_.Linha(i);
    const Contagem preco = ParaFixo(item.valor.value_or(0.0));
    const double quantidade = item.quantidade.value_or(0.0);
    if (!item.lote.empty()) {
      if (item.lote != ultimoLote && i + 1 > 1) {
        Centralizado(66, kRegua);
        AvancaLinha();
        Texto(95, "Total Lote " + ultimoLote + ":");
        Texto(117, AlinhaTexto(base::FormatFixo("#,##0.00", totalLote), 16, 0, " "));
        totalLote = ArredondaContagem(Produto(preco, quantidade));
        AvancaLinha();
        Centralizado(66, kRegua);
        AvancaLinha();
      } else {
        totalLote = SomaProduto(preco, quantidade, totalLote);
      }
    }
    Texto(3, base::FormatFixo("00000", item.ordem.value_or(0), 0));
    if (!item.lote.empty()) Texto(10, TextoLote(item.lote));
    Texto(20, base::Copy(item.nome, 1, 50));
    Texto(63, std::string(item.marca));
    Texto(85, item.quantidade ? base::FloatToStr(*item.quantidade) : std::string());
    Texto(95, AlinhaTexto(base::FormatFixo("#,##0.0000", preco), 16, 0, " "));
    const Contagem totalLinha = ArredondaContagem(Produto(preco, quantidade));
    Texto(117, AlinhaTexto(base::FormatFixo("#,##0.0000", totalLinha), 16, 0, " "));
    totalGeral += totalLinha;
    ultimoLote = item.lote;
    AvancaLinha();
  }
  tabela_.TerminaPercurso(MostraCriterio);
  if (linhas > 0 && !tabela_.Linha(linhas - 1).lote.empty()) {
    AvancaLinha();
    Centralizado(66, kRegua);
    AvancaLinha();
    Texto(95, "Total Lote " + ultimoLote + ":");
    Texto(117, AlinhaTexto(base::FormatFixo("#,##0.00", totalLote), 16, 0, " "));
    AvancaLinha();
  }
  Centralizado(66, kRegua);
  AvancaLinha();
  Texto(110, "Total: ");
  Texto(117, AlinhaTexto(base::FormatFixo("#,##0.00", totalGeral), 16, 0, " "));
}

}  // namespace app
