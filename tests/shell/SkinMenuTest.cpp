#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt/Forms.h"
#include "shell/Menus.h"
#include "shell/SkinMenu.h"
#include "tests/shell/ShellTestSupport.h"

using namespace ShellTest;

namespace {

// A font of the family the main window asks for, at the size whose lines are Height high.
TFont FontOfHeight(int Height) {
  for (int Pixels = 6; Pixels < 40; ++Pixels) {
    const TFont Font{"Tahoma", -Pixels, clBlack, 0};
    if (QFontMetrics(FontToQFont(Font)).height() == Height) return Font;
  }
  ADD_FAILURE() << "no font size gives lines " << Height << " high";
  return {};
}

class SkinMenuTest : public testing::Test {
 protected:
  SkinMenuTest() {
    for (const char* Caption : {"Show Win", "-", "Run", "Exit..."}) Add(Caption);
    Skin->SetFont(FontOfHeight(13));
    Skin->SetOption(&TSkinMenuOptions::UseSystemColors, false);
    Skin->SetOption(&TSkinMenuOptions::IconBackColor, clNavy);
    Skin->SetOption(&TSkinMenuOptions::Color, clWhite);
    Skin->SetOption(&TSkinMenuOptions::SelectColor, clLime);
    Skin->SetOption(&TSkinMenuOptions::SelectBorderColor, clRed);
    Skin->SetOption(&TSkinMenuOptions::CheckedColor, clBlue);
    Skin->SetOption(&TSkinMenuOptions::Gradient, true);
  }
  ~SkinMenuTest() override { Q().close(); }
  TMenuItem* Add(const char* Caption) {
    auto* Item = new TMenuItem(&Form);
    Item->SetCaption(Caption);
    Menu->Add(Item);
    return Item;
  }
  QMenu& Q() { return *Menu->Menu(); }
  QRect Geometry(int Index) { return Q().actionGeometry(Q().actions().at(Index)); }
  QSize Measure(TMenuItem* Item, QSize Given = {}) {
    int W = Given.width(), H = Given.height();
    Skin->MeasureItem(Item, W, H);
    return {W, H};
  }
  QImage Shot() { return Q().grab().toImage(); }

  TForm Form{nullptr};
  TPopupMenu* Menu = new TPopupMenu(&Form);
  TSkinMenu* Skin = new TSkinMenu(&Form);
};

const QColor Navy(0, 0, 128), Red(255, 0, 0), Lime(0, 255, 0), Blue(0, 0, 255);

}  // namespace

TEST(SkinColours, LightenDarkenGreyAndTheFillsForFewColours) {
  EXPECT_EQ(Lighten(QColor(0, 100, 255), 50), QColor(128, 178, 255));
  EXPECT_EQ(Lighten(QColor(10, 10, 10), 150), QColor(255, 255, 255));
  EXPECT_EQ(Darken(QColor(255, 255, 255), 60), QColor(195, 197, 195));
  EXPECT_EQ(Darken(QColor(10, 0, 200), 60), QColor(0, 0, 140));
  EXPECT_EQ(Grey(QColor(255, 0, 0), 10), QColor(95, 95, 95));
  EXPECT_EQ(Grey(QColor(255, 255, 255), 10), QColor(240, 240, 240));

  // Few colours give white and the button face.
  TSkinColourSettings S;
  const TSkinColours Low = TSkinColours::From(S, clMenuText, false);
  EXPECT_EQ(Low.MenuBackground, QColor(Qt::white));
  EXPECT_EQ(Low.IconColumn, ColorToQColor(clBtnFace));
  EXPECT_EQ(Low.SelectFill, QColor(Qt::white));
  const TSkinColours High = TSkinColours::From(S, clMenuText, true);
  EXPECT_EQ(High.SelectFill, Lighten(ColorToQColor(clHighlight), 68));
  S.UseSystemColors = false;
  S.SelectColor = clLime;
  S.UseDimColor = true;
  const TSkinColours Own = TSkinColours::From(S, clBlack, true);
  EXPECT_EQ(Own.SelectFill, QColor(173, 255, 173));
  EXPECT_EQ(Own.CheckFill, QColor(204, 255, 204));
  EXPECT_EQ(Own.CheckFillSelected, QColor(128, 255, 128));
  EXPECT_EQ(TSkinColours::From(S, clBlack, false).CheckFillSelected, QColor(192, 192, 192));
}

