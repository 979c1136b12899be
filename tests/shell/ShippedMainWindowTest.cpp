// Holds the main window's shipped definition (resources/frmMain.dfm) to the skin it must give:
// raised yellow-and-navy labels, teal-tinted picture buttons, tool buttons on the button face, a
// tray icon with its menu.
#include <gtest/gtest.h>

#include <QImage>
#include <QMenu>
#include <algorithm>
#include <fstream>

#include "platform/core/DefinitionReader.h"
#include "platform/qt/Forms.h"
#include "platform/qt/QtClasses.h"
#include "platform/qt/StdCtrls.h"
#include "shell/EffectLabel.h"
#include "shell/ImageBtn.h"
#include "shell/ImageForm.h"
#include "shell/Menus.h"
#include "shell/Shape.h"
#include "shell/ShellClasses.h"
#include "shell/ToolButton.h"
#include "shell/TrayIcon.h"
#include "tests/shell/ShellTestSupport.h"

using namespace ShellTest;

namespace {

const std::string Resources = Resource("");

// The stored definition read into a plain form: the window's own class and handlers live in
// the program, and pictures are read from the source tree.
std::string MainDefinition() {
  std::ifstream File(Resources + "frmMain.dfm");
  std::string Out, Line;
  bool SawClass = false;
  while (std::getline(File, Line)) {
    const std::string Trimmed = Line.substr(std::min(Line.find_first_not_of(' '), Line.size()));
    if (Line == "object frmMain: TfrmMain") {
      Line = "object frmMain: TForm";
      SawClass = true;
    }
    if (Trimmed.starts_with("ListSource = ")) continue;
    if (Trimmed.starts_with("On") && Trimmed.find(" = ") != std::string::npos) continue;
    if (Trimmed.ends_with(".png'")) Line.insert(Line.find('\'') + 1, Resources);
    Out += Line + '\n';
  }
  EXPECT_TRUE(SawClass) << "definition reshaped";
  return Out;
}

// The shape the up picture gives a picture button of the shipped size.
QRegion RoundShape() {
  TskImageBtn Fresh(nullptr);
  Fresh.SetBounds(0, 0, 48, 45);
  Fresh.SetImage(Resources + "button-up.png");
  return Fresh.Shape(false);
}

class ShippedMainWindow : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterQtClasses();
    RegisterStandardControls();
    RegisterShellClasses();
  }
  void SetUp() override { ReadDefinition(Form, MainDefinition(), "frmMain.dfm"); }
  template <class T>
  T* Find(const char* Name) {
    auto* C = dynamic_cast<T*>(Form.FindComponent(Name));
    EXPECT_TRUE(C) << Name;
    return C;
  }
  TForm Form{nullptr};
};

}  // namespace

TEST_F(ShippedMainWindow, ShapedWindowCoversTheButtonFaceForm) {
  EXPECT_EQ(Form.Color(), clBtnFace);
  auto* Skin = Find<TskImageForm>("skImageForm1");
  ASSERT_TRUE(Skin);
  EXPECT_EQ(Skin->Align(), alClient);
  EXPECT_TRUE(Skin->AutoSize());
  EXPECT_EQ(Skin->DragTolerance(), 5);
  EXPECT_EQ(Skin->TransparentColor(), clTeal);
  EXPECT_EQ(Skin->Options(), 0);
  EXPECT_EQ(Form.ClientWidth(), 337);
  EXPECT_EQ(Form.ClientHeight(), 362);
  EXPECT_FALSE(Skin->Shape().contains(QPoint(0, 0)));  // teal corner cut away
  EXPECT_TRUE(Skin->Shape().contains(QPoint(150, 150)));
  // The stored shape is used as stored: it must stay the one the picture gives.
  const QImage Picture(QString::fromStdString(Resources + "skin.png"));
  EXPECT_EQ(Skin->Shape(), ShapeFromImage(Picture, clTeal)) << "stored RegionData is stale";

  // The tray icon and its menu, which the skin menu paints.
  auto* Tray = Find<TTrayIcon>("TrayIcon1");
  auto* Menu = Find<TPopupMenu>("PopupMenu1");
  ASSERT_TRUE(Tray && Menu);
  EXPECT_EQ(Tray->ToolTip(), "Tessolon 3.0");
  EXPECT_TRUE(Tray->MinimizeToTray());
  EXPECT_EQ(Tray->PopupMenu(), Menu);
  ASSERT_EQ(Menu->Count(), 4);
  EXPECT_EQ(Menu->Items(1)->Caption(), "Run");
  EXPECT_EQ(Menu->Menu()->actions().size(), 4);
  EXPECT_TRUE(Menu->OwnerDraw());
}

