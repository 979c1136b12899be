// The shaped window: a control covering its form's client area that paints a picture, cuts the
// form's window down to the picture's opaque pixels and lets the user move the window by
// dragging anywhere on it that is not a clickable control. A body with its own click or
// mouse-down handler is clicked, not dragged; a window without a focused control does not move;
// with a CaptionBarControl only presses on that control move the window. The window follows the
// cursor itself (a frame drawn on the screen cannot be seen on a composited desktop); with
// ifUseWindowsDrag the desktop moves it from the press on.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <functional>
#include <memory>

#include "platform/qt/Controls.h"
#include "shell/Menus.h"
#include "shell/ShellTypes.h"

class QWindow;
class TForm;

enum TImageFormOption { ifUseWindowsDrag, ifNoPaletteDither };

class TskImageForm : public TControl {
 public:
  explicit TskImageForm(TComponent* AOwner);
  ~TskImageForm() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  const std::string& Picture() const { return FPicture; }
  void SetPicture(const std::string& FileName);
  const QImage& Image() const { return FImage; }
  int DragTolerance() const { return FDragTolerance; }
  void SetDragTolerance(int Value) { FDragTolerance = Value; }
  TColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(TColor Value);
  int Options() const { return FOptions; }
  void SetOptions(int Value) { FOptions = Value; }
  TControl* CaptionBarControl() const { return FCaptionBarControl; }
  void SetCaptionBarControl(TControl* Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value) { SetReference(FPopupMenu, Value); }
  // The stored shape: always the one computed from the picture; a stored block with a count
  // above 0 is used as it is, a count of 0 or a damaged block makes the shape follow the
  // picture.
  TBytes RegionData() const;
  void SetRegionData(const TBytes& Value);

  // TransparentColor, or the picture's bottom-left pixel for clNone.
  TColor EffectiveTransparentColor() const;
  // The shape given to the form's window (empty: rectangular).
  const QRegion& Shape() const { return FShape; }
  // Builds the shape from the picture and applies it to the form.
  void RebuildRegion();

  // The desktop's own move of a window (QWindow::startSystemMove); tests replace it, an empty
  // one restores it. It answers whether the desktop took the move over.
  static void SetSystemMove(std::function<bool(QWindow*)> Move);

  void SetParent(TWinControl* AParent) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  class TMoveFilter;
  TForm* Form() const;
  void PictureChanged();
  void ApplyShape();
  void FillParent();
  bool Clickable() const { return OnClick || OnMouseDown; }
  // Whether a left press at Local (form coordinates) on Hit may move the window.
  bool MayMove(QPoint Local, QObject* Hit) const;
  bool SystemMove();
  // Press, drag and release on the form's body: a move once past DragTolerance.
  bool BodyPress(QPoint Global, QPoint Local, Qt::MouseButton Button, QObject* Hit);
  bool BodyMove(QPoint Global);
  bool BodyRelease(QPoint Global, QPoint Local, Qt::MouseButton Button);

  TAlign FAlign = alClient;
  bool FAutoSize = false;
  std::string FPicture;
  QImage FImage;
  int FDragTolerance = 5;
  TColor FTransparentColor = clNone;
  int FOptions = 0;
  TControl* FCaptionBarControl = nullptr;
  TPopupMenu* FPopupMenu = nullptr;
  QRegion FShape;
  bool FStoredShape = false;  // FShape came from RegionData, not from the picture
  bool FPressed = false, FCanMove = false, FMoving = false;
  QPoint FPressGlobal, FWindowAtPress;
  std::unique_ptr<TMoveFilter> FMoveFilter;

  friend class TMoveFilter;
};
