#!/usr/bin/env bash
# Both windows as a screen reader reads them: the real accessibility bus (at-spi2-core) on a
# session bus of the test's own, the program on Xvfb (the offscreen platform has no bridge to the
# bus), walked with pyatspi. The buttons are push buttons with a Press action and a name, the
# status is a status bar named by what it shows, pictures that only decorate are not shown to it;
# Go, Stop and Set-up are pressed through their actions, and the status's new name is heard as
# the event a screen reader announces. The trees read go to SHOT_DIR.
# Usage: screen-reader-test.sh SOURCE_DIR PROGRAM SHOT_DIR
source_dir=$1
program=$2
shots=$3
source "$source_dir/tests/desktop/common.sh"
mkdir -p "$shots"

start_screen_reader_desktop
logs+=("$scratch/program.log")
HOME=$scratch/home QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 SDL_AUDIODRIVER=dummy \
  start "$program" 2>"$scratch/program.log"
program_pid=${started_pids[-1]}
/usr/bin/python3 "$source_dir/tests/desktop/screen_reader.py" "$program_pid" check "$shots" ||
  fail "the windows as a screen reader reads them (trees in $shots)"
alive "$program_pid" "the program"
echo "screen reader test passed"
