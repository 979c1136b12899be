// The picture button's keyboard, bevels, dithering and hit test, through real key and mouse
// events on a shown window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWhatsThis>

#include "platform/qt/Forms.h"
#include "shell/ImageBtn.h"

namespace {

std::string Resource(const char* Name) {
  return std::string(TESSOLON_SOURCE_DIR) + "/resources/" + Name;
}

QRgb Rgb(TColor C) {
  return qRgb(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
}

void Send(QWidget* W, QEvent::Type Type, QPoint At) {
  const Qt::MouseButtons Held = Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent E(Type, QPointF(At), W->mapToGlobal(QPointF(At)), Qt::LeftButton, Held,
                Qt::NoModifier);
  QApplication::sendEvent(W, &E);
}

// The bounding box of the pixels of one colour.
QRect Where(const QImage& Image, QRgb Colour) {
  QRect Box;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X)
      if ((Image.pixel(X, Y) & 0xFFFFFF) == (Colour & 0xFFFFFF)) Box |= QRect(X, Y, 1, 1);
  return Box;
}

class ImageButtons : public testing::Test {
 protected:
  ImageButtons() {
    Form.SetBounds(100, 100, 300, 200);
    Form.Show();
    Form.Widget()->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(Form.Widget()));
  }
  TskImageBtn* Button(int Left, const char* Caption = "") {
    auto* B = new TskImageBtn(&Form);
    B->SetParent(&Form);
    B->SetBounds(Left, 10, 48, 45);
    B->SetColor(clTeal);
    B->SetImage(Resource("button-up.png"));
    B->SetImageDown(Resource("button-down.png"));
    B->SetCaption(Caption);
    B->OnClick = [this, Caption](TComponent*) { Clicked += std::string(Caption) + " "; };
    B->Widget()->show();
    return B;
  }
  TForm Form{nullptr};
  std::string Clicked;
};

}  // namespace

TEST_F(ImageButtons, KeysClickTheirButtons) {
  TskImageBtn* Save = Button(0, "&Save");
  TskImageBtn* Ok = Button(50, "OK");
  TskImageBtn* Off = Button(100, "Off");
  Ok->SetDefault(true);
  Off->SetCancel(true);
  QTest::keyClick(Form.Widget(), Qt::Key_Return);
  QTest::keyClick(Form.Widget(), Qt::Key_Escape);
  QTest::keyClick(Form.Widget(), Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(Clicked, "OK Off &Save ");

  // Space works only on a button that takes the focus: down while held, a click on release.
  Clicked.clear();
  Save->SetOptions(1 << boFocusable);
  Save->Widget()->setFocus();
  ASSERT_TRUE(Save->Widget()->hasFocus());
  QTest::keyPress(Save->Widget(), Qt::Key_Space);
  EXPECT_TRUE(Save->Down());
  EXPECT_EQ(Clicked, "");
  QTest::keyRelease(Save->Widget(), Qt::Key_Space);
  EXPECT_FALSE(Save->Down());
  EXPECT_EQ(Clicked, "&Save ");

  // In a group the accelerator leaves the button down.
  Save->SetGroupIndex(1);
  QTest::keyClick(Form.Widget(), Qt::Key_S, Qt::AltModifier);
  EXPECT_TRUE(Save->Down());
}

TEST_F(ImageButtons, FocusRectangleSurroundsTheCaption) {
  TskImageBtn* Save = Button(0, "Save");
  Save->SetFont({"Tahoma", -12, clRed, 1 << fsBold});
  TskShadeColors Shades;
  Shades.BtnFocus = clLime;
  Save->SetShadeColors(Shades);
  Save->SetTransparentColor(clNoTransparency);
  Save->SetColor(clNone);
  Save->SetOptions((1 << boFocusable) | (1 << boFocusRect));
  EXPECT_TRUE(Where(Save->RenderFace(false), Rgb(clLime)).isNull());  // not focused yet
  Save->Widget()->setFocus();
  const QImage Face = Save->RenderFace(false);
  const QRect Text = Where(Face, Rgb(clRed)), Frame = Where(Face, Rgb(clLime));
  ASSERT_FALSE(Text.isNull());
  EXPECT_TRUE(Frame.contains(Text.adjusted(-2, -2, 2, 2))) << Frame.x() << "," << Text.x();
  EXPECT_TRUE(Text.adjusted(-5, -5, 5, 5).contains(Frame));
  Save->SetOptions(1 << boFocusable);  // without boFocusRect, no frame
  EXPECT_TRUE(Where(Save->RenderFace(false), Rgb(clLime)).isNull());
}

TEST_F(ImageButtons, ReleaseInAnInactiveWindowDoesNotClick) {
  TskImageBtn* Go = Button(0, "Go");
  Send(Go->Widget(), QEvent::MouseButtonPress, {24, 22});
  QWidget Other;
  Other.show();
  Other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Other));
  Send(Go->Widget(), QEvent::MouseButtonRelease, {24, 22});
  EXPECT_EQ(Clicked, "");
  // A press on the inactive window activates it and clicks on release.
  Send(Go->Widget(), QEvent::MouseButtonPress, {24, 22});
  Send(Go->Widget(), QEvent::MouseButtonRelease, {24, 22});
  EXPECT_EQ(Clicked, "Go ");
  EXPECT_TRUE(QTest::qWaitForWindowActive(Form.Widget()));
}

