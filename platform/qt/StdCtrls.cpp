#include "platform/qt/StdCtrls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolButton>

#include "platform/qt/AccessibleControl.h"
#include "platform/qt/Application.h"
#include "platform/qt/DropDown.h"
#include "platform/qt/JpegImage.h"

QImage LoadPicture(const std::string& FileName) {
  if (FileName.empty()) return {};
  QString Path = QString::fromStdString(FileName);
  if (!Path.startsWith('/') && !Path.startsWith(":/")) Path = ":/resources/" + Path;
  QFile File(Path);
  if (!File.open(QIODevice::ReadOnly)) return {};
  const QByteArray Bytes = File.readAll();
  if (Path.endsWith(".jpg", Qt::CaseInsensitive) || Path.endsWith(".jpeg", Qt::CaseInsensitive))
    return DecodeJpeg(Bytes);
  return QImage::fromData(Bytes);
}

namespace {

// Paints a picture at its size or stretched over the control. The windows' pictures decorate:
// screen readers pass over them.
class TImageWidget : public QWidget, public IAccessibleControl {
 public:
  using QWidget::QWidget;
  const TImage* Owner = nullptr;
  QAccessible::Role AccessibleRole() const override { return QAccessible::Graphic; }
  bool Decorative() const override { return true; }
  void paintEvent(QPaintEvent*) override {
    if (!Owner || Owner->Image().isNull()) return;
    QPainter Painter(this);
    if (Owner->Stretch())
      Painter.drawImage(rect(), Owner->Image());
    else
      Painter.drawImage(0, 0, Owner->Image());
  }
};

// A bevel only draws a line or a box.
class TBevelFrame : public QFrame, public IAccessibleControl {
 public:
  QAccessible::Role AccessibleRole() const override { return QAccessible::Separator; }
  bool Decorative() const override { return true; }
};

void Fire(TComponent* Sender, const TNotifyEvent& Event) {
  if (Event && !Sender->Loading()) DispatchEvent([&] { Event(Sender); });
}

}  // namespace

// ---- TLabel

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner, new QLabel) {
  SetBounds(0, 0, 65, 13);
}

// A line of Thai takes the far taller line of the fallback font that draws it; the label keeps
// about its own font's line instead and centres the text in it (as QLabel does), so the text
// stays level with the design's and clear of the row below, its marks still inside.
void TLabel::CaptionChanged() {
  auto* Label = static_cast<QLabel*>(Widget());
  Label->setText(QString::fromStdString(Caption()));
  Label->adjustSize();
  int Height = Label->height();
  if (!Label->wordWrap()) Height = std::min(Height, QFontMetrics(Label->font()).height() + 2);
  SetBounds(Left(), Top(), Label->width(), Height);
}

void TLabel::SetTransparent(bool Value) {
  FTransparent = Value;
  ColorChanged();
}

void TLabel::ColorChanged() {
  TControl::ColorChanged();
  if (FTransparent) Widget()->setAutoFillBackground(false);
}

// ---- TEdit

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner, new QLineEdit) {
  SetColor(clWindow);
  SetBounds(0, 0, 121, 21);
  QObject::connect(LineEdit(), &QLineEdit::textChanged, [this] { Fire(this, OnChange); });
}

QLineEdit* TEdit::LineEdit() const {
  return static_cast<QLineEdit*>(Widget());
}
std::string TEdit::Text() const {
  return LineEdit()->text().toStdString();
}
void TEdit::SetText(const std::string& Value) {
  LineEdit()->setText(QString::fromStdString(Value));
}
bool TEdit::ReadOnly() const {
  return LineEdit()->isReadOnly();
}
void TEdit::SetReadOnly(bool Value) {
  LineEdit()->setReadOnly(Value);
}

// ---- TMemo

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner, new QPlainTextEdit) {
  // Tab moves on to the next control, as in the windows' other boxes; a memo takes no tabs.
  static_cast<QPlainTextEdit*>(Widget())->setTabChangesFocus(true);
  SetColor(clWindow);
  SetBounds(0, 0, 185, 89);
  SetScrollBars(0);
}

QPlainTextEdit* TMemo::Editor() const {
  return static_cast<QPlainTextEdit*>(Widget());
}

TStringList TMemo::Lines() const {
  TStringList Out;
  for (const QString& Line : Editor()->toPlainText().split('\n')) Out.push_back(Line.toStdString());
  if (Out.size() == 1 && Out[0].empty()) Out.clear();
  return Out;
}

void TMemo::SetLines(const TStringList& Value) {
  QStringList Lines;
  for (const auto& Line : Value) Lines << QString::fromStdString(Line);
  Editor()->setPlainText(Lines.join('\n'));
}

bool TMemo::ReadOnly() const {
  return Editor()->isReadOnly();
}
void TMemo::SetReadOnly(bool Value) {
  Editor()->setReadOnly(Value);
}

