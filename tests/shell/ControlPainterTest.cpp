#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTest>

#include "platform/qt/DbCtrls.h"
#include "platform/qt/Forms.h"
#include "platform/qt/StdCtrls.h"
#include "shell/ControlPainter.h"
#include "shell/SkinMenu.h"
#include "tests/platform/qt/ListDriver.h"
#include "tests/shell/ShellTestSupport.h"

using namespace ShellTest;

namespace {

// A system colour as it comes out on the screen (palette colours may carry finer shades).
QColor Sys(TColor Colour) {
  return QColor(ColorToQColor(Colour).rgb());
}

// A white window whose skin menu selects in lime framed in red.
class FlatControls : public testing::Test {
 protected:
  FlatControls() {
    Form.SetColor(clWhite);
    Form.SetBounds(0, 0, 400, 300);
    Skin->SetOption(&TSkinMenuOptions::UseSystemColors, false);
    Skin->SetOption(&TSkinMenuOptions::UseDimColor, true);
    Skin->SetOption(&TSkinMenuOptions::SelectColor, clLime);
    Skin->SetOption(&TSkinMenuOptions::SelectBorderColor, clRed);
    Skin->SetOption(&TSkinMenuOptions::IconBackColor, clNavy);
    Skin->SetOption(&TSkinMenuOptions::DisabledColor, clMaroon);
  }
  template <class T>
  T* Make(int Left, int Top, int Width, int Height, TWinControl* Parent = nullptr) {
    auto* Control = new T(&Form);
    Control->SetParent(Parent ? Parent : &Form);
    Control->SetBounds(Left, Top, Width, Height);
    return Control;
  }
  void ShowForm() {
    Form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
    Form.Widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.Widget()));
    // Activation focuses the first control; the tests choose what has the focus and the mouse.
    if (QWidget* Focused = QApplication::focusWidget()) Focused->clearFocus();
    MouseAway();
  }
  static QImage Shot(const TControl* Control) { return Control->Widget()->grab().toImage(); }
  static bool Painted(const TControl* Control) {
    return TControlSubClass::Of(Control->Widget()) != nullptr;
  }
  void MouseAway() { QTest::mouseMove(Form.Widget(), QPoint(390, 290)); }

  TForm Form{nullptr};
  TSkinMenu* Skin = new TSkinMenu(&Form);
};

const QColor Red(255, 0, 0), LightRed(255, 153, 153), DarkWhite(195, 197, 195);
const QColor Fill(173, 255, 173), CheckFillSelected(128, 255, 128);

}  // namespace

TEST_F(FlatControls, AnEditBorderLightensUnderTheMouseAndStaysLightWhileFocused) {
  auto* Edit = Make<TEdit>(10, 10, 100, 21);
  Skin->SetActive(true);
  ShowForm();
  auto Border = [&] { return Pixel(Shot(Edit), 0, 10); };
  EXPECT_EQ(Border(), DarkWhite);
  QTest::mouseMove(Edit->Widget(), QPoint(50, 10));
  EXPECT_EQ(Border(), LightRed);
  MouseAway();
  EXPECT_EQ(Border(), DarkWhite);

  Edit->Widget()->setFocus();
  EXPECT_EQ(Border(), LightRed);
  QTest::mouseMove(Edit->Widget(), QPoint(50, 10));
  MouseAway();
  EXPECT_EQ(Border(), LightRed);
  EXPECT_EQ(Pixel(Shot(Edit), 99, 20), LightRed);
}

