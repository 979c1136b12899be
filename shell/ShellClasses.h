// Registration of the skinned components for stored window definitions.
#pragma once

// TskImageForm, TskLabel, TskImageBtn, TskToolButton, TskStyleManager, TTrayIcon, TImageList,
// TSkinMenu, TPopupMenu and TMenuItem.
void RegisterShellClasses();
