#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>

#include "platform/qt/Forms.h"
#include "platform/qt/StdCtrls.h"
#include "shell/EffectLabel.h"
#include "shell/ImageBtn.h"
#include "shell/Shape.h"
#include "shell/StyleManager.h"
#include "shell/ToolButton.h"
#include "tests/shell/ShellTestSupport.h"

using namespace ShellTest;

TEST(EffectLabel, SizesToItsTextAndMarksAndPassesPressesOnWithoutHandlers) {
  TskLabel Label(nullptr);
  Label.SetCaption("Status...");
  const QSize Plain(Label.Width(), Label.Height());
  EXPECT_GT(Plain.width(), 1);
  Label.EditTextOptions([](TskCaptionText& T) {
    T.ShadowEnabled = true;
    T.ShadowXOffset = 20;
    T.ShadowYOffset = 15;
  });
  EXPECT_EQ(Label.Width(), Plain.width() + 20);
  EXPECT_EQ(Label.Height(), Plain.height() + 15);

  QMouseEvent Press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Label.Widget(), &Press);
  EXPECT_FALSE(Press.isAccepted());  // the window underneath gets it

  int Clicks = 0;
  Label.OnClick = [&](TComponent*) { ++Clicks; };
  ClickAt(Label.Widget(), {2, 2});
  EXPECT_EQ(Clicks, 1);

  // An accelerator's mark takes no room; a doubled one shows an ampersand.
  TskLabel Double(nullptr), Single(nullptr), Bare(nullptr);
  Double.SetCaption("&&Save");
  Single.SetCaption("&Save");
  Bare.SetCaption("Save");
  EXPECT_EQ(Single.Width(), Bare.Width());
  EXPECT_GT(Double.Width(), Bare.Width());
  EXPECT_EQ(TskCaptionText::NormalRotation(-90), 270);
  EXPECT_EQ(TskCaptionText::NormalRotation(725), 5);
}

// A control destroyed under the mouse, as a window closes, calls none of its handlers: they would
// run in the middle of its destruction.
TEST(EffectLabel, DestroyedUnderTheMouseCallsNoHandler) {
  TForm Form(nullptr);
  Form.SetBounds(80, 80, 120, 60);
  auto* Label = new TskLabel(&Form);
  Label->SetParent(&Form);
  Label->SetCaption("Status...");
  auto* Button = new TskImageBtn(&Form);
  Button->SetParent(&Form);
  Button->SetBounds(70, 0, 48, 45);
  Button->SetImage(Resource("button-up.png"));
  int Leaves = 0;
  Label->OnMouseLeave = Button->OnMouseLeave = [&](TComponent*) { ++Leaves; };
  ShowActive(Form);
  for (TControl* Control : {static_cast<TControl*>(Label), static_cast<TControl*>(Button)}) {
    QTest::mouseMove(Form.Widget(), Control->Widget()->geometry().center());
    ASSERT_TRUE(Control->Widget()->underMouse());
    delete Control;
  }
  EXPECT_EQ(Leaves, 0);
}

TEST(EffectLabel, AcceleratorFocusesItsControlAndAlignFollowsTheParent) {
  TForm Form(nullptr);
  Form.SetBounds(50, 50, 200, 120);
  auto* Pest = new TEdit(&Form);
  Pest->SetParent(&Form);
  auto* Other = new TEdit(&Form);
  Other->SetParent(&Form);
  Other->SetTop(40);
  auto* Label = new TskLabel(&Form);
  Label->SetParent(&Form);
  Label->SetCaption("&Pest");
  Label->SetFocusControl(Pest);
  ShowActive(Form);
  Other->Widget()->setFocus();
  QTest::keyClick(Form.Widget(), Qt::Key_P, Qt::AltModifier);
  EXPECT_TRUE(Pest->Widget()->hasFocus());
  Other->Widget()->setFocus();
  Label->EditTextOptions([](TskCaptionText& T) { T.Options = 0; });  // accelerators off
  QTest::keyClick(Form.Widget(), Qt::Key_P, Qt::AltModifier);
  EXPECT_TRUE(Other->Widget()->hasFocus());

  const int Depth = Label->Height();
  Label->SetAlign(alBottom);
  EXPECT_EQ(QRect(Label->Left(), Label->Top(), Label->Width(), Label->Height()),
            QRect(0, 120 - Depth, 200, Depth));
  Form.SetBounds(50, 50, 260, 150);  // follows the parent
  QCoreApplication::processEvents();
  EXPECT_EQ(QRect(Label->Left(), Label->Top(), Label->Width(), Label->Height()),
            QRect(0, 150 - Depth, 260, Depth));
  Label->SetAlign(alClient);
  EXPECT_EQ(QSize(Label->Width(), Label->Height()), QSize(260, 150));
  delete Pest;  // a removed control is forgotten
  EXPECT_EQ(Label->FocusControl(), nullptr);
}