TEST_F(ImageButtons, HelpKindStartsPointerHelp) {
  TskImageBtn* Help = Button(0, "?");
  Help->SetKind(bkHelp);
  Send(Help->Widget(), QEvent::MouseButtonPress, {24, 22});
  Send(Help->Widget(), QEvent::MouseButtonRelease, {24, 22});
  EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
  QWhatsThis::leaveWhatsThisMode();
  EXPECT_EQ(Clicked, "? ");
}

TEST_F(ImageButtons, BevelsFollowTheShapeInTheShadeColours) {
  TskImageBtn* B = Button(0);
  TskShadeColors Shades;
  Shades.BtnHighlight = clRed;
  Shades.Btn3DLight = clYellow;
  Shades.BtnShadow = clLime;
  Shades.BtnBlack = clBlue;
  Shades.Shadow = clMaroon;
  B->SetShadeColors(Shades);
  const QRegion Shape = B->Shape(false);
  int Top = 0, Bottom = 44;
  while (!Shape.contains(QPoint(24, Top))) ++Top;
  while (!Shape.contains(QPoint(24, Bottom))) --Bottom;

  EXPECT_EQ(B->RenderFace(false).pixel(0, 0), Rgb(clMaroon));  // the surround
  EXPECT_NE(B->RenderFace(false).pixel(24, Top), Rgb(clRed));  // fbsNormal: no bevel
  B->SetShadeStyle(fbsHighlight);
  QImage Face = B->RenderFace(false);
  EXPECT_EQ(Face.pixel(24, Top), Rgb(clRed));
  EXPECT_EQ(Face.pixel(24, Bottom), Rgb(clLime));
  EXPECT_NE(Face.pixel(24, Top + 1), Rgb(clYellow));
  B->SetDefault(true);  // thicker: black outer and a second line inside
  Face = B->RenderFace(false);
  EXPECT_EQ(Face.pixel(24, Bottom), Rgb(clBlue));
  EXPECT_EQ(Face.pixel(24, Bottom - 1), Rgb(clLime));
  EXPECT_EQ(Face.pixel(24, Top + 1), Rgb(clYellow));

  B->SetDefault(false);
  B->SetShadeStyle(fbsFlat);  // only while the mouse is over it
  EXPECT_NE(B->RenderFace(false).pixel(24, Top), Rgb(clRed));
  QEnterEvent Enter(QPointF(24, 22), QPointF(24, 22), QPointF(24, 22));
  QApplication::sendEvent(B->Widget(), &Enter);
  EXPECT_EQ(B->RenderFace(false).pixel(24, Top), Rgb(clRed));
}

TEST_F(ImageButtons, GroupedButtonHeldDownWithoutDownPictureIsDithered) {
  TskImageBtn* B = Button(0);
  B->SetImageDown("");
  B->SetGroupIndex(1);
  B->SetColor(clNone);
  const QImage Up = B->RenderFace(false);
  // Down without a down picture the face moves by (2, 2); the picture's (24, 22) is at (26, 24).
  const QRgb White = qRgb(255, 255, 255), Silver = qRgb(192, 192, 192);
  EXPECT_EQ(B->RenderFace(true).pixel(26, 24), White);
  EXPECT_EQ(B->RenderFace(true).pixel(27, 24), Silver);
  B->SetDitherStyle(dsFill);
  EXPECT_EQ(B->RenderFace(true).pixel(27, 24), White);
  B->SetDitherStyle(dsBlendDither);
  EXPECT_EQ(B->RenderFace(true).pixel(26, 24), White);
  EXPECT_EQ(B->RenderFace(true).pixel(27, 24), Up.pixel(25, 22));
  EXPECT_EQ(B->RenderFace(true).pixel(2, 2), qRgb(0, 0, 0));  // outside the shape
  B->SetDitherColor(clNone);
  EXPECT_EQ(B->RenderFace(true).pixel(26, 24), Up.pixel(24, 22));
  B->SetGroupIndex(0);  // only grouped buttons
  B->SetDitherColor(clWhite);
  EXPECT_EQ(B->RenderFace(true).pixel(26, 24), Up.pixel(24, 22));
}

TEST_F(ImageButtons, PictureChangeForgetsOnlyItsOwnShape) {
  TskImageBtn* B = Button(0);
  EXPECT_FALSE(B->Shape(false).isEmpty());
  EXPECT_FALSE(B->Shape(true).isEmpty());
  B->SetImageDown(Resource("button-up.png"));
  EXPECT_FALSE(B->RegionData().empty());
  EXPECT_TRUE(B->DownRegionData().empty());
  B->Shape(true);
  const TBytes Down = B->DownRegionData();
  ASSERT_FALSE(Down.empty());
  B->SetImage(Resource("button-down.png"));
  EXPECT_EQ(B->DownRegionData(), Down);

  B->SizeToImage();  // the picture is 100 x 100, and so is the shape now
  EXPECT_EQ(QSize(B->Width(), B->Height()), QSize(100, 100));
  EXPECT_GT(B->Shape(false).boundingRect().width(), 90);
  EXPECT_GT(B->Shape(true).boundingRect().height(), 90);
}
