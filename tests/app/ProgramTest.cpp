#include "app/Program.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <QTest>
#include <functional>
#include <iostream>

#include "platform/core/DefinitionReader.h"
#include "platform/core/DefinitionWriter.h"
#include "platform/qt/DesignFonts.h"
#include "tests/app/WindowFixture.h"

namespace {

std::string Resource(const std::string& Path) {
  QFile File(QString::fromStdString(Path));
  EXPECT_TRUE(File.open(QIODevice::ReadOnly)) << Path;
  return File.readAll().toStdString();
}

class Program : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    EnterScratchFolder();
  }
};

TEST_F(Program, CreatesTheWindowsFromTheBuiltInDefinitionsWhichSurviveWriteAndReadBack) {
  CreateWindows(App);
  EXPECT_EQ(App.Title(), "Tessolon 3.0");
  ASSERT_NE(frmMain, nullptr);
  ASSERT_NE(frmUtil, nullptr);
  EXPECT_EQ(App.MainForm(), frmMain);
  EXPECT_EQ(frmMain->Name(), "frmMain");
  EXPECT_EQ(frmUtil->Name(), "frmUtil");
  EXPECT_EQ(frmMain->ClientWidth(), 337);
  EXPECT_EQ(frmMain->ClientHeight(), 362);
  EXPECT_EQ(frmMain->BorderStyle(), bsNone);
  // The fonts the windows were laid out with, from fonts-wine (a dependency of the package and
  // of make run): the labels' Tahoma, regular and bold, not DejaVu in its place; the buttons' MS
  // Sans Serif is drawn with it at the buttons' size, where fonts-wine's copy has no bitmap.
  EXPECT_EQ(AddDesignFonts(), 2);
  for (const char* Family : {"Tahoma", "MS Sans Serif"}) {
    QFont Font(Family);
    Font.setPixelSize(11);
    Font.setBold(true);
    EXPECT_EQ(QFontInfo(Font).family(), "Tahoma") << Family;
    EXPECT_EQ(QFontInfo(Font).pixelSize(), 11) << Family;
  }
  // That Tahoma has no Thai; Thai pest names are drawn in the font that stands in for it.
  const QRawFont Thai = QRawFont::fromFont(QFont("Tahoma"), QFontDatabase::Thai);
  EXPECT_TRUE(Thai.supportsCharacter(QChar(0x0E22))) << Thai.familyName().toStdString();

  // What the writer makes of a shipped window reads back to the same text: every property the
  // definition sets survives, whatever the windows come to hold.
  for (TForm* Form : std::initializer_list<TForm*>{frmMain, frmUtil}) {
    const std::string Written = WriteDefinition(*Form);
    const std::unique_ptr<TForm> Copy(Form == frmMain ? static_cast<TForm*>(new TfrmMain(nullptr))
                                                      : new TfrmUtil(nullptr));
    ReadDefinition(*Copy, Written, Form->Name() + " (written)");
    EXPECT_EQ(WriteDefinition(*Copy), Written) << Form->Name();
    EXPECT_FALSE(Resource(Form->DefinitionPath()).empty());
  }
  const std::string Main = WriteDefinition(*frmMain);
  EXPECT_NE(Main.find("object ShowApplication1: TMenuItem"), std::string::npos);
  EXPECT_NE(Main.find("DragTolerance = 5"), std::string::npos);  // always stored
  // A copy's end leaves the program's windows where they were.
  EXPECT_EQ(App.MainForm(), frmMain);
  EXPECT_NE(frmUtil, nullptr);
}

// Every windowed control of both windows stacks above its graphic siblings (labels, bevels,
// pictures), as the component model paints them: no bevel cuts through a check box.
TEST_F(Program, GraphicControlsLieBeneathTheirWindowedSiblings) {
  CreateWindows(App);
  int Checked = 0;
  const std::function<void(const TWinControl&)> Check = [&](const TWinControl& Parent) {
    const QObjectList& Order = Parent.Widget()->children();  // bottom to top
    int HighestGraphic = -1;
    const TControl* Graphic = nullptr;
    for (int I = 0; I < Parent.ControlCount(); ++I)
      if (!dynamic_cast<const TWinControl*>(Parent.Controls(I)) &&
          Order.indexOf(Parent.Controls(I)->Widget()) > HighestGraphic) {
        HighestGraphic = int(Order.indexOf(Parent.Controls(I)->Widget()));
        Graphic = Parent.Controls(I);
      }
    for (int I = 0; I < Parent.ControlCount(); ++I)
      if (const auto* Windowed = dynamic_cast<const TWinControl*>(Parent.Controls(I))) {
        // A page of a page control sits inside the tab widget, not among its siblings.
        if (Graphic && Order.contains(Windowed->Widget())) {
          EXPECT_GT(Order.indexOf(Windowed->Widget()), HighestGraphic)
              << Windowed->Name() << " lies beneath " << Graphic->Name();
          ++Checked;
        }
        Check(*Windowed);
      }
  };
  Check(*frmMain);
  Check(*frmUtil);
  EXPECT_GT(Checked, 30);
}

