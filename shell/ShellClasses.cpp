#include "shell/ShellClasses.h"

#include "shell/EffectLabel.h"
#include "shell/ImageBtn.h"
#include "shell/ImageForm.h"
#include "shell/ImageList.h"
#include "shell/Menus.h"
#include "shell/SkinMenu.h"
#include "shell/StyleManager.h"
#include "shell/ToolButton.h"
#include "shell/TrayIcon.h"

namespace {

const std::vector<std::string> AlignNames{"alNone", "alTop",   "alBottom",
                                          "alLeft", "alRight", "alClient"};

// Click and mouse events every skinned control publishes.
template <class T>
void PublishMouse(TClassBuilder<T>& B) {
  B.Event("OnClick", &T::OnClick)
      .Event("OnMouseDown", &T::OnMouseDown)
      .Event("OnMouseUp", &T::OnMouseUp);
}

}  // namespace

const TClassInfo& TMenuItem::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TMenuItem>("TMenuItem", TComponent::StaticClassInfo())
          .String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
          .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
          .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
          .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
          .String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
          .Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
          .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
          .Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut)
          .Picture("Bitmap", &TMenuItem::Bitmap, &TMenuItem::SetBitmap)
          .Event("OnClick", &TMenuItem::OnClick)
          .Event("OnMeasureItem", &TMenuItem::OnMeasureItem)
          .Event("OnDrawItem", &TMenuItem::OnDrawItem)
          .Build();
  return Info;
}

const TClassInfo& TPopupMenu::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TPopupMenu>("TPopupMenu", TComponent::StaticClassInfo())
          .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
          .Bool("OwnerDraw", &TPopupMenu::OwnerDraw, &TPopupMenu::SetOwnerDraw)
          .Event("OnPopup", &TPopupMenu::OnPopup)
          .Build();
  return Info;
}

const TClassInfo& TImageList::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TImageList>("TImageList", TComponent::StaticClassInfo())
          .Strings("Pictures.Strings", &TImageList::Pictures, &TImageList::SetPictures)
          .Build();
  return Info;
}

const TClassInfo& TTrayIcon::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TTrayIcon>("TTrayIcon", TComponent::StaticClassInfo())
          .Bool("DesignPreview", &TTrayIcon::DesignPreview, &TTrayIcon::SetDesignPreview)
          .Ref("IconList", &TTrayIcon::IconList, &TTrayIcon::SetIconList)
          .Bool("CycleIcons", &TTrayIcon::CycleIcons, &TTrayIcon::SetCycleIcons)
          .Int("CycleInterval", &TTrayIcon::CycleInterval, &TTrayIcon::SetCycleInterval)
          .Bool("Enabled", &TTrayIcon::Enabled, &TTrayIcon::SetEnabled, true)
          .String("Hint", &TTrayIcon::Hint, &TTrayIcon::SetHint)
          .Bool("ShowHint", &TTrayIcon::ShowHint, &TTrayIcon::SetShowHint)
          .Picture("Icon", &TTrayIcon::Icon, &TTrayIcon::SetIcon)
          .Bool("IconVisible", &TTrayIcon::IconVisible, &TTrayIcon::SetIconVisible, true)
          .Int("IconIndex", &TTrayIcon::IconIndex, &TTrayIcon::SetIconIndex)
          .Ref("PopupMenu", &TTrayIcon::PopupMenu, &TTrayIcon::SetPopupMenu)
          .Bool("LeftPopup", &TTrayIcon::LeftPopup, &TTrayIcon::SetLeftPopup)
          .Bool("StartMinimized", &TTrayIcon::StartMinimized, &TTrayIcon::SetStartMinimized)
          .Bool("MinimizeToTray", &TTrayIcon::MinimizeToTray, &TTrayIcon::SetMinimizeToTray)
          .Event("OnClick", &TTrayIcon::OnClick)
          .Event("OnDblClick", &TTrayIcon::OnDblClick)
          .Event("OnMouseDown", &TTrayIcon::OnMouseDown)
          .Event("OnMouseUp", &TTrayIcon::OnMouseUp)
          .Event("OnMouseMove", &TTrayIcon::OnMouseMove)
          .Event("OnCycle", &TTrayIcon::OnCycle)
          .Build();
  return Info;
}

