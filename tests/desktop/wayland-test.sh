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

# Starts weston with the backend $1 on socket $2 (screenshots need its debug protocol).
start_weston() {
  logs+=("$scratch/weston-$2.log")
  start weston --backend="$1" --use-pixman --socket="$2" --config="$scratch/weston.ini" \
    --debug --width=800 --height=600 --idle-time=0 --log="$scratch/weston-$2.log"
  wait_for 30 test -S "$XDG_RUNTIME_DIR/$2" || fail "weston ($1) did not start"
  export WAYLAND_DISPLAY=$2
}

start_program() {
  logs+=("$scratch/program-$WAYLAND_DISPLAY.log")
  (cd "$scratch/work" && HOME=$scratch/home QT_QPA_PLATFORM=wayland SDL_AUDIODRIVER=dummy \
    exec "$program" 2>"$scratch/program-$WAYLAND_DISPLAY.log") &
  started_pids+=($!)
}

# Takes a screenshot into $1 once the window stands still on screen: more than $2 pixels
# shown and no more than the window's rectangle, in the same place on two shots in a row.
screenshot() {
  local shot previous=
  mkdir -p "$scratch/shot"
  local end=$((SECONDS + 90))
  while ((SECONDS < end)); do
    alive "${started_pids[-1]}" "the program"
    rm -f "$scratch"/shot/wayland-screenshot-*.png
    (cd "$scratch/shot" && weston-screenshooter) >/dev/null 2>&1 || true
    shot=$(ls "$scratch"/shot/wayland-screenshot-*.png 2>/dev/null | head -1)
    # Until the shell has painted its background the whole screen counts as shown.
    local shown=0
    [[ -n $shot ]] && shown=$((800 * 600 - $(count_colour "$shot" "$background")))
    if ((shown > $2 && shown <= 337 * 362)); then
      local box
      box=$(bounding_box "$shot" "$background")
      if [[ $box == "$previous" ]]; then
        mv "$shot" "$1"
        return 0
      fi
      previous=$box
    fi
    sleep 0.3
  done
  fail "the window never stood still on the Wayland screen"
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
kill "${started_pids[-1]}"

# X11 backend in Xvfb: a drag by 80, 60 on the body (its top edge) moves the window with it.
start_xvfb 800x600x24
start_weston x11-backend.so "tessolon-x11-$$"
start_program
screenshot "$shots/wayland-before-drag.png" $((skin_pixels / 2))
box=$(bounding_box "$shots/wayland-before-drag.png" "$background")
IFS=+ read -r _ x y <<<"$box"
# The shape starts one pixel inside the window; press 150, 10 into the window.
xdotool mousemove $((x + 149)) $((y + 9)) mousedown 1
for step in $(seq 1 8); do
  xdotool mousemove $((x + 149 + step * 10)) $((y + 9 + step * 60 / 8))
  sleep 0.05
done
xdotool mouseup 1
sleep 0.5
screenshot "$shots/wayland-after-drag.png" $((skin_pixels / 2))
moved=$(bounding_box "$shots/wayland-after-drag.png" "$background")
[[ $moved == "331x359+$((x + 80))+$((y + 60))" ]] ||
  fail "the drag moved the window from $box to $moved, not by 80, 60"
[[ $(count_colour "$shots/wayland-after-drag.png" "$teal") == 0 ]] ||
  fail "teal pixels on screen (wayland-after-drag.png)"
echo "wayland test passed"
