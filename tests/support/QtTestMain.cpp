// main() for the suites that need a QApplication; offscreen unless the caller chose a platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // Settings the windows keep (QSettings) go to a scratch folder, never the developer's own.
  char ConfigHome[] = "/tmp/tessolon-test-config-XXXXXX";
  const bool Scratch = mkdtemp(ConfigHome) != nullptr;
  if (Scratch) setenv("XDG_CONFIG_HOME", ConfigHome, 1);
  QApplication Application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  const int Result = RUN_ALL_TESTS();
  std::error_code Ignored;
  if (Scratch) std::filesystem::remove_all(ConfigHome, Ignored);
  return Result;
}