const TClassInfo& TskImageForm::StaticClassInfo() {
  static const TClassInfo Info = [] {
    TClassBuilder<TskImageForm> B("TskImageForm", TControl::StaticClassInfo());
    B.Set("Options", {"ifUseWindowsDrag", "ifNoPaletteDither"}, &TskImageForm::Options,
          &TskImageForm::SetOptions)
        .Enum("Align", AlignNames, &TskImageForm::Align, &TskImageForm::SetAlign, alClient)
        .Bool("AutoSize", &TskImageForm::AutoSize, &TskImageForm::SetAutoSize)
        .Picture("Picture", &TskImageForm::Picture, &TskImageForm::SetPicture)
        .Ref("PopupMenu", &TskImageForm::PopupMenu, &TskImageForm::SetPopupMenu)
        .Event("OnDblClick", &TskImageForm::OnDblClick)
        .Event("OnMouseMove", &TskImageForm::OnMouseMove)
        .Ref("CaptionBarControl", &TskImageForm::CaptionBarControl,
             &TskImageForm::SetCaptionBarControl)
        .Int("DragTolerance", &TskImageForm::DragTolerance, &TskImageForm::SetDragTolerance, 5)
        .AlwaysStored()
        .Colour("TransparentColor", &TskImageForm::TransparentColor,
                &TskImageForm::SetTransparentColor, clNone)
        .Binary("RegionData", &TskImageForm::RegionData, &TskImageForm::SetRegionData);
    PublishMouse(B);
    return B.Build();
  }();
  return Info;
}

const TClassInfo& TskLabel::StaticClassInfo() {
  static const TClassInfo Info = [] {
    TClassBuilder<TskLabel> B("TskLabel", TControl::StaticClassInfo());
    B.Enum("Align", AlignNames, &TskLabel::Align, &TskLabel::SetAlign)
        .Bool("AutoSize", &TskLabel::AutoSize, &TskLabel::SetAutoSize, true)
        .Ref("FocusControl", &TskLabel::FocusControl, &TskLabel::SetFocusControl)
        .Bool("Transparent", &TskLabel::Transparent, &TskLabel::SetTransparent)
        .Event("OnDblClick", &TskLabel::OnDblClick)
        .Event("OnMouseMove", &TskLabel::OnMouseMove)
        .Event("OnMouseEnter", &TskLabel::OnMouseEnter)
        .Event("OnMouseLeave", &TskLabel::OnMouseLeave);
    PublishMouse(B);
    PublishTextOptions(B, TskCaptionText());
    return B.Build();
  }();
  return Info;
}

