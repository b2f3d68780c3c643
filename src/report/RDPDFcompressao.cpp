// Page compression for the PDF writer: a queue of finished pages, a second thread that takes the
// oldest page waiting, and the caller's thread that takes one too when too many are waiting.
#include "report/RDPDFcompressao.h"

#include <zlib.h>

#include <climits>
#include <new>
#include <system_error>

namespace report {

namespace {

// Pages waiting before the caller's thread compresses one itself: enough to keep the second
// thread busy, few enough that waiting pages cost little memory.
constexpr size_t kMaximoPendentes = 8;

}  // namespace

// One page: waiting, being compressed, or ready to be given back.
struct CompressorPaginas::Trabalho {
  enum Estado { Esperando, Comprimindo, Pronto };
  int64_t pagina = 0;
  std::string entrada, erro;
  std::unique_ptr<char[]> saida;
  size_t tamanho = 0;
  Estado estado = Esperando;
};

struct CompressorPaginas::Deflate::Fluxo {
  z_stream z{};
};

// Releases zlib's state.
CompressorPaginas::Deflate::~Deflate() {
  if (fluxo_) deflateEnd(&fluxo_->z);
}

// Compresses one page at zlib's default level, in zlib format.
bool CompressorPaginas::Deflate::Comprime(std::string_view entrada, std::unique_ptr<char[]>& saida,
                                          size_t& tamanho, std::string& erro) {
  if (entrada.size() > UINT_MAX / 2) {
    erro = "P\xE1gina grande demais para o PDF: divida o relat\xF3rio em mais p\xE1ginas.";
    return false;
  }
  if (!fluxo_) {
    auto f = std::make_unique<Fluxo>();
    if (deflateInit(&f->z, Z_DEFAULT_COMPRESSION) != Z_OK) {
      erro =
          "Mem\xF3ria insuficiente para comprimir o PDF: feche outros programas e tente de novo.";
      return false;
    }
    fluxo_ = std::move(f);
  } else {
    deflateReset(&fluxo_->z);
  }
  z_stream& z = fluxo_->z;
  // The output block is not cleared first: deflate writes every byte that is kept.
  const uLong limite = deflateBound(&z, static_cast<uLong>(entrada.size()));
  saida = std::make_unique_for_overwrite<char[]>(limite);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(entrada.data()));
  z.avail_in = static_cast<uInt>(entrada.size());
  z.next_out = reinterpret_cast<Bytef*>(saida.get());
  z.avail_out = static_cast<uInt>(limite);
  const int r = deflate(&z, Z_FINISH);
  if (r != Z_STREAM_END) {
    erro = std::string("Erro na compress\xE3o do PDF (zlib ") + (z.msg ? z.msg : "") + ").";
    return false;
  }
  tamanho = z.total_out;
  return true;
}

CompressorPaginas::CompressorPaginas() = default;

// Stops the second thread.
CompressorPaginas::~CompressorPaginas() {
  {
    std::lock_guard<std::mutex> trava(mutex_);
    parar_ = true;
  }
  mudou_.notify_all();
  if (trabalhador_.joinable()) trabalhador_.join();
}

// Chooses whether pages are compressed.
void CompressorPaginas::Configura(bool comprimir) { comprimir_ = comprimir; }

// Starts the second thread, on a machine that has a second core; without it (or when no thread
// can be started) the caller's thread compresses every page.
void CompressorPaginas::Inicia() {
  if (trabalhador_.joinable() || std::thread::hardware_concurrency() < 2) return;
  parar_ = false;
  try {
    trabalhador_ = std::thread([this] { Trabalhador(); });
  } catch (const std::system_error&) {
  }
}

// Compresses one page, keeping the result or the failure in the page itself.
void CompressorPaginas::Executa(Trabalho& t, Deflate& d) {
  try {
    if (d.Comprime(t.entrada, t.saida, t.tamanho, t.erro)) std::string().swap(t.entrada);
  } catch (const std::bad_alloc&) {
    t.erro =
        "Mem\xF3ria insuficiente para comprimir o PDF: feche outros programas e tente de novo.";
  }
}

// The second thread: takes the oldest waiting page until told to stop.
void CompressorPaginas::Trabalhador() {
  Deflate deflate;
  std::unique_lock<std::mutex> trava(mutex_);
  for (;;) {
    Trabalho* t = nullptr;
    mudou_.wait(trava, [&] {
      if (parar_) return true;
      for (auto& p : fila_)
        if (p->estado == Trabalho::Esperando) return (t = p.get()) != nullptr;
      return false;
    });
    if (!t) return;
    t->estado = Trabalho::Comprimindo;
    trava.unlock();
    Executa(*t, deflate);
    trava.lock();
    t->estado = Trabalho::Pronto;
    mudou_.notify_all();
  }
}

// Queues a finished page and gives back the pages that are ready.
void CompressorPaginas::Entrega(int64_t pagina, std::string conteudo, const Saida& saida) {
  if (!comprimir_) {
    saida(pagina, conteudo, false);
    return;
  }
  auto t = std::make_unique<Trabalho>();
  t->pagina = pagina;
  t->entrada = std::move(conteudo);
  bool espera;
  {
    std::lock_guard<std::mutex> trava(mutex_);
    espera = !fila_.empty();
    fila_.push_back(std::move(t));
  }
  // A second page waiting is worth a second thread; a one-page document needs none.
  if (espera) Inicia();
  mudou_.notify_all();
  Ajuda(kMaximoPendentes, saida);
}

// Until fewer than `limite` pages are left in the queue: gives back the pages ready at its
// head, compresses the oldest waiting page on this thread, or waits for the second thread.
void CompressorPaginas::Ajuda(size_t limite, const Saida& saida) {
  for (;;) {
    Emite(saida);
    std::unique_lock<std::mutex> trava(mutex_);
    if (fila_.size() < limite || (limite == 0 && fila_.empty())) return;
    Trabalho* t = nullptr;
    for (auto& p : fila_)
      if (p->estado == Trabalho::Esperando) {
        t = p.get();
        break;
      }
    if (t) {
      t->estado = Trabalho::Comprimindo;
      trava.unlock();
      Executa(*t, deflate_);
      trava.lock();
      t->estado = Trabalho::Pronto;
    } else {
      mudou_.wait(trava, [&] { return fila_.front()->estado == Trabalho::Pronto; });
    }
  }
}

// Gives back, in order, the pages ready at the head of the queue; stops at the first failure.
void CompressorPaginas::Emite(const Saida& saida) {
  for (;;) {
    std::unique_ptr<Trabalho> t;
    {
      std::lock_guard<std::mutex> trava(mutex_);
      if (fila_.empty() || fila_.front()->estado != Trabalho::Pronto) return;
      t = std::move(fila_.front());
      fila_.pop_front();
    }
    if (!erro_.empty()) continue;
    if (!t->erro.empty()) {
      erro_ = t->erro;
      continue;
    }
    saida(t->pagina, std::string_view(t->saida.get(), t->tamanho), true);
  }
}

// Gives back every page and stops the second thread.
void CompressorPaginas::Termina(const Saida& saida) {
  Ajuda(0, saida);
  {
    std::lock_guard<std::mutex> trava(mutex_);
    parar_ = true;
  }
  mudou_.notify_all();
  if (trabalhador_.joinable()) trabalhador_.join();
}

}  // namespace report
