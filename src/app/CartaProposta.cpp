// The proposal letter: its own pagination by line counter, like the listing, on a narrower grid.
#include "app/CartaProposta.h"

#include "app/Documentos.h"
#include "app/Listagem.h"
#include "app/RegrasEntrada.h"
#include "app/ValorPorExtenso.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/Platform.h"

namespace app {

using report::TAtributo;
using report::TAtributos;

namespace {

const TAtributos kNormal{TAtributo::aComprimir12};
const TAtributos kNegrito{TAtributo::aComprimir12, TAtributo::aNegrito};
constexpr int kPrimeiraLinha = 8;  // the first line below the letterhead
constexpr int kUltimaLinha = 61;   // the last line of text above the foot
const std::string kRegua(kColunasCarta, '-');
const std::string kReguaDupla(kColunasCarta, '=');

const char* const kMeses[] = {"janeiro",  "fevereiro", "mar\xE7o", "abril",
                              "maio",     "junho",     "julho",    "agosto",
                              "setembro", "outubro",   "novembro", "dezembro"};

// The text cut into lines of at most `largura` characters at blanks (a longer word is cut).
std::vector<std::string> QuebraLinhas(const std::string& texto, int largura) {
  std::vector<std::string> linhas;
  std::string atual;
  size_t i = 0;
  while (i < texto.size()) {
    while (i < texto.size() && (texto[i] == ' ' || texto[i] == '\r' || texto[i] == '\n')) ++i;
    size_t fim = texto.find_first_of(" \r\n", i);
    if (fim == std::string::npos) fim = texto.size();
    std::string palavra = texto.substr(i, fim - i);
    i = fim;
    while (static_cast<int>(palavra.size()) > largura) {
      if (!atual.empty()) linhas.push_back(std::move(atual));
      atual.clear();
      linhas.push_back(palavra.substr(0, largura));
      palavra.erase(0, largura);
    }
    if (palavra.empty()) continue;
    if (!atual.empty() && static_cast<int>(atual.size() + 1 + palavra.size()) > largura) {
      linhas.push_back(std::move(atual));
      atual.clear();
    }
    atual += (atual.empty() ? "" : " ") + palavra;
  }
  if (!atual.empty()) linhas.push_back(std::move(atual));
  return linhas;
}

// Texts joined with a separator, the empty ones left out.
std::string Junta(std::initializer_list<std::string> partes, const std::string& separador) {
  std::string r;
  for (const std::string& p : partes) {
    if (base::Trim(p).empty()) continue;
    r += (r.empty() ? "" : separador) + p;
  }
  return r;
}

std::string Dinheiro(int64_t centavos) { return base::FormatFixo("#,##0.00", centavos, 2); }

}  // namespace

void ConfiguraCarta(report::TRDprint& rd, const std::string& numeroProcesso) {
  ConfiguraRDprint1(rd);
  rd.TamanhoQteColunas = kColunasCarta;
  rd.TamanhoQteLinhas = kLinhasCarta;
  rd.TamanhoQteLPP = report::TLinha::Seis;
  rd.FonteTamanhoPadrao = report::TSize::S12cpp;
  rd.Orientacao = report::TPrinterOrientation::poPortrait;
  rd.Margens = report::TMargens{11, 11, 11, 11};  // with the grid: 210 x 297 mm
  rd.OpcoesPreview.PaginaZebrada = false;
  rd.OpcoesPreview.CaptionPreview = "Proposta Comercial";
  rd.TitulodoRelatorio = "Proposta Comercial - Processo " + numeroProcesso;
}

std::string DataPorExtenso(const base::DataHora& d) {
  const int mes = d.mes >= 1 && d.mes <= 12 ? d.mes : 1;
  return std::to_string(d.dia) + " de " + kMeses[mes - 1] + " de " + std::to_string(d.ano);
}

std::string PrecoDigitado(Contagem preco) {
  std::string s = base::FormatFixo("#,##0.0000", preco);
  for (int i = 0; i < 2 && s.back() == '0'; ++i) s.pop_back();
  return s;
}

bool TCartaProposta::Emite() {
  if (tabela_.Vazia()) {
    platform::current().showMessage("Selecione um arquivo de processo!");
    return false;
  }
  if (!rd_.Abrir()) return false;
  rd_.OpcoesPreview.Preview = true;
  pagina_ = 1;
  try {
    Compoe();
  } catch (...) {
    rd_.Abortar();
    throw;
  }
  rd_.Fechar();
  return true;
}

void TCartaProposta::Texto(int coluna, const std::string& texto, bool negrito) {
  rd_.ImpF(linha_, coluna, texto, negrito ? kNegrito : kNormal, 0);
}

// A text whose last character falls on `ultimaColuna` (or from column 1 when too long).
void TCartaProposta::Direita(int ultimaColuna, const std::string& texto, bool negrito) {
  Texto(std::max(1, ultimaColuna - static_cast<int>(texto.size()) + 1), texto, negrito);
}

void TCartaProposta::Centro(const std::string& texto, bool negrito) {
  rd_.ImpCentralizado(linha_, (kColunasCarta + 1) / 2, texto.substr(0, kColunasCarta),
                      negrito ? kNegrito : kNormal, 0);
}

// The letterhead: the company on every page.
void TCartaProposta::Cabecalho() {
  const PerfilEmpresa& p = dados_.perfil;
  linha_ = 2;
  Centro(p.razaoSocial, true);
  ++linha_;
  Centro(Junta({"CNPJ: " + MascaraCNPJ(NormalizaCNPJ(p.cnpj)),
                p.inscricaoEstadual.empty() ? "" : "I.E.: " + p.inscricaoEstadual,
                p.inscricaoMunicipal.empty() ? "" : "I.M.: " + p.inscricaoMunicipal},
               " - "));
  ++linha_;
  Centro(Junta({p.endereco, Junta({p.municipio, p.uf}, "/"), p.cep.empty() ? "" : "CEP " + p.cep},
               " - "));
  ++linha_;
  Centro(Junta({p.telefone.empty() ? "" : "Telefone: " + p.telefone,
                p.email.empty() ? "" : "E-mail: " + p.email},
               " - "));
  linha_ = 6;
  Texto(1, kReguaDupla);
  linha_ = kPrimeiraLinha;
  if (emTabela_) TituloTabela();
}

// The foot: the process and the page number.
void TCartaProposta::Rodape() {
  linha_ = kLinhasCarta - 2;
  Texto(1, kRegua);
  ++linha_;
  Texto(1, "Proposta Comercial - Processo " + dados_.numeroProcesso);
  Direita(kColunasCarta, "P\xE1gina " + std::to_string(pagina_));
}

// Moves down; past the last line of text, the foot, a new page and its head.
void TCartaProposta::Avanca(int linhas) {
  linha_ += linhas;
  if (linha_ <= kUltimaLinha) return;
  Rodape();
  pagina_ = rd_.NovaPagina();
  Cabecalho();
}

// Starts a new page unless `linhas` lines still fit on this one.
void TCartaProposta::Reserva(int linhas) {
  if (linha_ + linhas - 1 > kUltimaLinha) Avanca(kUltimaLinha + 1 - linha_);
}

// A text wrapped to the grid, each line from column 1 + recuo.
void TCartaProposta::Paragrafo(const std::string& texto, int recuo) {
  for (const std::string& l : QuebraLinhas(texto, kColunasCarta - recuo)) {
    Texto(1 + recuo, l);
    Avanca();
  }
}

void TCartaProposta::Compoe() {
  valores_ = CalculaValores(tabela_);
  Cabecalho();
  Enderecamento();
  Itens();
  Total();
  Termos();
  Assinatura();
  Rodape();
}

// The title, the addressee, the process and its object.
void TCartaProposta::Enderecamento() {
  Centro("PROPOSTA COMERCIAL", true);
  Avanca(2);
  const std::string& orgao = dados_.termos.orgao;
  Paragrafo(base::Trim(orgao).empty() ? std::string("Ao \xF3rg\xE3o licitante") : "\xC0 " + orgao);
  Texto(1, "Processo: " + dados_.numeroProcesso, true);
  Avanca();
  Paragrafo("Objeto: " + dados_.descricao);
  Avanca();
  Paragrafo(
      "Apresentamos nossa proposta de pre\xE7os para o fornecimento dos itens abaixo, conforme "
      "as condi\xE7\xF5"
      "es do edital:");
  Avanca();
}

// The column titles of the item table (two lines per item) and the rule under them.
void TCartaProposta::TituloTabela() {
  Texto(1, "Ordem", true);
  Texto(7, "Lote", true);
  Texto(13,
        "C\xF3"
        "digo",
        true);
  Texto(32, "Produto", true);
  ++linha_;
  Texto(13, "Marca", true);
  Direita(52, "Quantidade", true);
  Direita(69, "Vr. Unit\xE1rio", true);
  Direita(89, "Vr. Total", true);
  ++linha_;
  Texto(1, kRegua);
  ++linha_;
}

// The items, each on two lines kept together, and the total of each lot after its items.
void TCartaProposta::Itens() {
  Reserva(5);
  emTabela_ = true;
  TituloTabela();
  for (const ValorLote& lote : valores_.lotes) {
    if (!lote.lote.empty()) {
      Reserva(3);
      Texto(1, "Lote " + lote.lote, true);
      Avanca();
    }
    for (size_t k = lote.primeiro; k < lote.ultimo; ++k) {
      const ValorItem& v = valores_.itens[k];
      const LinhaItem& item = tabela_.Linha(v.linha);
      Reserva(2);
      Texto(1, base::FormatFixo("00000", item.ordem.value_or(0), 0));
      Texto(7, base::Copy(item.lote, 1, 5));
      Texto(13, base::Copy(item.codigo, 1, 18));
      Texto(32, base::Copy(item.nome, 1, 58));
      Avanca();
      Texto(13, base::Copy(item.marca, 1, 28));
      Direita(52, item.quantidade ? base::FloatToStr(*item.quantidade) : std::string());
      Direita(69, PrecoDigitado(v.preco));
      Direita(89, Dinheiro(v.centavos));
      Avanca();
    }
    if (lote.lote.empty()) continue;
    Direita(69, "Total do lote " + lote.lote + ":", true);
    Direita(89, Dinheiro(lote.centavos), true);
    Avanca();
    Texto(1, kRegua);
    Avanca();
  }
  emTabela_ = false;
}

// The global total in figures and in words.
void TCartaProposta::Total() {
  Reserva(4);
  Texto(1, kReguaDupla);
  Avanca();
  Texto(1, "VALOR GLOBAL DA PROPOSTA:", true);
  Direita(89, "R$ " + Dinheiro(valores_.centavos), true);
  Avanca();
  const auto extenso = ValorPorExtenso(valores_.centavos);
  Paragrafo("(" + extenso.value_or("valor acima do limite do extenso") + ")");
  Avanca();
}

// Validity, delivery, payment, warranty, notes, bank details and the declarations.
void TCartaProposta::Termos() {
  const TermosProposta& t = dados_.termos;
  if (t.validadeDias > 0)
    Paragrafo("Validade da proposta: " + std::to_string(t.validadeDias) + " (" +
              NumeroPorExtenso(t.validadeDias) +
              ") dias, contados da data de sua apresenta\xE7\xE3o.");
  for (const CampoTermos& c : CamposTermos()) {
    if (c.membro == &TermosProposta::perfil || c.membro == &TermosProposta::orgao) continue;
    if (!base::Trim(t.*c.membro).empty()) Paragrafo(std::string(c.rotulo) + ": " + t.*c.membro);
  }
  const PerfilEmpresa& p = dados_.perfil;
  const std::string banco = Junta({p.banco.empty() ? "" : "Banco " + p.banco,
                                   p.agencia.empty() ? "" : "Ag\xEAncia " + p.agencia,
                                   p.conta.empty() ? "" : "Conta " + p.conta},
                                  ", ");
  if (!banco.empty()) Paragrafo("Dados banc\xE1rios: " + banco + ".");
  if (t.declaracoes.empty()) return;
  Avanca();
  Reserva(2);
  Texto(1,
        "Declara\xE7\xF5"
        "es:",
        true);
  Avanca();
  for (const std::string& d : t.declaracoes) {
    std::vector<std::string> linhas = QuebraLinhas(d, kColunasCarta - 2);
    for (size_t i = 0; i < linhas.size(); ++i) {
      Texto(i == 0 ? 1 : 3, i == 0 ? "- " + linhas[i] : linhas[i]);
      Avanca();
    }
  }
}

// Place and date, and the signature block kept on one page.
void TCartaProposta::Assinatura() {
  const PerfilEmpresa& p = dados_.perfil;
  Avanca();
  Reserva(9);
  Texto(1, Junta({Junta({p.municipio, p.uf}, "/"), DataPorExtenso(platform::now())}, ", ") + ".");
  Avanca(4);
  Centro(std::string(40, '_'));
  Avanca();
  Centro(p.representante);
  Avanca();
  if (!base::Trim(p.cpf).empty()) {
    Centro("CPF: " + MascaraCPF(NormalizaCPF(p.cpf)));
    Avanca();
  }
  if (!base::Trim(p.cargo).empty()) {
    Centro(p.cargo);
    Avanca();
  }
  Centro(p.razaoSocial);
}

}  // namespace app