const TClassInfo& TskImageBtn::StaticClassInfo() {
  static const TClassInfo Info = [] {
    using B_ = TskImageBtn;
    TClassBuilder<B_> B("TskImageBtn", TWinControl::StaticClassInfo());
    auto Offset = [&B](const char* Name, int TskImgDownOffsets::*Field, int Default) {
      B.Int(
          std::string("Offsets.") + Name, [Field](const B_& C) { return C.Offsets().*Field; },
          [Field](B_& C, int V) {
            TskImgDownOffsets O = C.Offsets();
            O.*Field = V;
            C.SetOffsets(O);
          },
          Default);
    };
    B.Colour("Color", &B_::Color, &B_::SetColor, clNone)
        .Bool("AllowAllUp", &B_::AllowAllUp, &B_::SetAllowAllUp)
        .String("AccessKey", &B_::AccessKey, &B_::SetAccessKey)
        .Bool("Cancel", &B_::Cancel, &B_::SetCancel)
        .Bool("Default", &B_::Default, &B_::SetDefault)
        .Colour("DitherColor", &B_::DitherColor, &B_::SetDitherColor, clWhite)
        .Enum("DitherStyle", {"dsDither", "dsBlendDither", "dsFill"}, &B_::DitherStyle,
              &B_::SetDitherStyle)
        .Bool("Down", &B_::Down, &B_::SetDown)
        .Picture("Glyph", &B_::Glyph, &B_::SetGlyph)
        .Int("GroupIndex", &B_::GroupIndex, &B_::SetGroupIndex)
        .Picture("Image", &B_::Image, &B_::SetImage)
        .Picture("ImageDown", &B_::ImageDown, &B_::SetImageDown)
        .Enum("Kind",
              {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
               "bkRetry", "bkIgnore", "bkAll"},
              &B_::Kind, &B_::SetKind)
        .Enum("Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, &B_::Layout,
              &B_::SetLayout)
        .Int("Margin", &B_::Margin, &B_::SetMargin, -1)
        .Int("ModalResult", &B_::ModalResult, &B_::SetModalResult)
        .Int("NumGlyphs", &B_::NumGlyphs, &B_::SetNumGlyphs, 1);
    Offset("GlyphX", &TskImgDownOffsets::GlyphX, 0);
    Offset("GlyphY", &TskImgDownOffsets::GlyphY, 0);
    Offset("TextX", &TskImgDownOffsets::TextX, 0);
    Offset("TextY", &TskImgDownOffsets::TextY, 0);
    Offset("TextDownX", &TskImgDownOffsets::TextDownX, 1);
    Offset("TextDownY", &TskImgDownOffsets::TextDownY, 1);
    Offset("ImageDownX", &TskImgDownOffsets::ImageDownX, 2);
    Offset("ImageDownY", &TskImgDownOffsets::ImageDownY, 2);
    auto Shade = [&B](const char* Name, TColor TskShadeColors::*Field, TColor Default) {
      B.Colour(
          std::string("ShadeColors.") + Name,
          [Field](const B_& C) { return C.ShadeColors().*Field; },
          [Field](B_& C, TColor V) {
            TskShadeColors S = C.ShadeColors();
            S.*Field = V;
            C.SetShadeColors(S);
          },
          Default);
    };
    Shade("BtnHighlight", &TskShadeColors::BtnHighlight, clBtnHighlight);
    Shade("Btn3DLight", &TskShadeColors::Btn3DLight, cl3DLight);
    Shade("BtnShadow", &TskShadeColors::BtnShadow, clBtnShadow);
    Shade("BtnBlack", &TskShadeColors::BtnBlack, clBlack);
    Shade("BtnFocus", &TskShadeColors::BtnFocus, clBlack);
    Shade("Shadow", &TskShadeColors::Shadow, clBlack);
    B.Set("Options",
          {"boFocusable", "boOverrideActionGlyph", "boToggleOnUp", "boFocusRect", "boAutoBold"},
          &B_::Options, &B_::SetOptions)
        .Enum("ShadeStyle", {"fbsNormal", "fbsRaised", "fbsHighlight", "fbsFlat"}, &B_::ShadeStyle,
              &B_::SetShadeStyle)
        .Int("Spacing", &B_::Spacing, &B_::SetSpacing, 4)
        .Colour("TransparentColor", &B_::TransparentColor, &B_::SetTransparentColor, clNone)
        .Event("OnMouseEnter", &B_::OnMouseEnter)
        .Event("OnMouseLeave", &B_::OnMouseLeave)
        .Binary("RegionData", &B_::RegionData, &B_::SetRegionData)
        .Binary("DownRegionData", &B_::DownRegionData, &B_::SetDownRegionData);
    TskCaptionText Text;
    Text.Alignment = taCenter;
    Text.VAlignment = vaVCenter;
    PublishTextOptions(B, Text);
    PublishMouse(B);
    return B.Build();
  }();
  return Info;
}

