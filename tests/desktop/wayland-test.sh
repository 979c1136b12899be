#!/usr/bin/env bash
# The main window under Wayland (weston): on the headless backend, a screenshot holds the
# window with no pixel of the skin's transparent teal, and exactly as many pixels as the
# skin's opaque part; on weston's X11 backend inside Xvfb, where xdotool can press and drag,
# dragging the body moves the window (the compositor's move). The program cannot place
# itself there, so positions come from screenshots.
# Usage: wayland-test.sh SOURCE_DIR PROGRAM SHOT_DIR
source_dir=$1
program=$2
shots=$3
source "$source_dir/tests/desktop/common.sh"
mkdir -p "$shots"
teal='#008080'
background='#ff00ff'

export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
cat >"$scratch/weston.ini" <<INI
[core]
idle-time=0
[shell]
background-color=0xffff00ff
panel-position=none
locking=false
INI
table_folder "$scratch/work"

# Takes a screenshot of the Wayland screen into $1.
shoot() {
  mkdir -p "$scratch/shot"
  rm -f "$scratch"/shot/wayland-screenshot-*.png
  (cd "$scratch/shot" && weston-screenshooter) >/dev/null 2>&1 || return 1
  local shot
  shot=$(ls "$scratch"/shot/wayland-screenshot-*.png 2>/dev/null | head -1)
  [[ -n $shot ]] && mv "$shot" "$1" || return 1
  # On the X11 backend weston draws Xvfb's pointer into its output: at the output's corner until
  # the pointer first moves into it, then where Xvfb has it. Both places are painted over with the
  # background, so that only the window counts (the skin's own corner there is transparent).
  local Corner="rectangle 0,0 48,48" Pointer=""
  if [[ -n ${DISPLAY:-} ]]; then
    local X=-100 Y=-100
    eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^[XY]=')"
    Pointer="rectangle $((X - 4)),$((Y - 4)) $((X + 36)),$((Y + 36))"
  fi
  convert "$1" -fill "$background" -draw "$Corner" ${Pointer:+-draw "$Pointer"} "$1"
}

# Whether the shell has painted its background over the screen (all but the pointer's sprite,
# which the X11 backend draws).
shell_ready() {
  shoot "$scratch/shell.png" &&
    (($(count_colour "$scratch/shell.png" "$background") >= 800 * 600 - 64 * 64))
}

# Starts weston with the backend $1 on socket $2 (screenshots need its debug protocol) and waits
# for its shell: a window mapped before the shell runs is placed again once it does.
start_weston() {
  logs+=("$scratch/weston-$2.log")
  start weston --backend="$1" --use-pixman --socket="$2" --config="$scratch/weston.ini" \
    --debug --width=800 --height=600 --idle-time=0 --log="$scratch/weston-$2.log"
  wait_for 30 test -S "$XDG_RUNTIME_DIR/$2" || fail "weston ($1) did not start"
  export WAYLAND_DISPLAY=$2
  wait_for 90 shell_ready || fail "weston's shell ($1) never painted the screen"
}

start_program() {
  logs+=("$scratch/program-$WAYLAND_DISPLAY.log")
  (cd "$scratch/work" && HOME=$scratch/home QT_QPA_PLATFORM=wayland SDL_AUDIODRIVER=dummy \
    exec "$program" 2>"$scratch/program-$WAYLAND_DISPLAY.log") &
  started_pids+=($!)
}

# Bounding box of the largest piece of picture $1 that differs from the background: the window.
# After a lost drag weston may draw its pointer where Xvfb's is not, so shoot cannot paint it
# over; it stands apart from the window and is left out here.
window_box() {
  difference_mask "$1" "$background" -define connected-components:verbose=true \
    -connected-components 8 null: |
    awk '$NF == "gray(255)" && $4 > area {area = $4; box = $2} END {print box}'
}

