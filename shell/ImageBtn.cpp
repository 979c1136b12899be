#include "shell/ImageBtn.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QWhatsThis>
#include <algorithm>

#include "platform/qt/AccessibleControl.h"
#include "platform/qt/Application.h"
#include "platform/qt/Forms.h"
#include "platform/qt/StdCtrls.h"
#include "shell/Shape.h"

namespace {

TForm* FormOf(TControl* C) {
  while (C && !dynamic_cast<TForm*>(C)) C = C->Parent();
  return dynamic_cast<TForm*>(C);
}

// The glyph's bottom-left colour is left out when it is drawn.
QImage WithTransparentCorner(const QImage& Glyph) {
  QImage Out = Glyph.convertToFormat(QImage::Format_ARGB32);
  const QRgb Clear = Out.pixel(0, Out.height() - 1);
  for (int Y = 0; Y < Out.height(); ++Y) {
    auto* Row = reinterpret_cast<QRgb*>(Out.scanLine(Y));
    for (int X = 0; X < Out.width(); ++X)
      if (Row[X] == Clear) Row[X] = 0;
  }
  return Out;
}

}  // namespace

class TskImageBtn::TButtonWidget : public QWidget, public IAccessibleControl {
 public:
  explicit TButtonWidget(TskImageBtn* AOwner) : Owner(AOwner) {}
  TskImageBtn* Owner;

  QAccessible::Role AccessibleRole() const override { return QAccessible::Button; }
  QString AccessibleCaption() const override {
    return SpokenText(QString::fromStdString(Owner->Caption()));
  }
  bool Pressable() const override { return Owner->Enabled(); }
  void AccessiblePress() override {
    if (!Owner->Enabled()) return;
    Owner->Press();
    Owner->Release(true);
  }
  QString PressKeys() const override {
    return Owner->Accelerator().toString(QKeySequence::NativeText);
  }

  void paintEvent(QPaintEvent*) override {
    if (width() < 1 || height() < 1) return;
    QPainter(this).drawImage(0, 0, Owner->RenderFace(Owner->Down()));
  }
  void mousePressEvent(QMouseEvent* E) override {
    if (E->button() == Qt::LeftButton) {
      // A press on an inactive window activates it, as the desktop does.
      Owner->FActivatedByPress = !window()->isActiveWindow();
      if (Owner->FActivatedByPress) window()->activateWindow();
      Owner->Press();
    }
    FireMouseEvent(Owner->OnMouseDown, Owner, E);
  }
  void mouseMoveEvent(QMouseEvent* E) override { Owner->Drag(E->position().toPoint()); }
  void mouseReleaseEvent(QMouseEvent* E) override {
    FireMouseEvent(Owner->OnMouseUp, Owner, E);
    if (E->button() == Qt::LeftButton && Owner->FPressed)
      Owner->Release(Owner->OverShape(E->position().toPoint()));
    Owner->FActivatedByPress = false;
  }
  // Space on the focused button presses it, and its release clicks; Enter clicks at once.
  void keyPressEvent(QKeyEvent* E) override {
    if (E->key() == Qt::Key_Return || E->key() == Qt::Key_Enter) {
      if (!E->isAutoRepeat()) AccessiblePress();
      return;
    }
    if (E->key() != Qt::Key_Space) return QWidget::keyPressEvent(E);
    if (!E->isAutoRepeat()) Owner->Press();
  }
  void keyReleaseEvent(QKeyEvent* E) override {
    if (E->key() != Qt::Key_Space) return QWidget::keyReleaseEvent(E);
    if (!E->isAutoRepeat() && Owner->FPressed) Owner->Release(true);
  }
  void focusInEvent(QFocusEvent*) override { update(); }
  void focusOutEvent(QFocusEvent*) override { update(); }
  void enterEvent(QEnterEvent*) override { Hover(true, Owner->OnMouseEnter); }
  void leaveEvent(QEvent*) override { Hover(false, Owner->OnMouseLeave); }

 private:
  void Hover(bool Hot, const TNotifyEvent& Event) {
    Owner->FHot = Hot;
    update();
    if (Event) DispatchEvent([&] { Event(Owner); });
  }
};

TskImageBtn::TskImageBtn(TComponent* AOwner) : TWinControl(AOwner, new TButtonWidget(this)) {
  FTextOptions.Alignment = taCenter;
  FTextOptions.VAlignment = vaVCenter;
  SetColor(clNone);
  SetBounds(0, 0, 75, 25);
  Widget()->setFocusPolicy(Qt::NoFocus);  // only boFocusable buttons take the focus
}

void TskImageBtn::SetOptions(int Value) {
  FOptions = Value;
  Widget()->setFocusPolicy((Value & (1 << boFocusable)) ? Qt::StrongFocus : Qt::NoFocus);
}

