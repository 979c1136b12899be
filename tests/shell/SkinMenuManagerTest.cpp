#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/qt/Application.h"
#include "platform/qt/Forms.h"
#include "platform/qt/StdCtrls.h"
#include "shell/ControlPainter.h"
#include "shell/SkinMenu.h"
#include "shell/SkinMenuManager.h"

namespace {

TEdit* EditOn(TForm& Form) {
  auto* Edit = new TEdit(&Form);
  Edit->SetParent(&Form);
  return Edit;
}

bool Painted(const TControl* Control) {
  return TControlSubClass::Of(Control->Widget()) != nullptr;
}

}  // namespace

TEST(SkinMenuManager, TheCurrentMenuPaintsTheOtherFormsAndHandsOverWhenItGoes) {
  TApplication App;
  auto* Before = new TForm(&App);  // on the screen when the menu comes
  TEdit* BeforeEdit = EditOn(*Before);
  auto* Main = new TForm(&App);
  auto* Skin = new TSkinMenu(Main);
  Skin->SetActive(true);
  ASSERT_EQ(TSkinMenuManager::Instance()->Current(), Skin);

  auto* Later = new TForm(&App);  // made afterwards: handled once it is built
  TEdit* LaterEdit = EditOn(*Later);
  auto* Own = new TForm(&App);  // has a skin menu of its own, switched off
  auto* OwnSkin = new TSkinMenu(Own);
  TEdit* OwnEdit = EditOn(*Own);
  auto* Tagged = new TForm(&App);
  Tagged->SetTag(999);
  TEdit* TaggedEdit = EditOn(*Tagged);
  EXPECT_FALSE(Painted(LaterEdit));
  QCoreApplication::processEvents();
  EXPECT_TRUE(Painted(BeforeEdit));
  EXPECT_TRUE(Painted(LaterEdit));
  EXPECT_FALSE(Painted(OwnEdit));
  EXPECT_FALSE(Painted(TaggedEdit));

  OwnSkin->SetActive(true);  // paints its own form; the first menu stays current
  EXPECT_TRUE(Painted(OwnEdit));
  EXPECT_EQ(TSkinMenuManager::Instance()->Current(), Skin);

  delete Skin;  // its painting goes with it; the other menu takes over
  EXPECT_FALSE(Painted(BeforeEdit));
  EXPECT_EQ(TSkinMenuManager::Instance()->Current(), OwnSkin);
  QCoreApplication::processEvents();
  EXPECT_TRUE(Painted(BeforeEdit));
  EXPECT_TRUE(Painted(LaterEdit));
  EXPECT_FALSE(Painted(TaggedEdit));

  OwnSkin->SetActive(false);  // no menu left to paint: forms drop the look at their next event
  EXPECT_EQ(TSkinMenuManager::Instance()->Current(), nullptr);
  delete OwnSkin;
  EXPECT_EQ(TSkinMenuManager::Instance(), nullptr);
  EXPECT_FALSE(Painted(BeforeEdit) || Painted(LaterEdit) || Painted(OwnEdit));
}
