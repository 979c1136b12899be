#include "platform/qt/JpegImage.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

namespace {

QByteArray EncodedPicture() {
  QImage Picture(40, 30, QImage::Format_RGB32);
  Picture.fill(QColor(200, 40, 40));
  for (int X = 20; X < 40; ++X)
    for (int Y = 0; Y < 30; ++Y) Picture.setPixelColor(X, Y, QColor(20, 40, 220));
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  Buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(Picture.save(&Buffer, "JPG", 95));
  return Bytes;
}

}  // namespace

// A good picture decodes to its size and colours; damaged data or a missing file give nothing
// instead of ending the program, and leave the decoder usable.
TEST(DecodeJpeg, DecodesAGoodPictureAndGivesNothingForADamagedOne) {
  const QByteArray Good = EncodedPicture();
  QByteArray BadHeader = Good;
  for (int I = 2; I < 40; ++I) BadHeader[I] = char(0xFF);
  for (const QByteArray& Bad :
       {QByteArray(), QByteArray("not a picture at all"), Good.left(Good.size() / 2), BadHeader})
    EXPECT_TRUE(DecodeJpeg(Bad).isNull()) << Bad.size();
  EXPECT_TRUE(LoadJpegFile("/nonexistent/picture.jpg").isNull());
  const QImage Image = DecodeJpeg(Good);
  ASSERT_FALSE(Image.isNull());
  EXPECT_EQ(Image.size(), QSize(40, 30));
  const QColor Left = Image.pixelColor(5, 15), Right = Image.pixelColor(35, 15);
  EXPECT_NEAR(Left.red(), 200, 12);
  EXPECT_NEAR(Left.blue(), 40, 12);
  EXPECT_NEAR(Right.blue(), 220, 12);
  EXPECT_NEAR(Right.red(), 20, 12);
}