const TClassInfo& TskToolButton::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TskToolButton>("TskToolButton", TWinControl::StaticClassInfo())
          .Enum("ToolType",
                {"ttArrowLeft", "ttArrowRight", "ttClose", "ttMaximize", "ttMinimize", "ttPopup",
                 "ttRestore"},
                &TskToolButton::ToolType, &TskToolButton::SetToolType, ttClose)
          .Colour("Color", &TskToolButton::Color, &TskToolButton::SetColor, clBlack)
          .Int("Width", &TskToolButton::Width, &TskToolButton::SetWidth, 15)
          .Int("Height", &TskToolButton::Height, &TskToolButton::SetHeight, 15)
          .Int("ModalResult", &TskToolButton::ModalResult, &TskToolButton::SetModalResult)
          .Enum("Style.Theme", {"WindowsXP", "OfficeXP"}, &TskToolButton::Theme,
                &TskToolButton::SetTheme)
          .Bool("Style.UseStyleManager", &TskToolButton::UseStyleManager,
                &TskToolButton::SetUseStyleManager, true)
          .Ref("StyleManager", &TskToolButton::StyleManager, &TskToolButton::SetStyleManager)
          .Event("OnClick", &TskToolButton::OnClick)
          .Event("OnMouseEnter", &TskToolButton::OnMouseEnter)
          .Event("OnMouseLeave", &TskToolButton::OnMouseLeave)
          .Build();
  return Info;
}

const TClassInfo& TskStyleManager::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TskStyleManager>("TskStyleManager", TComponent::StaticClassInfo())
          .Enum("Theme", {"WindowsXP", "OfficeXP"}, &TskStyleManager::Theme,
                &TskStyleManager::SetTheme)
          .Event("OnThemeChanged", &TskStyleManager::OnThemeChanged)
          .Build();
  return Info;
}

