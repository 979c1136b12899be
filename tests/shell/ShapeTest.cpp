#include <gtest/gtest.h>

#include "platform/qt/StdCtrls.h"
#include "shell/Shape.h"

namespace {

QImage Filled(int W, int H, QColor C) {
  QImage I(W, H, QImage::Format_RGB32);
  I.fill(C);
  return I;
}

}  // namespace

TEST(Shape, TransparentPixelsFallOutsideAndRunsEndAtTheEdge) {
  QImage I = Filled(6, 3, Qt::magenta);
  I.setPixel(2, 0, qRgb(0, 0, 0));                                 // a one-pixel run
  for (int X = 3; X < 6; ++X) I.setPixel(X, 1, qRgb(10, 20, 30));  // run up to the right edge
  const QRegion R = ShapeFromImage(I, PixelColor(I, 0, 2));
  EXPECT_EQ(R.rectCount(), 2);
  EXPECT_TRUE(R.contains(QPoint(2, 0)));
  EXPECT_TRUE(R.contains(QPoint(5, 1)));
  EXPECT_FALSE(R.contains(QPoint(2, 1)));
  EXPECT_FALSE(R.contains(QPoint(0, 2)));
  EXPECT_EQ(R.boundingRect(), QRect(QPoint(2, 0), QPoint(5, 1)));
  // A system colour never matches a pixel: the whole picture stays.
  EXPECT_EQ(ShapeFromImage(I, clBtnFace), QRegion(0, 0, 6, 3));
  // Every row transparent: no region at all.
  EXPECT_TRUE(ShapeFromImage(Filled(4, 4, Qt::magenta), PixelColor(I, 0, 2)).isEmpty());
  EXPECT_TRUE(ShapeFromImage(QImage(), clNone).isEmpty());
}

TEST(Shape, RowsWithTheSameRunsMergeIntoOneBandAndStoredBlocksAreChecked) {
  QImage I = Filled(5, 4, Qt::white);
  for (int Y = 0; Y < 3; ++Y) I.setPixel(2, Y, qRgb(255, 0, 255));  // a hole in three rows
  const QRegion R = ShapeFromImage(I, clFuchsia);
  EXPECT_EQ(R.rectCount(), 3);  // two rectangles three rows high, one full bottom row
  const TBytes Block = EncodeRegion(R);
  ASSERT_EQ(Block.size(), 4u + 32 + 16 * 3);
  EXPECT_EQ(Block[0], 32 + 48);
  EXPECT_EQ(Block[12], 3);       // rectangle count
  EXPECT_EQ(Block[36 + 8], 2);   // first rectangle: right edge exclusive
  EXPECT_EQ(Block[36 + 12], 3);  // and three rows high
  EXPECT_EQ(DecodeRegion(Block), R);

  // Stored blocks are checked before use.
  EXPECT_TRUE(DecodeRegion({}).isEmpty());
  EXPECT_TRUE(DecodeRegion({0, 0, 0, 0}).isEmpty());
  EXPECT_TRUE(EncodeRegion(QRegion()) == TBytes({0, 0, 0, 0}));
  const TBytes One = EncodeRegion(QRegion(1, 1, 3, 3));
  TBytes Short(One.begin(), One.end() - 1);
  EXPECT_THROW(DecodeRegion(Short), EInvalidRegionData);
  TBytes BadCount = One;
  BadCount[12] = 9;  // more rectangles than the block holds
  EXPECT_THROW(DecodeRegion(BadCount), EInvalidRegionData);
  TBytes Empty = One;
  Empty[36 + 8] = Empty[36];  // right edge equal to left
  EXPECT_THROW(DecodeRegion(Empty), EInvalidRegionData);
  EXPECT_THROW(DecodeRegion({1, 0}), EInvalidRegionData);
  // A rectangle wider than an int can say (left edge at INT_MIN) overflowed QRegion's sums.
  TBytes Huge = One;
  for (int I : {0, 1, 2}) Huge[36 + I] = 0;
  Huge[36 + 3] = 0x80;
  EXPECT_THROW(DecodeRegion(Huge), EInvalidRegionData);
}

TEST(Shape, SkinPictureShapeCoversExactlyItsNonTealPixels) {
  const QImage Skin = LoadPicture(std::string(TESSOLON_SOURCE_DIR) + "/resources/skin.png");
  ASSERT_FALSE(Skin.isNull());
  const QRegion R = ShapeFromImage(Skin, clTeal);
  long Opaque = 0, Covered = 0;
  for (int Y = 0; Y < Skin.height(); ++Y)
    for (int X = 0; X < Skin.width(); ++X) Opaque += PixelColor(Skin, X, Y) != clTeal;
  for (const QRect& Rect : R) Covered += static_cast<long>(Rect.width()) * Rect.height();
  EXPECT_GT(Opaque, 0);
  EXPECT_LT(Opaque, 337L * 362);
  EXPECT_EQ(Covered, Opaque);
  EXPECT_EQ(DecodeRegion(EncodeRegion(R)), R);
}
