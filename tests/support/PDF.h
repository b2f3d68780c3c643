// Test helpers for PDF files: the real validators (qpdf, pdfinfo, pdftotext, mutool) run on a
// file, and a small reading of the file's own structure (cross-reference offsets, content
// streams through their /Length objects, inflated when compressed).
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace teste {

struct Execucao {
  int codigo;
  std::string saida;  // stdout and stderr together
};

// Runs a shell command and collects what it prints.
inline Execucao Executa(const std::string& comando) {
  FILE* f = popen((comando + " 2>&1").c_str(), "r");
  std::string saida;
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), f)) > 0) saida.append(buf.data(), n);
  int st = pclose(f);
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, saida};
}

// The file passes qpdf's check without a warning and mutool renders every page without a word.
inline void ValidaPDF(const std::string& caminho) {
  Execucao q = Executa("qpdf --check '" + caminho + "'");
  EXPECT_EQ(q.codigo, 0) << q.saida;
  EXPECT_EQ(q.saida.find("WARNING"), std::string::npos) << q.saida;
  Execucao m = Executa("mutool draw -q -N -r 20 -F png -o /dev/null '" + caminho + "'");
  EXPECT_EQ(m.codigo, 0) << m.saida;
  EXPECT_EQ(m.saida, "");
}

// zlib's inflate of a whole stream (empty when the data is not a zlib stream).
inline std::string Inflate(const std::string& dados) {
  z_stream z{};
  inflateInit(&z);
  std::string saida;
  char buf[65536];
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(dados.data()));
  z.avail_in = static_cast<uInt>(dados.size());
  int r;
  do {
    z.next_out = reinterpret_cast<Bytef*>(buf);
    z.avail_out = sizeof buf;
    r = inflate(&z, Z_NO_FLUSH);
    saida.append(buf, sizeof buf - z.avail_out);
  } while (r == Z_OK);
  inflateEnd(&z);
  return r == Z_STREAM_END ? saida : std::string();
}

// The value line of object n ("n 0 obj" CR LF value CR LF), as the file holds it.
inline std::string ValorDoObjeto(const std::string& pdf, int n) {
  const std::string cab = "\r\n" + std::to_string(n) + " 0 obj\r\n";
  size_t p = pdf.find(cab);
  if (p == std::string::npos) return {};
  p += cab.size();
  return pdf.substr(p, pdf.find("\r\n", p) - p);
}

// Every cross-reference entry is 20 bytes and points at its object's header line; startxref
// points at "xref"; the file ends with "%%EOF" CR LF.
inline void VerificaEstrutura(const std::string& pdf) {
  const size_t fimXref = pdf.rfind("startxref\r\n");
  ASSERT_NE(fimXref, std::string::npos);
  const size_t xref = std::stoul(pdf.substr(fimXref + 11));
  ASSERT_EQ(pdf.compare(xref, 6, "xref\r\n"), 0);
  const size_t tamanho = std::stoul(pdf.substr(xref + 8));
  const size_t entradas = pdf.find("0000000000 65535 f\r\n", xref);
  ASSERT_NE(entradas, std::string::npos);
  for (size_t n = 1; n < tamanho; ++n) {
    const std::string entrada = pdf.substr(entradas + 20 * n, 20);
    ASSERT_EQ(entrada.substr(10), " 00000 n\r\n") << n;
    const std::string cab = std::to_string(n) + " 0 obj\r\n";
    EXPECT_EQ(pdf.compare(std::stoul(entrada.substr(0, 10)), cab.size(), cab), 0) << n;
  }
  EXPECT_EQ(pdf.compare(entradas + 20 * tamanho, 9, "trailer\r\n"), 0);
  EXPECT_EQ(pdf.substr(pdf.size() - 7), "%%EOF\r\n");
}

// The operators of every page, in page order: each content stream cut by the value of its
// /Length object and inflated when it carries the Flate filter.
inline std::vector<std::string> Conteudos(const std::string& pdf) {
  std::vector<std::string> paginas;
  const std::string marca = " 0 obj\r\n<< /Length ";
  for (size_t p = pdf.find(marca); p != std::string::npos; p = pdf.find(marca, p + 1)) {
    const size_t inicio = pdf.find("stream\r\n", p) + 8;
    const int objetoTamanho = std::stoi(pdf.substr(p + marca.size()));
    const size_t tamanho = std::stoul(ValorDoObjeto(pdf, objetoTamanho));
    const std::string dicionario = pdf.substr(p, inicio - p);
    std::string dados = pdf.substr(inicio, tamanho);
    EXPECT_EQ(pdf.compare(inicio + tamanho, 11, "endstream\r\n"), 0);
    paginas.push_back(dicionario.find("/FlateDecode") != std::string::npos ? Inflate(dados)
                                                                           : dados);
  }
  return paginas;
}

}  // namespace teste
