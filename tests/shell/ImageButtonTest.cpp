// The picture button: its shape, face, glyph, keyboard, bevels and dithering, through real key
// and mouse events on a shown window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWhatsThis>

#include "platform/qt/Forms.h"
#include "shell/ImageBtn.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ScratchFolder.h"

using namespace ShellTest;

namespace {

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
    ShowActive(Form);
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

TEST_F(ImageButtons, ShapeFaceAndClicksFollowThePicture) {
  TskImageBtn* B = Button(0);

  const QRegion Up = B->Shape(false);
  ASSERT_FALSE(Up.isEmpty());
  EXPECT_FALSE(Up.contains(QPoint(0, 0)));  // the corner colour is outside the round shape
  EXPECT_TRUE(Up.contains(QPoint(24, 22)));
  EXPECT_EQ(B->Widget()->mask(), Up);
  EXPECT_FALSE(B->RegionData().empty());  // built once, kept for saving

  // Outside the shape the face is black; inside, the picture tinted with clTeal.
  const QImage Face = B->RenderFace(false);
  EXPECT_EQ(Face.pixel(0, 0) & 0xFFFFFF, 0u);
  const QImage Stretched = QImage(QString::fromStdString(Resource("button-up.png")))
                               .scaled(48, 45, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  const QRgb Source = Stretched.pixel(24, 40), Tinted = Face.pixel(24, 40);
  EXPECT_EQ(qRed(Tinted), std::max(0, qRed(Source) - 192));
  EXPECT_EQ(qGreen(Tinted), std::clamp(qGreen(Source) - 64, 0, 255));

  EXPECT_TRUE(B->DownRegionData().empty());  // built on the first press, then kept
  ClickAt(B->Widget(), {24, 22});
  EXPECT_EQ(Clicked, " ");
  EXPECT_FALSE(B->Down());
  EXPECT_FALSE(B->DownRegionData().empty());

  // Dragged off the shape (still inside the rectangle) it pops up and releases without a click.
  Send(B->Widget(), QEvent::MouseButtonPress, {24, 22});
  EXPECT_TRUE(B->Down());
  Send(B->Widget(), QEvent::MouseMove, {0, 0});
  EXPECT_FALSE(B->Down());
  Send(B->Widget(), QEvent::MouseMove, {24, 22});
  EXPECT_TRUE(B->Down());
  Send(B->Widget(), QEvent::MouseMove, {1, 1});
  Send(B->Widget(), QEvent::MouseButtonRelease, {1, 1});
  EXPECT_EQ(Clicked, " ");
}

TEST_F(ImageButtons, GlyphAndCaptionSitWhereTheLayoutPutsThem) {
  TskImageBtn* B = Button(0);
  B->SetTransparentColor(clNoTransparency);
  EXPECT_TRUE(B->Shape(false).isEmpty());  // rectangular
  // A one-colour 4 x 4 glyph on a transparent background shows where it lands.
  QImage Glyph(8, 6, QImage::Format_RGB32);
  Glyph.fill(Qt::white);
  for (int Y = 1; Y < 5; ++Y)
    for (int X = 2; X < 6; ++X) Glyph.setPixel(X, Y, qRgb(255, 0, 0));
  const TScratchFolder Folder("tessolon-glyph-");
  ASSERT_TRUE(Glyph.save(QString::fromStdString((Folder / "glyph.png").string())));
  B->SetGlyph((Folder / "glyph.png").string());
  auto Red = [](const QImage& I, int X, int Y) { return I.pixel(X, Y) == qRgb(255, 0, 0); };
  // Up: left = 24 - 4 = 20, top = 22 - 3 = 19; red starts 2 right and 1 down.
  const QImage UpFace = B->RenderFace(false);
  EXPECT_TRUE(Red(UpFace, 22, 20));
  EXPECT_FALSE(Red(UpFace, 21, 20));
  // Down: shifted by (1, 1) and one more column for the odd left edge.
  const QImage DownFace = B->RenderFace(true);
  EXPECT_TRUE(Red(DownFace, 24, 21));
  EXPECT_FALSE(Red(DownFace, 23, 21));
}

TEST_F(ImageButtons, MissingPicturesGiveAPlaceholderAndNoShape) {
  auto* B = new TskImageBtn(&Form);
  B->SetParent(&Form);
  B->SetImage("missing.png");
  B->SetGlyph("missing-glyph.png");
  B->SetCaption("Save");
  EXPECT_TRUE(B->Shape(false).isEmpty());
  EXPECT_TRUE(B->Widget()->mask().isEmpty());
  EXPECT_FALSE(B->RenderFace(false).isNull());
  B->SetBounds(0, 0, 0, 0);
  EXPECT_TRUE(B->RenderFace(false).isNull());
  B->SetRegionData({4, 0, 0, 0, 0});  // damaged: skipped, not thrown
  EXPECT_TRUE(B->RegionData().empty());
}

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

TEST_F(ImageButtons, ReleaseInAnInactiveWindowDoesNotClickAndHelpStartsPointerHelp) {
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

  // A help button clicks and starts pointer help.
  Go->SetKind(bkHelp);
  ClickAt(Go->Widget(), {24, 22});
  EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
  QWhatsThis::leaveWhatsThisMode();
  EXPECT_EQ(Clicked, "Go Go ");
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
