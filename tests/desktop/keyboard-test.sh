#!/usr/bin/env bash
# Both windows driven with the keyboard alone (xdotool on Xvfb; the status and the focus read
# over the accessibility bus). First run: choose the second pest, Alt+G, Alt+S, Alt+E; in the
# dialog step to the next record with >>, change its waveform, Save, Close; Alt+A and Tab to the
# about page's link; Tab to Quit and press it. Second run, beside a notification area: Tab to
# Minimise and press it. Checks the status, the record saved (read back with `tessolon table`),
# and the window unmapped; screenshots of the focus rings go to SHOT_DIR.
# Usage: keyboard-test.sh SOURCE_DIR PROGRAM SHOT_DIR
source_dir=$1
program=$2
shots=$3
source "$source_dir/tests/desktop/common.sh"
mkdir -p "$shots"

start_screen_reader_desktop
logs+=("$scratch/program.log")

reader() { /usr/bin/python3 "$source_dir/tests/desktop/screen_reader.py" "$program_pid" "$@"; }
window_of_program() {
  xwininfo -root -tree | awk '/"Tessolon 3\.0": \("tessolon" "tessolon"\)  337x362/ {print $1}' |
    grep .
}
map_state() { xwininfo -id "$window" | awk '/Map State/ {print $3}'; }
unmapped() { [[ $(map_state) == IsUnMapped ]]; }
start_program() {
  HOME=$scratch/home QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 SDL_AUDIODRIVER=dummy \
    start "$program" 2>"$scratch/program.log"
  program_pid=${started_pids[-1]}
  wait_for 90 window_of_program || fail "the main window did not appear; $(xvfb_state)"
  window=$(window_of_program | head -1)
  reader window "Tessolon 3.0" || fail "the main window is not on the accessibility bus"
  # No window manager: the keyboard goes where the X focus is put.
  xdotool windowfocus --sync "$window"
}
status_is() { [[ $(reader status) =~ ^($1) ]]; }
# The record's fields as `tessolon table list` prints them (number $1, from 1).
record() { "$program" table data/para.dbf list | sed -n "$1p"; }

pest_is() { [[ $(reader text Pest) == "$1" ]]; }

start_program
# The selector is named by the pest it shows, the first at the first start.
reader tab-to "$(record 1 | cut -f3)" || fail "Tab does not reach the pest selector"
# The list is a window of its own: the keys go to it once it is up.
viewable() {
  local count=0 id
  for id in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && count=$((count + 1))
  done
  echo "$count"
}
closed=$(viewable)
xdotool key alt+Down
list_up() { (($(viewable) > closed)); }
wait_for 30 list_up || fail "Alt+Down did not open the pest list"
xdotool key Down Return
reader tab-to "Run" || fail "Tab does not reach Go"
import -window root "$shots/focus-go.png"
xdotool key alt+g
wait_for 30 status_is "RUN|AUDIBLE|QUIET|FAINT|SILENT" || fail "Alt+G left the status $(reader status)"
xdotool key alt+s
wait_for 30 status_is STOP || fail "Alt+S left the status $(reader status)"
reader tab-to "Go to tray" || fail "Tab does not reach Minimise"
import -window root "$shots/focus-minimise.png"

before=$(record 3)
xdotool key alt+e
reader window Adjustment || fail "Alt+E did not open the dialog"
second=$(record 2 | cut -f3)
[[ $(reader text Pest) == "$second" ]] ||
  fail "the dialog shows the pest $(reader text Pest), not the one chosen with the keys ($second)"
reader tab-to ">>" || fail "Tab does not reach >> in the dialog"
xdotool key space
third=$(record 3 | cut -f3)
wait_for 30 pest_is "$third" || fail ">> did not step to the third record"
reader tab-to "WAVE Form" || fail "Tab does not reach the waveform"
xdotool key Down
reader tab-to "Save" || fail "Tab does not reach Save"
import -window root "$shots/focus-save.png"
xdotool key Return
# The confirmation box takes the focus on its OK button; Enter closes it.
reader tab-to "OK" || fail "no confirmation after Save"
xdotool key Return
saved() { [[ $(record 3) != "$before" ]]; }
wait_for 30 saved || fail "Save left record 3 as it was: $before"
reader tab-to "Close" || fail "Tab does not reach Close in the dialog"
xdotool key space
reader window "Tessolon 3.0" || fail "Close did not bring the main window back"
xdotool windowfocus --sync "$window"
xdotool key alt+a
reader window Adjustment || fail "Alt+A did not open the dialog"
reader tab-to "tessolon.test" || fail "Tab does not reach the about page's link"
import -window root "$shots/focus-link.png"
# The tab bar, named by its current page, goes back to the set-up page with Left.
reader tab-to "About Box" || fail "Tab does not reach the page tabs"
xdotool key Left
reader tab-to "Close" || fail "Tab does not reach Close from the about page"
xdotool key Return
reader window "Tessolon 3.0" || fail "Close did not bring the main window back"
xdotool windowfocus --sync "$window"
reader tab-to "Go to tray" || fail "Tab does not reach Minimise"
xdotool key Tab space
ended() { ! running "$program_pid"; }
wait_for 30 ended || fail "Tab past Minimise and Space did not quit"

# Second run: beside a notification area, Minimise hides the window behind the tray icon.
start trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
  --transparent false --tint 0x404040
wait_for 30 xdotool search --class trayer || fail "trayer did not start"
start_program
reader tab-to "Go to tray" || fail "Tab does not reach Minimise"
xdotool key space
wait_for 30 unmapped || fail "Minimise by the keys left the window $(map_state)"
alive "$program_pid" "the minimised program"
echo "keyboard test passed"
