#include "signing/PdfAssinatura.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
// qpdf's smart pointers are std::shared_ptr throughout.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <vector>

#include "platform/CodePage.h"

namespace signing {

namespace {

constexpr int kProfundidadeMaxima = 64;  // of the page tree
constexpr int kLarguraByteRange = 10;    // digits of each /ByteRange number

// One object written in the update.
struct ObjetoNovo {
  int id;
  int geracao;
  std::string corpo;  // what goes between "obj" and "endobj"
};

// What the update needs to know about the original file.
struct Original {
  long long ultimaXref = -1;
  bool xrefEmFluxo = false;  // the last section is a cross-reference stream
  int tamanho = 0;           // the trailer's /Size
  std::string raiz, info, id;
  QPDFObjectHandle catalogo, pagina;
  int camposAssinatura = 0;
};

// The offset after the last "startxref", or -1.
long long UltimaXref(std::string_view pdf) {
  size_t p = pdf.rfind("startxref");
  if (p == std::string_view::npos) return -1;
  p += 9;
  while (p < pdf.size() && std::isspace(static_cast<unsigned char>(pdf[p]))) ++p;
  long long v = 0;
  size_t inicio = p;
  for (; p < pdf.size() && std::isdigit(static_cast<unsigned char>(pdf[p])) && p - inicio < 15; ++p)
    v = v * 10 + (pdf[p] - '0');
  return p > inicio && v < static_cast<long long>(pdf.size()) ? v : -1;
}

// The first page of the page tree (an indirect dictionary), or a null handle.
QPDFObjectHandle PrimeiraPagina(QPDFObjectHandle raiz) {
  QPDFObjectHandle no = raiz.getKey("/Pages");
  for (int i = 0; i < kProfundidadeMaxima && no.isDictionary(); ++i) {
    QPDFObjectHandle filhos = no.getKey("/Kids");
    if (!filhos.isArray()) return no.isIndirect() ? no : QPDFObjectHandle::newNull();
    if (filhos.getArrayNItems() == 0) break;
    no = filhos.getArrayItem(0);
  }
  return QPDFObjectHandle::newNull();
}

// The signature fields already in the form.
int ContaCamposAssinatura(QPDFObjectHandle raiz) {
  QPDFObjectHandle campos = raiz.getKey("/AcroForm").getKey("/Fields");
  int n = 0;
  for (int i = 0; campos.isArray() && i < campos.getArrayNItems(); ++i)
    if (campos.getArrayItem(i).getKey("/FT").isNameAndEquals("/Sig")) ++n;
  return n;
}

// Reads what the update refers to; raises qpdf's exceptions on a damaged file.
bool LeOriginal(QPDF& q, std::string_view pdf, Original& o, ErroAssinatura& erro) {
  const std::string danificado =
      "O PDF est\xE1 danificado e n\xE3o pode ser assinado; gere o documento de novo.";
  q.setSuppressWarnings(true);
  q.setAttemptRecovery(false);
  q.processMemoryFile("documento", pdf.data(), pdf.size());
  if (q.isEncrypted())
    return Falhou(erro, Falha::PdfCriptografado,
                  "O PDF est\xE1 protegido por senha ou criptografado e n\xE3o pode ser "
                  "assinado; gere-o sem prote\xE7\xE3o.");
  QPDFObjectHandle trailer = q.getTrailer();
  o.ultimaXref = UltimaXref(pdf);
  o.catalogo = trailer.getKey("/Root");
  if (o.ultimaXref < 0 || !trailer.getKey("/Size").isInteger() || !o.catalogo.isIndirect() ||
      !o.catalogo.isDictionary())
    return Falhou(erro, Falha::PdfDanificado, danificado);
  o.xrefEmFluxo = pdf.substr(size_t(o.ultimaXref), 4) != "xref";
  o.tamanho = trailer.getKey("/Size").getIntValueAsInt();
  o.raiz = o.catalogo.unparse();
  if (trailer.hasKey("/Info")) o.info = trailer.getKey("/Info").unparse();
  if (trailer.getKey("/ID").isArray()) o.id = trailer.getKey("/ID").unparse();
  o.pagina = PrimeiraPagina(o.catalogo);
  if (o.pagina.isNull()) return Falhou(erro, Falha::PdfDanificado, danificado);
  o.camposAssinatura = ContaCamposAssinatura(o.catalogo);
  return true;
}

// Adds `ref` to the array under `chave` of `copia` (a direct copy of a dictionary): an array that
// is an object of its own is rewritten as such; otherwise the copy gets the longer array.
void AcrescentaReferencia(QPDFObjectHandle& copia, const char* chave, QPDFObjectHandle ref,
                          std::vector<ObjetoNovo>& reescritos) {
  QPDFObjectHandle lista = copia.getKey(chave);
  QPDFObjectHandle nova = lista.isArray() ? lista.shallowCopy() : QPDFObjectHandle::newArray();
  nova.appendItem(ref);
  if (lista.isIndirect() && lista.isArray())
    reescritos.push_back({lista.getObjectID(), lista.getGeneration(), nova.unparse()});
  else
    copia.replaceKey(chave, nova);
}

// The catalog (or its form, when that is an object of its own) listing the new field, and the
// first page holding its widget.
std::vector<ObjetoNovo> ObjetosReescritos(Original o, QPDFObjectHandle campo) {
  std::vector<ObjetoNovo> r;
  QPDFObjectHandle formulario = o.catalogo.getKey("/AcroForm");
  QPDFObjectHandle novoFormulario =
      formulario.isDictionary() ? formulario.shallowCopy() : QPDFObjectHandle::newDictionary();
  AcrescentaReferencia(novoFormulario, "/Fields", campo, r);
  novoFormulario.replaceKey("/SigFlags", QPDFObjectHandle::newInteger(3));
  if (formulario.isIndirect() && formulario.isDictionary()) {
    r.push_back({formulario.getObjectID(), formulario.getGeneration(), novoFormulario.unparse()});
  } else {
    QPDFObjectHandle catalogo = o.catalogo.shallowCopy();
    catalogo.replaceKey("/AcroForm", novoFormulario);
    r.push_back({o.catalogo.getObjectID(), o.catalogo.getGeneration(), catalogo.unparse()});
  }
  QPDFObjectHandle pagina = o.pagina.shallowCopy();
  AcrescentaReferencia(pagina, "/Annots", campo, r);
  r.push_back({o.pagina.getObjectID(), o.pagina.getGeneration(), pagina.unparse()});
  return r;
}

// A PDF text string: literal for plain ASCII, UTF-16BE in hex otherwise.
std::string TextoPdf(const std::string& cp1252) {
  bool simples = std::all_of(cp1252.begin(), cp1252.end(), [](char c) {
    return c >= 0x20 && c < 0x7F && c != '(' && c != ')' && c != '\\';
  });
  if (simples) return "(" + cp1252 + ")";
  std::string hex = "<FEFF";
  char h[8];
  std::string utf8 = platform::cp1252ToUtf8(cp1252);
  for (size_t i = 0; i < utf8.size();) {
    auto c = static_cast<unsigned char>(utf8[i]);
    unsigned cp = c;
    int extra = c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra) cp = c & (extra == 2 ? 0x0F : 0x1F);
    for (int k = 1; k <= extra && i + size_t(k) < utf8.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + size_t(k)]) & 0x3F);
    i += size_t(extra) + 1;
    std::snprintf(h, sizeof h, "%04X", cp & 0xFFFF);
    hex += h;
  }
  return hex + ">";
}

