#include "signing/AssinaDocumento.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/ByteSink.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/ReadFile.h"
#include "signing/CAdES.h"
#include "signing/PdfAssinatura.h"

namespace signing {

namespace {

constexpr size_t kLimiteDocumento = size_t(1) << 30;
constexpr const char* kSufixoPdf = "-assinado.pdf";
constexpr const char* kSufixoP7s = ".p7s";

// The whole document, or false with ArquivoIlegivel.
bool LeDocumento(const std::string& caminho, std::string& bytes, ErroAssinatura& erro) {
  platform::ReadError le;
  if (platform::readRegularFile(caminho, kLimiteDocumento, bytes, le)) return true;
  return Falhou(erro, Falha::ArquivoIlegivel,
                "N\xE3o foi poss\xEDvel ler " + platform::utf8ToCp1252(caminho) + ": " + le.text);
}

// Writes the parts as the whole new file, atomically.
bool Grava(const std::string& destino, std::initializer_list<std::string_view> partes,
           ErroAssinatura& erro) {
  platform::SinkError e;
  auto saida = platform::openFileSink(destino, e);
  bool ok = saida != nullptr;
  for (auto p : partes) ok = ok && saida->write(p);
  ok = ok && saida->finish();
  if (ok) return true;
  if (saida) e = saida->error();
  return Falhou(erro, Falha::ArquivoNaoGravado,
                "N\xE3o foi poss\xEDvel gravar " + platform::utf8ToCp1252(destino) + ": " + e.text +
                    ". O documento original n\xE3o foi alterado; escolha uma pasta em que possa "
                    "gravar.");
}

// The incremental update with the signature in it; the room is made larger once when the
// signature turned out bigger than estimated.
bool AssinaPdf(const Assinante& a, const std::string& pdf, AtualizacaoPdf& u,
               ErroAssinatura& erro) {
  size_t reservado = TamanhoEstimado(a);
  const std::time_t agora = platform::nowSeconds();
  for (int tentativa = 0; tentativa < 2; ++tentativa) {
    if (!PreparaAtualizacao(pdf, a.titular.nome, agora, reservado, u, erro)) return false;
    ResumoSha256 resumo;
    resumo.Acrescenta(pdf);
    std::string_view bytes = u.bytes;
    resumo.Acrescenta(bytes.substr(0, u.inicioConteudo - pdf.size()));
    resumo.Acrescenta(bytes.substr(u.fimConteudo - pdf.size()));
    std::string der;
    if (!AssinaCAdES(a, resumo.Final(), HoraAssinatura::Omitir, der, erro)) return false;
    if (InsereAssinatura(u, pdf.size(), der)) return true;
    reservado = der.size() + 1024;
  }
  return Falhou(erro, Falha::AssinaturaFalhou,
                "A assinatura ficou maior que o espa\xE7o reservado no PDF.");
}

// `texto` ends with `fim`, letter case ignored.
bool Termina(const std::string& texto, std::string_view fim) {
  if (texto.size() < fim.size()) return false;
  return std::equal(fim.begin(), fim.end(), texto.end() - long(fim.size()), [](char a, char b) {
    return std::tolower((unsigned char)a) == std::tolower((unsigned char)b);
  });
}

}  // namespace

// By extension, as users name their files.
bool EhPdf(const std::string& caminho) {
  if (caminho.size() < 4) return false;
  std::string fim = caminho.substr(caminho.size() - 4);
  std::transform(fim.begin(), fim.end(), fim.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return fim == ".pdf";
}

// NOME.pdf -> NOME-assinado.pdf; any other file gets ".p7s" after its whole name.
std::string CaminhoAssinado(const std::string& caminho) {
  if (EhPdf(caminho)) return caminho.substr(0, caminho.size() - 4) + kSufixoPdf;
  return caminho + kSufixoP7s;
}

// The folder's PDFs, then the proposal file.
std::vector<std::string> DocumentosParaAssinar(const std::string& processo,
                                               const std::string& proposta) {
  std::vector<std::string> docs;
  std::error_code ec;
  const std::string pasta = std::filesystem::path(processo).parent_path().string();
  for (const auto& e : std::filesystem::directory_iterator(pasta.empty() ? "." : pasta, ec)) {
    const std::string nome = e.path().string();
    if (e.is_regular_file(ec) && EhPdf(nome) && !Termina(nome, kSufixoPdf)) docs.push_back(nome);
  }
  std::sort(docs.begin(), docs.end());
  if (!proposta.empty() && std::filesystem::is_regular_file(proposta, ec)) docs.push_back(proposta);
  return docs;
}

// Reads, signs, writes.
bool AssinaDocumento(const Assinante& a, const std::string& caminho, ErroAssinatura& erro) {
  std::string bytes;
  if (!LeDocumento(caminho, bytes, erro)) return false;
  if (EhPdf(caminho)) {
    AtualizacaoPdf u;
    return AssinaPdf(a, bytes, u, erro) && Grava(CaminhoAssinado(caminho), {bytes, u.bytes}, erro);
  }
  ResumoSha256 resumo;
  resumo.Acrescenta(bytes);
  std::string der;
  return AssinaCAdES(a, resumo.Final(), HoraAssinatura::Incluir, der, erro) &&
         Grava(CaminhoAssinado(caminho), {der}, erro);
}

}  // namespace signing
