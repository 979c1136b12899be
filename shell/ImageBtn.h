// The picture button: its face is a picture stretched to the button and tinted with its
// colour, its window is cut to the picture's opaque pixels, and it carries a glyph and/or an
// embossed caption. It shows the second picture while pressed and fires OnClick when released
// over its shape.
#pragma once

#include <QImage>
#include <QKeySequence>
#include <QRegion>
#include <functional>
#include <utility>
#include <vector>

#include "platform/qt/Controls.h"
#include "shell/CaptionText.h"
#include "shell/ShellTypes.h"

// TransparentColor meaning "no transparency": a rectangular button, no replaced pixels.
constexpr TColor clNoTransparency = 0x0FFFFFFF;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TShadeStyle { fbsNormal, fbsRaised, fbsHighlight, fbsFlat };
enum TDitherStyle { dsDither, dsBlendDither, dsFill };
enum TBitBtnKind {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll
};
enum TButtonOption { boFocusable, boOverrideActionGlyph, boToggleOnUp, boFocusRect, boAutoBold };

// The colours of the bevels (fbsHighlight, fbsFlat), the focus rectangle and the face's
// surround.
struct TskShadeColors {
  TColor BtnHighlight = clBtnHighlight, Btn3DLight = cl3DLight, BtnShadow = clBtnShadow;
  TColor BtnBlack = clBlack, BtnFocus = clBlack, Shadow = clBlack;
};

struct TskImgDownOffsets {
  int GlyphX = 0, GlyphY = 0, TextX = 0, TextY = 0;
  int TextDownX = 1, TextDownY = 1, ImageDownX = 2, ImageDownY = 2;
};

class QPainter;

class TskImageBtn : public TWinControl {
 public:
  explicit TskImageBtn(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Image() const { return FImageName; }
  void SetImage(const std::string& FileName);
  const std::string& ImageDown() const { return FImageDownName; }
  void SetImageDown(const std::string& FileName);
  const std::string& Glyph() const { return FGlyphName; }
  void SetGlyph(const std::string& FileName);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  TColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(TColor Value);
  // A grouped button held down without a down picture shows its face dithered with this.
  TColor DitherColor() const { return FDitherColor; }
  void SetDitherColor(TColor Value);
  TDitherStyle DitherStyle() const { return FDitherStyle; }
  void SetDitherStyle(TDitherStyle Value);
  const TskShadeColors& ShadeColors() const { return FShadeColors; }
  void SetShadeColors(const TskShadeColors& Value);
  TShadeStyle ShadeStyle() const { return FShadeStyle; }
  void SetShadeStyle(TShadeStyle Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  // Enter anywhere in the window clicks the default button, Escape the cancel button.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value);
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // A button that shows only a glyph has no caption to carry an accelerator: Alt with this key
  // clicks it instead.
  const std::string& AccessKey() const { return FAccessKey; }
  void SetAccessKey(const std::string& Value);
  // Alt with the caption's accelerator, else with AccessKey; empty when it has neither.
  QKeySequence Accelerator() const;
  // bkClose closes the form, bkHelp starts the pointer help; the others set ModalResult.
  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind Value) { FKind = Value; }
  int Options() const { return FOptions; }
  void SetOptions(int Value);
  const TskImgDownOffsets& Offsets() const { return FOffsets; }
  void SetOffsets(const TskImgDownOffsets& Value);
  const TskCaptionText& TextOptions() const { return FTextOptions; }
  void EditTextOptions(const std::function<void(TskCaptionText&)>& Edit);
  // The stored up and down shapes: held as read; empty ones are built from the pictures on
  // first need and kept, so a saved form carries them.
  TBytes RegionData() const;
  void SetRegionData(const TBytes& Value);
  TBytes DownRegionData() const;
  void SetDownRegionData(const TBytes& Value);

  // The shape of a state: from its stored block, or built from the pictures (empty when the
  // button has no up picture or TransparentColor is clNoTransparency).
  QRegion Shape(bool IsDown) const;
  // The face as painted (tinted picture, glyph, caption) for a state.
  QImage RenderFace(bool IsDown) const;
  // Sets the modal result of the form and fires OnClick.
  void Click() override;
  // Makes the button the size of its up picture.
  void SizeToImage();

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TNotifyEvent OnMouseEnter, OnMouseLeave;
  TMouseEvent OnMouseDown, OnMouseUp;

 protected:
  void CaptionChanged() override;
  void ColorChanged() override;
  void FontChanged() override;
  void Loaded() override;

 private:
  class TButtonWidget;
  class TFace;
  QImage SourcePicture(bool IsDown) const;
  TColor StateTransparentColor(bool IsDown) const;
  QImage Stretched(bool IsDown) const;
  // The face's parts, painted in this order (ImageBtnFace.cpp).
  QImage TintedPicture(bool IsDown) const;
  void PaintPicture(QImage& Face, QPainter& P, bool IsDown) const;
  void PaintGlyphAndCaption(QPainter& P, bool IsDown) const;
  // The glyph's and the caption's top left corners.
  std::pair<QPoint, QPoint> PlaceGroup(QSize GlyphSize, QSize TextSize, bool IsDown) const;
  void ApplyShape();
  // Forgets the stored shapes a change makes stale and re-applies the shape.
  void ShapesChanged(bool Up, bool Down);
  // The hit test: over either state's shape, in a window that is active.
  bool OverShape(QPoint Pos) const;
  void Press();
  void Drag(QPoint Pos);
  void Release(bool Over);
  void UpdateShortcuts();

  std::string FImageName, FImageDownName, FGlyphName, FAccessKey;
  QImage FImage, FImageDown, FGlyph;
  int FNumGlyphs = 1;
  TColor FTransparentColor = clNone;
  TColor FDitherColor = clWhite;
  TDitherStyle FDitherStyle = dsDither;
  TShadeStyle FShadeStyle = fbsNormal;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1, FSpacing = 4;
  bool FDown = false;
  int FGroupIndex = 0;
  bool FAllowAllUp = false, FDefault = false, FCancel = false;
  int FModalResult = 0;
  TBitBtnKind FKind = bkCustom;
  int FOptions = 0;
  TskImgDownOffsets FOffsets;
  TskShadeColors FShadeColors;
  TskCaptionText FTextOptions;
  mutable TBytes FUpBlock, FDownBlock;
  bool FPressed = false, FWasDown = false, FHot = false;
  bool FActivatedByPress = false;  // the press found its window inactive and activated it
  std::vector<QObject*> FShortcuts;
};