// Each picture's change forgets the shape built from it: the up picture also shapes the down
// state while there is no down picture.
void TskImageBtn::SetImage(const std::string& FileName) {
  FImageName = FileName;
  FImage = LoadPicture(FileName);
  ShapesChanged(true, FImageDown.isNull());
}

void TskImageBtn::SetImageDown(const std::string& FileName) {
  FImageDownName = FileName;
  FImageDown = LoadPicture(FileName);
  ShapesChanged(false, true);
}

void TskImageBtn::SizeToImage() {
  if (!FImage.isNull()) SetBounds(Left(), Top(), FImage.width(), FImage.height());
}

void TskImageBtn::SetGlyph(const std::string& FileName) {
  FGlyphName = FileName;
  const QImage Glyph = LoadPicture(FileName);
  FGlyph = Glyph.isNull() ? QImage() : WithTransparentCorner(Glyph);
  Widget()->update();
}

void TskImageBtn::SetNumGlyphs(int Value) {
  FNumGlyphs = std::max(0, Value);
  Widget()->update();
}

void TskImageBtn::SetTransparentColor(TColor Value) {
  FTransparentColor = Value;
  ShapesChanged(true, true);
}

void TskImageBtn::SetShadeStyle(TShadeStyle Value) {
  FShadeStyle = Value;
  ShapesChanged(true, true);
}

void TskImageBtn::SetDitherColor(TColor Value) {
  FDitherColor = Value;
  Widget()->update();
}

void TskImageBtn::SetDitherStyle(TDitherStyle Value) {
  FDitherStyle = Value;
  Widget()->update();
}

void TskImageBtn::SetShadeColors(const TskShadeColors& Value) {
  FShadeColors = Value;
  Widget()->update();
}

void TskImageBtn::SetDefault(bool Value) {
  FDefault = Value;
  UpdateShortcuts();
  Widget()->update();
}

void TskImageBtn::SetCancel(bool Value) {
  FCancel = Value;
  UpdateShortcuts();
}

// Window-wide keys: Enter for the default button, Escape for the cancel button and Alt with
// the caption's accelerator, each while the button's window is active.
void TskImageBtn::UpdateShortcuts() {
  for (QObject* Old : FShortcuts) delete Old;
  FShortcuts.clear();
  auto Add = [this](const QKeySequence& Keys, bool Accelerator) {
    auto* Shortcut = new QShortcut(Keys, Widget());
    QObject::connect(Shortcut, &QShortcut::activated, [this, Accelerator] {
      if (!Enabled()) return;
      if (Accelerator && FGroupIndex > 0) SetDown(true);
      Click();
    });
    FShortcuts.push_back(Shortcut);
  };
  if (FDefault) Add(Qt::Key_Return, false), Add(Qt::Key_Enter, false);
  if (FCancel) Add(Qt::Key_Escape, false);
  if (!Accelerator().isEmpty()) Add(Accelerator(), true);
}

QKeySequence TskImageBtn::Accelerator() const {
  const QKeySequence Mnemonic = QKeySequence::mnemonic(QString::fromStdString(Caption()));
  if (!Mnemonic.isEmpty() || FAccessKey.empty()) return Mnemonic;
  return QKeySequence(QStringLiteral("Alt+") + QString::fromStdString(FAccessKey));
}

void TskImageBtn::SetAccessKey(const std::string& Value) {
  FAccessKey = Value;
  UpdateShortcuts();
}

void TskImageBtn::SetLayout(TButtonLayout Value) {
  FLayout = Value;
  Widget()->update();
}

void TskImageBtn::SetMargin(int Value) {
  FMargin = Value;
  Widget()->update();
}

void TskImageBtn::SetSpacing(int Value) {
  FSpacing = Value;
  Widget()->update();
}

void TskImageBtn::SetOffsets(const TskImgDownOffsets& Value) {
  FOffsets = Value;
  Widget()->update();
}

void TskImageBtn::SetDown(bool Value) {
  if (FDown == Value) return;
  FDown = Value;
  ApplyShape();
  Widget()->repaint();
}

void TskImageBtn::EditTextOptions(const std::function<void(TskCaptionText&)>& Edit) {
  Edit(FTextOptions);
  Widget()->update();
}

void TskImageBtn::CaptionChanged() {
  UpdateShortcuts();
  Widget()->update();
  AccessibleNameChanged(Widget());
}
void TskImageBtn::ColorChanged() {
  Widget()->update();
}

void TskImageBtn::FontChanged() {
  TWinControl::FontChanged();
  Widget()->update();
}

void TskImageBtn::Loaded() {
  TWinControl::Loaded();
  ApplyShape();
}

// While a definition is read the stored shapes that follow the pictures are kept.
void TskImageBtn::ShapesChanged(bool Up, bool Down) {
  if (!Loading()) {
    if (Up) FUpBlock.clear();
    if (Down) FDownBlock.clear();
    ApplyShape();
  }
  Widget()->update();
}

