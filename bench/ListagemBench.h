// The 100,000-item listing the report benchmarks measure: a generated item table composed as
// "Relatório" does on a component set up as RDprint1, with the composed report open while a
// function runs in its preview. Shared by the benchmark programs of this folder.
#pragma once

#include <sys/resource.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/Listagem.h"
#include "app/TabelaItens.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"

namespace bench {

// A table of n items in lots of 50, with names, brands, quantities and prices.
inline void GeraTabela(app::TTabelaItens& t, int n) {
  t.Reinicia();
  for (int i = 1; i <= n; ++i) {
    app::Item item;
    item.ordem = i;
    item.lote = std::to_string((i - 1) / 50 + 1);
    while (item.lote.size() < 4) item.lote.insert(0, "0");  // lots sort as numbers
    item.nome = "Produto de teste n\xFAmero " + std::to_string(i);
    item.marca = i % 3 ? "Marca " + std::to_string(i % 97) : "";
    item.quantidade = 1 + i % 250 + (i % 4) * 0.25;
    item.valor = (i % 10000) / 100.0 + 0.1234;
    t.CarregaLinha(item);
  }
  t.FimCarga();
}

// Windows whose preview runs a function while the composed report is open.
class JanelasBench : public report::TJanelasSemTela {
 public:
  std::function<void(report::TRDprint&)> noPreview;
  void MostraPreview(report::TRDprint& rd) override {
    if (noPreview) noPreview(rd);
  }
};

// The process's peak resident memory so far, in MB.
inline double PicoMemoriaMB() {
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  return uso.ru_maxrss / 1024.0;
}

// Composes the listing of `tabela` and calls `noPreview` while it is open; `antes` runs on the
// component just before the composition starts.
inline void Compoe(app::TTabelaItens& tabela,
                   const std::function<void(report::TRDprint&)>& noPreview,
                   const std::function<void(report::TRDprint&)>& antes = {}) {
  JanelasBench janelas;
  janelas.noPreview = noPreview;
  report::JanelasInstaladas guarda(janelas);
  report::ReiniciaEstadoRelatorio();
  report::TRDprint rd;
  app::ConfiguraRDprint1(rd);
  rd.PortaComunicacao = "bench";
  app::TListagem listagem(rd, tabela);
  listagem.Label5Caption = "2024/0001";
  listagem.Licitante = "Empresa de Teste Ltda";
  listagem.CNPJ = "12345678000195";
  if (antes) antes(rd);
  listagem.BitBtn2Click();
}

// The generated table of n items, built once per process.
inline app::TTabelaItens& Tabela(int n) {
  static std::map<int, std::unique_ptr<app::TTabelaItens>> tabelas;
  auto& t = tabelas[n];
  if (!t) {
    t = std::make_unique<app::TTabelaItens>();
    GeraTabela(*t, n);
  }
  return *t;
}

}  // namespace bench
