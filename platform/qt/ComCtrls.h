// The common controls: track bar, page control with its tab sheets, and the animation control.
#pragma once

#include "platform/qt/Controls.h"

class QSlider;
class QTabWidget;
class TAnimateView;

enum TTrackBarOrientation { trHorizontal, trVertical };

class TTrackBar : public TWinControl {
 public:
  explicit TTrackBar(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int Min() const;
  int Max() const;
  int Position() const;
  // The position always stays within Min..Max; a Min above Max moves Max up, and the reverse.
  void SetMin(int Value);
  void SetMax(int Value);
  void SetRange(int AMin, int AMax);
  void SetPosition(int Value);
  int Orientation() const { return FOrientation; }
  void SetOrientation(int Value);
  // Spacing of the tick marks.
  int Frequency() const { return FFrequency; }
  void SetFrequency(int Value);
  QSlider* Slider() const;
  TNotifyEvent OnChange;

 private:
  int FOrientation = trHorizontal;
  int FFrequency = 1;
};

class TTabSheet;

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int PageCount() const;
  TTabSheet* Pages(int Index) const;
  TTabSheet* ActivePage() const;
  void SetActivePage(TTabSheet* Value);
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);
  QTabWidget* Tabs() const;
  TNotifyEvent OnChange;

 private:
  friend class TTabSheet;
  TTabSheet* FStreamedPage = nullptr;
  void Loaded() override;
};

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TPageControl* PageControl() const;
  void SetParent(TWinControl* AParent) override;
  int PageIndex() const;

 protected:
  void CaptionChanged() override;
  void UpdateVisibility() override {}
};

// Clips of the system that the animation control can play; ours holds only the computer search.
enum TCommonAVI { aviNone, aviFindFolder, aviFindFile, aviFindComputer };

class TAnimate : public TWinControl {
 public:
  explicit TAnimate(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int CommonAVI() const { return FCommonAVI; }
  void SetCommonAVI(int Value);
  int StartFrame() const { return FStartFrame; }
  void SetStartFrame(int Value);
  int StopFrame() const { return FStopFrame; }
  void SetStopFrame(int Value);
  bool Active() const;
  void SetActive(bool Value);
  TAnimateView* View() const;

 protected:
  void Loaded() override;

 private:
  int FCommonAVI = aviNone;
  int FStartFrame = 0;
  int FStopFrame = 0;
  bool FStreamedActive = false;
};