// "D:AAAAMMDDHHmmSSZ".
std::string DataPdf(std::time_t t) {
  std::tm tm{};
  gmtime_r(&t, &tm);
  char s[80];
  std::snprintf(s, sizeof s, "(D:%04d%02d%02d%02d%02d%02dZ)", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return s;
}

// The ids in runs of consecutive numbers: (first, count) pairs.
std::vector<std::pair<int, int>> Subsecoes(const std::vector<std::pair<int, size_t>>& entradas) {
  std::vector<std::pair<int, int>> s;
  for (const auto& e : entradas) {
    if (!s.empty() && s.back().first + s.back().second == e.first)
      ++s.back().second;
    else
      s.push_back({e.first, 1});
  }
  return s;
}

// The keys that every trailer of the update carries.
std::string ChavesTrailer(const Original& o, int tamanho) {
  std::string t = "/Size " + std::to_string(tamanho) + " /Root " + o.raiz + " /Prev " +
                  std::to_string(o.ultimaXref);
  if (!o.info.empty()) t += " /Info " + o.info;
  if (!o.id.empty()) t += " /ID " + o.id;
  return t;
}

// A classic cross-reference table and trailer.
std::string TabelaXref(const Original& o, const std::vector<std::pair<int, size_t>>& entradas,
                       int tamanho) {
  std::string x = "xref\n";
  char linha[32];
  size_t i = 0;
  for (const auto& [primeiro, n] : Subsecoes(entradas)) {
    x += std::to_string(primeiro) + " " + std::to_string(n) + "\n";
    for (int k = 0; k < n; ++k, ++i) {
      std::snprintf(linha, sizeof linha, "%010zu 00000 n \n", entradas[i].second);
      x += linha;
    }
  }
  return x + "trailer\n<<" + ChavesTrailer(o, tamanho) + ">>\n";
}

// A cross-reference stream (object `id`, at offset `posicao`) for files whose own is one.
std::string FluxoXref(const Original& o, std::vector<std::pair<int, size_t>> entradas, int id,
                      size_t posicao) {
  entradas.push_back({id, posicao});
  std::string dados, indice;
  for (const auto& [primeiro, n] : Subsecoes(entradas))
    indice += std::to_string(primeiro) + " " + std::to_string(n) + " ";
  for (const auto& e : entradas) {
    dados += '\x01';
    for (int s = 24; s >= 0; s -= 8) dados += char((e.second >> s) & 0xFF);
    dados += std::string(2, '\0');
  }
  indice.pop_back();
  return std::to_string(id) + " 0 obj\n<</Type /XRef /W [1 4 2] /Index [" + indice + "] " +
         ChavesTrailer(o, id + 1) + " /Length " + std::to_string(dados.size()) + ">>\nstream\n" +
         dados + "\nendstream\nendobj\n";
}

// The update's bytes for a file read into `o`.
void MontaAtualizacao(std::string_view pdf, Original& o, QPDF& q, const std::string& nome,
                      std::time_t momento, size_t reservado, AtualizacaoPdf& a) {
  const int idAssinatura = o.tamanho, idCampo = o.tamanho + 1;
  const size_t base = pdf.size() + (pdf.empty() || pdf.back() == '\n' ? 0 : 1);
  std::string& u = a.bytes;
  u = base > pdf.size() ? "\n" : "";
  std::vector<std::pair<int, size_t>> entradas;
  auto acrescenta = [&](int id, int geracao, const std::string& corpo) {
    entradas.push_back({id, pdf.size() + u.size()});
    u += std::to_string(id) + " " + std::to_string(geracao) + " obj\n" + corpo + "\nendobj\n";
  };
  const std::string faixa = "[0 " + std::string(3 * (kLarguraByteRange + 1) - 1, ' ') + "]";
  std::string dicionario =
      "<</Type /Sig /Filter /Adobe.PPKLite /SubFilter /ETSI.CAdES.detached "
      "/ByteRange " +
      faixa + " /Contents <" + std::string(2 * reservado, '0') + "> /M " + DataPdf(momento) +
      " /Name " + TextoPdf(nome) + ">>";
  acrescenta(idAssinatura, 0, dicionario);
  size_t inicioObjeto = entradas.back().second + std::to_string(idAssinatura).size() + 7;
  a.inicioConteudo = inicioObjeto + dicionario.find("/Contents <") + 10;
  a.fimConteudo = a.inicioConteudo + 2 * reservado + 2;
  acrescenta(idCampo, 0,
             "<</Type /Annot /Subtype /Widget /FT /Sig /T (Assinatura" +
                 std::to_string(o.camposAssinatura + 1) + ") /V " + std::to_string(idAssinatura) +
                 " 0 R /F 132 /Rect [0 0 0 0] /P " + o.pagina.unparse() + ">>");
  for (const auto& r : ObjetosReescritos(o, q.getObject(idCampo, 0)))
    acrescenta(r.id, r.geracao, r.corpo);
  std::sort(entradas.begin(), entradas.end());
  const size_t posicaoXref = pdf.size() + u.size();
  u += o.xrefEmFluxo ? FluxoXref(o, entradas, idCampo + 1, posicaoXref)
                     : TabelaXref(o, entradas, idCampo + 1);
  u += "startxref\n" + std::to_string(posicaoXref) + "\n%%EOF\n";
  // The byte range is known now: everything but the signature's hex string.
  size_t total = pdf.size() + u.size();
  std::string valor = "[0 " + std::to_string(a.inicioConteudo) + " " +
                      std::to_string(a.fimConteudo) + " " + std::to_string(total - a.fimConteudo);
  valor.resize(faixa.size() - 1, ' ');
  valor += ']';
  size_t pFaixa = u.find(faixa);
  u.replace(pFaixa, faixa.size(), valor);
}

}  // namespace