TEST_F(FlatControls, CheckBoxesAreFlatGrayedSilverAndPressedBySpace) {
  auto* Check = Make<TCheckBox>(10, 40, 120, 22);
  auto* Box = static_cast<QCheckBox*>(Check->Widget());
  Box->setTristate(true);
  Box->setCheckState(Qt::PartiallyChecked);
  Skin->SetActive(true);
  ShowForm();
  // A square a pixel bigger all round than the platform's box, 3 pixels in from the top and
  // centred; the box 2 pixels inside it; the mark's strokes end 3 above the box's bottom.
  const int Thumb = Box->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 2;
  const int Top = 3 + (16 - Thumb) / 2 + 2, Bottom = Top + Thumb - 4;
  QImage Image = Shot(Check);
  EXPECT_EQ(Pixel(Image, 2, Top), Sys(clBtnShadow));
  EXPECT_EQ(Pixel(Image, 3, Top + 1), QColor(192, 192, 192));
  EXPECT_EQ(Pixel(Image, 4, Bottom - 5), QColor(128, 128, 128));
  EXPECT_EQ(Pixel(Image, 6, Bottom - 3), QColor(128, 128, 128));
  EXPECT_EQ(Pixel(Image, 10, Bottom - 7), QColor(128, 128, 128));

  Box->setCheckState(Qt::Checked);
  Box->setFocus();  // focused: the hot colours
  Image = Shot(Check);
  EXPECT_EQ(Pixel(Image, 2, Top), Red);
  EXPECT_EQ(Pixel(Image, 3, Top + 1), Fill);
  EXPECT_EQ(Pixel(Image, 6, Bottom - 3), Sys(clHighlight));

  QTest::keyPress(Box, Qt::Key_Space);
  Image = Shot(Check);
  EXPECT_EQ(Pixel(Image, 3, Top + 1), CheckFillSelected);
  EXPECT_EQ(Pixel(Image, 6, Bottom - 3), Sys(clWindow));
  QTest::keyRelease(Box, Qt::Key_Space);  // the box's own click: unchecked now
  EXPECT_EQ(Box->checkState(), Qt::Unchecked);
  Image = Shot(Check);
  EXPECT_EQ(Pixel(Image, 6, Bottom - 3), Fill);

  Box->setCheckState(Qt::Checked);
  Check->SetEnabled(false);
  EXPECT_EQ(Pixel(Shot(Check), 6, Bottom - 3), QColor(128, 0, 0));
}

TEST_F(FlatControls, TheLookupListHasAFlatButtonWithASmallArrow) {
  auto* Look = Make<TDBLookupComboBox>(10, 80, 154, 22);
  Look->SetColor(clBlack);
  Skin->SetActive(true);
  ShowForm();
  const int Thumb = Look->Widget()->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 2;
  const int Button = 152 - (Thumb + 1);  // inside the frame and a pixel more
  QImage Image = Shot(Look);
  EXPECT_EQ(Pixel(Image, 0, 0), DarkWhite);
  EXPECT_EQ(Pixel(Image, 1, 10), QColor(Qt::black));
  EXPECT_EQ(Pixel(Image, Button, 15), LightRed);
  EXPECT_EQ(Pixel(Image, 151, 15), LightRed);
  EXPECT_EQ(Pixel(Image, Button + 2, 15), Sys(clBtnFace));
  // The arrow: 5, 3 and 1 pixels from 9 left of the client's right edge, 8 below its top.
  for (const QPoint& At :
       {QPoint(144, 9), QPoint(148, 9), QPoint(145, 10), QPoint(147, 10), QPoint(146, 11)})
    EXPECT_EQ(Pixel(Image, At.x(), At.y()), QColor(Qt::black)) << At.x() << "," << At.y();
  EXPECT_EQ(Pixel(Image, 143, 9), Sys(clBtnFace));
  EXPECT_EQ(Pixel(Image, 144, 10), Sys(clBtnFace));

  Look->SetEnabled(false);
  Image = Shot(Look);
  EXPECT_EQ(Pixel(Image, 146, 11), QColor(Qt::white));
  EXPECT_EQ(Pixel(Image, 144, 9), QColor(Qt::white));

  Look->SetEnabled(true);
  QTest::mouseMove(Look->Widget(), QPoint(50, 10));
  Image = Shot(Look);
  EXPECT_EQ(Pixel(Image, 0, 0), Red);
  EXPECT_EQ(Pixel(Image, Button - 1, 15), Red);  // a pixel wider when hot
  EXPECT_EQ(Pixel(Image, Button + 2, 15), Fill);
}

