// The windows were laid out with Tahoma and MS Sans Serif, which a Linux desktop lacks: fontconfig
// would hand out DejaVu Sans, whose wider glyphs crowd the labels and push captions out of their
// controls. Debian's fonts-wine ships a metric-compatible TrueType Tahoma, outside fontconfig's
// path; the program adds it as its own font when it is there, and draws MS Sans Serif (whose
// fonts-wine copy holds only bitmaps too large for the buttons) with it. Without it Qt falls back
// to the nearest fonts. That Tahoma has no Thai: Thai text falls back to Loma
// (fonts-tlwg-loma-otf).
#pragma once

#include <string>

// Adds the fonts found in Folder (Debian's place for them by default) and puts Tahoma in MS Sans
// Serif's place; once is enough, later calls do nothing. Returns how many fonts were added.
int AddDesignFonts(const std::string& Folder = "/usr/share/wine/fonts");
