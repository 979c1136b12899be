// Our balloon tooltip window: one per form, any number of tools (controls), one title and icon
// for all of them. It watches the tools' mouse events itself and pops up while the mouse rests
// on one.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <vector>

class TBalloonTipWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TBalloonTipWindow(QWidget* Owner);

  // Registers Control (again: its text is replaced) with Rect in its client coordinates.
  void AddTool(QWidget* Control, const QRect& Rect, const QString& Text);
  void SetTitle(int Icon, const QString& Title);

  int ToolCount() const;
  // The text registered for Control, or a null string.
  QString ToolText(const QWidget* Control) const;
  const QString& Title() const { return FTitle; }
  int Icon() const { return FIcon; }
  // The tool the balloon is showing, or null.
  QWidget* ShownTool() const { return isVisible() ? FCurrent.data() : nullptr; }
  // Shows the balloon of Control at once, as after the mouse rested on it.
  void PopupFor(QWidget* Control);

  static constexpr int RestDelay = 500;

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;

 private:
  struct TTool {
    QPointer<QWidget> Control;
    QRect Rect;
    QString Text;
  };
  const TTool* FindTool(const QWidget* Control) const;
  void Retract();
  QSize Layout(const QString& Text) const;

  std::vector<TTool> FTools;
  QString FTitle;
  int FIcon = 0;
  int FTailX = 0;
  QPointer<QWidget> FCurrent;
  QPointer<QWidget> FPending;
  QTimer FRestTimer;
};
