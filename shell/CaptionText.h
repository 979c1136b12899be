// The text painter of labels and picture buttons: embossed (raised or lowered), outlined,
// shadowed and extruded text, aligned in a layout rectangle. Owners keep one as TextOptions
// and publish its settings through PublishTextOptions.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <string>

#include "platform/core/Component.h"
#include "platform/qt/Graphics.h"

class QPainter;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TVerticalAlignment { vaTop, vaVCenter, vaBottom };
enum TskLabelStyle { sklsDefault, sklsLowered, sklsRaised, sklsOutline };
enum TskOrientation {
  skTopLeft,
  skTopRight,
  skBottomLeft,
  skBottomRight,
  skTop,
  skRight,
  skLeft,
  skBottom
};
enum TskTextOption { toShowAccel, toShowEllipsis, toFullJustify };

struct TskCaptionText {
  TAlignment Alignment = taLeftJustify;
  TColor DisabledHighlightColor = clBtnHighlight;
  TColor DisabledShadeColor = clBtnShadow;
  int ExtrudeDepth = 10;
  bool ExtrudeEnabled = false;
  TColor ExtrudeFarColor = clBlack;
  TColor ExtrudeNearColor = clBlack;
  TskOrientation ExtrudeOrientation = skBottomRight;
  bool ExtrudeStriated = false;
  TColor HighlightColor = clBtnHighlight;
  int LineSpacing = 5;
  int Options = 1 << toShowAccel;
  TColor OutlineColor = clBlack;
  int Rotation = 0;  // degrees, kept in 0..359
  TColor ShadeColor = clBtnShadow;
  TColor ShadowColor = clBtnShadow;
  bool ShadowEnabled = false;
  int ShadowXOffset = 10;
  int ShadowYOffset = 10;
  TskLabelStyle Style = sklsDefault;
  TVerticalAlignment VAlignment = vaTop;
  bool WordWrap = false;

  static int NormalRotation(int Degrees);
  // Size of Text with the effects (shadow, extrude, outline) in Font; word wrapping breaks
  // the lines to fit a layout Width wide (0: no breaking).
  QSize Measure(const std::string& Text, const QFont& Font, int Width = 0) const;
  // Draws Text aligned in Layout; Face is the font colour; a disabled owner draws lowered in
  // the disabled colours. Lines wider than Layout end in an ellipsis with toShowEllipsis.
  void Draw(QPainter& Painter, const QRect& Layout, const std::string& Text, const QFont& Font,
            TColor Face, bool Enabled) const;
};

// The ascent Qt lays a line of Text out with in Font, from the top of the box it writes in to the
// baseline: the most of the font's and of the fallback fonts that draw what it lacks (a Thai
// font's is far taller than Tahoma's).
double LaidAscent(const QString& Text, const QFont& Font);

// Publishes the painter's settings as TextOptions.* on T, which has TextOptions() (const) and
// EditTextOptions(std::function<void(TskCaptionText&)>) that repaints and re-sizes.
template <class T>
void PublishTextOptions(TClassBuilder<T>& B, const TskCaptionText& D) {
  auto Get = [](auto Field) { return [Field](const T& C) { return C.TextOptions().*Field; }; };
  auto Put = [](auto Field) {
    using F = std::remove_reference_t<decltype(std::declval<TskCaptionText&>().*Field)>;
    return [Field](T& C, F V) { C.EditTextOptions([&](TskCaptionText& O) { O.*Field = V; }); };
  };
  using O = TskCaptionText;
  B.Enum("TextOptions.Alignment", {"taLeftJustify", "taRightJustify", "taCenter"},
         Get(&O::Alignment), Put(&O::Alignment), D.Alignment)
      .Colour("TextOptions.DisabledColors.HighlightColor", Get(&O::DisabledHighlightColor),
              Put(&O::DisabledHighlightColor), D.DisabledHighlightColor)
      .Colour("TextOptions.DisabledColors.ShadeColor", Get(&O::DisabledShadeColor),
              Put(&O::DisabledShadeColor), D.DisabledShadeColor)
      .Int("TextOptions.ExtrudeEffects.Depth", Get(&O::ExtrudeDepth), Put(&O::ExtrudeDepth),
           D.ExtrudeDepth)
      .Bool("TextOptions.ExtrudeEffects.Enabled", Get(&O::ExtrudeEnabled), Put(&O::ExtrudeEnabled),
            D.ExtrudeEnabled)
      .Colour("TextOptions.ExtrudeEffects.FarColor", Get(&O::ExtrudeFarColor),
              Put(&O::ExtrudeFarColor), D.ExtrudeFarColor)
      .Colour("TextOptions.ExtrudeEffects.NearColor", Get(&O::ExtrudeNearColor),
              Put(&O::ExtrudeNearColor), D.ExtrudeNearColor)
      .Enum("TextOptions.ExtrudeEffects.Orientation",
            {"skTopLeft", "skTopRight", "skBottomLeft", "skBottomRight", "skTop", "skRight",
             "skLeft", "skBottom"},
            Get(&O::ExtrudeOrientation), Put(&O::ExtrudeOrientation), D.ExtrudeOrientation)
      .Bool("TextOptions.ExtrudeEffects.Striated", Get(&O::ExtrudeStriated),
            Put(&O::ExtrudeStriated), D.ExtrudeStriated)
      .Colour("TextOptions.HighlightColor", Get(&O::HighlightColor), Put(&O::HighlightColor),
              D.HighlightColor)
      .Int("TextOptions.LineSpacing", Get(&O::LineSpacing), Put(&O::LineSpacing), D.LineSpacing)
      .Set("TextOptions.Options", {"toShowAccel", "toShowEllipsis", "toFullJustify"},
           Get(&O::Options), Put(&O::Options), D.Options)
      .Colour("TextOptions.OutlineColor", Get(&O::OutlineColor), Put(&O::OutlineColor),
              D.OutlineColor)
      .Int(
          "TextOptions.Rotation", Get(&O::Rotation),
          [](T& C, int V) {
            C.EditTextOptions([&](TskCaptionText& X) { X.Rotation = O::NormalRotation(V); });
          },
          D.Rotation)
      .Colour("TextOptions.ShadeColor", Get(&O::ShadeColor), Put(&O::ShadeColor), D.ShadeColor)
      .Colour("TextOptions.Shadow.Color", Get(&O::ShadowColor), Put(&O::ShadowColor), D.ShadowColor)
      .Bool("TextOptions.Shadow.Enabled", Get(&O::ShadowEnabled), Put(&O::ShadowEnabled),
            D.ShadowEnabled)
      .Int("TextOptions.Shadow.XOffset", Get(&O::ShadowXOffset), Put(&O::ShadowXOffset),
           D.ShadowXOffset)
      .Int("TextOptions.Shadow.YOffset", Get(&O::ShadowYOffset), Put(&O::ShadowYOffset),
           D.ShadowYOffset)
      .Enum("TextOptions.Style", {"sklsDefault", "sklsLowered", "sklsRaised", "sklsOutline"},
            Get(&O::Style), Put(&O::Style), D.Style)
      .Enum("TextOptions.VAlignment", {"vaTop", "vaVCenter", "vaBottom"}, Get(&O::VAlignment),
            Put(&O::VAlignment), D.VAlignment)
      .Bool("TextOptions.WordWrap", Get(&O::WordWrap), Put(&O::WordWrap), D.WordWrap);
}
