// Qt tests: acting on a modal window as soon as it is shown.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace teste {

// Runs `f` on the modal window as soon as it is shown.
inline void QuandoModal(std::function<void(QWidget*)> f) {
  auto* tentativa = new QTimer(qApp);
  tentativa->setInterval(10);
  QObject::connect(tentativa, &QTimer::timeout, [tentativa, f] {
    if (QWidget* m = QApplication::activeModalWidget()) {
      tentativa->stop();
      tentativa->deleteLater();
      f(m);
    }
  });
  tentativa->start();
}

}  // namespace teste
