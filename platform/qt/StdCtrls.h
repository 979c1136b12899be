// The standard controls on Qt widgets: label, edit, memo, check box, combo box, speed button,
// panel, group box, bevel and picture.
#pragma once

#include <QImage>
#include <string>

#include "platform/qt/Controls.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QCheckBox;

// Loads a picture of the program's resources by file name; JPEG through our own decoder.
// A missing or damaged picture gives a null image.
QImage LoadPicture(const std::string& FileName);

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);

 protected:
  void CaptionChanged() override;
  void ColorChanged() override;

 private:
  bool FTransparent = false;
};

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  std::string Text() const;
  void SetText(const std::string& Value);
  bool ReadOnly() const;
  void SetReadOnly(bool Value);
  QLineEdit* LineEdit() const;
  TNotifyEvent OnChange;
};

class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TStringList Lines() const;
  void SetLines(const TStringList& Value);
  bool ReadOnly() const;
  void SetReadOnly(bool Value);
  // ssNone, ssHorizontal, ssVertical, ssBoth.
  int ScrollBars() const { return FScrollBars; }
  void SetScrollBars(int Value);

 private:
  QPlainTextEdit* Editor() const;
  int FScrollBars = 0;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  bool Checked() const;
  // A change of state clicks the box, as the user's click does.
  void SetChecked(bool Value);

 protected:
  void CaptionChanged() override;

 private:
  QCheckBox* Box() const;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TStringList Items() const;
  void SetItems(const TStringList& Value);
  int ItemIndex() const;
  void SetItemIndex(int Value);
  int Style() const { return FStyle; }
  void SetStyle(int Value);
  std::string Text() const;
  QComboBox* Combo() const;
  TNotifyEvent OnChange;
  // Fires whenever the list closes, after the entry chosen in it (if any) has become current.
  TNotifyEvent OnCloseUp;

 private:
  int FStyle = csDropDown;
  int FStreamedIndex = -1;
};

class TSpeedButton : public TControl {
 public:
  explicit TSpeedButton(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void CaptionChanged() override;
};

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  // bvNone, bvLowered, bvRaised.
  int BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(int Value);

 private:
  int FBevelOuter = 2;
};

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void CaptionChanged() override;
};

class TBevel : public TControl {
 public:
  explicit TBevel(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TImage : public TControl {
 public:
  explicit TImage(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  const std::string& Picture() const { return FPicture; }
  void SetPicture(const std::string& FileName);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  const QImage& Image() const { return FImage; }

 private:
  std::string FPicture;
  QImage FImage;
  bool FStretch = false;
};

// Registers the classes above and those of ComCtrls.h and DbCtrls.h.
void RegisterStandardControls();