// What the shipped window leaves at its defaults or stores, and the click handlers a definition
// may name.
TEST_F(ShippedMainWindow, OtherPropertiesAndClickHandlersAreRead) {
  TForm Other(nullptr);
  ReadDefinition(Other,
                 "object Form1: TForm\n"
                 "  object skLabel6: TskLabel\n"
                 "    TextOptions.Rotation = -90\n"
                 "  end\n"
                 "  object btnGo: TskImageBtn\n"
                 "    Offsets.ImageDownX = 3\n"
                 "  end\n"
                 "  object skImageForm1: TskImageForm\n"
                 "    Picture = '" +
                     Resources + "skin.png'\n" +
                     "    TransparentColor = clTeal\n"
                     "  end\n"
                     "end\n",
                 "other.dfm");
  EXPECT_EQ(dynamic_cast<TskLabel&>(*Other.FindComponent("skLabel6")).TextOptions().Rotation, 270);
  const auto& Go = dynamic_cast<TskImageBtn&>(*Other.FindComponent("btnGo"));
  EXPECT_EQ(Go.Offsets().ImageDownX, 3);
  EXPECT_EQ(Go.Offsets().ImageDownY, 2);
  EXPECT_EQ(Go.TextOptions().Alignment, taCenter);
  // Without a stored shape the picture shapes the window once it is loaded.
  const QImage Picture(QString::fromStdString(Resources + "skin.png"));
  EXPECT_EQ(dynamic_cast<TskImageForm&>(*Other.FindComponent("skImageForm1")).Shape(),
            ShapeFromImage(Picture, clTeal));
  for (const char* Name :
       {"TskImageForm", "TskLabel", "TskImageBtn", "TskToolButton", "TTrayIcon", "TMenuItem"}) {
    const TClassInfo* Info = FindClass(Name);
    ASSERT_TRUE(Info) << Name;
    const TPropInfo* Prop = Info->FindProp("OnClick");
    ASSERT_TRUE(Prop) << Name;
    EXPECT_EQ(Prop->Kind, TPropKind::Event) << Name;
  }
}

TEST_F(ShippedMainWindow, LabelsAreRaisedYellowOverNavy) {
  struct Row {
    const char* Name;
    int Left, Top;
    const char* Caption;
    int Height;
    TColor Colour;
  };
  for (const Row& R : {Row{"skLabel6", 73, 297, "Tessolon 3.0", -15, clBlue},
                       Row{"skLabel1", 227, 66, "Status...", -12, clBlue},
                       Row{"lblPoint", 228, 84, "STOP ...", -15, clRed},
                       Row{"skLabel2", 55, 258, "Select Pest", -12, clLime}}) {
    SCOPED_TRACE(R.Name);
    auto* L = Find<TskLabel>(R.Name);
    ASSERT_TRUE(L);
    EXPECT_EQ(L->Left(), R.Left);
    EXPECT_EQ(L->Top(), R.Top);
    EXPECT_EQ(L->Caption(), R.Caption);
    EXPECT_EQ(L->Font().Name, "Tahoma");
    EXPECT_EQ(L->Font().Height, R.Height);
    EXPECT_EQ(L->Font().Color, R.Colour);
    EXPECT_EQ(L->Font().Style, 1 << fsBold);
    EXPECT_TRUE(L->Transparent());
    EXPECT_TRUE(L->AutoSize());
    const TskCaptionText& T = L->TextOptions();
    EXPECT_EQ(T.Alignment, taLeftJustify);
    EXPECT_EQ(T.VAlignment, vaTop);
    EXPECT_EQ(T.Style, sklsRaised);
    EXPECT_EQ(T.HighlightColor, clYellow);
    EXPECT_EQ(T.ShadeColor, clNavy);
    EXPECT_EQ(T.DisabledShadeColor, clBlack);
    EXPECT_EQ(T.ShadowColor, clGray);
    EXPECT_EQ(T.ShadowXOffset, 20);
    EXPECT_EQ(T.ShadowYOffset, 15);
    EXPECT_FALSE(T.ShadowEnabled);
    EXPECT_EQ(T.ExtrudeDepth, 5);
    EXPECT_EQ(T.ExtrudeFarColor, clGray);
    EXPECT_FALSE(T.ExtrudeEnabled);

    // As drawn: the face with yellow one pixel up-left of it and navy one pixel down-right.
    const QImage Drawn = L->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int Highlights = 0, Shades = 0;
    for (int Y = 1; Y + 1 < Drawn.height(); ++Y)
      for (int X = 1; X + 1 < Drawn.width(); ++X) {
        if (Drawn.pixel(X, Y) != Rgb(R.Colour)) continue;
        Highlights += Drawn.pixel(X - 1, Y - 1) == Rgb(clYellow);
        Shades += Drawn.pixel(X + 1, Y + 1) == Rgb(clNavy);
      }
    EXPECT_GT(Highlights, 0);
    EXPECT_GT(Shades, 0);
  }
}