TEST_F(FlatControls, AComboBoxDroppedDownShowsAWhiteArrowOnTheSelectedFill) {
  auto* Combo = Make<TComboBox>(10, 120, 143, 22);
  Combo->SetItems({"Sine", "Square"});
  Skin->SetActive(true);
  ShowForm();
  QImage Image = Shot(Combo);
  EXPECT_EQ(Pixel(Image, 0, 0), QColor(Qt::white));  // the parent's colour round it
  EXPECT_EQ(Pixel(Image, 133, 10), QColor(Qt::black));
  EXPECT_EQ(Pixel(Image, 135, 12), QColor(Qt::black));
  ListDriver::OpenWithMouse(*Combo->Combo());
  ASSERT_TRUE(Combo->Combo()->view()->isVisible());
  Image = Shot(Combo);
  EXPECT_EQ(Pixel(Image, 133, 10), QColor(Qt::white));
  EXPECT_EQ(Pixel(Image, 132, 10), CheckFillSelected);
  EXPECT_EQ(Pixel(Image, 141, 10), Red);
  QTest::keyClick(Combo->Combo()->view(), Qt::Key_Escape);
  ListDriver::Settle();
}

TEST_F(FlatControls, GroupBoxPanelAndSpeedButtonGetFlatFrames) {
  Form.SetColor(clSilver);
  const QColor Light(230, 230, 230), Dark(132, 134, 132);
  auto* Group = Make<TGroupBox>(10, 10, 200, 100);
  Group->SetCaption("Times");
  // Thai, laid out on its fallback font's taller line: it stands on the group font's baseline, its
  // marks above and below whole.
  auto* Thai = Make<TGroupBox>(10, 170, 200, 100);
  Thai->SetCaption("กลุ่มค่าสัมพันธ์");
  auto* Panel = Make<TPanel>(10, 120, 100, 40);
  Panel->SetBevelOuter(1);
  auto* Preset = Make<TSpeedButton>(220, 10, 48, 17);
  Preset->SetCaption("Preset");
  int Clicks = 0;
  Preset->OnClick = [&](TComponent*) { ++Clicks; };
  Skin->SetActive(true);
  ShowForm();

  QImage Image = Shot(Group);
  const int Middle = QFontMetrics(Group->Widget()->font()).height() / 2;
  EXPECT_EQ(Pixel(Image, 1, 50), Light);
  EXPECT_EQ(Pixel(Image, 3, Middle), Light);
  EXPECT_EQ(Pixel(Image, 8, Middle), QColor(192, 192, 192));  // cleared round the caption
  EXPECT_EQ(Pixel(Image, 198, 50), Dark);
  EXPECT_EQ(Pixel(Image, 100, 98), Dark);

  const QFont Font = Thai->Widget()->font();
  QPainterPath Glyphs;
  Glyphs.addText(0, 0, Font, QString::fromStdString(Thai->Caption()));
  const QRectF Ink = Glyphs.boundingRect().translated(9, QFontMetrics(Font).ascent());
  Image = Shot(Thai);
  int Top = Image.height(), Bottom = -1;
  for (int Y = 0; Y < 40; ++Y)
    for (int X = 9; X < 9 + int(Ink.width()); ++X)
      if (qGray(Image.pixel(X, Y)) < 100) Top = std::min(Top, Y), Bottom = std::max(Bottom, Y);
  EXPECT_NEAR(Top, Ink.top(), 1.5);
  EXPECT_NEAR(Bottom + 1, Ink.bottom(), 1.5);

  const QColor Face = Sys(clBtnFace);
  Image = Shot(Panel);
  EXPECT_EQ(Pixel(Image, 0, 20), Darken(Face, 60));
  EXPECT_EQ(Pixel(Image, 99, 20), Lighten(Face, 60));

  Image = Shot(Preset);
  EXPECT_EQ(Pixel(Image, 2, 2), QColor(0, 0, 128));  // the menu's icon column
  EXPECT_EQ(Pixel(Image, 0, 0), Lighten(Sys(clBtnShadow), 30));
  QTest::mouseMove(Preset->Widget(), QPoint(24, 8));
  Image = Shot(Preset);
  EXPECT_EQ(Pixel(Image, 2, 2), Lighten(Face, 40));
  EXPECT_EQ(Pixel(Image, 0, 0), QColor(255, 184, 184));
  QTest::mousePress(Preset->Widget(), Qt::LeftButton, {}, QPoint(24, 8));
  Image = Shot(Preset);
  EXPECT_EQ(Pixel(Image, 2, 2), CheckFillSelected);
  EXPECT_EQ(Pixel(Image, 0, 0), QColor(255, 77, 77));
  QTest::mouseRelease(Preset->Widget(), Qt::LeftButton, {}, QPoint(24, 8));
  EXPECT_EQ(Clicks, 1);  // the button still clicks
}

