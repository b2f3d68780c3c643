// Workbooks (.xlsx): the workbook part names the sheets and, through its relationships, their
// parts; shared texts are read as the sheet needs them; the chosen sheet's part is streamed row by
// row.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "planilha/Leitores.h"
#include "planilha/LinhasComuns.h"

namespace planilha::detalhe {

namespace {

struct Aba {
  std::string nome;   // Windows-1252
  std::string parte;  // path of its part inside the package
};

// The element's local name ("x:row" and "row" alike).
std::string_view Local(std::string_view nome) {
  const size_t dois = nome.find(':');
  return dois == std::string_view::npos ? nome : nome.substr(dois + 1);
}

// A relationship's target as a package path: relative to xl/ unless absolute.
std::string Alvo(std::string_view alvo) {
  if (!alvo.empty() && alvo.front() == '/') return std::string(alvo.substr(1));
  std::string s(alvo);
  if (s.rfind("./", 0) == 0) s.erase(0, 2);
  return "xl/" + s;
}

// The visible sheets, in workbook order, and the shared texts' part.
std::optional<std::string> LeAbas(const Pacote& p, std::vector<Aba>& abas, std::string& textos) {
  std::vector<std::pair<std::string, std::string>> idAlvo;  // relationship id -> part
  textos = "xl/sharedStrings.xml";
  LeitorXml rel;
  rel.abre = [&](std::string_view nome, LeitorXml::Atributos a) {
    if (Local(nome) != "Relationship") return;
    const char* id = LeitorXml::Atributo(a, "Id");
    const char* alvo = LeitorXml::Atributo(a, "Target");
    const char* tipo = LeitorXml::Atributo(a, "Type");
    if (!id || !alvo) return;
    idAlvo.emplace_back(id, Alvo(alvo));
    if (tipo && std::string_view(tipo).ends_with("/sharedStrings")) textos = Alvo(alvo);
  };
  if (auto m = Analisa(p, "xl/_rels/workbook.xml.rels", rel)) return m;
  LeitorXml livro;
  livro.abre = [&](std::string_view nome, LeitorXml::Atributos a) {
    if (Local(nome) != "sheet") return;
    const char* nomeAba = LeitorXml::Atributo(a, "name");
    const char* id = LeitorXml::Atributo(a, "r:id");
    const char* estado = LeitorXml::Atributo(a, "state");
    if (!nomeAba || !id || (estado && std::strcmp(estado, "visible") != 0)) return;
    for (const auto& [i, alvo] : idAlvo)
      if (i == id) abas.push_back({ParaCp1252(nomeAba), alvo});
  };
  if (auto m = Analisa(p, "xl/workbook.xml", livro)) return m;
  if (abas.empty())
    return std::string(
        "a pasta de trabalho n\xE3o tem nenhuma planilha vis\xEDvel. Reexiba a "
        "planilha com os pre\xE7os e salve de novo");
  return std::nullopt;
}

// The shared texts, in order (rich runs joined, phonetic hints left out), read only as far as the
// sheet refers to them: the first rows of a sheet need the first few.
class Textos {
 public:
  Textos() {
    x_.abre = [this](std::string_view nome, LeitorXml::Atributos) {
      const std::string_view l = Local(nome);
      if (l == "si")
        atual_.clear();
      else if (l == "rPh")
        ++fonetico_;
      else if (l == "t")
        emTexto_ = fonetico_ == 0;
    };
    x_.fecha = [this](std::string_view nome) {
      const std::string_view l = Local(nome);
      if (l == "si")
        textos_.push_back(ParaCp1252(atual_));
      else if (l == "rPh")
        --fonetico_;
      else if (l == "t")
        emTexto_ = false;
    };
    x_.texto = [this](std::string_view t) {
      if (emTexto_) atual_.append(t);
    };
  }

  // Starts on the part (a workbook without one has no shared texts).
  std::optional<std::string> Abre(const Pacote& p, const std::string& parte) {
    if (!p.Existe(parte)) return std::nullopt;
    return p.AbreEntrada(parte, fluxo_);
  }

  // Text i, or nullptr when the part has none such; `motivo` is set when the part is damaged.
  const std::string* Texto(size_t i, std::string& motivo) {
    while (i >= textos_.size() && fluxo_) {
      std::string_view parte;
      if (auto m = fluxo_->Proxima(parte)) {
        motivo = *m;
        fluxo_.reset();
        return nullptr;
      }
      const bool fim = parte.empty();
      if (!x_.Parte(parte, fim)) {
        motivo = x_.Motivo();
        fluxo_.reset();
        return nullptr;
      }
      if (fim) fluxo_.reset();
    }
    return i < textos_.size() ? &textos_[i] : nullptr;
  }

 private:
  std::unique_ptr<Pacote::Fluxo> fluxo_;
  LeitorXml x_;
  std::vector<std::string> textos_;
  std::string atual_;
  bool emTexto_ = false;
  int fonetico_ = 0;
};

// The 0-based column of a cell reference ("BC12" -> 54); nullopt when it is not one.
std::optional<int> ColunaDaReferencia(std::string_view ref) {
  size_t n = 0;
  while (n < ref.size() && ((ref[n] >= 'A' && ref[n] <= 'Z') || (ref[n] >= 'a' && ref[n] <= 'z')))
    ++n;
  return ColunaDoNome(ref.substr(0, n));
}

// The streaming state of one sheet.
class Folha {
 public:
  Folha(Textos& textos, Entrega& entrega, LeitorXml& x)
      : textos_(textos), entrega_(entrega), x_(x) {}

