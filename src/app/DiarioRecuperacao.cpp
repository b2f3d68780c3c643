#include "app/DiarioRecuperacao.h"

#include <zlib.h>

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/Clock.h"

namespace app {

namespace {

constexpr std::string_view kMarca = "diario-proposta";
constexpr std::string_view kVersao = "1";
constexpr size_t kNomeProprio = 120;

// FNV-1a, 64 bits: a short, stable name for a path.
uint64_t Hash(std::string_view s) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}

// The CRC-32 of a line's bytes, as the line's last field.
std::string Crc(std::string_view s) {
  uLong c = crc32(0L, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size()));
  char t[9];
  std::snprintf(t, sizeof t, "%08lx", static_cast<unsigned long>(c & 0xffffffffu));
  return t;
}

// A text with the separators and control characters escaped.
std::string Escapa(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\') {
      r += "\\\\";
    } else if (c == '\t') {
      r += "\\t";
    } else if (c == '\n') {
      r += "\\n";
    } else if (c == '\r') {
      r += "\\r";
    } else if (u < 0x20 || u == 0x7F) {
      char t[5];
      std::snprintf(t, sizeof t, "\\x%02X", u);
      r += t;
    } else {
      r += c;
    }
  }
  return r;
}

// The value of one hexadecimal digit, or -1.
int Hexa(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Undoes Escapa; false for an escape it does not write.
bool Desescapa(std::string_view s, std::string& r) {
  r.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      r += s[i];
      continue;
    }
    if (++i == s.size()) return false;
    switch (s[i]) {
      case '\\':
        r += '\\';
        break;
      case 't':
        r += '\t';
        break;
      case 'n':
        r += '\n';
        break;
      case 'r':
        r += '\r';
        break;
      case 'x': {
        if (i + 2 >= s.size()) return false;
        int a = Hexa(s[i + 1]), b = Hexa(s[i + 2]);
        if (a < 0 || b < 0) return false;
        r += static_cast<char>(a * 16 + b);
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

// A whole field as a number of type T (an integer, or a double written by TextoDouble); false
// when it is not one.
template <typename T>
bool Numero(std::string_view s, T& v) {
  if (s.empty()) return false;
  auto [fim, erro] = std::from_chars(s.data(), s.data() + s.size(), v);
  return erro == std::errc() && fim == s.data() + s.size();
}

// The shortest text that reads back as the same double.
std::string TextoDouble(double v) {
  char t[64];
  auto [fim, erro] = std::to_chars(t, t + sizeof t, v);
  return erro == std::errc() ? std::string(t, fim) : std::string();
}

// The fields of a line joined by TAB, with its CRC and the LF.
std::string Linha(const std::vector<std::string>& campos) {
  std::string l;
  for (size_t i = 0; i < campos.size(); ++i) {
    if (i) l += '\t';
    l += campos[i];
  }
  l += '\t';
  l += Crc(l.substr(0, l.size() - 1));
  l += '\n';
  return l;
}

// The fields of a line (without its LF) whose CRC is right; false otherwise.
bool Campos(std::string_view linha, std::vector<std::string_view>& campos) {
  auto tab = linha.rfind('\t');
  if (tab == std::string_view::npos || linha.size() - tab - 1 != 8) return false;
  if (Crc(linha.substr(0, tab)) != linha.substr(tab + 1)) return false;
  campos.clear();
  std::string_view resto = linha.substr(0, tab);
  for (;;) {
    auto p = resto.find('\t');
    campos.push_back(resto.substr(0, p));
    if (p == std::string_view::npos) break;
    resto.remove_prefix(p + 1);
  }
  return true;
}

// Parses the first line; false when it is not a journal's first line.
bool LeCabecalho(std::string_view linha, ConteudoDiario& d) {
  std::vector<std::string_view> c;
  if (!Campos(linha, c) || c.size() != 6 || c[0] != kMarca || c[1] != kVersao) return false;
  return Desescapa(c[2], d.caminho) && Numero(c[3], d.carimbo.size) &&
         Numero(c[4], d.carimbo.seconds) && Numero(c[5], d.carimbo.nanoseconds);
}

// Parses a record line; false when it is not a whole record.
bool LeRegistro(std::string_view linha, RegistroDiario& r) {
  std::vector<std::string_view> c;
  if (!Campos(linha, c) || c.size() < 5) return false;
  r = RegistroDiario{};
  if (c[0] == "G" && c.size() == 7)
    r.tipo = RegistroDiario::Tipo::Gravado;
  else if (c[0] == "A" && c.size() == 5)
    r.tipo = RegistroDiario::Tipo::Apagado;
  else
    return false;
  if (!Numero(c[1], r.momento) || !Numero(c[2], r.posicao) || r.posicao < 0) return false;
  if (!c[3].empty()) {
    int32_t o;
    if (!Numero(c[3], o)) return false;
    r.ordem = o;
  }
  if (!Desescapa(c[4], r.codigo)) return false;
  if (r.tipo == RegistroDiario::Tipo::Apagado) return true;
  if (!Desescapa(c[5], r.marca)) return false;
  if (!c[6].empty()) {
    double v;
    // A price is a number: "nan" and "inf" read as doubles but are never written.
    if (!Numero(c[6], v) || !std::isfinite(v)) return false;
    r.valor = v;
  }
  return true;
}

}  // namespace

// The hash of the path, then the file's own name cut at a character boundary.
std::string NomeDiario(const std::string& caminhoAbsoluto) {
  char h[17];
  std::snprintf(h, sizeof h, "%016llx", static_cast<unsigned long long>(Hash(caminhoAbsoluto)));
  std::string proprio = caminhoAbsoluto.substr(caminhoAbsoluto.find_last_of('/') + 1);
  if (proprio.size() > kNomeProprio) {
    size_t corte = kNomeProprio;
    while (corte > 0 && (static_cast<unsigned char>(proprio[corte]) & 0xC0) == 0x80) --corte;
    proprio.resize(corte);
  }
  if (proprio.empty()) proprio = "processo";
  return std::string(h) + "-" + proprio + ".diario";
}

// The journal's name with the reason and the moment before its extension.
std::string NomeDeLado(const std::string& nome, std::string_view motivo, int64_t momento,
                       int tentativa) {
  std::string base = nome;
  if (base.ends_with(".diario")) base.resize(base.size() - 7);
  base::DataHora d = platform::dateTimeOf(static_cast<std::time_t>(momento));
  char t[32];
  std::snprintf(t, sizeof t, "%04d%02d%02d-%02d%02d%02d", d.ano, d.mes, d.dia, d.hora, d.minuto,
                d.segundo);
  std::string r = base + "." + std::string(motivo) + "-" + t;
  if (tentativa > 1) r += "-" + std::to_string(tentativa);
  return r + ".diario";
}

// The first line: what the journal is and which file, as it was, it belongs to.
std::string CodificaCabecalho(const std::string& caminho, const platform::FileStamp& carimbo) {
  return Linha({std::string(kMarca), std::string(kVersao), Escapa(caminho),
                std::to_string(carimbo.size), std::to_string(carimbo.seconds),
                std::to_string(carimbo.nanoseconds)});
}

// One record line.
std::string CodificaRegistro(const RegistroDiario& r) {
  std::vector<std::string> c = {r.tipo == RegistroDiario::Tipo::Gravado ? "G" : "A",
                                std::to_string(r.momento), std::to_string(r.posicao),
                                r.ordem ? std::to_string(*r.ordem) : std::string(),
                                Escapa(r.codigo)};
  if (r.tipo == RegistroDiario::Tipo::Gravado) {
    c.push_back(Escapa(r.marca));
    c.push_back(r.valor ? TextoDouble(*r.valor) : std::string());
  }
  return Linha(c);
}

// One block of records: its first line, then the records it announces.
std::string CodificaBloco(const std::vector<RegistroDiario>& registros, int64_t momento) {
  std::string s = Linha({"B", std::to_string(momento), std::to_string(registros.size())});
  for (const RegistroDiario& r : registros) s += CodificaRegistro(r);
  return s;
}

namespace {

// The count of a block's first line; 0 when the line is not one.
size_t InicioBloco(std::string_view linha) {
  std::vector<std::string_view> c;
  int64_t momento;
  size_t n = 0;
  if (!Campos(linha, c) || c.size() != 3 || c[0] != "B" || !Numero(c[1], momento) ||
      !Numero(c[2], n))
    return 0;
  return n;
}

// Reading the lines of a journal one by one.
class Leitura {
 public:
  explicit Leitura(ConteudoDiario& d) : d_(d) {}

  // Takes the line that ends at `fim` (the offset after its LF); false when the journal is
  // damaged (a whole line after one that is not).
  bool Linha(std::string_view linha, size_t fim) {
    bool inteira = Interpreta(linha);
    if (!inteira) {
      quebra_ = true;
      faltam_ = 0;  // a block with a line that is not whole is left out
      bloco_.clear();
      return true;
    }
    if (quebra_) return false;
    if (!faltam_) d_.bytesValidos = fim;
    return true;
  }
  bool TemCabecalho() const { return cabecalho_; }

 private:
  // Whether the line is whole, keeping what it holds.
  bool Interpreta(std::string_view linha) {
    if (primeira_) {
      primeira_ = false;
      return cabecalho_ = LeCabecalho(linha, d_);
    }
    if (!faltam_) {
      if (size_t n = InicioBloco(linha)) {
        faltam_ = n;
        return true;
      }
    }
    RegistroDiario r;
    if (!LeRegistro(linha, r)) return false;
    if (!faltam_) {
      d_.registros.push_back(std::move(r));
      return true;
    }
    bloco_.push_back(std::move(r));
    if (--faltam_ == 0) {
      d_.registros.insert(d_.registros.end(), std::make_move_iterator(bloco_.begin()),
                          std::make_move_iterator(bloco_.end()));
      bloco_.clear();
    }
    return true;
  }

  ConteudoDiario& d_;
  bool primeira_ = true, cabecalho_ = false;
  // A line that is not whole is only a torn tail while nothing whole follows it.
  bool quebra_ = false;
  size_t faltam_ = 0;  // the records still due in the open block
  std::vector<RegistroDiario> bloco_;
};

}  // namespace

// Reads the first line and the whole records, leaving a torn tail (a block cut short) out.
ConteudoDiario LeDiario(std::string_view bytes) {
  ConteudoDiario d;
  Leitura leitura(d);
  for (size_t inicio = 0; inicio < bytes.size();) {
    size_t fim = bytes.find('\n', inicio);
    if (fim == std::string_view::npos) break;  // the last record was cut short
    if (!leitura.Linha(bytes.substr(inicio, fim - inicio), fim + 1)) {
      d.estado = ConteudoDiario::Estado::Danificado;
      return d;
    }
    inicio = fim + 1;
  }
  d.estado =
      leitura.TemCabecalho() ? ConteudoDiario::Estado::Valido : ConteudoDiario::Estado::Vazio;
  return d;
}

}  // namespace app
