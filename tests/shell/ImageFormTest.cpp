#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMouseEvent>

#include "platform/qt/Forms.h"
#include "shell/ImageForm.h"
#include "shell/Shape.h"

namespace {

// Writes a 10 x 8 picture: a magenta frame (bottom-left magenta) around a grey body. Each test
// process writes its own file: ctest runs the cases side by side.
std::string FramedPicture() {
  QImage I(10, 8, QImage::Format_RGB32);
  I.fill(QColor(255, 0, 255));
  for (int Y = 2; Y < 6; ++Y)
    for (int X = 3; X < 7; ++X) I.setPixel(X, Y, qRgb(128, 128, 128));
  const QString Path = QDir::temp().filePath(
      QString("tessolon-shell-framed-%1.png").arg(QCoreApplication::applicationPid()));
  I.save(Path);
  return Path.toStdString();
}

void Send(QWidget* W, QEvent::Type Type, QPoint Local, QPoint Global, Qt::MouseButton Button) {
  const Qt::MouseButtons Held = Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent E(Type, QPointF(Local), QPointF(Local), QPointF(Global), Button, Held,
                Qt::NoModifier);
  QApplication::sendEvent(W, &E);
}

class ImageFormTest : public testing::Test {
 protected:
  ImageFormTest() {
    Skin->SetParent(&Form);
    Skin->SetAutoSize(true);
  }
  TForm Form{nullptr};
  TskImageForm* Skin = new TskImageForm(&Form);
};

}  // namespace

TEST_F(ImageFormTest, WindowShapeFollowsThePicturesTransparentColour) {
  Skin->SetPicture(FramedPicture());
  EXPECT_EQ(Form.BorderStyle(), bsNone);
  EXPECT_EQ(Form.ClientWidth(), 10);
  EXPECT_EQ(Skin->EffectiveTransparentColor(), clFuchsia);  // clNone: bottom-left pixel
  const QRegion Mask = Form.Widget()->mask();
  EXPECT_EQ(Mask, QRegion(3, 2, 4, 4));

  Skin->SetTransparentColor(clGray);  // now the body is cut out and the frame stays
  EXPECT_FALSE(Form.Widget()->mask().contains(QPoint(4, 3)));
  EXPECT_TRUE(Form.Widget()->mask().contains(QPoint(0, 0)));
}

TEST_F(ImageFormTest, StoredShapeIsUsedAsStoredAndAnEmptyOneFollowsThePicture) {
  Skin->SetPicture(FramedPicture());
  Skin->SetRegionData(EncodeRegion(QRegion(0, 0, 2, 2)));
  EXPECT_EQ(Form.Widget()->mask(), QRegion(0, 0, 2, 2));
  EXPECT_EQ(DecodeRegion(Skin->RegionData()), QRegion(3, 2, 4, 4));  // saved: from the picture
  Skin->SetRegionData({0, 0, 0, 0});
  EXPECT_EQ(Form.Widget()->mask(), QRegion(3, 2, 4, 4));
  EXPECT_THROW(Skin->SetRegionData({9, 0, 0, 0, 1}), EInvalidRegionData);
}

TEST_F(ImageFormTest, MissingPictureLeavesTheWindowRectangular) {
  Skin->SetPicture("no-such-picture.png");
  EXPECT_TRUE(Skin->Image().isNull());
  EXPECT_TRUE(Form.Widget()->mask().isEmpty());
  EXPECT_TRUE(Skin->RegionData() == TBytes({0, 0, 0, 0}));
}

TEST_F(ImageFormTest, DraggingTheBodyMovesTheWindowOncePastTheTolerance) {
  Skin->SetPicture(FramedPicture());
  Form.SetBounds(100, 100, 10, 8);
  QWidget* W = Form.Widget();
  const QPoint Start = W->pos();
  int Clicks = 0, Moves = 0;
  Skin->OnClick = [&](TComponent*) { ++Clicks; };
  Skin->OnMouseMove = [&](TComponent*, TShiftState Shift, int, int) {
    Moves += (Shift & (1 << ssLeft)) != 0;
  };

  Send(W, QEvent::MouseButtonPress, {4, 3}, {500, 500}, Qt::LeftButton);
  Send(W, QEvent::MouseMove, {9, 8}, {505, 505}, Qt::NoButton);
  Send(W, QEvent::MouseButtonRelease, {9, 8}, {505, 505}, Qt::LeftButton);
  EXPECT_EQ(W->pos(), Start);  // within 5 pixels: nothing moves, it was a click
  EXPECT_EQ(Clicks, 1);

  Send(W, QEvent::MouseButtonPress, {4, 3}, {500, 500}, Qt::LeftButton);
  Send(W, QEvent::MouseMove, {10, 3}, {506, 500}, Qt::NoButton);
  Send(W, QEvent::MouseMove, {24, 13}, {520, 510}, Qt::NoButton);
  Send(W, QEvent::MouseButtonRelease, {24, 13}, {520, 510}, Qt::LeftButton);
  EXPECT_EQ(W->pos(), Start + QPoint(20, 10));
  EXPECT_EQ(Clicks, 1);  // a move is no click
  EXPECT_EQ(Moves, 3);
}

// Outside the shape the window is see-through, over the form's own colour too, so that a
// compositor that takes the shape only for input still shows the picture's outline.
TEST_F(ImageFormTest, PixelsOutsideTheShapeAreTransparent) {
  Form.SetColor(clTeal);
  Skin->SetPicture(FramedPicture());
  Form.Show();
  EXPECT_TRUE(Form.Widget()->testAttribute(Qt::WA_TranslucentBackground));
  // The picture paints over what the form painted beneath it in the window's buffer.
  QImage Shot(Form.Widget()->size(), QImage::Format_ARGB32_Premultiplied);
  Shot.fill(QColor(0, 128, 128));
  Skin->Widget()->render(&Shot, {}, {}, QWidget::DrawChildren);
  EXPECT_EQ(Shot.pixel(0, 0), 0u);
  EXPECT_EQ(Shot.pixel(9, 7), 0u);
  EXPECT_EQ(Shot.pixel(4, 3), qRgb(128, 128, 128));
}