// Reads the original with qpdf and builds the update; qpdf's exceptions become the messages.
bool PreparaAtualizacao(std::string_view original, const std::string& nome, std::time_t momento,
                        size_t reservado, AtualizacaoPdf& atualizacao, ErroAssinatura& erro) {
  try {
    QPDF q;
    Original o;
    if (!LeOriginal(q, original, o, erro)) return false;
    MontaAtualizacao(original, o, q, nome, momento, reservado, atualizacao);
    return true;
  } catch (const QPDFExc& e) {
    if (e.getErrorCode() == qpdf_e_password)
      return Falhou(erro, Falha::PdfCriptografado,
                    "O PDF est\xE1 protegido por senha e n\xE3o pode ser assinado; gere-o sem "
                    "senha.");
    return Falhou(
        erro, Falha::PdfDanificado,
        "O PDF est\xE1 danificado e n\xE3o pode ser assinado; gere o documento de novo (" +
            platform::utf8ToCp1252(e.getMessageDetail()) + ").");
  } catch (const std::exception& e) {
    return Falhou(erro, Falha::PdfDanificado,
                  "O PDF n\xE3o p\xF4"
                  "de ser lido para a assinatura; gere o documento de novo (" +
                      platform::utf8ToCp1252(e.what()) + ").");
  }
}

// Writes the DER in hex over the zeros between "<" and ">".
bool InsereAssinatura(AtualizacaoPdf& a, size_t tamanhoOriginal, const std::string& der) {
  size_t espaco = a.fimConteudo - a.inicioConteudo - 2;
  if (2 * der.size() > espaco) return false;
  static const char* kHex = "0123456789ABCDEF";
  char* p = a.bytes.data() + (a.inicioConteudo - tamanhoOriginal) + 1;
  for (unsigned char c : der) {
    *p++ = kHex[c >> 4];
    *p++ = kHex[c & 0xF];
  }
  return true;
}

}  // namespace signing
