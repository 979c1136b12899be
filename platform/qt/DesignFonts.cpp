#include "platform/qt/DesignFonts.h"

#include <QFontDatabase>
#include <QString>

int AddDesignFonts(const std::string& Folder) {
  static const int Added = [&Folder] {
    int Count = 0;
    for (const char* File : {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"})
      if (QFontDatabase::addApplicationFont(QString::fromStdString(Folder + "/" + File)) >= 0)
        ++Count;
    return Count;
  }();
  return Added;
}
