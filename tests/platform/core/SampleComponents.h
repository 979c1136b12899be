// Components with one published property of every kind, a container that nests children, and
// a root that publishes handlers: the shapes the definitions reader and writer must handle.
#pragma once

#include <algorithm>

#include "platform/core/Component.h"

enum TShape { shCircle, shSquare, shTriangle };

class TSample : public TComponent {
 public:
  explicit TSample(TComponent* AOwner) : TComponent(AOwner) {}
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo Info =
        TClassBuilder<TSample>("TSample", TComponent::StaticClassInfo())
            .Int("Count", &TSample::Count, &TSample::SetCount, 3)
            .Real("Ratio", &TSample::Ratio, &TSample::SetRatio, 0.5)
            .Bool("Active", &TSample::Active, &TSample::SetActive, true)
            .Enum("Shape", {"shCircle", "shSquare", "shTriangle"}, &TSample::Shape,
                  &TSample::SetShape)
            .Set("Styles", {"fsBold", "fsItalic", "fsUnderline"}, &TSample::Styles,
                 &TSample::SetStyles)
            .Colour("Color", &TSample::Color, &TSample::SetColor, clBtnFace)
            .String(
                "Font.Name", [](const TSample& S) { return S.FFontName; },
                [](TSample& S, const std::string& V) { S.FFontName = V; }, "Tahoma")
            .String("Caption", &TSample::Caption, &TSample::SetCaption)
            .Picture("Picture", &TSample::Picture, &TSample::SetPicture)
            .Strings("Items", &TSample::Items, &TSample::SetItems)
            .Binary("Data", &TSample::Data, &TSample::SetData)
            .Ref("Buddy", &TSample::Buddy, &TSample::SetBuddy)
            .Event("OnChange", &TSample::OnChange)
            .Build();
    return Info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int Count() const { return FCount; }
  void SetCount(int Value) { FCount = std::max(0, Value); }
  double Ratio() const { return FRatio; }
  void SetRatio(double Value) { FRatio = Value; }
  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  TShape Shape() const { return FShape; }
  void SetShape(TShape Value) { FShape = Value; }
  int Styles() const { return FStyles; }
  void SetStyles(int Value) { FStyles = Value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  const std::string& Picture() const { return FPicture; }
  void SetPicture(const std::string& Value) { FPicture = Value; }
  const TStringList& Items() const { return FItems; }
  void SetItems(const TStringList& Value) { FItems = Value; }
  // The binary hooks: a component keeps its own format; this one rejects a short block.
  TBytes Data() const { return FData; }
  void SetData(const TBytes& Value) {
    if (Value.size() == 1) throw EConvertError("Data block too short");
    FData = Value;
  }
  TSample* Buddy() const { return FBuddy; }
  void SetBuddy(TSample* Value) { SetReference(FBuddy, Value); }

  TNotifyEvent OnChange;
  int LoadedCalls = 0;
  bool WasLoadingInLoaded = true;
  bool BuddyKnownInLoaded = false;

 protected:
  void Loaded() override {
    ++LoadedCalls;
    WasLoadingInLoaded = Loading();
    BuddyKnownInLoaded = FBuddy != nullptr;
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
  }

 private:
  int FCount = 3;
  double FRatio = 0.5;
  bool FActive = true;
  TShape FShape = shCircle;
  int FStyles = 0;
  TColor FColor = clBtnFace;
  std::string FFontName = "Tahoma";
  std::string FCaption;
  std::string FPicture;
  TStringList FItems;
  TBytes FData;
  TSample* FBuddy = nullptr;
};

// A container: its nested children are owned by the root and parented here.
class TSamplePanel : public TSample {
 public:
  explicit TSamplePanel(TComponent* AOwner) : TSample(AOwner) {}
  ~TSamplePanel() override {
    for (TSamplePanel* C : FChildren) C->FParent = nullptr;
    SetParentComponent(nullptr);
  }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo Info =
        TClassBuilder<TSamplePanel>("TSamplePanel", TSample::StaticClassInfo()).Build();
    return Info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool HasParent() const override { return FParent != nullptr; }
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* AParent) override {
    if (FParent) std::erase(FParent->FChildren, this);
    FParent = dynamic_cast<TSamplePanel*>(AParent);
    if (FParent) FParent->FChildren.push_back(this);
  }
  void GetChildren(const std::function<void(TComponent*)>& Proc,
                   const TComponent* Root) const override {
    TSample::GetChildren(Proc, Root);
    for (TSamplePanel* C : FChildren)
      if (C->Owner() == Root) Proc(C);
  }
  const std::vector<TSamplePanel*>& Children() const { return FChildren; }

 private:
  TSamplePanel* FParent = nullptr;
  std::vector<TSamplePanel*> FChildren;
};

class TSampleForm : public TSamplePanel {
 public:
  explicit TSampleForm(TComponent* AOwner) : TSamplePanel(AOwner) {}
  ~TSampleForm() override { DestroyComponents(); }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo Info =
        TClassBuilder<TSampleForm>("TSampleForm", TSamplePanel::StaticClassInfo())
            .Method("SampleChange", &TSampleForm::SampleChange)
            .Method("Unfit", &TSampleForm::Unfit)
            .Build();
    return Info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  void SampleChange(TComponent* Sender) { LastSender = Sender; }
  int Unfit(int Value) { return Value; }
  TComponent* LastSender = nullptr;
};

inline void RegisterSampleClasses() {
  RegisterCoreClasses();
  RegisterClass(TSample::StaticClassInfo());
  RegisterClass(TSamplePanel::StaticClassInfo());
  RegisterClass(TSampleForm::StaticClassInfo());
}
