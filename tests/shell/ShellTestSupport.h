// What the shell suite's tests share: the shipped pictures, colours as the screen shows them,
// mouse events sent straight to a widget, and a window shown and active.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <optional>
#include <string>

#include "platform/qt/Forms.h"

namespace ShellTest {

inline std::string Resource(const std::string& Name) {
  return std::string(TESSOLON_SOURCE_DIR) + "/resources/" + Name;
}

inline QRgb Rgb(TColor C) {
  return qRgb(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
}

inline QColor Pixel(const QImage& Image, int X, int Y) {
  return QColor(Image.pixel(X, Y));
}

// A mouse event at At in W; every event but a release holds the left button. Global defaults to
// where At lies on the screen now (a drag that moves the window gives its own).
inline void Send(QWidget* W, QEvent::Type Type, QPoint At, Qt::MouseButton Button = Qt::LeftButton,
                 std::optional<QPoint> Global = {}) {
  const Qt::MouseButtons Held = Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent E(Type, QPointF(At), QPointF(At), QPointF(Global.value_or(W->mapToGlobal(At))),
                Button, Held, Qt::NoModifier);
  QApplication::sendEvent(W, &E);
}

inline void ClickAt(QWidget* W, QPoint At) {
  Send(W, QEvent::MouseButtonPress, At);
  Send(W, QEvent::MouseButtonRelease, At);
}

// Shows the form and waits until it is the active window.
inline void ShowActive(TForm& Form) {
  Form.Show();
  Form.Widget()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.Widget()));
}

}  // namespace ShellTest