TEST_F(SkinMenuTest, ItemsMeasureFromTheirTextAndSeparatorsFourPixels) {
  Skin->SetActive(true);
  TMenuItem* Show = Menu->Items(0);
  EXPECT_EQ(Measure(Show).height(), 23);  // 13 + 10
  EXPECT_EQ(Measure(Menu->Items(1)).height(), 4);
  EXPECT_EQ(Measure(Menu->Items(1), {0, 30}).height(), 4);
  EXPECT_EQ(Measure(Menu->Items(1)).width(), 5 + 24);  // the icon column at least

  const QFontMetrics M(Skin->MenuFont());
  auto* Plain = Add("Run");
  auto* Marked = Add("&Run");
  EXPECT_NEAR(Measure(Marked).width(), Measure(Plain).width(), 1);
  EXPECT_EQ(Measure(Plain).width(), M.horizontalAdvance("Run") + 5 + 24);
  EXPECT_EQ(Measure(Plain, {400, 40}), QSize(400, 40));  // never below the platform's measure

  auto* Parent = Add("Run");
  (new TMenuItem(&Form))->SetParentComponent(Parent);
  EXPECT_EQ(Measure(Parent).width(), Measure(Plain).width() + 6);
  EXPECT_EQ(ShortCutToText(scShift | scCtrl | 0x2E), "Shift+Ctrl+Del");
  EXPECT_EQ(ShortCutToText(0x07), "");  // a key without a name
  auto* Keyed = Add("Run");
  Keyed->SetShortCut(scCtrl | 'S');
  EXPECT_NEAR(Measure(Keyed).width() - Measure(Plain).width(), M.horizontalAdvance("WWWCtrl+S"), 1);

  Skin->SetFont(FontOfHeight(16));  // a bigger font: taller items, separators stay
  EXPECT_EQ(Measure(Show).height(), 28);
  EXPECT_EQ(Measure(Menu->Items(1)).height(), 4);
}

TEST_F(SkinMenuTest, TheMenuLaysItsItemsOutAsMeasured) {
  Menu->Items(3)->SetShortCut(scAlt | 0x73);  // Alt+F4
  Skin->SetActive(true);
  ASSERT_TRUE(Menu->OwnerDraw());
  EXPECT_EQ(Geometry(0).height(), 23);
  EXPECT_EQ(Geometry(1).height(), 4);
  // Every item is as wide as the widest, shortcut included, with a check mark's room added.
  int Widest = 0;
  for (int I = 0; I < Menu->Count(); ++I)
    Widest = std::max(Widest, Measure(Menu->Items(I)).width());
  const int CheckRoom = Q().style()->pixelMetric(QStyle::PM_IndicatorWidth) - 1;
  EXPECT_EQ(Geometry(0).width(), Widest + CheckRoom);
  EXPECT_EQ(Geometry(3).width(), Widest + CheckRoom);

  Skin->SetFont(FontOfHeight(16));  // a setter measures the menu again
  EXPECT_EQ(Geometry(0).height(), 28);
}

TEST_F(SkinMenuTest, TheIconColumnFadesIntoTheItemAndTheSelectionIsFramed) {
  Skin->SetActive(true);
  const QRect First = Geometry(0);
  QImage Image = Shot();
  const int Y = First.top() + 1;  // above the caption
  EXPECT_EQ(Pixel(Image, First.left(), Y), Lighten(Navy, 1));
  EXPECT_EQ(Pixel(Image, First.left() + 1, Y), Lighten(Navy, 4));
  EXPECT_EQ(Pixel(Image, First.left() + 28, Y), Lighten(Navy, 85));
  EXPECT_EQ(Pixel(Image, First.left() + 29, Y), Lighten(Navy, 86));
  EXPECT_EQ(Pixel(Image, First.left() + 39, Y), Lighten(Navy, 96));
  EXPECT_EQ(Pixel(Image, First.right() - 2, Y), Lighten(Navy, 96));
  const QRect Line = Geometry(1);  // the separator, from 7 pixels into the text area
  EXPECT_EQ(Pixel(Image, Line.left() + 24 + 7, Line.top() + 2), ColorToQColor(clBtnFace));
  EXPECT_NE(Pixel(Image, Line.left() + 24 + 5, Line.top() + 2), ColorToQColor(clBtnFace));

  Menu->Popup(100, 100);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Q()));
  const QRect Run = Geometry(2);
  QTest::mouseMove(&Q(), Run.center());
  ASSERT_EQ(Q().activeAction(), Q().actions().at(2));
  Image = Shot();
  EXPECT_EQ(Pixel(Image, Run.left(), Run.top() + 5), Red);       // frame
  EXPECT_EQ(Pixel(Image, Run.left() + 2, Run.top() + 3), Lime);  // fill
  EXPECT_NE(Pixel(Image, Run.left() + 2, Run.top()), Lime);      // a pixel clear at the top
  EXPECT_EQ(Pixel(Image, First.left() + 2, First.top() + 3), Lighten(Navy, 7));  // not selected

  Skin->SetOption(&TSkinMenuOptions::Gradient, false);  // flat: icon column and background
  Image = Shot();
  EXPECT_EQ(Pixel(Image, First.left() + 3, Y), Navy);
  EXPECT_EQ(Pixel(Image, First.right() - 2, Y), QColor(Qt::white));
  Skin->SetOption(&TSkinMenuOptions::Gradient, true);
  Skin->SetOption(&TSkinMenuOptions::UseSystemColors, true);
  Skin->SetScreenBits(8);  // few colours: no gradient, white and the button face
  Image = Shot();
  EXPECT_EQ(Pixel(Image, First.left() + 3, Y), ColorToQColor(clBtnFace));
  EXPECT_EQ(Pixel(Image, First.right() - 2, Y), QColor(Qt::white));
}