TEST(ToolButton, KeepsItsSizeAndDrawsItsGlyphInItsState) {
  TForm Form(nullptr);
  auto* Quit = new TskToolButton(&Form);
  Quit->SetParent(&Form);
  Quit->SetColor(clBlue);
  Quit->SetWidth(30);
  EXPECT_EQ(Quit->Width(), 15);
  const QRgb Blue = qRgb(0, 0, 255);
  // The X: its top-left stroke starts at (2, 3).
  EXPECT_EQ(Quit->Render().pixel(2, 3), Blue);
  Quit->SetEnabled(false);
  EXPECT_EQ(Quit->Render().pixel(2, 3), qRgb(128, 128, 128));
  Quit->SetEnabled(true);

  int Clicks = 0;
  Quit->OnClick = [&](TComponent*) { ++Clicks; };
  Send(Quit->Widget(), QEvent::MouseButtonPress, {7, 7});
  const QImage Pressed = Quit->Render();
  EXPECT_EQ(Pressed.pixel(3, 4), qRgb(255, 255, 255));  // shifted and white under the cursor
  EXPECT_EQ(Pressed.pixel(0, 0), qRgb(0, 0, 0));        // sunken frame
  Send(Quit->Widget(), QEvent::MouseButtonRelease, {7, 7});
  EXPECT_EQ(Clicks, 1);
  Send(Quit->Widget(), QEvent::MouseButtonPress, {7, 7});
  Send(Quit->Widget(), QEvent::MouseButtonRelease, {40, 40});  // released elsewhere
  EXPECT_EQ(Clicks, 1);

  auto* Min = new TskToolButton(&Form);
  Min->SetParent(&Form);
  Min->SetToolType(ttPopup);
  Min->SetColor(clBlue);
  EXPECT_EQ(Min->Render().pixel(4, 5), Blue);  // the triangle's top row
  EXPECT_EQ(Min->Render().pixel(7, 8), Blue);  // its tip
  EXPECT_NE(Min->Render().pixel(6, 8), Blue);
}

TEST(ToolButton, FocusThemesAndTheNeighbourTurningHot) {
  TForm Form(nullptr);
  Form.SetBounds(80, 80, 60, 30);
  auto Make = [&Form](int Left) {
    auto* B = new TskToolButton(&Form);
    B->SetParent(&Form);
    B->SetLeft(Left);
    B->SetColor(clBlue);
    return B;
  };
  TskToolButton* Quit = Make(0);
  TskToolButton* Min = Make(20);
  ShowActive(Form);

  // A press focuses the button; released over the neighbour, that one turns hot at once.
  QTest::mousePress(Quit->Widget(), Qt::LeftButton, {}, {7, 7});
  EXPECT_EQ(Quit->DrawState() & (dsFocused | dsPressed), dsFocused | dsPressed);
  Send(Quit->Widget(), QEvent::MouseButtonRelease,
       Quit->Widget()->mapFromGlobal(Min->Widget()->mapToGlobal(QPoint(7, 7))));
  EXPECT_TRUE(Min->DrawState() & dsHot);
  EXPECT_FALSE(Quit->DrawState() & (dsHot | dsPressed));
  QTest::mouseClick(Min->Widget(), Qt::LeftButton, {}, {7, 7});
  EXPECT_FALSE(Quit->DrawState() & dsFocused);
  EXPECT_TRUE(Min->DrawState() & dsFocused);

  // OfficeXP: a box outlined in 0x663300 and filled with 0xD6BEB5, 0xCC9999 while pressed; the
  // glyph stays in place.
  Quit->SetTheme(OfficeXP);
  QEnterEvent Enter(QPointF(7, 7), QPointF(7, 7), QPointF(7, 7));
  QApplication::sendEvent(Quit->Widget(), &Enter);
  QImage Drawn = Quit->Render();
  EXPECT_EQ(Drawn.pixel(0, 0), qRgb(0x00, 0x33, 0x66));
  EXPECT_EQ(Drawn.pixel(14, 14), qRgb(0x00, 0x33, 0x66));
  EXPECT_EQ(Drawn.pixel(1, 1), qRgb(0xB5, 0xBE, 0xD6));
  EXPECT_EQ(Drawn.pixel(2, 3), qRgb(0, 0, 255));
  Send(Quit->Widget(), QEvent::MouseButtonPress, {7, 7});
  Drawn = Quit->Render();
  EXPECT_EQ(Drawn.pixel(1, 1), qRgb(0x99, 0x99, 0xCC));
  EXPECT_EQ(Drawn.pixel(2, 3), qRgb(255, 255, 255));
  Send(Quit->Widget(), QEvent::MouseButtonRelease, {7, 7});

  // A style manager's theme wins while the button uses it.
  Quit->SetTheme(WindowsXP);
  auto* Manager = new TskStyleManager(&Form);
  int Changes = 0;
  Manager->OnThemeChanged = [&](TComponent*) { ++Changes; };
  Quit->SetStyleManager(Manager);
  Min->SetStyleManager(Manager);
  EXPECT_EQ(Manager->ControlCount(), 2);
  Manager->SetTheme(OfficeXP);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Quit->EffectiveTheme(), OfficeXP);
  EXPECT_EQ(Quit->Render().pixel(0, 0), qRgb(0x00, 0x33, 0x66));  // still hot
  Quit->SetUseStyleManager(false);
  EXPECT_EQ(Quit->EffectiveTheme(), WindowsXP);
  delete Min;
  EXPECT_EQ(Manager->ControlCount(), 1);
  delete Manager;
  EXPECT_EQ(Quit->StyleManager(), nullptr);
}