// Every control the keyboard can reach, in both windows and on every page, has a name a screen
// reader can say. The list is printed for the reader of the log to judge the names.
TEST_F(Program, EveryFocusableControlHasANameForScreenReaders) {
  StartProgram();
  std::vector<std::string> Nameless;
  int Named = 0;
  const std::function<void(QAccessibleInterface*)> Walk = [&](QAccessibleInterface* Item) {
    // Hidden things (a closed drop-down list, another page) cannot be reached.
    if (!Item || !Item->isValid() || Item->state().invisible) return;
    if (Item->state().focusable) {
      std::string Object = Item->object() ? Item->object()->metaObject()->className() : "";
      const QRect At = Item->rect();
      Object += " at " + std::to_string(At.x()) + "," + std::to_string(At.y());
      const std::string Name = Item->text(QAccessible::Name).toStdString();
      std::cout << "  " << Object << " \"" << Name
                << "\": " << Item->text(QAccessible::Description).toStdString() << "\n";
      if (Name.empty())
        Nameless.push_back(Object);
      else
        ++Named;
    }
    for (int I = 0; I < Item->childCount(); ++I) Walk(Item->child(I));
  };
  std::cout << "frmMain:\n";
  Walk(QAccessible::queryAccessibleInterface(frmMain->Widget()));
  frmUtil->Show();
  for (int Page = 0; Page < Pages().PageCount(); ++Page) {
    frmUtil->ShowPage(Page);
    std::cout << "frmUtil, " << Pages().Pages(Page)->Caption() << ":\n";
    Walk(QAccessible::queryAccessibleInterface(frmUtil->Widget()));
  }
  EXPECT_TRUE(Nameless.empty()) << testing::PrintToString(Nameless);
  EXPECT_GT(Named, 40);
}

// The selector, Set-up, Go and Stop follow each other in the tab order, and Space on a focused
// button does what its click does.
TEST_F(Program, TheMainCommandsAreReachedAndUsedFromTheKeyboard) {
  StartProgram();
  std::vector<std::string> Order;
  QWidget* Start = Main<TControl>("cbLook1").Widget();
  for (QWidget* At = Start->nextInFocusChain(); At != Start; At = At->nextInFocusChain())
    if ((At->focusPolicy() & Qt::TabFocus) && At->window() == frmMain->Widget())
      for (const char* Name : {"btnConfig", "btnGo", "btnStop"})
        if (At == Main<TControl>(Name).Widget()) Order.push_back(Name);
  EXPECT_EQ(Order, (std::vector<std::string>{"btnConfig", "btnGo", "btnStop"}));
  QTest::keyClick(Main<TControl>("btnGo").Widget(), Qt::Key_Space);
  EXPECT_TRUE(Running());
  QTest::keyClick(Main<TControl>("btnStop").Widget(), Qt::Key_Space);
  EXPECT_FALSE(Running());
}

// Each window's end clears its global reference and the other window's link to it: what the
// survivor is then asked fails with a message, or goes without the gone window.
TEST_F(Program, AWindowsEndClearsItsReferenceAndTheOtherWindowsLink) {
  StartProgram();
  delete frmUtil;
  EXPECT_EQ(frmUtil, nullptr);
  try {
    frmMain->btnGoClick(frmMain);
    ADD_FAILURE() << "Go without the dialog";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "The Adjustment dialog does not exist");
  }

  App.CreateForm(frmUtil);
  frmUtil->SetObserver(frmMain);
  delete frmMain;
  EXPECT_EQ(frmMain, nullptr);
  OpenTable();
  frmUtil->Show();
  Util<TControl>("btnClose").Click();
  EXPECT_FALSE(frmUtil->Visible());
  EXPECT_FALSE(Table().Active());
}

}  // namespace