  void Abre(std::string_view nome, LeitorXml::Atributos a) {
    const std::string_view l = Local(nome);
    if (l == "row") {
      const char* r = LeitorXml::Atributo(a, "r");
      linha_ = r ? std::atol(r) : linha_ + 1;
      coluna_ = -1;
    } else if (l == "c") {
      AbreCelula(a);
    } else if (l == "v" || (l == "t" && emInline_)) {
      emValor_ = true;
      valor_.clear();
    } else if (l == "is") {
      emInline_ = true;
      valor_.clear();
    } else if (l == "f") {
      formula_ = true;
    }
  }

  void Fecha(std::string_view nome) {
    const std::string_view l = Local(nome);
    if (l == "v" || l == "t")
      emValor_ = false;
    else if (l == "is")
      emInline_ = false;
    else if (l == "c")
      FechaCelula();
    else if (l == "row" && !entrega_.Fecha(linha_))
      Para();
  }

  void Texto(std::string_view t) {
    if (emValor_ && quer_) valor_.append(t);
  }

 private:
  void AbreCelula(LeitorXml::Atributos a) {
    const char* r = LeitorXml::Atributo(a, "r");
    const std::optional<int> c = r ? ColunaDaReferencia(r) : std::optional<int>(coluna_ + 1);
    if (!c || *c >= kLimiteColunas) {
      x_.Interrompe("a c\xE9lula \"" + std::string(r ? r : "") +
                    "\" tem uma refer\xEAncia inv\xE1lida. Salve a planilha de novo");
      return;
    }
    coluna_ = *c;
    quer_ = entrega_.Quer(coluna_);
    const char* t = LeitorXml::Atributo(a, "t");
    tipo_ = t ? t : "n";
    valor_.clear();
    formula_ = false;
  }

  void FechaCelula() {
    if (x_.Interrompido() || !quer_) return;
    Celula& c = entrega_.Em(coluna_);
    c.formula = formula_;
    if (tipo_ == "s" && !valor_.empty()) {
      size_t i = 0;
      std::string motivo;
      const std::string* texto = NumeroIndice(valor_, i) ? textos_.Texto(i, motivo) : nullptr;
      if (!texto) {
        x_.Interrompe(!motivo.empty()
                          ? motivo
                          : "a c\xE9lula " + NomeColuna(coluna_) + std::to_string(linha_) +
                                " aponta para um texto que n\xE3o existe. Salve a "
                                "planilha de novo");
        return;
      }
      Poe(c, *texto);
    } else if (tipo_ == "n" || tipo_ == "b") {
      double v = 0;
      if (NumeroXml(valor_, v)) {
        c.tipo = TipoCelula::Numero;
        c.numero = v;
        c.texto = valor_;
      }
    } else if (tipo_ != "s") {  // str, inlineStr, e (an error such as #DIV/0!), d (a date)
      ParaCp1252(valor_, convertido_);
      Poe(c, convertido_);
    }
  }

  static void Poe(Celula& c, std::string_view texto) {
    if (texto.empty()) return;
    c.tipo = TipoCelula::Texto;
    c.texto.assign(texto);
  }

  static bool NumeroIndice(std::string_view s, size_t& i) {
    auto r = std::from_chars(s.data(), s.data() + s.size(), i);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
  }

  void Para() { x_.Interrompe(entrega_.Falha() ? entrega_.Falha()->mensagem : std::string()); }

  Textos& textos_;
  Entrega& entrega_;
  LeitorXml& x_;
  long linha_ = 0;
  int coluna_ = -1;
  std::string tipo_, valor_, convertido_;
  bool emValor_ = false, emInline_ = false, formula_ = false, quer_ = true;
};

std::optional<ErroPlanilha> Abre(std::string_view bytes, const std::string& nome, Pacote& p,
                                 std::vector<Aba>& abas, std::string& textos) {
  if (auto m = p.Abre(bytes)) return Erro(nome, *m);
  if (auto m = LeAbas(p, abas, textos)) return Erro(nome, *m);
  return std::nullopt;
}

}  // namespace

std::optional<ErroPlanilha> AbasXlsx(std::string_view bytes, const std::string& nome,
                                     std::vector<std::string>& nomes) {
  Pacote p;
  std::vector<Aba> abas;
  std::string textos;
  if (auto e = Abre(bytes, nome, p, abas, textos)) return e;
  for (const Aba& a : abas) nomes.push_back(a.nome);
  return std::nullopt;
}

std::optional<ErroPlanilha> LeXlsx(std::string_view bytes, const std::string& nome, size_t aba,
                                   const RecebeLinha& recebe, FiltroColunas colunas) {
  Pacote p;
  std::vector<Aba> abas;
  std::string parteTextos;
  if (auto e = Abre(bytes, nome, p, abas, parteTextos)) return e;
  if (aba >= abas.size()) return Erro(nome, "a planilha escolhida n\xE3o existe mais no arquivo");
  Textos textos;
  if (auto m = textos.Abre(p, parteTextos)) return Erro(nome, *m);
  Entrega entrega(nome, recebe, colunas);
  LeitorXml x;
  Folha folha(textos, entrega, x);
  x.abre = [&](std::string_view n, LeitorXml::Atributos a) { folha.Abre(n, a); };
  x.fecha = [&](std::string_view n) { folha.Fecha(n); };
  x.texto = [&](std::string_view t) { folha.Texto(t); };
  auto m = Analisa(p, abas[aba].parte, x);
  if (entrega.Falha()) return entrega.Falha();
  if (m && !m->empty()) return Erro(nome, *m);
  return std::nullopt;  // read whole, or stopped by the caller
}

}  // namespace planilha::detalhe
