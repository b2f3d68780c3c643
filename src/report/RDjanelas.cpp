// The headless windows of the report engine and the slot that holds the windows in use.
#include "report/RDjanelas.h"

namespace report {

namespace {

// A progress window that shows nothing and never asks to cancel.
class TProgressoSemTela : public TJanelaProgresso {
 public:
  void Mostra(const TConfigProgresso&) override {}
  void Passo() override {}
  void Repinta() override {}
  void Fecha() override {}
};

TJanelasSemTela& SemTela() {
  static TJanelasSemTela j;
  return j;
}

TJanelasRelatorio* instaladas = nullptr;

}  // namespace

// A headless progress window.
std::unique_ptr<TJanelaProgresso> TJanelasSemTela::CriaProgresso(TRDprint&) {
  return std::make_unique<TProgressoSemTela>();
}

// The windows in use.
TJanelasRelatorio& JanelasRelatorio() { return instaladas ? *instaladas : SemTela(); }

// Installs other windows (null restores the headless ones).
void InstalaJanelas(TJanelasRelatorio* j) { instaladas = j; }

JanelasInstaladas::JanelasInstaladas(TJanelasRelatorio& j) : anterior_(instaladas) {
  instaladas = &j;
}
JanelasInstaladas::~JanelasInstaladas() { instaladas = anterior_; }

}  // namespace report
