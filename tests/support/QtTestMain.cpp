// main() for the suites that need a QApplication; offscreen unless the caller chose a platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "tests/support/ScratchFolder.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // Settings the windows keep (QSettings) go to a scratch folder, never the developer's own.
  const TScratchFolder ConfigHome("tessolon-test-config-");
  setenv("XDG_CONFIG_HOME", ConfigHome.Path().c_str(), 1);
  QApplication Application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
