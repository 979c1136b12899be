#include "platform/qt/AnimateView.h"

#include <QPainter>
#include <algorithm>

TAnimateView::TAnimateView(QWidget* Parent) : QWidget(Parent) {
  FTimer.setInterval(100);
  connect(&FTimer, &QTimer::timeout, this, &TAnimateView::Step);
}

void TAnimateView::SetClip(const QImage& Strip, int FrameCount) {
  FStrip = Strip;
  FFrameCount = Strip.isNull() ? 0 : std::max(FrameCount, 1);
  SetRange(FStart, FStop);
}

void TAnimateView::SetRange(int StartFrame, int StopFrame) {
  const int Last = std::max(FFrameCount - 1, 0);
  FStart = std::clamp(StartFrame, 0, Last);
  FStop = std::clamp(StopFrame, FStart, Last);
  FFrame = FStart;
  update();
}

void TAnimateView::SetActive(bool Value) {
  if (Value == Active()) return;
  FFrame = FStart;
  if (Value && FFrameCount > 0)
    FTimer.start();
  else
    FTimer.stop();
  update();
}

void TAnimateView::Step() {
  FFrame = FFrame >= FStop ? FStart : FFrame + 1;
  update();
}

void TAnimateView::paintEvent(QPaintEvent*) {
  if (FFrameCount == 0) return;
  QPainter Painter(this);
  const int Width = FStrip.width() / FFrameCount;
  const QRect Source(FFrame * Width, 0, Width, FStrip.height());
  const QRect Target((width() - Width) / 2, (height() - FStrip.height()) / 2, Width,
                     FStrip.height());
  Painter.drawImage(Target, FStrip, Source);
}
