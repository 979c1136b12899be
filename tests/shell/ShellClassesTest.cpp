#include <gtest/gtest.h>

#include <QMenu>

#include "platform/core/DefinitionReader.h"
#include "platform/core/DefinitionWriter.h"
#include "platform/qt/Forms.h"
#include "platform/qt/QtClasses.h"
#include "shell/EffectLabel.h"
#include "shell/ImageBtn.h"
#include "shell/ImageForm.h"
#include "shell/ShellClasses.h"
#include "shell/SkinMenu.h"
#include "shell/ToolButton.h"
#include "shell/TrayIcon.h"

namespace {

std::string Resource(const char* Name) {
  return std::string(TESSOLON_SOURCE_DIR) + "/resources/" + Name;
}

// A window laid out like the program's main window.
std::string MainLike() {
  return "object Form1: TForm\n"
         "  BorderStyle = bsNone\n"
         "  object skImageForm1: TskImageForm\n"
         "    AutoSize = True\n"
         "    Picture = '" +
         Resource("skin.png") +
         "'\n"
         "    TransparentColor = clTeal\n"
         "  end\n"
         "  object skLabel6: TskLabel\n"
         "    Left = 73\n"
         "    Top = 297\n"
         "    Caption = 'Tessolon 3.0'\n"
         "    Font.Name = 'Tahoma'\n"
         "    Font.Height = -15\n"
         "    Font.Color = clBlue\n"
         "    Font.Style = [fsBold]\n"
         "    Transparent = True\n"
         "    TextOptions.Style = sklsRaised\n"
         "    TextOptions.HighlightColor = clYellow\n"
         "    TextOptions.ShadeColor = clNavy\n"
         "    TextOptions.Shadow.XOffset = 20\n"
         "    TextOptions.Rotation = -90\n"
         "  end\n"
         "  object btnGo: TskImageBtn\n"
         "    Left = 60\n"
         "    Top = 312\n"
         "    Width = 48\n"
         "    Height = 45\n"
         "    Color = clTeal\n"
         "    Image = '" +
         Resource("button-up.png") + "'\n    ImageDown = '" + Resource("button-down.png") +
         "'\n    Glyph = '" + Resource("glyph-go.png") +
         "'\n"
         "    NumGlyphs = 0\n"
         "    Offsets.ImageDownX = 3\n"
         "  end\n"
         "  object btnMin: TskToolButton\n"
         "    Left = 2\n"
         "    Top = 298\n"
         "    Width = 30\n"
         "    ToolType = ttPopup\n"
         "    Color = clBlue\n"
         "  end\n"
         "  object TrayIcon1: TTrayIcon\n"
         "    Hint = 'Tessolon 3.0'\n"
         "    ShowHint = True\n"
         "    Icon = '" +
         Resource("tray.png") +
         "'\n"
         "    PopupMenu = PopupMenu1\n"
         "    MinimizeToTray = True\n"
         "  end\n"
         "  object SkinMenu1: TSkinMenu\n"
         "    Font.Name = 'Tahoma'\n"
         "    Gradient = True\n"
         "    Active = True\n"
         "  end\n"
         "  object PopupMenu1: TPopupMenu\n"
         "    object ShowApplication1: TMenuItem\n"
         "      Caption = 'Show Win'\n"
         "    end\n"
         "    object Run1: TMenuItem\n"
         "      Caption = 'Run'\n"
         "      Checked = True\n"
         "    end\n"
         "  end\n"
         "end\n";
}

class ShellDefinition : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterQtClasses();
    RegisterShellClasses();
  }
};

}  // namespace