# Takes a screenshot into $1 once the window stands still on screen: more than $2 pixels
# shown and no more than the window's rectangle, in the same place on two shots in a row, and
# with a bounding box that matches the pattern $3 when given (the window may first show larger,
# while the compositor opens it).
screenshot() {
  local shot=$scratch/candidate.png previous=
  local end=$((SECONDS + ${shot_seconds:-90}))
  while ((SECONDS < end)); do
    alive "${started_pids[-1]}" "the program"
    local shown=0
    shoot "$shot" && shown=$((800 * 600 - $(count_colour "$shot" "$background")))
    if ((shown > $2 && shown <= 337 * 362)); then
      local box
      box=$(window_box "$shot")
      # shellcheck disable=SC2053 # $3 is a pattern
      if [[ $box == "$previous" && $box == ${3:-*} ]]; then
        mv "$shot" "$1"
        return 0
      fi
      previous=$box
    fi
    sleep 0.3
  done
  [[ -f $shot ]] && cp "$shot" "${1%.png}-last-seen.png"
  fail "the window never stood still${3:+ at $3} on the Wayland screen (last at ${previous:-none})"
}

skin_pixels=$((337 * 362 - $(count_colour "$source_dir/resources/skin.png" "$teal")))

# Headless: the picture of the window itself.
start_weston headless-backend.so "tessolon-headless-$$"
start_program
screenshot "$shots/wayland.png" $((skin_pixels / 2))
[[ $(count_colour "$shots/wayland.png" "$teal") == 0 ]] || fail "teal pixels on screen (wayland.png)"
shown=$((800 * 600 - $(count_colour "$shots/wayland.png" "$background")))
[[ $shown == "$skin_pixels" ]] || fail "$shown pixels shown for a skin of $skin_pixels"
box=$(bounding_box "$shots/wayland.png" "$background")
[[ $box == 331x359+* ]] || fail "the window's shape spans $box"
end_process "${started_pids[-1]}" || fail "the program (weston headless) did not end on SIGTERM"

# X11 backend in Xvfb: a drag by 80, 60 on the body (its top edge) moves the window with it.
# Xvfb's screen is larger than weston's output so that the pointer can enter weston's window.
start_xvfb 1000x700x24
start_weston x11-backend.so "tessolon-x11-$$"
start_program
# Drags the window from where the screenshot $1 shows it by 80, 60, pressing its body (its top
# edge, 150, 10 into the window; the shape starts one pixel inside), and takes the screenshot
# $2 once it stands at its new place. A press the compositor gets before the window takes moves
# is lost, as a user's would be, and the user presses again from where the window then stands.
drag() {
  local box x y
  box=$(window_box "$1")
  IFS=+ read -r _ x y <<<"$box"
  # Weston's X11 backend follows the pointer by the change from its last position, and may
  # miss a jump into its window (its own pointer then stays behind, and the press lands
  # elsewhere); it takes the position as given when the pointer enters its window from outside.
  xdotool mousemove 900 650
  sleep 0.2
  xdotool mousemove $((x + 149)) $((y + 9))
  sleep 0.2
  xdotool mousedown 1
  for step in $(seq 1 8); do
    xdotool mousemove $((x + 149 + step * 10)) $((y + 9 + step * 60 / 8))
    sleep 0.05
  done
  xdotool mouseup 1
  shot_seconds=$3 screenshot "$2" $((skin_pixels / 2)) "331x359+$((x + 80))+$((y + 60))"
}

# A moved window stands still at its new place within a few seconds even on a busy machine, so a
# drag that has not moved it in 15 s was lost: the user presses again, up to four times.
moved=false
for attempt in 1 2 3 4; do
  screenshot "$shots/wayland-before-drag.png" $((skin_pixels / 2)) '331x359+*'
  if (drag "$shots/wayland-before-drag.png" "$shots/wayland-after-drag.png" 15); then
    moved=true
    break
  fi
  echo "drag $attempt was lost; pressing again"
done
$moved || fail "four drags on the window's body did not move it"
[[ $(count_colour "$shots/wayland-after-drag.png" "$teal") == 0 ]] ||
  fail "teal pixels on screen (wayland-after-drag.png)"
echo "wayland test passed"
