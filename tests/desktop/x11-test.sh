#!/usr/bin/env bash
# The main window under X11 (Xvfb, no window manager, no notification area at first): shaped,
# no pixel of the skin's transparent teal on screen, moved by dragging its body; Minimise
# leaves it reachable; a notification area started later gets the icon, and Minimise then
# hides the window behind it. Started with --minimized --go before any tray (as a session's
# autostart may), the window waits minimised and goes behind the icon when a tray comes up,
# comes back when it goes; started so while the tray is up, the window is never shown.
# Usage: x11-test.sh SOURCE_DIR PROGRAM SHOT_DIR
source_dir=$1
program=$2
shots=$3
source "$source_dir/tests/desktop/common.sh"
mkdir -p "$shots"
teal='#008080'

start_xvfb 800x600x24
table_folder "$scratch/work"
cd "$scratch/work"
logs+=("$scratch/program.log")
HOME=$scratch/home QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy start "$program" 2>"$scratch/program.log"
# The main window: the program's mapped top-level of the skin's size.
window_of_program() {
  xwininfo -root -tree | awk '/"Tessolon 3\.0": \("tessolon" "tessolon"\)  337x362/ {print $1}' |
    grep .
}
program_pid=${started_pids[-1]}
wait_for 90 window_of_program ||
  fail "the main window did not appear; windows: $(xwininfo -root -tree | grep -i tessolon); $(xvfb_state)"
window=$(window_of_program | head -1)

position() { xdotool getwindowgeometry "$window" | awk '/Position/ {print $2}'; }
map_state() { xwininfo -id "$window" | awk '/Map State/ {print $3}'; }

# The window maps before it paints: shoot the screen until it shows the window.
skin_pixels=$(( 337 * 362 - $(count_colour "$source_dir/resources/skin.png" "$teal") ))
shown=0
painted() {
  import -window root "$shots/x11.png" &&
    shown=$(( 800 * 600 - $(count_colour "$shots/x11.png" '#000000') )) &&
    (( shown > skin_pixels * 9 / 10 ))
}
wait_for 90 painted || fail "the window was never painted ($shown pixels shown)"
[[ $(count_colour "$shots/x11.png" "$teal") == 0 ]] || fail "teal pixels on screen (x11.png)"
# The screen outside the shape stays black: the window covers exactly the skin's opaque part.
(( shown <= skin_pixels )) || fail "$shown pixels shown for a skin of $skin_pixels"

alive "$program_pid" "the program"

# Drag the body (the picture's top edge) by 60, 40.
IFS=, read -r x y <<<"$(position)"
xdotool mousemove $((x + 150)) $((y + 10)) mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove $((x + 150 + step * 10)) $((y + 10 + step * 40 / 6))
  sleep 0.05
done
xdotool mouseup 1
at() { [[ $(position) == "$1" ]]; }
wait_for 10 at "$((x + 60)),$((y + 40))" ||
  fail "the drag moved the window from $x,$y to $(position), not by 60,40"

# Minimise (the small button at 2, 298): without a tray the window stays reachable.
IFS=, read -r x y <<<"$(position)"
xdotool mousemove $((x + 9)) $((y + 305)) click 1
sleep 2
state=$(map_state)
wm_state=$(xprop -id "$window" WM_STATE 2>/dev/null || true)
[[ $state == IsViewable || $wm_state == *Iconic* ]] ||
  fail "after Minimise without a tray the window is $state ($wm_state)"
import -window root "$shots/x11-minimised.png"

# A notification area comes up; within the poll interval the icon docks into it.
start_trayer() {
  start trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
    --transparent false --tint 0x404040
  trayer_pid=${started_pids[-1]}
  wait_for 30 xdotool search --class trayer || fail "trayer did not start"
}
start_trayer
# The icon's window lies inside one of trayer's once it has docked.
docked() {
  local w
  for w in $(xdotool search --class trayer); do
    xwininfo -tree -id "$w" | grep -q '"Tessolon 3\.0": ("tessolon"' && return 0
  done
  return 1
}
wait_for 30 docked || fail "no icon docked into the notification area"
sleep 0.5
import -window root "$shots/x11-tray.png"

# With a tray, Minimise hides the window behind the icon.
xdotool mousemove $((x + 9)) $((y + 305)) click 1
wait_for 10 bash -c "[[ \$(xwininfo -id $window | awk '/Map State/ {print \$3}') == IsUnMapped ]]" ||
  fail "with a tray Minimise left the window $(map_state)"

