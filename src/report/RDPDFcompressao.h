// The PDF writer's page compressor: finished page contents are Flate-compressed (zlib format, the
// default level) on a second thread while the caller goes on with the next page; the caller's
// thread compresses too when pages pile up. Pages come back to the caller, on its own thread, in
// the order they were handed over, so the file is the same byte for byte as when every page is
// compressed in turn.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace report {

class CompressorPaginas {
 public:
  // Receives a finished page: the number the caller gave it, the stream data and whether it is
  // compressed.
  using Saida = std::function<void(int64_t pagina, std::string_view dados, bool comprimido)>;

  CompressorPaginas();
  // Stops the second thread; pages not yet given back are dropped.
  ~CompressorPaginas();
  CompressorPaginas(const CompressorPaginas&) = delete;
  CompressorPaginas& operator=(const CompressorPaginas&) = delete;

  // Whether pages are compressed at all (without compression they pass straight through).
  void Configura(bool comprimir);
  // Hands over a finished page; pages that are ready go to `saida`, in order.
  void Entrega(int64_t pagina, std::string conteudo, const Saida& saida);
  // Gives every remaining page to `saida`, in order, and stops the second thread.
  void Termina(const Saida& saida);
  // Why a page could not be compressed (empty when all went well).
  const std::string& Erro() const { return erro_; }

  // Deflate through a reused zlib stream.
  class Deflate {
   public:
    Deflate() = default;
    ~Deflate();
    Deflate(const Deflate&) = delete;
    Deflate& operator=(const Deflate&) = delete;
    // Compresses `entrada` into `saida` (replaced; `tamanho` bytes); false with `erro` set when
    // zlib fails.
    bool Comprime(std::string_view entrada, std::unique_ptr<char[]>& saida, size_t& tamanho,
                  std::string& erro);

   private:
    struct Fluxo;
    std::unique_ptr<Fluxo> fluxo_;
  };

 private:
  struct Trabalho;
  void Inicia();
  void Ajuda(size_t limite, const Saida& saida);
  void Emite(const Saida& saida);
  void Trabalhador();
  static void Executa(Trabalho& t, Deflate& d);

  bool comprimir_ = true;
  std::string erro_;
  Deflate deflate_;  // the caller's thread

  std::mutex mutex_;
  std::condition_variable mudou_;
  std::deque<std::unique_ptr<Trabalho>> fila_;  // pages not yet given back, in order
  bool parar_ = false;
  std::thread trabalhador_;
};

}  // namespace report
