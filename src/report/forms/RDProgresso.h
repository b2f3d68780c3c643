// The progress window TDFMProgresso: what a long operation of the report engine is doing (caption),
// on which report or file (NOMEREL), how far it got (the bar), a small animation, and Cancelar,
// which after confirmation raises the cancel request the operation polls. It is shown without a
// modal loop while every other window of the program is disabled.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <vector>

#include "report/RDjanelas.h"

class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;

namespace report::forms {

class TDFMProgresso : public QDialog, public TJanelaProgresso {
  Q_OBJECT

 public:
  TDFMProgresso();
  ~TDFMProgresso() override;

  // The protocol of the engine's long operations.
  void Mostra(const TConfigProgresso& config) override;
  void Passo() override;
  void Repinta() override;
  void Fecha() override;

  // Handlers, named after the window's events.
  void FormShow();
  void FormClose();
  void Timer1Timer();
  void sbCancelarClick();
  // Advances the animation frame and draws it (nothing for captions without a strip).
  void desenha(QPainter& p);

  // The animation frame counter, 0..5, shared by every progress window.
  static int QuadroAtual();
  void reject() override;

  QLabel* NOMEREL;
  QProgressBar* ProgressBar1;
  QToolButton* sbCancelar;
  QTimer* Timer1;
  QImage Image1, Image2, Image3;  // reading, printing, writing

 protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void ReabilitaJanelas();
  std::vector<QPointer<QWidget>> desabilitadas_;
  bool fechando_ = false;
  QElapsedTimer ultimaPintura_;
  int passos_ = 0;          // steps done; the bar shows them a pixel at a time
  int passosPorPixel_ = 1;  // steps that move the bar by a pixel
};

}  // namespace report::forms