TEST_F(SkinMenuTest, ChecksRadioDotsAndIcons) {
  QTemporaryDir Dir;
  QImage Red16(16, 16, QImage::Format_ARGB32);
  Red16.fill(Qt::red);
  const QString Path = Dir.filePath("red.png");
  ASSERT_TRUE(Red16.save(Path));
  Menu->Items(0)->SetChecked(true);
  Menu->Items(2)->SetChecked(true);
  Menu->Items(2)->SetRadioItem(true);
  auto* Iconic = Add("Icon");
  Iconic->SetBitmap(Path.toStdString());
  auto* Dimmed = Add("Grey");
  Dimmed->SetBitmap(Path.toStdString());
  Dimmed->SetEnabled(false);
  Skin->SetActive(true);
  const QImage Image = Shot();

  // A 10 x 10 box in the middle of the icon column, framed in the check colour.
  const QRect Show = Geometry(0);
  const int L = Show.left() + 7, T = Show.top() + 6;
  EXPECT_EQ(Pixel(Image, L, T), Blue);
  EXPECT_EQ(Pixel(Image, L + 9, T + 9), Blue);
  EXPECT_EQ(Pixel(Image, L + 1, T + 1), Lime);               // check fill
  EXPECT_EQ(Pixel(Image, L + 2, T + 5), QColor(Qt::black));  // the mark's first stroke
  EXPECT_EQ(Pixel(Image, L + 4, T + 7), QColor(Qt::black));  // its lowest point
  const QRect Run = Geometry(2);
  EXPECT_EQ(Pixel(Image, L + 4, Run.top() + 6 + 4), QColor(Qt::black));  // the radio dot
  EXPECT_EQ(Pixel(Image, L + 2, Run.top() + 6 + 5), Lime);

  // Icons: 4 pixels in, 3 down; idle ones lightened by 30 %, disabled ones grey and light.
  const QRect Icon = Geometry(4);
  EXPECT_EQ(Icon.height(), 23);
  EXPECT_EQ(Pixel(Image, Icon.left() + 4, Icon.top() + 3), QColor(255, 77, 77));
  EXPECT_EQ(Pixel(Image, Icon.left() + 3, Icon.top() + 3), Lighten(Navy, 10));
  const QRect Grey = Geometry(5);
  EXPECT_EQ(Pixel(Image, Grey.left() + 10, Grey.top() + 10), QColor(159, 159, 159));

  // Selected: lifted a pixel up and left off a shadow in the darkened fill.
  Menu->Popup(100, 100);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Q()));
  QTest::mouseMove(&Q(), Icon.center());
  const QImage Lifted = Shot();
  EXPECT_EQ(Pixel(Lifted, Icon.left() + 3, Icon.top() + 2), QColor(Qt::red));
  EXPECT_EQ(Pixel(Lifted, Icon.left() + 4 + 17, Icon.top() + 3 + 17), QColor(0, 207, 0));
}

TEST_F(SkinMenuTest, ItemsTaggedOrDrawnElsewhereAreLeftAloneAndNewOnesFound) {
  Menu->Items(0)->SetTag(999);
  int OwnDraws = 0;
  Menu->Items(2)->OnDrawItem = [&](TComponent*, QPainter&, const QRect&, bool) { ++OwnDraws; };
  Skin->SetActive(true);
  EXPECT_FALSE(Skin->Paints(*Menu->Items(0)));
  EXPECT_FALSE(Menu->Items(0)->OnDrawItem);
  EXPECT_FALSE(Skin->Paints(*Menu->Items(2)));
  EXPECT_TRUE(Skin->Paints(*Menu->Items(3)));
  const QImage Image = Shot();
  EXPECT_GT(OwnDraws, 0);
  const QRect Tagged = Geometry(0);  // the platform's look: no navy column
  EXPECT_NE(Pixel(Image, Tagged.left() + 1, Tagged.top() + 1), Lighten(Navy, 4));

  Skin->SetActive(false);
  Skin->SetOption(&TSkinMenuOptions::OverrideOwnerDraw, true);
  Skin->SetOption(&TSkinMenuOptions::AutoDetect, true);
  Skin->SetActive(true);
  EXPECT_TRUE(Skin->Paints(*Menu->Items(2)));

  TMenuItem* Later = Add("Later");  // AutoDetect: picked up once the event loop turns
  EXPECT_FALSE(Skin->Paints(*Later));
  QCoreApplication::processEvents();
  EXPECT_TRUE(Skin->Paints(*Later));

  Skin->SetActive(false);  // everything back to the platform
  EXPECT_FALSE(Menu->OwnerDraw());
  EXPECT_FALSE(Later->OnMeasureItem);
  EXPECT_FALSE(Later->OnDrawItem);
  delete Later;  // an item gone is forgotten
  Skin->SetActive(true);
  EXPECT_TRUE(Menu->OwnerDraw());
}
