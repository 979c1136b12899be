// The animation control's widget: plays frames of a clip (a horizontal strip of equal frames)
// from a start frame up to a stop frame, repeated, while active. It only shows what a status
// beside it says, so screen readers pass over it.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "platform/qt/AccessibleControl.h"

class TAnimateView : public QWidget, public IAccessibleControl {
  Q_OBJECT
 public:
  explicit TAnimateView(QWidget* Parent = nullptr);
  QAccessible::Role AccessibleRole() const override { return QAccessible::Animation; }
  bool Decorative() const override { return true; }

  // Strip holds FrameCount frames side by side; an empty strip clears the clip.
  void SetClip(const QImage& Strip, int FrameCount);
  int FrameCount() const { return FFrameCount; }
  void SetRange(int StartFrame, int StopFrame);
  int StartFrame() const { return FStart; }
  int StopFrame() const { return FStop; }
  void SetFrameInterval(int Milliseconds) { FTimer.setInterval(Milliseconds); }
  void SetActive(bool Value);
  bool Active() const { return FTimer.isActive(); }
  int Frame() const { return FFrame; }
  // Moves to the next frame as the timer does.
  void Step();

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  QImage FStrip;
  int FFrameCount = 0;
  int FStart = 0;
  int FStop = 0;
  int FFrame = 0;
  QTimer FTimer;
};
