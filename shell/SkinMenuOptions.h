// The published settings of the skin menu besides its font and its Active switch.
#pragma once

#include "shell/SkinColours.h"

// Kinds of container whose controls get the flat look (bits of XPContainers).
enum TXPContainer {
  xccForm,
  xccFrame,
  xccToolbar,
  xccCoolbar,
  xccControlbar,
  xccPanel,
  xccScrollBox,
  xccGroupBox,
  xccTabSheet,
  xccPageScroller
};

// Kinds of menu and control that get the flat look (bits of XPControls).
enum TXPControl {
  xcMainMenu,
  xcPopupMenu,
  xcToolbar,
  xcControlbar,
  xcCombo,
  xcListBox,
  xcEdit,
  xcMaskEdit,
  xcMemo,
  xcRichEdit,
  xcMiscEdit,
  xcCheckBox,
  xcRadioButton,
  xcButton,
  xcBitBtn,
  xcSpeedButton,
  xcUpDown,
  xcPanel,
  xcGroupBox,
  xcTreeView,
  xcListView,
  xcProgressBar,
  xcHotKey
};

struct TSkinMenuOptions : TSkinColourSettings {
  int IconWidth = 24;
  int DimLevel = 30, GrayLevel = 10;  // percent lighter for idle icons; grey lift for disabled
  bool DrawSelect = true, OverrideOwnerDraw = false, Gradient = false, FlatMenu = false,
       DrawMenuBar = false, AutoDetect = false;
  int XPContainers = 0x3FF, XPControls = 0x7FFFFF;
};
