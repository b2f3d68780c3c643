// The real open dialog of "&Abrir Processo" in a later run of the window: it starts in the folder
// of the last process opened, and in the home folder once that folder is gone.
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>

#include "Ambiente.h"
#include "platform/qt/QtPlatform.h"
#include "support/PastasUsuario.h"
#include "support/QuandoModal.h"

using teste::Ambiente;

namespace {

// Clicks "&Abrir Processo" of a window with the real dialog, notes the folder it shows and
// cancels it.
QString PastaDoDialogo(Ambiente& a) {
  platform::QtPlatform qt("x");
  platform::ScopedPlatform real(qt);
  QString pasta;
  teste::QuandoModal([&](QWidget* m) {
    if (auto* d = qobject_cast<QFileDialog*>(m)) pasta = d->directory().absolutePath();
    m->close();
  });
  QTest::mouseClick(a.janela->BitBtn1, Qt::LeftButton);
  Ambiente::Processa();
  return pasta;
}

}  // namespace

class TestePasta : public QObject {
  Q_OBJECT

 private slots:
  void dialogoAbreNaPastaDoUltimoProcesso() {
    teste::PastasUsuario usuario;
    std::filesystem::create_directories(usuario / "casa");
    auto primeira = std::make_unique<Ambiente>();
    primeira->Abre();
    const QString pastaProcesso = primeira->pasta.path();
    QCOMPARE(primeira->janela->Edit1->text().toStdString(), primeira->processo);
    {
      // The next run: a new window with no process open.
      Ambiente segunda;
      QCOMPARE(PastaDoDialogo(segunda), QDir(pastaProcesso).absolutePath());
    }
    // The folder removed: the home folder.
    primeira.reset();
    QVERIFY(!QDir(pastaProcesso).exists());
    Ambiente terceira;
    QCOMPARE(PastaDoDialogo(terceira),
             QDir(QString::fromStdString(usuario / "casa")).absolutePath());
  }
};

QTEST_MAIN(TestePasta)
#include "test_form_pasta.moc"
