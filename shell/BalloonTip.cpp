#include "shell/BalloonTip.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

namespace {

constexpr int Margin = 8;
constexpr int Tail = 10;
constexpr int IconSize = 16;

QFont TitleFont(const QFont& Base) {
  QFont Font = Base;
  Font.setBold(true);
  return Font;
}

QIcon TitleIcon(int Icon) {
  switch (Icon) {
    case 1:
      return QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation);
    case 2:
      return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    case 3:
      return QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
    default:
      return {};
  }
}

}  // namespace

TBalloonTipWindow::TBalloonTipWindow(QWidget* Owner)
    : QWidget(Owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  FRestTimer.setSingleShot(true);
  FRestTimer.setInterval(RestDelay);
  connect(&FRestTimer, &QTimer::timeout, this, [this] {
    if (FPending) PopupFor(FPending);
  });
}

void TBalloonTipWindow::AddTool(QWidget* Control, const QRect& Rect, const QString& Text) {
  for (auto& Tool : FTools)
    if (Tool.Control == Control) {
      Tool.Rect = Rect;
      Tool.Text = Text;
      return;
    }
  FTools.push_back({Control, Rect, Text});
  Control->installEventFilter(this);
  Control->setAttribute(Qt::WA_Hover);
}

void TBalloonTipWindow::SetTitle(int Icon, const QString& Title) {
  FIcon = Icon;
  FTitle = Title;
  update();
}

int TBalloonTipWindow::ToolCount() const {
  int Count = 0;
  for (const auto& Tool : FTools) Count += Tool.Control ? 1 : 0;
  return Count;
}

const TBalloonTipWindow::TTool* TBalloonTipWindow::FindTool(const QWidget* Control) const {
  for (const auto& Tool : FTools)
    if (Tool.Control && Tool.Control == Control) return &Tool;
  return nullptr;
}

QString TBalloonTipWindow::ToolText(const QWidget* Control) const {
  const TTool* Tool = FindTool(Control);
  return Tool ? Tool->Text : QString();
}

bool TBalloonTipWindow::eventFilter(QObject* Watched, QEvent* Event) {
  auto* Control = qobject_cast<QWidget*>(Watched);
  const TTool* Tool = FindTool(Control);
  if (!Tool) return false;
  switch (Event->type()) {
    case QEvent::Enter:
    case QEvent::HoverMove:
      if (!isVisible() && Tool->Rect.contains(Control->mapFromGlobal(QCursor::pos()))) {
        FPending = Control;
        FRestTimer.start();
      }
      break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
      Retract();
      break;
    default:
      break;
  }
  return false;
}

void TBalloonTipWindow::Retract() {
  FRestTimer.stop();
  FPending = nullptr;
  hide();
}

QSize TBalloonTipWindow::Layout(const QString& Text) const {
  const QFontMetrics TitleMetrics(TitleFont(font()));
  const QFontMetrics TextMetrics(font());
  const int TitleWidth =
      (FIcon >= 1 && FIcon <= 3 ? IconSize + 4 : 0) + TitleMetrics.horizontalAdvance(FTitle);
  const int Width = std::max(TitleWidth, TextMetrics.horizontalAdvance(Text)) + 2 * Margin;
  const int TitleHeight = FTitle.isEmpty() ? 0 : std::max(IconSize, TitleMetrics.height()) + 4;
  return {Width, Tail + Margin + TitleHeight + TextMetrics.height() + Margin};
}

void TBalloonTipWindow::PopupFor(QWidget* Control) {
  const TTool* Tool = FindTool(Control);
  if (!Tool) return;
  FCurrent = Control;
  FPending = nullptr;
  const QSize Size = Layout(Tool->Text);
  // The tail points at the middle of the tool's bottom edge.
  QPoint Anchor = Control->mapToGlobal(QPoint(Tool->Rect.center().x(), Tool->Rect.bottom()));
  QPoint Corner(Anchor.x() - 2 * Tail, Anchor.y());
  if (const QScreen* Screen = Control->screen()) {
    const QRect Area = Screen->availableGeometry();
    Corner.setX(
        std::clamp(Corner.x(), Area.left(), std::max(Area.left(), Area.right() - Size.width())));
  }
  FTailX = std::clamp(Anchor.x() - Corner.x(), Tail, std::max(Tail, Size.width() - 2 * Tail));
  setGeometry(QRect(Corner, Size));
  show();
  update();
}

void TBalloonTipWindow::paintEvent(QPaintEvent*) {
  QPainter Painter(this);
  Painter.setRenderHint(QPainter::Antialiasing);
  const QRectF Body = QRectF(rect()).adjusted(0.5, Tail + 0.5, -0.5, -0.5);
  QPainterPath Shape;
  Shape.addRoundedRect(Body, 6, 6);
  QPainterPath Pointer;
  const qreal TailX = FTailX;
  Pointer.moveTo(TailX, 0.5);
  Pointer.lineTo(TailX - Tail / 2.0, Tail + 1);
  Pointer.lineTo(TailX + Tail, Tail + 1);
  Pointer.closeSubpath();
  Shape = Shape.united(Pointer);
  Painter.setPen(QColor(0x76, 0x76, 0x76));
  Painter.setBrush(QColor(0xFF, 0xFF, 0xE1));
  Painter.drawPath(Shape);

  int Left = Margin;
  int Top = Tail + Margin;
  Painter.setPen(Qt::black);
  if (!FTitle.isEmpty()) {
    const QFontMetrics TitleMetrics(TitleFont(font()));
    const int RowHeight = std::max(IconSize, TitleMetrics.height());
    const QIcon Icon = TitleIcon(FIcon);
    if (!Icon.isNull()) {
      Icon.paint(&Painter, QRect(Left, Top + (RowHeight - IconSize) / 2, IconSize, IconSize));
      Left += IconSize + 4;
    }
    Painter.setFont(TitleFont(font()));
    Painter.drawText(QRect(Left, Top, width() - Left - Margin, RowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, FTitle);
    Top += RowHeight + 4;
  }
  Painter.setFont(font());
  const TTool* Tool = FindTool(FCurrent);
  if (Tool)
    Painter.drawText(QRect(Margin, Top, width() - 2 * Margin, height() - Top - Margin),
                     Qt::AlignLeft | Qt::AlignTop, Tool->Text);
}
