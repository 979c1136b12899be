// Forms: top-level windows built from stored definitions. Application->CreateForm(frmMain)
// constructs the class, reads ":/resources/<name>.dfm" (name = class name without its T, e.g.
// TfrmMain -> frmMain.dfm), then runs OnCreate. A form class publishes its handlers in its
// class info with Method(...), so the definition can bind `OnClick = btnGoClick`.
//
// Width and Height are the client area; Left and Top place the window.
#pragma once

#include <string>

#include "platform/qt/Controls.h"

class QEventLoop;
class QRect;
class TFormWidget;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2;

using TCloseEvent = TEvent<void(TComponent* Sender, TCloseAction& Action)>;

class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Resource path of the stored definition read by LoadDefinition.
  virtual std::string DefinitionPath() const;
  void LoadDefinition();
  // Runs OnCreate (after the definition is read).
  void DoCreate();

  int ClientWidth() const { return Width(); }
  int ClientHeight() const { return Height(); }
  void SetClientWidth(int Value) { SetWidth(Value); }
  void SetClientHeight(int Value) { SetHeight(Value); }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);

  // Asks OnClose; the main form's closing ends the program, a modal form's ends ShowModal.
  void Close();
  // Shows the form and runs a nested message loop until ModalResult is set or it is closed.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value);
  bool Modal() const { return FModalLoop != nullptr; }
  bool Active() const;

  void GetChildren(const std::function<void(TComponent*)>& Proc,
                   const TComponent* Root) const override;
  bool HasParent() const override { return false; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TNotifyEvent OnCreate, OnShow, OnHide, OnActivate, OnDeactivate;
  TCloseEvent OnClose;

 protected:
  void CaptionChanged() override;
  void UpdateVisibility() override;
  void Loaded() override;

 private:
  friend class TFormWidget;
  void WidgetShown();
  void WidgetHidden();
  void WidgetActivated(bool IsActive);
  void WidgetMoved(int X, int Y);
  void WidgetResized(int W, int H);
  void ApplyWindowFlags();
  // Only a sizeable form can be resized by the user. The others say so to the window system by
  // a minimum size equal to their maximum, which also makes a tiling compositor (sway, Hyprland)
  // float them at their own size instead of stretching them over a tile.
  void ApplySizeLimits();
  // Applies Position: centred on the screen at the first showing, on the main form at each.
  void PlaceForShowing();
  void CentreOn(const QRect& Area);

  TFormBorderStyle FBorderStyle = bsSizeable;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TModalResult FModalResult = mrNone;
  QEventLoop* FModalLoop = nullptr;
  bool FPlaced = false;
};