TEST_F(ShellDefinition, PropertiesAreReadIntoTheComponents) {
  TForm Form(nullptr);
  ReadDefinition(Form, MainLike(), "main.dfm");

  auto* Skin = dynamic_cast<TskImageForm*>(Form.FindComponent("skImageForm1"));
  ASSERT_TRUE(Skin);
  EXPECT_EQ(Skin->DragTolerance(), 5);
  EXPECT_EQ(Skin->TransparentColor(), clTeal);
  EXPECT_EQ(Form.ClientWidth(), 337);  // the picture sizes the form
  EXPECT_EQ(Form.ClientHeight(), 362);

  auto* Label = dynamic_cast<TskLabel*>(Form.FindComponent("skLabel6"));
  ASSERT_TRUE(Label);
  EXPECT_EQ(Label->TextOptions().Style, sklsRaised);
  EXPECT_EQ(Label->TextOptions().HighlightColor, clYellow);
  EXPECT_EQ(Label->TextOptions().ShadowXOffset, 20);
  EXPECT_EQ(Label->TextOptions().Rotation, 270);

  auto* Go = dynamic_cast<TskImageBtn*>(Form.FindComponent("btnGo"));
  ASSERT_TRUE(Go);
  EXPECT_EQ(Go->Color(), clTeal);
  EXPECT_EQ(Go->NumGlyphs(), 0);
  EXPECT_EQ(Go->Offsets().ImageDownX, 3);
  EXPECT_EQ(Go->Offsets().ImageDownY, 2);
  EXPECT_EQ(Go->TextOptions().Alignment, taCenter);

  auto* Min = dynamic_cast<TskToolButton*>(Form.FindComponent("btnMin"));
  ASSERT_TRUE(Min);
  EXPECT_EQ(Min->ToolType(), ttPopup);
  EXPECT_EQ(Min->Width(), 15);  // a tool button keeps its size

  auto* Tray = dynamic_cast<TTrayIcon*>(Form.FindComponent("TrayIcon1"));
  ASSERT_TRUE(Tray);
  EXPECT_EQ(Tray->ToolTip(), "Tessolon 3.0");
  EXPECT_TRUE(Tray->MinimizeToTray());
  auto* Menu = dynamic_cast<TPopupMenu*>(Form.FindComponent("PopupMenu1"));
  ASSERT_TRUE(Menu);
  EXPECT_EQ(Tray->PopupMenu(), Menu);
  ASSERT_EQ(Menu->Count(), 2);
  EXPECT_EQ(Menu->Items(1)->Caption(), "Run");
  EXPECT_TRUE(Menu->Items(1)->Checked());
  EXPECT_EQ(Menu->Menu()->actions().size(), 2);
  EXPECT_TRUE(Menu->OwnerDraw());  // the skin menu paints it
}

TEST_F(ShellDefinition, ClickableComponentsPublishTheirClickHandlers) {
  for (const char* Name :
       {"TskImageForm", "TskLabel", "TskImageBtn", "TskToolButton", "TTrayIcon", "TMenuItem"}) {
    const TClassInfo* Info = FindClass(Name);
    ASSERT_TRUE(Info) << Name;
    const TPropInfo* Prop = Info->FindProp("OnClick");
    ASSERT_TRUE(Prop) << Name;
    EXPECT_EQ(Prop->Kind, TPropKind::Event) << Name;
  }
}

TEST_F(ShellDefinition, WrittenWindowReadsBackTheSame) {
  TForm Form(nullptr);
  ReadDefinition(Form, MainLike(), "main.dfm");
  const std::string Written = WriteDefinition(Form);
  EXPECT_NE(Written.find("object ShowApplication1: TMenuItem"), std::string::npos);
  EXPECT_NE(Written.find("DragTolerance = 5"), std::string::npos);  // always stored

  TForm Again(nullptr);
  ReadDefinition(Again, Written, "again.dfm");
  EXPECT_EQ(WriteDefinition(Again), Written);
  auto* Skin = dynamic_cast<TskImageForm*>(Again.FindComponent("skImageForm1"));
  ASSERT_TRUE(Skin);
  EXPECT_FALSE(Skin->Shape().isEmpty());
}
