// The item listing of "Relatório": the page head, one line per item, the lot subtotal blocks, the
// grand total and the page foot, composed on the main window's report component RDprint1, and the
// settings of that component.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/BarraProgresso.h"
#include "app/TabelaItens.h"
#include "report/RDprint.h"

namespace app {

// The maker's name and address as the footer of every listing page shows them.
extern const char* const kRodapeListagem;

// The program's 38-row printer-name mapping table.
std::vector<std::string> MapeamentoPrograma();
// Sets the component up as the program's RDprint1.
void ConfiguraRDprint1(report::TRDprint& rd);

// The part of the main window that composes the listing.
class TListagem {
 public:
  TListagem(report::TRDprint& rd, TTabelaItens& tabela) : RDprint1(rd), tabela_(tabela) {}

  // Inputs typed in the main window.
  std::string Label5Caption;  // the process number
  std::string Licitante;      // the bidder name (may be empty)
  std::string CNPJ;           // the CNPJ edit's digits
  BarraProgresso* ProgressBar1 = nullptr;
  std::function<void()> aoMudarProgresso;  // the bar was shown or hidden

  // "Relatório": composes the listing and shows it in the preview.
  void BitBtn2Click();

  // The listing line and page, kept after the listing.
  int linha = 0;
  int pagina = 0;

  // Pads `texto` with `pad` in front (mode 0) or after it (mode 1) up to `largura` characters.
  // The Lote column's text: a numeric lot with five digits, any other as it stands.
  static std::string TextoLote(std::string_view lote);
  static std::string AlinhaTexto(const std::string& texto, int largura, int modo,
                                 const std::string& pad);

 private:
  void ImprimeCabecalho();
  void ImprimeRodape();
  void AvancaLinha();
  void Texto(int coluna, const std::string& texto);
  void Centralizado(int coluna, const std::string& texto);
  void Compoe();
  void EscondeBarra();

  report::TRDprint& RDprint1;
  TTabelaItens& tabela_;
};

}  // namespace app
