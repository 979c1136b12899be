#include "shell/ImageList.h"

#include "platform/qt/StdCtrls.h"

void TImageList::SetPictures(const TStringList& Names) {
  FNames = Names;
  FImages.clear();
  for (const std::string& Name : Names) FImages.push_back(LoadPicture(Name));
}
