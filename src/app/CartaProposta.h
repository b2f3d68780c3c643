// The written price proposal ("Proposta Comercial"), composed on the report engine as the item
// listing is, so the preview, every printer model and the report files take it: the company's
// letterhead on every page, the addressee and the process, the items with brand, quantity, unit
// price as typed and total, the lot totals, the global total in figures and in words, the terms,
// the declarations, place and date, and the representative's signature. A4 portrait: 65 lines
// of 89 columns at 12 characters per inch.
#pragma once

#include <string>

#include "app/Perfis.h"
#include "app/TabelaItens.h"
#include "app/TermosProposta.h"
#include "app/ValoresCarta.h"
#include "platform/Clock.h"
#include "report/RDprint.h"

namespace app {

// The grid of the letter.
constexpr int kColunasCarta = 89;
constexpr int kLinhasCarta = 65;

// Sets the component up for the letter: the program's settings (printer mapping, preview) on an
// A4 portrait grid, titled after the process.
void ConfiguraCarta(report::TRDprint& rd, const std::string& numeroProcesso);

// "9 de dezembro de 2026".
std::string DataPorExtenso(const base::DataHora& d);
// A unit price with the decimals typed: at least two, at most four ("0,85", "0,3333").
std::string PrecoDigitado(Contagem preco);

// What the letter says besides the items.
struct DadosCarta {
  PerfilEmpresa perfil;
  TermosProposta termos;
  std::string numeroProcesso;  // Label5
  std::string descricao;       // the process description
};

class TCartaProposta {
 public:
  TCartaProposta(report::TRDprint& rd, const TTabelaItens& tabela, const DadosCarta& dados)
      : rd_(rd), tabela_(tabela), dados_(dados) {}

  // Composes the letter and ends the report (Fechar: the preview, or what the preview stands for
  // in the command-line tool). Refuses an empty table with "Selecione um arquivo de processo!";
  // false when nothing was composed.
  bool Emite();

  // The figures printed, once composed.
  const ValoresCarta& Valores() const { return valores_; }
  int Paginas() const { return pagina_; }

 private:
  void Compoe();
  void Cabecalho();
  void Rodape();
  void Avanca(int linhas = 1);
  void Reserva(int linhas);
  void Texto(int coluna, const std::string& texto, bool negrito = false);
  void Direita(int ultimaColuna, const std::string& texto, bool negrito = false);
  void Centro(const std::string& texto, bool negrito = false);
  void Paragrafo(const std::string& texto, int recuo = 0);
  void Enderecamento();
  void TituloTabela();
  void Itens();
  void Total();
  void Termos();
  void Assinatura();

  report::TRDprint& rd_;
  const TTabelaItens& tabela_;
  const DadosCarta& dados_;
  ValoresCarta valores_;
  int linha_ = 0, pagina_ = 0;
  bool emTabela_ = false;  // a page break repeats the column titles
};

}  // namespace app
