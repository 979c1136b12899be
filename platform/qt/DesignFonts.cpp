#include "platform/qt/DesignFonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QString>

int AddDesignFonts(const std::string& Folder) {
  static const int Added = [&Folder] {
    int Count = 0;
    for (const char* File : {"tahoma.ttf", "tahomabd.ttf"})
      if (QFontDatabase::addApplicationFont(QString::fromStdString(Folder + "/" + File)) >= 0)
        ++Count;
    // fonts-wine's MS Sans Serif has bitmaps of 13, 16 and 20 pixels only: at the buttons' 11
    // it stood in at 13, wider than the buttons, and its Latin captions came out blank. As
    // Windows does for a size its bitmaps lack, a scalable font of the same design draws them.
    QFont::insertSubstitution("MS Sans Serif", "Tahoma");
    return Count;
  }();
  return Added;
}