void TMemo::SetScrollBars(int Value) {
  FScrollBars = Value;
  const bool Horizontal = Value == 1 || Value == 3, Vertical = Value == 2 || Value == 3;
  Editor()->setHorizontalScrollBarPolicy(Horizontal ? Qt::ScrollBarAlwaysOn
                                                    : Qt::ScrollBarAlwaysOff);
  Editor()->setVerticalScrollBarPolicy(Vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  Editor()->setLineWrapMode(Horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
}

// ---- TCheckBox

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner, new QCheckBox) {
  SetBounds(0, 0, 97, 17);
  QObject::connect(Box(), &QCheckBox::toggled, [this] {
    if (!Loading()) Click();
  });
}

QCheckBox* TCheckBox::Box() const {
  return static_cast<QCheckBox*>(Widget());
}
bool TCheckBox::Checked() const {
  return Box()->isChecked();
}
void TCheckBox::SetChecked(bool Value) {
  Box()->setChecked(Value);
}
void TCheckBox::CaptionChanged() {
  Box()->setText(QString::fromStdString(Caption()));
}

// ---- TComboBox

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, new TDropDownWidget) {
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
  SetStyle(csDropDown);
  // Qt has set the index by the time the list closes up.
  static_cast<TDropDownWidget*>(Combo())->OnCloseUp = [this] { Fire(this, OnCloseUp); };
  QObject::connect(Combo(), &QComboBox::currentIndexChanged, [this] { Fire(this, OnChange); });
}

QComboBox* TComboBox::Combo() const {
  return static_cast<QComboBox*>(Widget());
}

TStringList TComboBox::Items() const {
  TStringList Out;
  for (int I = 0; I < Combo()->count(); ++I) Out.push_back(Combo()->itemText(I).toStdString());
  return Out;
}

void TComboBox::SetItems(const TStringList& Value) {
  const QSignalBlocker Block(Combo());
  Combo()->clear();
  for (const auto& Item : Value) Combo()->addItem(QString::fromStdString(Item));
  Combo()->setCurrentIndex(-1);
  if (FStreamedIndex >= 0) SetItemIndex(FStreamedIndex);
}

int TComboBox::ItemIndex() const {
  return Combo()->currentIndex();
}

void TComboBox::SetItemIndex(int Value) {
  // Items may be read after the index; the index is applied again once they are there.
  if (Loading()) FStreamedIndex = Value;
  Combo()->setCurrentIndex(Value >= 0 && Value < Combo()->count() ? Value : -1);
  if (Combo()->currentIndex() < 0 && Combo()->isEditable()) Combo()->setEditText(QString());
}

void TComboBox::SetStyle(int Value) {
  FStyle = Value;
  Combo()->setEditable(Value != csDropDownList);
}

std::string TComboBox::Text() const {
  return Combo()->currentText().toStdString();
}

// ---- TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TControl(AOwner, new QToolButton) {
  SetBounds(0, 0, 23, 22);
  auto* Button = static_cast<QToolButton*>(Widget());
  Button->setAutoRaise(false);
  QObject::connect(Button, &QToolButton::clicked, [this] { Click(); });
}

void TSpeedButton::CaptionChanged() {
  static_cast<QToolButton*>(Widget())->setText(QString::fromStdString(Caption()));
}

// ---- TPanel, TGroupBox, TBevel

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner, new QFrame) {
  SetBounds(0, 0, 185, 41);
  SetBevelOuter(FBevelOuter);
  ColorChanged();
}

void TPanel::SetBevelOuter(int Value) {
  FBevelOuter = Value;
  auto* Frame = static_cast<QFrame*>(Widget());
  Frame->setFrameStyle(Value == 0   ? QFrame::NoFrame
                       : Value == 1 ? QFrame::Panel | QFrame::Sunken
                                    : QFrame::Panel | QFrame::Raised);
}

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner, new QGroupBox) {
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::CaptionChanged() {
  static_cast<QGroupBox*>(Widget())->setTitle(QString::fromStdString(Caption()));
}

TBevel::TBevel(TComponent* AOwner) : TControl(AOwner, new TBevelFrame) {
  SetBounds(0, 0, 50, 50);
  static_cast<QFrame*>(Widget())->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Widget()->setAttribute(Qt::WA_TransparentForMouseEvents);
}

// ---- TImage

TImage::TImage(TComponent* AOwner) : TControl(AOwner, new TImageWidget) {
  static_cast<TImageWidget*>(Widget())->Owner = this;
  SetBounds(0, 0, 105, 105);
}

void TImage::SetPicture(const std::string& FileName) {
  FPicture = FileName;
  FImage = LoadPicture(FileName);
  Widget()->update();
}

void TImage::SetStretch(bool Value) {
  FStretch = Value;
  Widget()->update();
}
