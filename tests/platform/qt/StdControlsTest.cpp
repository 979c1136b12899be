#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

#include "platform/qt/ComCtrls.h"
#include "platform/qt/DbCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "tests/platform/data/ScratchTable.h"
#include "tests/platform/qt/ListDriver.h"

namespace {

class DataControls : public testing::Test {
 protected:
  DataControls() {
    Source.SetDataSet(&Table);
    Table.Open();
  }
  TScratchTable Table{{{"IDX", ftSmallint, 4}, {"NAME_PEST", ftString, 16}},
                      {{"3", "Mosquito"}, {"1", "Rat"}, {"2", "Flea"}}};
  TDataSource Source{nullptr};
};

}  // namespace

TEST(TrackBar, KeepsThePositionWithinTheRangeAndReportsChanges) {
  TTrackBar Bar(nullptr);
  int Changes = 0;
  Bar.OnChange = [&](TComponent*) { ++Changes; };
  Bar.SetRange(15000, 50000);
  Bar.SetPosition(60000);
  EXPECT_EQ(Bar.Position(), 50000);
  Bar.SetRange(25000, 30000);  // a wholly different band moves the position into it
  EXPECT_EQ(Bar.Position(), 30000);
  Bar.SetMin(40000);  // a minimum above the maximum takes the maximum along
  EXPECT_EQ(Bar.Max(), 40000);
  EXPECT_GE(Changes, 3);
  Bar.SetOrientation(trVertical);
  EXPECT_TRUE(Bar.Slider()->invertedAppearance());  // minimum at the top
}

TEST(ComboBox, ItemIndexSurvivesLoadingAndCloseUpFollowsTheChoice) {
  QWidget Window;  // outlives the box, whose widget it comes to hold
  TComboBox Box(nullptr);
  Box.BeginLoad();
  Box.SetItemIndex(1);
  Box.SetItems({"Sine  ", "Square", "Triangle"});
  Box.EndLoad();
  EXPECT_EQ(Box.ItemIndex(), 1);
  Box.SetItemIndex(7);
  EXPECT_EQ(Box.ItemIndex(), -1);

  // OnCloseUp sees the entry just chosen, and fires also when the list closes without a choice.
  Box.Widget()->setParent(&Window);
  Box.SetItems({"Sine  ", "Square", "Triangle", "Sawtooth", "Noise"});
  Box.SetItemIndex(0);
  std::vector<int> Seen;
  Box.OnCloseUp = [&](TComponent*) { Seen.push_back(Box.ItemIndex()); };
  Window.show();
  ListDriver::ChooseWithMouse(*Box.Combo(), 2);
  ListDriver::ChooseWithKeys(*Box.Combo(), 3);
  ListDriver::EscapeFrom(*Box.Combo(), 1);
  ListDriver::ClickOutside(*Box.Combo());
  EXPECT_EQ(Seen, (std::vector<int>{2, 3, 3, 3}));
}

TEST(PageControl, SheetsBecomePagesAndTheActivePageCanBeChosen) {
  TPageControl Pages(nullptr);
  TTabSheet Setup(nullptr), About(nullptr);
  Setup.SetCaption("Setup Parameter");
  Setup.SetParent(&Pages);
  About.SetParent(&Pages);
  About.SetCaption("About Box");
  ASSERT_EQ(Pages.PageCount(), 2);
  Pages.SetActivePageIndex(1);
  EXPECT_EQ(Pages.ActivePage(), &About);
  EXPECT_EQ(Pages.Tabs()->tabText(1), "About Box");
  Pages.SetActivePage(&Setup);
  EXPECT_EQ(Pages.ActivePageIndex(), 0);
  About.SetParent(nullptr);
  Setup.SetParent(nullptr);
}

TEST_F(DataControls, BoundEditEntersEditStateOnTypingAndWritesWhenTheRecordIsSaved) {
  TDBEdit Edit(nullptr);
  Edit.SetDataSource(&Source);
  Edit.SetDataField("NAME_PEST");
  EXPECT_EQ(Edit.Text(), "Mosquito");
  Edit.LineEdit()->setFocus();
  Edit.LineEdit()->selectAll();
  Edit.LineEdit()->insert("Gnat");  // as typed: textEdited
  EXPECT_EQ(Table.State(), dsEdit);
  EXPECT_EQ(Table.FieldByName("NAME_PEST")->AsString(), "Mosquito");  // not yet handed over
  Table.Post();
  EXPECT_EQ(Table.FieldByName("NAME_PEST")->AsString(), "Gnat");
  Table.Next();
  EXPECT_EQ(Edit.Text(), "Rat");
  Edit.SetDataSource(nullptr);
}

TEST_F(DataControls, LookupListsEveryRecordAndLocatesTheChosenOneBeforeCloseUp) {
  QWidget Window;
  TDBLookupComboBox Look(nullptr);
  Look.Widget()->setParent(&Window);
  std::vector<std::string> Seen;  // the current record's name at each close-up
  Look.OnCloseUp = [&](TComponent*) { Seen.push_back(Table.FieldByName("NAME_PEST")->AsString()); };
  Look.SetKeyField("IDX");
  Look.SetListField("NAME_PEST");
  Look.SetListSource(&Source);
  ASSERT_EQ(Look.ItemCount(), 3);
  EXPECT_EQ(Look.ItemText(2), "Flea");
  EXPECT_EQ(Look.ItemIndex(), 0);
  Window.show();
  auto& Combo = *static_cast<QComboBox*>(Look.Widget());
  ListDriver::ChooseWithMouse(Combo, 2);
  EXPECT_EQ(Table.FieldByName("IDX")->AsInteger(), 2);
  ListDriver::ChooseWithKeys(Combo, 1);
  EXPECT_EQ(Table.FieldByName("IDX")->AsInteger(), 1);
  ListDriver::EscapeFrom(Combo, 0);
  ListDriver::ClickOutside(Combo);
  EXPECT_EQ(Seen, (std::vector<std::string>{"Flea", "Rat", "Rat", "Rat"}));
  EXPECT_EQ(Look.ItemIndex(), 1);
  // The box shows what was chosen, not the list's cursor; closed without a choice, it puts the
  // cursor back on the entry it shows, and after the table is reopened it shows it again.
  Table.First();
  EXPECT_EQ(Look.ItemIndex(), 1);
  ListDriver::EscapeFrom(Combo, 1);
  EXPECT_EQ(Table.FieldByName("IDX")->AsInteger(), 1);
  EXPECT_EQ(Seen.back(), "Rat");
  Table.Close();
  EXPECT_EQ(Look.ItemCount(), 0);
  Table.Open();
  EXPECT_EQ(Look.ItemIndex(), 1);
  Look.SetListSource(nullptr);
}