void TskImageBtn::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool Resized = AWidth != Width() || AHeight != Height();
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (Resized) ShapesChanged(true, true);
}

TBytes TskImageBtn::RegionData() const {
  return FUpBlock;
}
TBytes TskImageBtn::DownRegionData() const {
  return FDownBlock;
}

namespace {

// A stored shape the platform cannot use is skipped, as the shaped window skips its own: the
// picture shapes the button instead, and the rest of the definition still loads.
TBytes UsableBlock(const TBytes& Value) {
  try {
    return DecodeRegion(Value).isEmpty() ? TBytes() : Value;
  } catch (const EInvalidRegionData&) {
    return {};
  }
}

}  // namespace

void TskImageBtn::SetRegionData(const TBytes& Value) {
  FUpBlock = UsableBlock(Value);
  ApplyShape();
}

void TskImageBtn::SetDownRegionData(const TBytes& Value) {
  FDownBlock = UsableBlock(Value);
  ApplyShape();
}

QImage TskImageBtn::SourcePicture(bool IsDown) const {
  return IsDown && !FImageDown.isNull() ? FImageDown : FImage;
}

TColor TskImageBtn::StateTransparentColor(bool IsDown) const {
  if (FTransparentColor != clNone) return FTransparentColor;
  const QImage Source = SourcePicture(IsDown);
  return Source.isNull() ? clNone : PixelColor(Source, 0, 0);
}

QImage TskImageBtn::Stretched(bool IsDown) const {
  const int Shrink = FShadeStyle == fbsRaised ? 2 : 0;
  const QSize Size(std::max(1, Width() - Shrink), std::max(1, Height() - Shrink));
  return SourcePicture(IsDown)
      .scaled(Size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
      .convertToFormat(QImage::Format_RGB32);
}

QRegion TskImageBtn::Shape(bool IsDown) const {
  if (FTransparentColor == clNoTransparency) return {};
  TBytes& Block = IsDown ? FDownBlock : FUpBlock;
  if (!Block.empty()) return DecodeRegion(Block);
  if (FImage.isNull() || Width() < 1 || Height() < 1) return {};
  QRegion Region = ShapeFromImage(Stretched(IsDown), StateTransparentColor(IsDown));
  if (FShadeStyle == fbsRaised)
    Region = IsDown ? Region.translated(2, 2) : Region.united(Region.translated(2, 2));
  Block = EncodeRegion(Region);  // built once, saved with the form
  return Region;
}

void TskImageBtn::ApplyShape() {
  if (Loading()) return;
  const QRegion Region = Shape(FDown);
  if (Region.isEmpty())
    Widget()->clearMask();
  else
    Widget()->setMask(Region);
}

// Over the button: inside either state's shape (or the rectangle when it has none), while its
// window is active or is being activated by the press.
bool TskImageBtn::OverShape(QPoint Pos) const {
  if (!Widget()->window()->isActiveWindow() && !FActivatedByPress) return false;
  if (!QRect(0, 0, Width(), Height()).contains(Pos)) return false;
  const QRegion Region = Shape(false).united(Shape(true));
  return Region.isEmpty() || Region.contains(Pos);
}

void TskImageBtn::Press() {
  FPressed = true;
  FWasDown = FDown;
  if ((FOptions & (1 << boToggleOnUp)) && FGroupIndex > 0) return;
  if ((FOptions & (1 << boFocusable)) && !Widget()->hasFocus()) Widget()->setFocus();
  SetDown(true);
}

// Dragged off the shape the button pops up; back over it, it goes down again.
void TskImageBtn::Drag(QPoint Pos) {
  if (!FPressed || (FOptions & (1 << boToggleOnUp))) return;
  const bool Over = OverShape(Pos);
  if (Over && !FDown)
    SetDown(true);
  else if (!Over && FDown && !FWasDown)
    SetDown(false);
}

void TskImageBtn::Release(bool Over) {
  FPressed = false;
  if (FGroupIndex == 0) {
    SetDown(false);
  } else if (Over) {
    SetDown(!(FWasDown && FAllowAllUp));
    if (Parent() && FDown)
      for (int I = 0; I < Parent()->ControlCount(); ++I)
        if (auto* Other = dynamic_cast<TskImageBtn*>(Parent()->Controls(I));
            Other && Other != this && Other->FGroupIndex == FGroupIndex)
          Other->SetDown(false);
  }
  if (Over || (FOptions & (1 << boToggleOnUp))) Click();
}

void TskImageBtn::Click() {
  if (FKind == bkHelp) QWhatsThis::enterWhatsThisMode();
  if (TForm* Form = FormOf(this)) {
    if (FKind == bkClose)
      Form->Close();
    else if (FModalResult != 0)
      Form->SetModalResult(static_cast<TModalResult>(FModalResult));
  }
  TWinControl::Click();
  Widget()->update();
}
