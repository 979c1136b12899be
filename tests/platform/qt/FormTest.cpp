#include "platform/qt/Forms.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <fstream>

#include "platform/core/DefinitionReader.h"
#include "platform/core/DefinitionWriter.h"
#include "platform/qt/Application.h"
#include "platform/qt/QtClasses.h"
#include "platform/qt/Timer.h"
#include "tests/support/ScratchFolder.h"

namespace {

class TTestPanel : public TWinControl {
 public:
  explicit TTestPanel(TComponent* AOwner) : TWinControl(AOwner, new QWidget) {}
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo Info =
        TClassBuilder<TTestPanel>("TTestPanel", TWinControl::StaticClassInfo())
            .Event("OnClick", &TTestPanel::OnClick)
            .Build();
    return Info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TfrmTest : public TForm {
 public:
  explicit TfrmTest(TComponent* AOwner) : TForm(AOwner) {}
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo Info = TClassBuilder<TfrmTest>("TfrmTest", TForm::StaticClassInfo())
                                       .Method("FormCreate", &TfrmTest::FormCreate)
                                       .Method("FormShow", &TfrmTest::FormShow)
                                       .Method("FormClose", &TfrmTest::FormClose)
                                       .Method("Timer1Timer", &TfrmTest::Timer1Timer)
                                       .Method("pnlClick", &TfrmTest::pnlClick)
                                       .Build();
    return Info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  std::string DefinitionPath() const override { return Path; }

  void FormCreate(TComponent*) { ++Creates; }
  void FormShow(TComponent*) { ++Shows; }
  void FormClose(TComponent*, TCloseAction& Action) {
    ++Closes;
    if (RefuseCloses > 0) {
      --RefuseCloses;
      Action = caNone;
    }
  }
  void Timer1Timer(TComponent*) {
    ++Ticks;
    if (Modal()) SetModalResult(mrOk);
  }
  void pnlClick(TComponent*) { throw EAbort(); }

  static inline std::string Path;
  int Creates = 0, Shows = 0, Closes = 0, Ticks = 0, RefuseCloses = 0;
};

const char* const Definition =
    "object frmTest: TfrmTest\n"
    "  Left = 10\n"
    "  Top = 20\n"
    "  Width = 337\n"
    "  Height = 362\n"
    "  Caption = 'Tessolon 3.0'\n"
    "  Color = clTeal\n"
    "  Font.Name = 'Tahoma'\n"
    "  Font.Height = -15\n"
    "  Font.Color = clBlue\n"
    "  Font.Style = [fsBold]\n"
    "  BorderStyle = bsNone\n"
    "  Position = poScreenCenter\n"
    "  OnCreate = FormCreate\n"
    "  OnShow = FormShow\n"
    "  OnClose = FormClose\n"
    "  object Timer1: TTimer\n"
    "    Enabled = False\n"
    "    Interval = 10\n"
    "    OnTimer = Timer1Timer\n"
    "  end\n"
    "  object pnlOuter: TTestPanel\n"
    "    Left = 5\n"
    "    Top = 6\n"
    "    Width = 100\n"
    "    Height = 50\n"
    "    OnClick = pnlClick\n"
    "    object pnlInner: TTestPanel\n"
    "      Left = 1\n"
    "      Top = 2\n"
    "      Width = 30\n"
    "      Height = 20\n"
    "      Font.Name = 'Arial'\n"
    "      Font.Height = -12\n"
    "      Visible = False\n"
    "    end\n"
    "  end\n"
    "end\n";

class FormFixture : public testing::Test {
 protected:
  FormFixture() {
    RegisterQtClasses();
    RegisterClass(TTestPanel::StaticClassInfo());
    TfrmTest::Path = (Folder / "frmTest.dfm").string();
    std::ofstream(TfrmTest::Path) << Definition;
    App.SetTitle("Tessolon 3.0");
  }
  const TScratchFolder Folder{"tessolon-form-"};
  TApplication App;
};

TEST_F(FormFixture, CreateFormReadsTheDefinitionThenRunsOnCreateAndWritesItBack) {
  TfrmTest* Form = nullptr;
  App.CreateForm(Form);
  ASSERT_NE(Form, nullptr);
  EXPECT_EQ(App.MainForm(), Form);
  EXPECT_EQ(Form->Creates, 1);
  EXPECT_FALSE(Form->Visible());
  EXPECT_EQ(Form->Widget()->windowTitle(), "Tessolon 3.0");
  EXPECT_TRUE(Form->Widget()->windowFlags() & Qt::FramelessWindowHint);
  auto* Outer = dynamic_cast<TTestPanel*>(Form->FindComponent("pnlOuter"));
  auto* Inner = dynamic_cast<TTestPanel*>(Form->FindComponent("pnlInner"));
  ASSERT_TRUE(Outer && Inner);
  EXPECT_EQ(Inner->Parent(), Outer);
  EXPECT_EQ(Inner->Widget()->parentWidget(), Outer->Widget());
  EXPECT_EQ(Outer->Widget()->geometry(), QRect(5, 6, 100, 50));
  // The outer panel follows the form's font; the inner one has its own.
  EXPECT_EQ(Outer->Font().Name, "Tahoma");
  EXPECT_TRUE(Outer->ParentFont());
  EXPECT_EQ(Inner->Font().Name, "Arial");
  EXPECT_EQ(Inner->Widget()->font().pixelSize(), 12);
  // A silent abort from a click handler shows nothing and does not escape.
  Outer->Click();
  EXPECT_FALSE(App.ErrorBoxOpen());

  // Written out, the form reads back to the same text; the inherited font is not stored.
  const std::string Text = WriteDefinition(*Form);
  TfrmTest Copy(nullptr);
  ReadDefinition(Copy, Text, "copy.dfm");
  EXPECT_EQ(WriteDefinition(Copy), Text);
  EXPECT_EQ(Text.find("Font.Name = 'Tahoma'", Text.find("pnlOuter")), std::string::npos);
  EXPECT_LT(Text.find("object Timer1"), Text.find("object pnlOuter"));
}

TEST_F(FormFixture, ShowCentresOnceRunsOnShowEachTimeAndCloseEndsTheProgram) {
  TfrmTest* Form = nullptr;
  App.CreateForm(Form);
  Form->Show();
  const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(Form->Left(), Screen.x() + (Screen.width() - 337) / 2);
  EXPECT_EQ(Form->Top(), Screen.y() + (Screen.height() - 362) / 2);
  EXPECT_EQ(Form->Shows, 1);
  Form->Hide();
  Form->SetLeft(3);
  Form->Show();
  EXPECT_EQ(Form->Shows, 2);
  EXPECT_EQ(Form->Left(), 3);

  // Closing the main form ends the program unless OnClose refuses.
  Form->RefuseCloses = 1;
  Form->Close();
  EXPECT_TRUE(Form->Visible());
  EXPECT_FALSE(App.Terminated());
  Form->Close();
  EXPECT_EQ(Form->Closes, 2);
  EXPECT_FALSE(Form->Visible());
  EXPECT_TRUE(App.Terminated());
}

TEST_F(FormFixture, ShowModalRunsUntilModalResultAndAsksOnClose) {
  TfrmTest* Main = nullptr;
  App.CreateForm(Main);
  auto* Dialog = new TfrmTest(&App);
  ReadDefinition(*Dialog, std::string(Definition).replace(7, 7, "frmDialog"), "dialog.dfm");
  Dialog->RefuseCloses = 1;  // the first tick's result is refused; the second one closes
  dynamic_cast<TTimer*>(Dialog->FindComponent("Timer1"))->SetEnabled(true);
  EXPECT_EQ(Dialog->ShowModal(), mrOk);
  EXPECT_EQ(Dialog->Ticks, 2);
  EXPECT_EQ(Dialog->Closes, 2);
  EXPECT_FALSE(Dialog->Visible());
  EXPECT_FALSE(Dialog->Modal());
  Dialog->Show();
  EXPECT_THROW(Dialog->ShowModal(), EInvalidOperation);
  dynamic_cast<TTimer*>(Dialog->FindComponent("Timer1"))->SetEnabled(false);
  QTest::qWait(20);
}

}  // namespace