const TClassInfo& TSkinMenu::StaticClassInfo() {
  static const TClassInfo Info = [] {
    using S = TSkinMenu;
    using O = TSkinMenuOptions;
    TClassBuilder<S> B("TSkinMenu", TComponent::StaticClassInfo());
    // The font starts as the platform's menu font, so it is always written.
    auto FontField = [&B](const char* Name, auto Field, auto Default) {
      using F = std::remove_cvref_t<decltype(TFont().*Field)>;
      auto Get = [Field](const S& C) { return C.Font().*Field; };
      auto Put = [Field](S& C, F V) {
        TFont Font = C.Font();
        Font.*Field = V;
        C.SetFont(Font);
      };
      if constexpr (std::is_same_v<F, std::string>)
        B.String(std::string("Font.") + Name, Get, Put, Default);
      else
        B.Int(std::string("Font.") + Name, Get, Put, Default);
      B.AlwaysStored();
    };
    FontField("Name", &TFont::Name, std::string("Tahoma"));
    FontField("Height", &TFont::Height, -11);
    B.Colour(
         "Font.Color", [](const S& C) { return C.Font().Color; },
         [](S& C, TColor V) {
           TFont Font = C.Font();
           Font.Color = V;
           C.SetFont(Font);
         },
         clMenuText)
        .Set(
            "Font.Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
            [](const S& C) { return C.Font().Style; },
            [](S& C, int V) {
              TFont Font = C.Font();
              Font.Style = V;
              C.SetFont(Font);
            });
    auto Colour = [&B](const char* Name, TColor TSkinColourSettings::*Field, TColor Default) {
      B.Colour(
          Name, [Field](const S& C) { return C.Options().*Field; },
          [Field](S& C, TColor V) { C.SetOption(Field, V); }, Default);
    };
    auto Flag = [&B](const char* Name, bool O::*Field, bool Default) {
      B.Bool(
          Name, [Field](const S& C) { return C.Options().*Field; },
          [Field](S& C, bool V) { C.SetOption(Field, V); }, Default);
    };
    auto Number = [&B](const char* Name, int O::*Field, int Default) {
      B.Int(
          Name, [Field](const S& C) { return C.Options().*Field; },
          [Field](S& C, int V) { C.SetOption(Field, V); }, Default);
    };
    Colour("Color", &TSkinColourSettings::Color, clBtnFace);
    Colour("IconBackColor", &TSkinColourSettings::IconBackColor, clBtnFace);
    Colour("MenuBarColor", &TSkinColourSettings::MenuBarColor, clBtnFace);
    Colour("SelectColor", &TSkinColourSettings::SelectColor, clHighlight);
    Colour("SelectBorderColor", &TSkinColourSettings::SelectBorderColor, clHighlight);
    Colour("SelectFontColor", &TSkinColourSettings::SelectFontColor, clMenuText);
    Colour("DisabledColor", &TSkinColourSettings::DisabledColor, clInactiveCaption);
    Colour("SeparatorColor", &TSkinColourSettings::SeparatorColor, clBtnFace);
    Colour("CheckedColor", &TSkinColourSettings::CheckedColor, clHighlight);
    Number("IconWidth", &O::IconWidth, 24);
    Flag("DrawSelect", &O::DrawSelect, true);
    Flag("UseSystemColors", &O::UseSystemColors, true);
    Flag("UseDimColor", &O::UseDimColor, false);
    Number("DimLevel", &O::DimLevel, 30);
    Number("GrayLevel", &O::GrayLevel, 10);
    Flag("OverrideOwnerDraw", &O::OverrideOwnerDraw, false);
    Flag("Gradient", &O::Gradient, false);
    Flag("FlatMenu", &O::FlatMenu, false);
    Flag("DrawMenuBar", &O::DrawMenuBar, false);
    Flag("AutoDetect", &O::AutoDetect, false);
    B.Bool("Active", &S::Active, &S::SetActive);
    B.Bool("DisableSubclassing", &S::DisableSubclassing, &S::SetDisableSubclassing);
    auto Bits = [&B](const char* Name, std::vector<std::string> Names, int O::*Field, int Default) {
      B.Set(
          Name, std::move(Names), [Field](const S& C) { return C.Options().*Field; },
          [Field](S& C, int V) { C.SetOption(Field, V); }, Default);
    };
    Bits("XPContainers",
         {"xccForm", "xccFrame", "xccToolbar", "xccCoolbar", "xccControlbar", "xccPanel",
          "xccScrollBox", "xccGroupBox", "xccTabSheet", "xccPageScroller"},
         &O::XPContainers, 0x3FF);
    Bits("XPControls",
         {"xcMainMenu",    "xcPopupMenu", "xcToolbar",  "xcControlbar",  "xcCombo",    "xcListBox",
          "xcEdit",        "xcMaskEdit",  "xcMemo",     "xcRichEdit",    "xcMiscEdit", "xcCheckBox",
          "xcRadioButton", "xcButton",    "xcBitBtn",   "xcSpeedButton", "xcUpDown",   "xcPanel",
          "xcGroupBox",    "xcTreeView",  "xcListView", "xcProgressBar", "xcHotKey"},
         &O::XPControls, 0x7FFFFF);
    return B.Build();
  }();
  return Info;
}

void RegisterShellClasses() {
  for (const TClassInfo* Info :
       {&TMenuItem::StaticClassInfo(), &TPopupMenu::StaticClassInfo(),
        &TImageList::StaticClassInfo(), &TTrayIcon::StaticClassInfo(),
        &TskImageForm::StaticClassInfo(), &TskLabel::StaticClassInfo(),
        &TskImageBtn::StaticClassInfo(), &TskToolButton::StaticClassInfo(),
        &TskStyleManager::StaticClassInfo(), &TSkinMenu::StaticClassInfo()})
    RegisterClass(*Info);
}
