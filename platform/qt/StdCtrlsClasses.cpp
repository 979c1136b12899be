// Published properties of the standard, common and data-aware controls.
#include "platform/qt/ComCtrls.h"
#include "platform/qt/DbCtrls.h"
#include "platform/qt/StdCtrls.h"

const TClassInfo& TLabel::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TLabel>("TLabel", TControl::StaticClassInfo())
          .Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
          .Event("OnClick", &TLabel::OnClick)
          .Build();
  return Info;
}

const TClassInfo& TEdit::StaticClassInfo() {
  static const TClassInfo Info = TClassBuilder<TEdit>("TEdit", TWinControl::StaticClassInfo())
                                     .String("Text", &TEdit::Text, &TEdit::SetText)
                                     .Bool("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly)
                                     .Event("OnChange", &TEdit::OnChange)
                                     .Build();
  return Info;
}

const TClassInfo& TMemo::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TMemo>("TMemo", TWinControl::StaticClassInfo())
          .Strings("Lines.Strings", &TMemo::Lines, &TMemo::SetLines)
          .Bool("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly)
          .Enum("ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"},
                &TMemo::ScrollBars, &TMemo::SetScrollBars)
          .Build();
  return Info;
}

const TClassInfo& TCheckBox::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TCheckBox>("TCheckBox", TWinControl::StaticClassInfo())
          .Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
          .Event("OnClick", &TCheckBox::OnClick)
          .Build();
  return Info;
}

const TClassInfo& TComboBox::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TComboBox>("TComboBox", TWinControl::StaticClassInfo())
          .Enum("Style", {"csDropDown", "csSimple", "csDropDownList"}, &TComboBox::Style,
                &TComboBox::SetStyle)
          .Int("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1)
          .Strings("Items.Strings", &TComboBox::Items, &TComboBox::SetItems)
          .Event("OnChange", &TComboBox::OnChange)
          .Event("OnCloseUp", &TComboBox::OnCloseUp)
          .Build();
  return Info;
}

const TClassInfo& TSpeedButton::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TSpeedButton>("TSpeedButton", TControl::StaticClassInfo())
          .Event("OnClick", &TSpeedButton::OnClick)
          .Build();
  return Info;
}

const TClassInfo& TPanel::StaticClassInfo() {
  static const TClassInfo Info = TClassBuilder<TPanel>("TPanel", TWinControl::StaticClassInfo())
                                     .Enum("BevelOuter", {"bvNone", "bvLowered", "bvRaised"},
                                           &TPanel::BevelOuter, &TPanel::SetBevelOuter, 2)
                                     .Build();
  return Info;
}

const TClassInfo& TGroupBox::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TGroupBox>("TGroupBox", TWinControl::StaticClassInfo()).Build();
  return Info;
}

const TClassInfo& TBevel::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TBevel>("TBevel", TControl::StaticClassInfo()).Build();
  return Info;
}

const TClassInfo& TImage::StaticClassInfo() {
  static const TClassInfo Info = TClassBuilder<TImage>("TImage", TControl::StaticClassInfo())
                                     .Picture("Picture", &TImage::Picture, &TImage::SetPicture)
                                     .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch)
                                     .Build();
  return Info;
}

const TClassInfo& TTrackBar::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TTrackBar>("TTrackBar", TWinControl::StaticClassInfo())
          .Enum("Orientation", {"trHorizontal", "trVertical"}, &TTrackBar::Orientation,
                &TTrackBar::SetOrientation)
          .Int("Max", &TTrackBar::Max, &TTrackBar::SetMax, 10)
          .Int("Min", &TTrackBar::Min, &TTrackBar::SetMin, 0)
          .Int("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency, 1)
          .Int("Position", &TTrackBar::Position, &TTrackBar::SetPosition, 0)
          .Event("OnChange", &TTrackBar::OnChange)
          .Build();
  return Info;
}

const TClassInfo& TPageControl::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TPageControl>("TPageControl", TWinControl::StaticClassInfo())
          .Ref("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
          .Event("OnChange", &TPageControl::OnChange)
          .Build();
  return Info;
}

const TClassInfo& TTabSheet::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TTabSheet>("TTabSheet", TWinControl::StaticClassInfo()).Build();
  return Info;
}

const TClassInfo& TAnimate::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TAnimate>("TAnimate", TWinControl::StaticClassInfo())
          .Enum("CommonAVI", {"aviNone", "aviFindFolder", "aviFindFile", "aviFindComputer"},
                &TAnimate::CommonAVI, &TAnimate::SetCommonAVI)
          .Int("StartFrame", &TAnimate::StartFrame, &TAnimate::SetStartFrame)
          .Int("StopFrame", &TAnimate::StopFrame, &TAnimate::SetStopFrame)
          .Bool("Active", &TAnimate::Active, &TAnimate::SetActive)
          .Build();
  return Info;
}

const TClassInfo& TDBEdit::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TDBEdit>("TDBEdit", TEdit::StaticClassInfo())
          .Ref("DataSource", &TDBEdit::DataSource, &TDBEdit::SetDataSource)
          .String("DataField", &TDBEdit::DataField, &TDBEdit::SetDataField)
          .Build();
  return Info;
}

const TClassInfo& TDBLookupComboBox::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TDBLookupComboBox>("TDBLookupComboBox", TWinControl::StaticClassInfo())
          .String("KeyField", &TDBLookupComboBox::KeyField, &TDBLookupComboBox::SetKeyField)
          .String("ListField", &TDBLookupComboBox::ListField, &TDBLookupComboBox::SetListField)
          .Ref("ListSource", &TDBLookupComboBox::ListSource, &TDBLookupComboBox::SetListSource)
          .Event("OnCloseUp", &TDBLookupComboBox::OnCloseUp)
          .Build();
  return Info;
}

void RegisterStandardControls() {
  for (const TClassInfo* Info :
       {&TLabel::StaticClassInfo(), &TEdit::StaticClassInfo(), &TMemo::StaticClassInfo(),
        &TCheckBox::StaticClassInfo(), &TComboBox::StaticClassInfo(),
        &TSpeedButton::StaticClassInfo(), &TPanel::StaticClassInfo(), &TGroupBox::StaticClassInfo(),
        &TBevel::StaticClassInfo(), &TImage::StaticClassInfo(), &TTrackBar::StaticClassInfo(),
        &TPageControl::StaticClassInfo(), &TTabSheet::StaticClassInfo(),
        &TAnimate::StaticClassInfo(), &TDBEdit::StaticClassInfo(),
        &TDBLookupComboBox::StaticClassInfo()})
    RegisterClass(*Info);
}