TEST_F(ShippedMainWindow, PictureButtonsAreTealTinted) {
  struct Row {
    const char* Name;
    int Left, Top, NumGlyphs;
  };
  const QImage Up = QImage(QString::fromStdString(Resources + "button-up.png"))
                        .scaled(48, 45, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  for (const Row& R :
       {Row{"btnConfig", 9, 313, 1}, Row{"btnGo", 60, 312, 0}, Row{"btnStop", 112, 312, 1},
        Row{"btnAbout", 164, 312, 0}, Row{"btnClose", 215, 311, 0}}) {
    SCOPED_TRACE(R.Name);
    auto* B = Find<TskImageBtn>(R.Name);
    ASSERT_TRUE(B);
    EXPECT_EQ(QRect(B->Left(), B->Top(), B->Width(), B->Height()), QRect(R.Left, R.Top, 48, 45));
    EXPECT_EQ(B->NumGlyphs(), R.NumGlyphs);
    EXPECT_EQ(B->Color(), clTeal);
    EXPECT_EQ(B->DitherColor(), clWhite);
    EXPECT_EQ(B->DitherStyle(), dsDither);
    EXPECT_EQ(B->ShadeStyle(), fbsNormal);
    EXPECT_EQ(B->TransparentColor(), clNone);
    EXPECT_EQ(B->Font().Name, "MS Sans Serif");
    EXPECT_EQ(B->Font().Height, -11);
    EXPECT_EQ(B->Font().Style, 1 << fsBold);
    EXPECT_EQ(B->Font().Color, clWindowText);
    EXPECT_EQ(B->TextOptions().Alignment, taCenter);
    EXPECT_EQ(B->TextOptions().VAlignment, vaVCenter);
    EXPECT_EQ(B->TextOptions().Style, sklsRaised);
    EXPECT_EQ(B->TextOptions().ShadeColor, clNone);
    EXPECT_TRUE(B->Caption().empty());
    // Both stored shapes are the round shape the up picture gives at this size.
    EXPECT_EQ(DecodeRegion(B->RegionData()), RoundShape()) << "stored RegionData is stale";
    EXPECT_EQ(B->DownRegionData(), B->RegionData());
    EXPECT_EQ(DecodeRegion(B->RegionData()).rectCount(), 23);

    // A face pixel clear of the glyph: the picture with red - 192, green and blue - 64.
    const QRgb Face = B->Widget()->grab().toImage().pixel(24, 41), Source = Up.pixel(24, 41);
    EXPECT_EQ(qRed(Face), std::max(0, qRed(Source) - 192));
    EXPECT_EQ(qGreen(Face), std::clamp(qGreen(Source) - 64, 0, 255));
    EXPECT_EQ(qBlue(Face), std::clamp(qBlue(Source) - 64, 0, 255));
  }
}

// A stored button shape damaged on disk (its size word no longer matches its block) is skipped:
// the window still loads, and the picture shapes that button.
TEST_F(ShippedMainWindow, ADamagedButtonShapeIsSkippedAndThePictureShapesTheButton) {
  std::string Definition = MainDefinition();
  const std::size_t Block = Definition.find("RegionData = {", Definition.find("object btnGo"));
  const std::size_t Hex = Definition.find_first_not_of(' ', Definition.find('\n', Block) + 1);
  Definition.replace(Hex, 8, "FFFFFF7F");
  TForm Damaged(nullptr);
  ReadDefinition(Damaged, Definition, "damaged.dfm");
  auto* Go = dynamic_cast<TskImageBtn*>(Damaged.FindComponent("btnGo"));
  ASSERT_TRUE(Go);
  EXPECT_EQ(Go->Shape(false), RoundShape());
  EXPECT_EQ(Go->Widget()->mask(), RoundShape());
}

TEST_F(ShippedMainWindow, ToolButtonsSitOnTheButtonFace) {
  const QRgb Face = ColorToQColor(clBtnFace).rgb();
  for (auto [Name, Type, Left, Glyph] :
       {std::tuple{"btnMin", ttPopup, 2, QPoint(4, 5)}, {"btnQuit", ttClose, 254, QPoint(2, 3)}}) {
    SCOPED_TRACE(Name);
    auto* B = Find<TskToolButton>(Name);
    ASSERT_TRUE(B);
    EXPECT_EQ(B->ToolType(), Type);
    EXPECT_EQ(QRect(B->Left(), B->Top(), B->Width(), B->Height()), QRect(Left, 298, 15, 15));
    const QImage Drawn = B->Widget()->grab().toImage();
    EXPECT_EQ(Drawn.pixel(0, 0), Face);
    EXPECT_EQ(Drawn.pixel(14, 14), Face);
    EXPECT_EQ(Drawn.pixel(Glyph), qRgb(0, 0, 255));
  }
}
