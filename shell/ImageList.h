// A list of pictures read from the window's resources, stepped through by the tray icon.
#pragma once

#include <QImage>
#include <vector>

#include "platform/core/Component.h"

class TImageList : public TComponent {
 public:
  using TComponent::TComponent;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The pictures' file names, in list order; a name that cannot be read gives an empty picture.
  const TStringList& Pictures() const { return FNames; }
  void SetPictures(const TStringList& Names);
  int Count() const { return static_cast<int>(FImages.size()); }
  const QImage& Get(int Index) const { return FImages.at(static_cast<size_t>(Index)); }

 private:
  TStringList FNames;
  std::vector<QImage> FImages;
};
