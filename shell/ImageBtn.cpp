#include "shell/ImageBtn.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/qt/Application.h"
#include "platform/qt/Forms.h"
#include "platform/qt/StdCtrls.h"
#include "shell/Shape.h"

namespace {

QRgb ToRgb(TColor C) {
  return qRgb(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
}

int Clamp(int V) {
  return std::clamp(V, 0, 255);
}

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

// The greyed rendering of a glyph for a disabled button.
QImage Greyed(const QImage& Glyph) {
  QImage Out = Glyph;
  for (int Y = 0; Y < Out.height(); ++Y) {
    auto* Row = reinterpret_cast<QRgb*>(Out.scanLine(Y));
    for (int X = 0; X < Out.width(); ++X)
      if (qAlpha(Row[X])) {
        const int G = 128 + qGray(Row[X]) / 2;
        Row[X] = qRgb(G, G, G);
      }
  }
  return Out;
}

}  // namespace

class TskImageBtn::TButtonWidget : public QWidget {
 public:
  explicit TButtonWidget(TskImageBtn* AOwner) : Owner(AOwner) {}
  TskImageBtn* Owner;

  void paintEvent(QPaintEvent*) override {
    if (width() < 1 || height() < 1) return;
    QPainter(this).drawImage(0, 0, Owner->RenderFace(Owner->Down()));
  }
  void mousePressEvent(QMouseEvent* E) override {
    if (E->button() == Qt::LeftButton) Owner->Press(E->position().toPoint());
    FireMouseEvent(Owner->OnMouseDown, Owner, E);
  }
  void mouseMoveEvent(QMouseEvent* E) override { Owner->Drag(E->position().toPoint()); }
  void mouseReleaseEvent(QMouseEvent* E) override {
    FireMouseEvent(Owner->OnMouseUp, Owner, E);
    Owner->Release(E->position().toPoint(), E->button());
  }
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

void TskImageBtn::SetImage(const std::string& FileName) {
  FImageName = FileName;
  FImage = LoadPicture(FileName);
  PicturesChanged();
}

void TskImageBtn::SetImageDown(const std::string& FileName) {
  FImageDownName = FileName;
  FImageDown = LoadPicture(FileName);
  PicturesChanged();
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
  PicturesChanged();
}

void TskImageBtn::SetShadeStyle(TShadeStyle Value) {
  FShadeStyle = Value;
  PicturesChanged();
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
  Widget()->update();
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

// A new picture or transparency forgets the stored shapes; while a definition is read the
// stored shapes that follow the pictures are kept.
void TskImageBtn::PicturesChanged() {
  if (!Loading()) {
    FUpBlock.clear();
    FDownBlock.clear();
    ApplyShape();
  }
  Widget()->update();
}

void TskImageBtn::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool Resized = AWidth != Width() || AHeight != Height();
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (Resized) PicturesChanged();
}

TBytes TskImageBtn::RegionData() const {
  return FUpBlock;
}
TBytes TskImageBtn::DownRegionData() const {
  return FDownBlock;
}

void TskImageBtn::SetRegionData(const TBytes& Value) {
  FUpBlock = DecodeRegion(Value).isEmpty() ? TBytes() : Value;
  ApplyShape();
}

void TskImageBtn::SetDownRegionData(const TBytes& Value) {
  FDownBlock = DecodeRegion(Value).isEmpty() ? TBytes() : Value;
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

QImage TskImageBtn::RenderFace(bool IsDown) const {
  const int W = Width(), H = Height();
  if (W < 1 || H < 1) return {};
  QImage Face(W, H, QImage::Format_RGB32);
  QPainter P(&Face);
  if (FImage.isNull()) {  // placeholder face
    Face.fill(ColorToQColor(clBtnFace));
    P.setPen(QPen(Qt::black, 1, Qt::DashDotLine));
    P.drawRect(0, 0, W - 1, H - 1);
  } else {
    QImage Source = Stretched(IsDown);
    const TColor Clear = StateTransparentColor(IsDown);
    const QRgb ClearRgb = ToRgb(Clear);
    const bool Tint = Color() != clNone;
    const QColor C = ColorToQColor(Color());
    for (int Y = 0; Y < Source.height(); ++Y) {
      auto* Row = reinterpret_cast<QRgb*>(Source.scanLine(Y));
      for (int X = 0; X < Source.width(); ++X) {
        if (FTransparentColor != clNoTransparency && (Row[X] & 0xFFFFFF) == (ClearRgb & 0xFFFFFF))
          Row[X] = qRgb(0, 0, 0);  // outside the shape
        else if (Tint)
          Row[X] =
              qRgb(Clamp(qRed(Row[X]) + C.red() - 192), Clamp(qGreen(Row[X]) + C.green() - 192),
                   Clamp(qBlue(Row[X]) + C.blue() - 192));
      }
    }
    Face.fill(Qt::black);
    const bool Shift = IsDown && FImageDown.isNull();
    P.drawImage(Shift ? FOffsets.ImageDownX : 0, Shift ? FOffsets.ImageDownY : 0, Source);
  }

  // Glyph and caption, centred as a group.
  const int Cells = FNumGlyphs == 0 ? 1 : FNumGlyphs;
  const QSize GlyphSize =
      FGlyph.isNull() ? QSize(0, 0) : QSize(FGlyph.width() / Cells, FGlyph.height());
  const QFont Font = FontToQFont(this->Font());
  const QSize TextSize = Caption().empty() ? QSize(0, 0) : FTextOptions.Measure(Caption(), Font);
  int Spacing = !GlyphSize.isEmpty() && !TextSize.isEmpty() ? FSpacing : 0;
  if (GlyphSize.isEmpty()) Spacing = (Spacing - 6) / 2;
  const int Margin = FMargin < 0 ? 4 : FMargin;
  const bool Vertical = FLayout == blGlyphTop || FLayout == blGlyphBottom;
  const int Group = Spacing + (Vertical ? GlyphSize.height() + TextSize.height()
                                        : GlyphSize.width() + TextSize.width());
  QPoint Centre(W / 2, H / 2);
  if (FTextOptions.Alignment == taLeftJustify) Centre.rx() = Group / 2 + Margin;
  if (FTextOptions.Alignment == taRightJustify) Centre.rx() = W - Margin - Group / 2;
  QPoint GlyphAt, TextAt;
  switch (FLayout) {
    case blGlyphLeft:
      GlyphAt = {Centre.x() - Group / 2, Centre.y() - (GlyphSize.height() + 1) / 2};
      TextAt = {Centre.x() + GlyphSize.width() + Spacing - Group / 2,
                Centre.y() - TextSize.height() / 2};
      break;
    case blGlyphRight:
      TextAt = {Centre.x() - Group / 2, Centre.y() - TextSize.height() / 2};
      GlyphAt = {Centre.x() + TextSize.width() + Spacing - Group / 2,
                 Centre.y() - (GlyphSize.height() + 1) / 2};
      break;
    case blGlyphTop:
      GlyphAt = {Centre.x() - (GlyphSize.width() + 1) / 2, Centre.y() - Group / 2};
      TextAt = {Centre.x() - TextSize.width() / 2,
                Centre.y() + GlyphSize.height() + Spacing - Group / 2};
      break;
    case blGlyphBottom:
      TextAt = {Centre.x() - TextSize.width() / 2, Centre.y() - Group / 2};
      GlyphAt = {Centre.x() - (GlyphSize.width() + 1) / 2,
                 Centre.y() + TextSize.height() + Spacing - Group / 2};
      break;
  }
  TextAt += QPoint(FOffsets.TextX, FOffsets.TextY);
  GlyphAt += QPoint(FOffsets.GlyphX, FOffsets.GlyphY);
  if (IsDown) {
    TextAt += QPoint(FOffsets.TextDownX, FOffsets.TextDownY);
    GlyphAt += QPoint(FOffsets.TextDownX, FOffsets.TextDownY);
  }
  if (!GlyphSize.isEmpty()) {
    int Cell = 0;
    if (!Enabled() && Cells >= 2)
      Cell = 1;
    else if (IsDown && Cells > 2)
      Cell = 2;
    else if (FHot && Cells > 3)
      Cell = 3;
    QImage Glyph = FGlyph.copy(Cell * GlyphSize.width(), 0, GlyphSize.width(), GlyphSize.height());
    if (!Enabled() && Cells == 1) Glyph = Greyed(Glyph);
    if (GlyphAt.x() % 2 != 0) GlyphAt.rx() += 1;  // an odd left edge is padded by a column
    P.drawImage(GlyphAt, Glyph);
  }
  if (!TextSize.isEmpty())
    FTextOptions.Draw(P, QRect(TextAt, TextSize).intersected(QRect(0, 0, W, H)), Caption(), Font,
                      this->Font().Color, Enabled());
  return Face;
}

// Over the button: inside either state's shape, or the rectangle when it has none.
bool TskImageBtn::OverShape(QPoint Pos) const {
  if (!QRect(0, 0, Width(), Height()).contains(Pos)) return false;
  const QRegion Region = Shape(false).united(Shape(true));
  return Region.isEmpty() || Region.contains(Pos);
}

void TskImageBtn::Press(QPoint) {
  FPressed = true;
  FWasDown = FDown;
  if (!((FOptions & (1 << boToggleOnUp)) && FGroupIndex > 0)) SetDown(true);
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

void TskImageBtn::Release(QPoint Pos, Qt::MouseButton Button) {
  if (Button != Qt::LeftButton || !FPressed) return;
  FPressed = false;
  const bool Over = OverShape(Pos);
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
  if (TForm* Form = FormOf(this)) {
    if (FKind == bkClose)
      Form->Close();
    else if (FModalResult != 0)
      Form->SetModalResult(static_cast<TModalResult>(FModalResult));
  }
  TWinControl::Click();
  Widget()->update();
}
