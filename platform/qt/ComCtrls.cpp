#include "platform/qt/ComCtrls.h"

#include <QSlider>
#include <QTabWidget>
#include <algorithm>

#include "platform/qt/AccessibleControl.h"
#include "platform/qt/AnimateView.h"
#include "platform/qt/Application.h"
#include "platform/qt/StdCtrls.h"

// ---- TTrackBar

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner, new QSlider(Qt::Horizontal)) {
  SetBounds(0, 0, 150, 45);
  Slider()->setRange(0, 10);
  Slider()->setTickPosition(QSlider::TicksBelow);
  QObject::connect(Slider(), &QSlider::valueChanged, [this] {
    if (OnChange && !Loading()) DispatchEvent([this] { OnChange(this); });
  });
}

QSlider* TTrackBar::Slider() const {
  return static_cast<QSlider*>(Widget());
}
int TTrackBar::Min() const {
  return Slider()->minimum();
}
int TTrackBar::Max() const {
  return Slider()->maximum();
}
int TTrackBar::Position() const {
  return Slider()->value();
}
void TTrackBar::SetMin(int Value) {
  SetRange(Value, std::max(Value, Max()));
}
void TTrackBar::SetMax(int Value) {
  SetRange(std::min(Value, Min()), Value);
}
void TTrackBar::SetRange(int AMin, int AMax) {
  Slider()->setRange(AMin, std::max(AMin, AMax));
}
void TTrackBar::SetPosition(int Value) {
  Slider()->setValue(Value);
}

void TTrackBar::SetOrientation(int Value) {
  FOrientation = Value;
  Slider()->setOrientation(Value == trVertical ? Qt::Vertical : Qt::Horizontal);
  // The minimum sits at the top of a vertical bar.
  Slider()->setInvertedAppearance(Value == trVertical);
  Slider()->setTickPosition(Value == trVertical ? QSlider::TicksRight : QSlider::TicksBelow);
}

void TTrackBar::SetFrequency(int Value) {
  FFrequency = Value;
  Slider()->setTickInterval(std::max(Value, 0));
}

// ---- TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner, new QTabWidget) {
  SetBounds(0, 0, 289, 193);
  QObject::connect(Tabs(), &QTabWidget::currentChanged, [this] {
    if (OnChange && !Loading()) DispatchEvent([this] { OnChange(this); });
  });
}

QTabWidget* TPageControl::Tabs() const {
  return static_cast<QTabWidget*>(Widget());
}
int TPageControl::PageCount() const {
  return Tabs()->count();
}

TTabSheet* TPageControl::Pages(int Index) const {
  for (int I = 0; I < ControlCount(); ++I)
    if (auto* Sheet = dynamic_cast<TTabSheet*>(Controls(I)); Sheet && Sheet->PageIndex() == Index)
      return Sheet;
  return nullptr;
}

TTabSheet* TPageControl::ActivePage() const {
  return Pages(Tabs()->currentIndex());
}

void TPageControl::SetActivePage(TTabSheet* Value) {
  // The page may be read before it is placed on the control.
  if (Loading()) FStreamedPage = Value;
  if (Value && Value->PageControl() == this) Tabs()->setCurrentWidget(Value->Widget());
}

int TPageControl::ActivePageIndex() const {
  return Tabs()->currentIndex();
}

void TPageControl::SetActivePageIndex(int Value) {
  if (Value >= 0 && Value < PageCount()) Tabs()->setCurrentIndex(Value);
}

void TPageControl::Loaded() {
  TWinControl::Loaded();
  if (FStreamedPage) SetActivePage(FStreamedPage);
  FStreamedPage = nullptr;
}

// ---- TTabSheet

namespace {

// A page reads as a pane named by its tab's caption.
class TSheetWidget : public QWidget, public IAccessibleControl {
 public:
  explicit TSheetWidget(const TTabSheet& ASheet) : Sheet(ASheet) {}
  const TTabSheet& Sheet;
  QAccessible::Role AccessibleRole() const override { return QAccessible::Pane; }
  QString AccessibleCaption() const override {
    return SpokenText(QString::fromStdString(Sheet.Caption()));
  }
};

}  // namespace

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner, new TSheetWidget(*this)) {}

TPageControl* TTabSheet::PageControl() const {
  return dynamic_cast<TPageControl*>(Parent());
}

void TTabSheet::SetParent(TWinControl* AParent) {
  if (TPageControl* Old = PageControl()) Old->Tabs()->removeTab(PageIndex());
  TWinControl::SetParent(AParent);
  if (TPageControl* New = PageControl())
    New->Tabs()->addTab(Widget(), QString::fromStdString(Caption()));
}

int TTabSheet::PageIndex() const {
  return PageControl() ? PageControl()->Tabs()->indexOf(Widget()) : -1;
}

void TTabSheet::CaptionChanged() {
  if (PageControl())
    PageControl()->Tabs()->setTabText(PageIndex(), QString::fromStdString(Caption()));
}

// ---- TAnimate

namespace {

constexpr int ClipFrames = 12;

}  // namespace

TAnimate::TAnimate(TComponent* AOwner) : TWinControl(AOwner, new TAnimateView) {
  SetBounds(0, 0, 100, 80);
}

TAnimateView* TAnimate::View() const {
  return static_cast<TAnimateView*>(Widget());
}

void TAnimate::SetCommonAVI(int Value) {
  FCommonAVI = Value;
  if (Value == aviFindComputer)
    View()->SetClip(LoadPicture("findcomputer.png"), ClipFrames);
  else
    View()->SetClip(QImage(), 0);
  View()->SetRange(FStartFrame, FStopFrame);
}

void TAnimate::SetStartFrame(int Value) {
  FStartFrame = Value;
  View()->SetRange(FStartFrame, FStopFrame);
}

void TAnimate::SetStopFrame(int Value) {
  FStopFrame = Value;
  View()->SetRange(FStartFrame, FStopFrame);
}

bool TAnimate::Active() const {
  return Loading() ? FStreamedActive : View()->Active();
}

void TAnimate::SetActive(bool Value) {
  if (Loading())
    FStreamedActive = Value;
  else
    View()->SetActive(Value);
}

void TAnimate::Loaded() {
  TWinControl::Loaded();
  View()->SetActive(FStreamedActive);
}
