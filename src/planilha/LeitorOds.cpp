// OpenDocument spreadsheets (.ods): content.xml streamed once; its tables are the sheets. Repeated
// rows and cells are expanded only when they hold something, so the empty million rows a sheet
// may end with cost nothing.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "planilha/Leitores.h"
#include "planilha/LinhasComuns.h"

namespace planilha::detalhe {

namespace {

long Repeticoes(LeitorXml::Atributos a, const char* nome) {
  const char* r = LeitorXml::Atributo(a, nome);
  const long n = r ? std::atol(r) : 1;
  return n < 1 ? 1 : n;
}

// The streaming state of the chosen table.
class Tabela {
 public:
  Tabela(size_t aba, Entrega& entrega, LeitorXml& x) : aba_(aba), entrega_(entrega), x_(x) {}

  void Abre(std::string_view nome, LeitorXml::Atributos a) {
    if (nome == "table:table") {
      ++tabela_;
      return;
    }
    if (!NaEscolhida()) return;
    if (nome == "table:table-row") {
      repeteLinha_ = Repeticoes(a, "table:number-rows-repeated");
      coluna_ = 0;
    } else if (nome == "table:table-cell" || nome == "table:covered-table-cell") {
      AbreCelula(a);
    } else if (nome == "text:p" && emCelula_) {
      if (paragrafos_++ > 0) texto_ += '\n';
      ++emParagrafo_;
    } else if (nome == "text:s" && emParagrafo_ > 0) {
      texto_.append(static_cast<size_t>(std::min(Repeticoes(a, "text:c"), 1000L)), ' ');
    } else if (nome == "text:tab" && emParagrafo_ > 0) {
      texto_ += '\t';
    } else if (nome == "text:line-break" && emParagrafo_ > 0) {
      texto_ += '\n';
    } else if (nome == "office:annotation") {
      ++nota_;
    }
  }

  void Fecha(std::string_view nome) {
    if (!NaEscolhida()) return;
    if (nome == "table:table-row")
      FechaLinha();
    else if (nome == "table:table-cell" || nome == "table:covered-table-cell")
      FechaCelula();
    else if (nome == "text:p" && emParagrafo_ > 0)
      --emParagrafo_;
    else if (nome == "office:annotation")
      --nota_;
  }

  void Texto(std::string_view t) {
    if (emParagrafo_ > 0 && nota_ == 0 && quer_) texto_.append(t);
  }

 private:
  bool NaEscolhida() const { return tabela_ == static_cast<long>(aba_) + 1; }

  void AbreCelula(LeitorXml::Atributos a) {
    emCelula_ = true;
    repeteCelula_ = Repeticoes(a, "table:number-columns-repeated");
    quer_ = repeteCelula_ > 1 || entrega_.Quer(coluna_);
    texto_.clear();
    paragrafos_ = 0;
    const char* tipo = LeitorXml::Atributo(a, "office:value-type");
    tipo_ = tipo ? tipo : "";
    const char* valor = LeitorXml::Atributo(a, "office:value");
    if (tipo_ == "boolean") valor = LeitorXml::Atributo(a, "office:boolean-value");
    valor_ = valor ? valor : "";
    formula_ = LeitorXml::Atributo(a, "table:formula") != nullptr;
  }

  void FechaCelula() {
    emCelula_ = false;
    Celula c;
    c.formula = formula_;
    double v = 0;
    if ((tipo_ == "float" || tipo_ == "currency" || tipo_ == "percentage") &&
        NumeroXml(valor_, v)) {
      c.tipo = TipoCelula::Numero;
      c.numero = v;
      c.texto = valor_;
    } else if (tipo_ == "boolean") {
      c.tipo = TipoCelula::Numero;
      c.numero = valor_ == "true" ? 1 : 0;
    } else if (!texto_.empty()) {
      c.tipo = TipoCelula::Texto;
      c.texto = ParaCp1252(texto_);
    }
    if (c.tipo == TipoCelula::Vazia) {
      coluna_ += repeteCelula_;
      return;
    }
    for (long i = 0; i < repeteCelula_ && coluna_ < kLimiteColunas; ++i, ++coluna_)
      if (entrega_.Quer(coluna_)) entrega_.Em(static_cast<int>(coluna_)) = c;
  }

  void FechaLinha() {
    if (entrega_.Vazia()) {
      linha_ += repeteLinha_;
      return;
    }
    const LinhaPlanilha modelo = repeteLinha_ > 1 ? entrega_.Linha() : LinhaPlanilha{};
    for (long i = 0; i < repeteLinha_; ++i) {
      if (i > 0) entrega_.Linha().celulas = modelo.celulas;
      if (!entrega_.Fecha(++linha_)) {
        x_.Interrompe(entrega_.Falha() ? entrega_.Falha()->mensagem : std::string());
        return;
      }
    }
  }

  size_t aba_;
  Entrega& entrega_;
  LeitorXml& x_;
  long tabela_ = 0, linha_ = 0, coluna_ = 0, repeteLinha_ = 1, repeteCelula_ = 1;
  int emParagrafo_ = 0, nota_ = 0, paragrafos_ = 0;
  bool emCelula_ = false, formula_ = false, quer_ = true;
  std::string tipo_, valor_, texto_;
};

}  // namespace

std::optional<ErroPlanilha> AbasOds(std::string_view bytes, const std::string& nome,
                                    std::vector<std::string>& abas) {
  Pacote p;
  if (auto m = p.Abre(bytes)) return Erro(nome, *m);
  LeitorXml x;
  x.abre = [&](std::string_view n, LeitorXml::Atributos a) {
    if (n != "table:table") return;
    const char* nomeAba = LeitorXml::Atributo(a, "table:name");
    abas.push_back(ParaCp1252(nomeAba ? nomeAba : ""));
  };
  if (auto m = Analisa(p, "content.xml", x)) return Erro(nome, *m);
  if (abas.empty()) return Erro(nome, "o documento n\xE3o tem nenhuma tabela");
  return std::nullopt;
}

std::optional<ErroPlanilha> LeOds(std::string_view bytes, const std::string& nome, size_t aba,
                                  const RecebeLinha& recebe, FiltroColunas colunas) {
  Pacote p;
  if (auto m = p.Abre(bytes)) return Erro(nome, *m);
  Entrega entrega(nome, recebe, colunas);
  LeitorXml x;
  Tabela t(aba, entrega, x);
  x.abre = [&](std::string_view n, LeitorXml::Atributos a) { t.Abre(n, a); };
  x.fecha = [&](std::string_view n) { t.Fecha(n); };
  x.texto = [&](std::string_view s) { t.Texto(s); };
  auto m = Analisa(p, "content.xml", x);
  if (entrega.Falha()) return entrega.Falha();
  if (m && !m->empty()) return Erro(nome, *m);
  return std::nullopt;
}

}  // namespace planilha::detalhe
