// With the fonts the program gets, in English and in Thai, every caption of both windows (every
// page of the dialog) fits its control and its parent, and runs into no sibling with a text or a
// box of its own. Labels drawn over pictures, panels and bevels are laid out that way on purpose
// and are not checked against them, but the ink of every effect label lies within the label at
// 1x and 2x, and a label is no taller than its text needs, so its text stays on the line of its
// neighbours (Thai fonts keep a far taller line than Tahoma's). That no graphic control covers a
// windowed one is ProgramTest's stacking test.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <clocale>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/Program.h"
#include "app/UMain.h"
#include "app/Util.h"
#include "platform/core/DefinitionOutline.h"
#include "platform/core/Translation.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/QtTranslations.h"
#include "shell/EffectLabel.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/ScopedEnv.h"

namespace {

QRect Bounds(const TControl& C) {
  return QRect(C.Left(), C.Top(), C.Width(), C.Height());
}

// Where the caption's text lies in the parent, by the font the control paints with.
std::optional<QRect> CaptionRect(const TControl& C) {
  const QString Text = QString::fromStdString(C.Caption()).remove('&');
  QWidget* W = C.Widget();
  if (Text.trimmed().isEmpty() || !W) return std::nullopt;
  const auto* Wrapped = qobject_cast<const QLabel*>(W);
  if (Wrapped && Wrapped->wordWrap()) {
    const int Height = Wrapped->heightForWidth(C.Width());
    return QRect(C.Left(), C.Top(), C.Width(), Height);
  }
  const QFontMetrics M(W->font());
  const int Width = M.horizontalAdvance(Text), Height = M.height();
  if (qobject_cast<const QCheckBox*>(W)) {
    const int Box = W->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, W) +
                    W->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, W);
    return QRect(C.Left() + Box, C.Top() + (C.Height() - Height) / 2, Width, Height);
  }
  if (qobject_cast<const QAbstractButton*>(W))
    return QRect(C.Left() + (C.Width() - Width) / 2, C.Top() + (C.Height() - Height) / 2, Width,
                 Height);
  return QRect(C.Left(), C.Top(), Width, Height);
}

// A sibling a caption must not run into: one that shows a text or takes input.
bool HasTextOrBox(const TControl& C) {
  return dynamic_cast<const TWinControl*>(&C) || !C.Caption().empty();
}

// Controls' bounds as their window's definition stores them; an auto-sized label stores no size.
class TStoredBounds {
 public:
  explicit TStoredBounds(const TForm& Form) {
    QFile File(QString::fromStdString(Form.DefinitionPath()));
    EXPECT_TRUE(File.open(QIODevice::ReadOnly)) << Form.DefinitionPath();
    FText = File.readAll().toStdString();
    FOutline = OutlineDefinition(FText, Form.DefinitionPath());
  }
  QRect operator()(const TControl& C) const {
    const TDefinitionOutline* Object = FOutline.Find(C.Name());
    if (!Object) return QRect();
    const auto Value = [Object](const char* Name) { return std::stoi(Object->Value(Name, "0")); };
    return QRect(Value("Left"), Value("Top"), Value("Width"), Value("Height"));
  }

 private:
  std::string FText;
  TDefinitionOutline FOutline;
};

// Where the label's text leaves ink when drawn unclipped at Scale device pixels a unit, in the
// label's own units; empty when it leaves none. The text's face with its shadow and extrusion: the
// raised and lowered styles' one-pixel rims lie outside the text by design.
QRectF InkOf(const TskLabel& Label, int Scale) {
  constexpr int Margin = 40;
  QImage Canvas((Label.Width() + 2 * Margin) * Scale, (Label.Height() + 2 * Margin) * Scale,
                QImage::Format_ARGB32);
  Canvas.fill(Qt::transparent);
  Canvas.setDevicePixelRatio(Scale);
  QPainter P(&Canvas);
  TskCaptionText Face = Label.TextOptions();
  Face.HighlightColor = Face.ShadeColor = clNone;
  Face.Draw(P, QRect(Margin, Margin, Label.Width(), Label.Height()), Label.Caption(),
            Label.Widget()->font(), Label.Font().Color, Label.Enabled());
  P.end();
  QRect Ink;
  for (int Y = 0; Y < Canvas.height(); ++Y)
    for (int X = 0; X < Canvas.width(); ++X)
      if (qAlpha(Canvas.pixel(X, Y)) > 0) Ink |= QRect(X, Y, 1, 1);
  if (Ink.isEmpty()) return {};
  return QRectF(double(Ink.left()) / Scale - Margin, double(Ink.top()) / Scale - Margin,
                double(Ink.width()) / Scale, double(Ink.height()) / Scale);
}

void CollectLabels(const TWinControl& Parent, std::vector<const TskLabel*>& Labels) {
  for (int I = 0; I < Parent.ControlCount(); ++I) {
    if (const auto* Label = dynamic_cast<const TskLabel*>(Parent.Controls(I)))
      Labels.push_back(Label);
    if (const auto* Windowed = dynamic_cast<const TWinControl*>(Parent.Controls(I)))
      CollectLabels(*Windowed, Labels);
  }
}

