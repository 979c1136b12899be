#include "platform/qt/AnimateView.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {

// Twelve 4 x 4 frames, frame N filled with grey level 10 * N.
QImage Strip() {
  QImage Image(48, 4, QImage::Format_RGB32);
  QPainter Painter(&Image);
  for (int N = 0; N < 12; ++N) Painter.fillRect(N * 4, 0, 4, 4, QColor(10 * N, 10 * N, 10 * N));
  return Image;
}

}  // namespace

TEST(AnimateView, PlaysTheRangeRepeatedlyWhileActiveHeldWithinTheClip) {
  TAnimateView View;
  View.resize(4, 4);
  View.SetClip(Strip(), 12);
  View.SetRange(0, 8);
  EXPECT_FALSE(View.Active());
  View.SetActive(true);
  EXPECT_TRUE(View.Active());
  std::vector<int> Frames;
  for (int I = 0; I < 11; ++I) {
    Frames.push_back(View.Frame());
    View.Step();
  }
  EXPECT_EQ(Frames, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1}));
  EXPECT_EQ(View.grab().toImage().pixelColor(1, 1), QColor(20, 20, 20));  // frame 2 painted
  View.SetActive(false);
  EXPECT_FALSE(View.Active());
  EXPECT_EQ(View.Frame(), 0);

  View.SetRange(-3, 40);
  EXPECT_EQ(View.StartFrame(), 0);
  EXPECT_EQ(View.StopFrame(), 11);
  View.SetClip(QImage(), 0);
  View.SetActive(true);
  EXPECT_FALSE(View.Active());  // nothing to play
}
