#include "app/Program.h"

#include <gtest/gtest.h>

#include <QFile>

#include "app/UMain.h"
#include "app/Util.h"
#include "platform/core/DefinitionReader.h"
#include "platform/core/DefinitionWriter.h"
#include "platform/qt/Application.h"

namespace {

std::string Resource(const std::string& Path) {
  QFile File(QString::fromStdString(Path));
  EXPECT_TRUE(File.open(QIODevice::ReadOnly)) << Path;
  return File.readAll().toStdString();
}

TEST(Program, CreatesTheMainWindowThenTheDialogFromTheBuiltInDefinitions) {
  TApplication App;
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
}

// What the writer makes of a shipped window reads back to the same text: every property the
// definition sets survives, whatever the windows come to hold.
TEST(Program, ShippedDefinitionsSurviveWriteAndReadBack) {
  TApplication App;
  CreateWindows(App);
  for (TForm* Form : std::initializer_list<TForm*>{frmMain, frmUtil}) {
    const std::string Written = WriteDefinition(*Form);
    TForm* Copy = nullptr;
    if (Form == frmMain)
      Copy = new TfrmMain(nullptr);
    else
      Copy = new TfrmUtil(nullptr);
    std::unique_ptr<TForm> Owned(Copy);
    ReadDefinition(*Copy, Written, Form->Name() + " (written)");
    EXPECT_EQ(WriteDefinition(*Copy), Written) << Form->Name();
    EXPECT_FALSE(Resource(Form->DefinitionPath()).empty());
  }
}

}  // namespace