# A right click on the icon opens one menu (the toolkit's, at the click, not a second one of the
# program's), and its first item, "Show Win", brings the window back.
icon_of_program() {
  local w
  for w in $(xdotool search --class trayer); do
    xwininfo -tree -id "$w" | awk '/"Tessolon 3\.0": \("tessolon"/ {print $1}'
  done | head -1
}
eval "$(xdotool getwindowgeometry --shell "$(icon_of_program)")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
# The program's mapped top-level windows other than the main one: its open menus.
menus() {
  local w
  for w in $(xdotool search --onlyvisible --classname tessolon); do
    ((w != window)) && xwininfo -root -children | grep -q "^ *$(printf '0x%x' "$w") " && echo "$w"
  done
  return 0
}
menu_open() { [[ -n $(menus) ]]; }
wait_for 10 menu_open || fail "a right click on the icon opened no menu"
sleep 0.5
open_menus=$(menus)
[[ $(wc -w <<<"$open_menus") == 1 ]] || fail "a right click on the icon opened $(wc -w <<<"$open_menus") menus"
import -window root "$shots/x11-tray-menu.png"
eval "$(xdotool getwindowgeometry --shell "$open_menus")"
xdotool mousemove $((X + WIDTH / 3)) $((Y + 10)) click 1
wait_for 10 bash -c "[[ \$(xwininfo -id $window | awk '/Map State/ {print \$3}') == IsViewable ]]" ||
  fail "Show Win left the window $(map_state)"

# Quit; the panel goes too. Started as the session's autostart entry does, before the panel,
# naming a pest: with no tray the window waits minimised, reachable (without a window manager
# that leaves it on screen); the tray's arrival takes it behind the icon, its going brings the
# window back and its return takes it again.
end_process "$program_pid" || fail "the program did not end on SIGTERM"
gone() { ! window_of_program; }
wait_for 30 gone || fail "the first program's window stayed after it ended"
end_process "$trayer_pid" || fail "trayer did not end on SIGTERM"
start_minimized() {
  HOME=$scratch/home QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy start "$program" --minimized \
    --go gecko 2>"$scratch/program.log"
  program_pid=${started_pids[-1]}
  wait_for 90 window_of_program || fail "the --minimized program made no main window"
  window=$(window_of_program | head -1)
}
start_minimized
viewable() { [[ $(map_state) == IsViewable ]]; }
hidden() { [[ $(map_state) == IsUnMapped ]]; }
wait_for 30 viewable || fail "--minimized without a tray left the window $(map_state)"
start_trayer
wait_for 30 docked || fail "no icon docked for the --minimized program when the tray came up"
wait_for 30 hidden || fail "the tray's arrival left the --minimized window $(map_state)"
end_process "$trayer_pid" || fail "trayer did not end on SIGTERM"
wait_for 30 viewable || fail "the tray's going left the window $(map_state)"
start_trayer
wait_for 30 hidden || fail "the tray's return left the window $(map_state)"
alive "$program_pid" "the --minimized program"

# Started again while the tray is up, the program goes behind its icon without ever showing its
# window: every top-level window mapped from its start on is logged.
end_process "$program_pid" || fail "the --minimized program did not end on SIGTERM"
wait_for 30 gone || fail "the --minimized program's window stayed after it ended"
logs+=("$scratch/maps.log")
start /usr/bin/python3 "$source_dir/tests/desktop/map-log.py" >"$scratch/maps.log"
wait_for 30 grep -qx ready "$scratch/maps.log" || fail "the map listener did not start"
start_minimized
wait_for 30 docked || fail "no icon docked for the --minimized program"
wait_for 30 hidden || fail "--minimized with a tray left the window $(map_state)"
# A right click on the icon opens its menu: the program's loop runs, past its start, so a
# showing of the window at the start would be in the log by now.
eval "$(xdotool getwindowgeometry --shell "$(icon_of_program)")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
wait_for 10 menu_open || fail "a right click on the --minimized program's icon opened no menu"
hidden || fail "the --minimized window came back: $(map_state)"
alive "$program_pid" "the --minimized program"
! grep -qix "$window" "$scratch/maps.log" ||
  fail "the --minimized window was mapped before it went behind the icon"
import -window root "$shots/x11-minimized-start.png"
# "Show Win" brings the never shown window to the screen, painted.
eval "$(xdotool getwindowgeometry --shell "$(menus)")"
xdotool mousemove $((X + WIDTH / 3)) $((Y + 10)) click 1
wait_for 10 viewable || fail "Show Win left the never shown window $(map_state)"
wait_for 30 painted || fail "the never shown window was not painted once shown ($shown pixels)"
echo "x11 test passed"