// Each test runs in English and in Thai, whose captions are longer and whose marks stand above
// and below the Latin letters.
class CaptionsFit : public WindowFixture, public testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    StartTranslations(std::filesystem::path(TESSOLON_BINARY_DIR) / "locale");
    ASSERT_STREQ(std::setlocale(LC_MESSAGES, nullptr), GetParam())
        << "no such locale: scripts/setup.sh build test makes th_TH.UTF-8";
    InstallQtTranslations(&Translators);
    WindowFixture::SetUp();
  }
  void TearDown() override {
    WindowFixture::TearDown();
    std::setlocale(LC_ALL, "C");
  }
  bool Thai() const { return std::string(GetParam()) != "C"; }
  TScopedEnv Locale{"LC_ALL", GetParam()};
  TScopedEnv Language{"LANGUAGE", nullptr};
  QObject Translators;
};

TEST_P(CaptionsFit, EveryEffectLabelsInkLiesWithinItAtOneAndTwoTimesTheScale) {
  StartProgram();
  std::vector<const TskLabel*> Labels;
  CollectLabels(*frmMain, Labels);
  CollectLabels(*frmUtil, Labels);
  std::vector<std::string> Faults;
  int Thai = 0;
  for (const TskLabel* Label : Labels) {
    const QString Caption = QString::fromStdString(Label->Caption());
    Thai += std::any_of(Caption.begin(), Caption.end(),
                        [](QChar C) { return C.unicode() >= 0x0E00 && C.unicode() <= 0x0E7F; });
    // A label is as tall as its font's line, or taller for ink that reaches its top or bottom
    // (marks above and below): one taller for nothing stands its text below the line of its
    // neighbours.
    const int Line = QFontMetrics(Label->Widget()->font()).height();
    for (const int Scale : {1, 2}) {
      const QRectF Ink = InkOf(*Label, Scale);
      const std::string Where = Label->Name() + " at " + std::to_string(Scale) + "x: ink at " +
                                std::to_string(Ink.left()) + "," + std::to_string(Ink.top()) + " " +
                                std::to_string(Ink.width()) + "x" + std::to_string(Ink.height()) +
                                ", label " + std::to_string(Label->Width()) + "x" +
                                std::to_string(Label->Height());
      if (!Ink.isEmpty() && !QRectF(0, 0, Label->Width(), Label->Height()).contains(Ink))
        Faults.push_back(Where);
      if (Label->AutoSize() && Label->Height() > Line + 1 && Ink.top() > 2 &&
          Ink.bottom() < Label->Height() - 2)
        Faults.push_back(Where + ", a line of " + std::to_string(Line) + ": its text sinks");
    }
  }
  EXPECT_TRUE(Faults.empty()) << testing::PrintToString(Faults);
  EXPECT_GT(Labels.size(), 10u);
  // The About page's two Thai captions are among them; in Thai every caption is but the
  // program's name, the link and the two "ms".
  EXPECT_EQ(Thai, this->Thai() ? int(Labels.size()) - 4 : 2);
}

TEST_P(CaptionsFit, EveryCaptionFitsItsControlAndRunsIntoNoSibling) {
  StartProgram();
  frmUtil->Show();
  std::vector<std::string> Faults;
  int Checked = 0;
  const std::function<void(const TWinControl&, const TStoredBounds&)> Check =
      [&](const TWinControl& Parent, const TStoredBounds& Stored) {
        const QRect Room(0, 0, Parent.Widget()->width(), Parent.Widget()->height());
        for (int I = 0; I < Parent.ControlCount(); ++I) {
          const TControl& C = *Parent.Controls(I);
          if (const auto* Windowed = dynamic_cast<const TWinControl*>(&C)) Check(*Windowed, Stored);
          // A page's caption is its tab's.
          const auto Text = CaptionRect(C);
          if (!Text || !C.Visible() || dynamic_cast<const TTabSheet*>(&C)) continue;
          ++Checked;
          if (!Bounds(C).contains(*Text))
            Faults.push_back(C.Name() + ": its caption needs " + std::to_string(Text->width()) +
                             "x" + std::to_string(Text->height()) + ", it has " +
                             std::to_string(C.Width()) + "x" + std::to_string(C.Height()));
          if (!Room.contains(Bounds(C)))
            Faults.push_back(C.Name() + ": runs out of " + Parent.Name());
          for (int J = 0; J < Parent.ControlCount(); ++J) {
            const TControl& Other = *Parent.Controls(J);
            if (&Other == &C || !Other.Visible() || !HasTextOrBox(Other)) continue;
            if (Text->intersects(Bounds(Other)) && !Stored(C).intersects(Stored(Other)))
              Faults.push_back(C.Name() + ": its caption runs into " + Other.Name());
            else if (Text->intersects(Bounds(Other)) && !dynamic_cast<const TWinControl*>(&C) &&
                     !Other.Caption().empty() && !dynamic_cast<const TWinControl*>(&Other))
              Faults.push_back(C.Name() + ": its caption overlaps the caption of " + Other.Name());
          }
        }
      };
  Check(*frmMain, TStoredBounds(*frmMain));
  Check(*frmUtil, TStoredBounds(*frmUtil));
  EXPECT_TRUE(Faults.empty()) << testing::PrintToString(Faults);
  EXPECT_GT(Checked, 30);
}

INSTANTIATE_TEST_SUITE_P(Languages, CaptionsFit, testing::Values("C", "th_TH.UTF-8"),
                         [](const auto& Info) {
                           return std::string(Info.param) == "C" ? "English" : "Thai";
                         });

}  // namespace
