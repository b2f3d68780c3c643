// Measures the main window with a 100,000-item process: opening it (reading, showing, first paint),
// moving to the last row with the navigator, the total button, and the rewrite on close. Prints one
// line per step in milliseconds. Run: bench_form_abertura [itens] (QT_QPA_PLATFORM=offscreen
// works).
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "Ambiente.h"
#include "app/forms/TDBNavigator.h"

namespace {
// A process file of n items in lots of 50.
std::string Gera(int n) {
  std::vector<teste::ItemFixture> itens;
  itens.reserve(static_cast<size_t>(n));
  for (int i = 1; i <= n; ++i)
    itens.push_back({std::to_string(i), "C" + std::to_string(i),
                     "Produto n\xFAmero " + std::to_string(i),
                     "Descri\xE7\xE3o do produto " + std::to_string(i), "Marca", "3", "1,25", "1",
                     std::to_string(100000 + i / 50)});
  return teste::ProcessoFixture("20240099", "Processo grande", itens);
}

// Milliseconds since t, and restarts it.
long long Passo(QElapsedTimer& t) {
  long long ms = t.elapsed();
  t.restart();
  return ms;
}
}  // namespace

int main(int argc, char** argv) {
  QApplication aplicacao(argc, argv);
  int n = argc > 1 ? std::atoi(argv[1]) : 100000;
  teste::Ambiente a(Gera(n));
  auto& w = *a.janela;
  QElapsedTimer t;
  t.start();
  w.AbrirArquivo(a.processo);
  w.AtualizaTela();
  w.repaint();  // the first paint of the whole window with the grid filled
  QCoreApplication::processEvents();
  std::printf("abrir %d itens + primeira pintura: %lld ms\n", n, Passo(t));
  QTest::mouseClick(w.DBNavigator1->Botao(app::forms::BotaoNavegador::Ultimo), Qt::LeftButton);
  w.repaint();
  std::printf("navegador: ultimo item + pintura: %lld ms\n", Passo(t));
  QTest::mouseClick(w.btn1, Qt::LeftButton);
  w.AtualizaTela();
  w.repaint();
  std::printf("total da proposta (percorre a tabela): %lld ms\n", Passo(t));
  w.close();
  std::printf("fechar (regrava o processo): %lld ms\n", Passo(t));
  std::printf("erros: %zu, mensagens: %zu\n", a.plataforma.erros.size(),
              a.plataforma.mensagens.size());
  return a.plataforma.erros.empty() ? 0 : 1;
}
