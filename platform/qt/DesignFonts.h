// The windows were laid out with Tahoma and MS Sans Serif, which a Linux desktop lacks: fontconfig
// would hand out DejaVu Sans, whose wider glyphs crowd the labels and push captions out of their
// controls. Debian's fonts-wine ships metric-compatible TrueType fonts under those very names,
// outside fontconfig's path; the program adds them as its own fonts when they are there. Without
// them Qt falls back to the nearest fonts. That Tahoma has no Thai: Thai text falls back to Loma
// (fonts-tlwg-loma-otf).
#pragma once

#include <string>

// Adds the fonts found in Folder (Debian's place for them by default); once is enough, later
// calls do nothing. Returns how many of them the application has.
int AddDesignFonts(const std::string& Folder = "/usr/share/wine/fonts");
