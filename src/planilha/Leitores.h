// The readers of each format, behind ArquivoPlanilha, and the two pieces they share: a zip
// package read with limits (libzip) and streamed XML without a document type (expat).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "planilha/Planilha.h"

namespace planilha::detalhe {

std::optional<ErroPlanilha> LeCsv(std::string_view bytes, const std::string& nome,
                                  const RecebeLinha& recebe, FiltroColunas colunas = nullptr);

std::optional<ErroPlanilha> AbasXlsx(std::string_view bytes, const std::string& nome,
                                     std::vector<std::string>& abas);
std::optional<ErroPlanilha> LeXlsx(std::string_view bytes, const std::string& nome, size_t aba,
                                   const RecebeLinha& recebe, FiltroColunas colunas = nullptr);

std::optional<ErroPlanilha> AbasOds(std::string_view bytes, const std::string& nome,
                                    std::vector<std::string>& abas);
std::optional<ErroPlanilha> LeOds(std::string_view bytes, const std::string& nome, size_t aba,
                                  const RecebeLinha& recebe, FiltroColunas colunas = nullptr);

// A zip package in memory. Entries are read in chunks, counting what is unpacked against
// kLimiteDescompactado whatever the package's directory claims.
class Pacote {
 public:
  Pacote();
  ~Pacote();
  Pacote(const Pacote&) = delete;
  Pacote& operator=(const Pacote&) = delete;

  // Opens the package; the motive of a refusal (for Erro) otherwise.
  std::optional<std::string> Abre(std::string_view bytes);
  bool Existe(const std::string& entrada) const;
  // Hands the entry's bytes to `parte` chunk by chunk; `parte` returns false to stop. The motive
  // of a failure otherwise.
  std::optional<std::string> Le(const std::string& entrada,
                                const std::function<bool(std::string_view)>& parte) const;
  // The whole entry (small entries: relationships, the workbook).
  std::optional<std::string> LeTudo(const std::string& entrada, std::string& bytes) const;

  // An entry that the caller pulls chunk by chunk, under the same limits.
  class Fluxo {
   public:
    ~Fluxo();
    Fluxo(const Fluxo&) = delete;
    Fluxo& operator=(const Fluxo&) = delete;
    // The next chunk into `parte`, empty at the end; the motive of a failure otherwise.
    std::optional<std::string> Proxima(std::string_view& parte);

   private:
    friend class Pacote;
    struct Estado;
    explicit Fluxo(std::unique_ptr<Estado> e);
    std::unique_ptr<Estado> e_;
  };
  // Opens an entry for pulling into `fluxo`; the motive of a failure otherwise.
  std::optional<std::string> AbreEntrada(const std::string& entrada,
                                         std::unique_ptr<Fluxo>& fluxo) const;

 private:
  struct Estado;
  std::unique_ptr<Estado> e_;
};

// Streams XML with expat: no document type is accepted (so no entity of any kind, external or
// not), names are taken with their prefix as written ("table:table-row"). Handlers see the
// element name and attributes as (name, value) pairs in UTF-8.
class LeitorXml {
 public:
  using Atributos = const char**;  // name, value, name, value, ..., null
  std::function<void(std::string_view nome, Atributos atributos)> abre;
  std::function<void(std::string_view nome)> fecha;
  std::function<void(std::string_view texto)> texto;

  LeitorXml();
  ~LeitorXml();
  LeitorXml(const LeitorXml&) = delete;
  LeitorXml& operator=(const LeitorXml&) = delete;

  // Feeds a chunk (final on the last); false after an error, whose motive is Motivo().
  bool Parte(std::string_view bytes, bool final);
  // Stops the parse from inside a handler (a limit was reached, the caller cancelled).
  void Interrompe(std::string motivo);
  bool Interrompido() const { return interrompido_; }
  const std::string& Motivo() const { return motivo_; }

  // The value of an attribute, or nullptr.
  static const char* Atributo(Atributos a, std::string_view nome);

 private:
  struct Estado;
  std::unique_ptr<Estado> e_;
  bool interrompido_ = false;
  std::string motivo_;
};

// Streams an entry of a package through a parser to its end; the motive of a failure (empty when
// a handler stopped the parse without one: the caller cancelled).
std::optional<std::string> Analisa(const Pacote& p, const std::string& entrada, LeitorXml& x);

// UTF-8 from a file to the program's Windows-1252 (ASCII passes as it is); the second form
// reuses the destination's storage.
std::string ParaCp1252(std::string_view utf8);
void ParaCp1252(std::string_view utf8, std::string& destino);

}  // namespace planilha::detalhe