TEST_F(FlatControls, SwitchedOffEachControlGetsItsOwnLookBackAtItsNextEvent) {
  auto* Edit = Make<TEdit>(10, 10, 100, 21);
  auto* Look = Make<TDBLookupComboBox>(10, 40, 154, 22);
  auto* Memo = Make<TMemo>(10, 70, 150, 60);
  auto* Frame = static_cast<QFrame*>(Memo->Widget());
  const int MemoFrame = Frame->frameStyle();
  Skin->SetActive(true);
  ShowForm();
  ASSERT_TRUE(Painted(Edit) && Painted(Look) && Painted(Memo));
  EXPECT_FALSE(static_cast<QLineEdit*>(Edit->Widget())->hasFrame());
  EXPECT_FALSE(static_cast<QComboBox*>(Look->Widget())->hasFrame());
  EXPECT_EQ(Pixel(Shot(Memo), 0, 30), DarkWhite);

  Skin->SetActive(false);
  EXPECT_TRUE(Painted(Edit));  // until the control hears from the platform again
  QCoreApplication::processEvents();
  EXPECT_FALSE(Painted(Edit) || Painted(Look) || Painted(Memo));
  EXPECT_TRUE(static_cast<QLineEdit*>(Edit->Widget())->hasFrame());
  EXPECT_TRUE(static_cast<QComboBox*>(Look->Widget())->hasFrame());
  EXPECT_EQ(Frame->frameStyle(), MemoFrame);
  EXPECT_NE(Pixel(Shot(Memo), 0, 30), DarkWhite);

  Skin->SetActive(true);
  EXPECT_TRUE(Painted(Edit));
  delete Skin;  // going takes the look off at once
  EXPECT_FALSE(Painted(Edit) || Painted(Look));
  EXPECT_TRUE(static_cast<QLineEdit*>(Edit->Widget())->hasFrame());
}

TEST_F(FlatControls, ControlsAreChosenByKindContainerAndTag) {
  auto* Plain = Make<TEdit>(10, 10, 100, 21);
  auto* Bound = Make<TDBEdit>(10, 40, 100, 21);
  auto* Tagged = Make<TEdit>(10, 70, 100, 21);
  Tagged->SetTag(999);
  auto* Panel = Make<TPanel>(200, 10, 150, 100);
  auto* Inside = Make<TDBEdit>(5, 5, 100, 21, Panel);
  auto* Label = Make<TLabel>(10, 100, 50, 13);
  Skin->SetOption(&TSkinMenuOptions::XPControls, 0x7FFFFF & ~(1 << xcEdit));
  Skin->SetOption(&TSkinMenuOptions::XPContainers, 0x3FF & ~(1 << xccPanel));
  Skin->SetActive(true);
  EXPECT_FALSE(Painted(Plain));
  EXPECT_TRUE(Painted(Bound));  // a bound edit box counts as a masked one
  EXPECT_FALSE(Painted(Tagged));
  EXPECT_TRUE(Painted(Panel));
  EXPECT_FALSE(Painted(Inside));
  EXPECT_FALSE(Painted(Label));
  EXPECT_EQ(Skin->ControlCount(), 2);

  Skin->SetOption(&TSkinMenuOptions::XPContainers, 0x3FF);  // chosen again at once
  EXPECT_TRUE(Painted(Inside));
  Skin->SetDisableSubclassing(true);
  EXPECT_FALSE(Painted(Bound) || Painted(Inside) || Painted(Panel));
}
