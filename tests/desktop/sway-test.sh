#!/usr/bin/env bash
# The main window on a tiling Wayland compositor with a StatusNotifierItem tray: sway (on its X11
# backend inside Xvfb, where xdotool can click) with waybar's tray. The program starts with
# --minimized --go before the panel, as a session's autostart may. Without a tray (and with no
# minimised state on sway) the window floats at its own size without a border, and Minimise
# leaves it there; once waybar starts, the icon joins its tray and the window goes behind it; a
# right click on the icon opens the menu waybar draws from the program's D-Bus menu, "Show Win"
# brings the window back and Minimise hides it again. sway refuses to run as root, so the
# session runs under an unprivileged user id with its own runtime folder and its own session
# bus. Usage: sway-test.sh SOURCE_DIR PROGRAM SHOT_DIR
source_dir=$1
program=$2
shots=$3
source "$source_dir/tests/desktop/common.sh"
mkdir -p "$shots"
background='#ff00ff'

session=$scratch/session
mkdir -m 700 "$session"
table_folder "$scratch/work"
# The program and the windows module it loads from beside itself, where the session's user can
# read them whatever the permissions of the build folder.
mkdir "$scratch/bin"
cp "$program" "$(dirname "$program")/tessolon-windows.so" "$scratch/bin/"
user=()
if ((EUID == 0)); then
  chown -R 65534:65534 "$session" "$scratch/work"
  chmod 755 "$scratch" "$scratch/bin"
  user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
cat >"$session/sway.conf" <<CONF
output * resolution 800x600 bg $background solid_color
CONF
cat >"$session/waybar.json" <<'JSON'
{"layer": "top", "position": "top", "height": 26, "modules-right": ["tray"],
 "tray": {"icon-size": 20, "spacing": 4}}
JSON

start_xvfb 800x600x24 -ac
logs+=("$scratch/sway.log" "$session/program.log" "$session/waybar.log" "$scratch/bus.log")
# The session's bus is the test's own process, so that the clean-up ends it, and with it the
# accessibility bus that the program's toolkit has it start. (Under dbus-run-session, ended by
# the clean-up's SIGTERM, both buses outlived the test.)
bus=unix:path=$session/bus
start "${user[@]}" dbus-daemon --session --nofork --address="$bus" 2>"$scratch/bus.log"
wait_for 30 test -S "$session/bus" || fail "the session bus did not start"
start "${user[@]}" env -i PATH=/usr/bin:/bin HOME="$session" XDG_RUNTIME_DIR="$session" \
  DISPLAY="$DISPLAY" WLR_BACKENDS=x11 WLR_RENDERER=pixman WLR_X11_OUTPUTS=1 \
  DBUS_SESSION_BUS_ADDRESS="$bus" sway -c "$session/sway.conf" >"$scratch/sway.log" 2>&1
sway_socket() { compgen -G "$session/sway-ipc.*.sock"; }
wait_for 60 sway_socket || fail "sway did not start"
# Runs a command in the session: as its user, on its display and its bus.
in_session() {
  "${user[@]}" env -i PATH=/usr/bin:/bin HOME="$session" XDG_RUNTIME_DIR="$session" \
    WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$(sway_socket)" DBUS_SESSION_BUS_ADDRESS="$bus" "$@"
}
trap 'in_session swaymsg -q exit >/dev/null 2>&1 || true; cleanup' EXIT

# The program's window as sway has it: "type x y width height visible border", or nothing.
window() {
  in_session swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("app_id") == "org.veldran.Tessolon":
        r = n["rect"]
        print(n["type"], r["x"], r["y"], r["width"], r["height"], n["visible"], n["border"])
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))'
}
shoot() { in_session grim "$session/shot.png" && cp "$session/shot.png" "$1"; }

in_session swaymsg -q "exec cd $scratch/work && QT_QPA_PLATFORM=wayland SDL_AUDIODRIVER=dummy \
  $scratch/bin/tessolon --minimized --go gecko 2>$session/program.log"
shown() { [[ $(window) == *" True "* ]]; }
wait_for 90 shown || fail "the window did not appear"
read -r type x y width height _ border <<<"$(window)"
[[ $type == floating_con && $width == 337 && $height == 362 && $border =~ ^(csd|none)$ ]] ||
  fail "the window is $(window), not floating at 337x362 without a border"
sleep 1
shoot "$shots/sway-floating.png"
# Without a tray, and with no minimised state on sway, Minimise leaves the window where it is:
# nothing else could bring it back.
xdotool mousemove $((x + 9)) $((y + 305)) click 1
sleep 1
shown || fail "without a tray Minimise took the window away ($(window))"

# The panel comes up after the program; the icon joins its tray and the window, asked to start
# there, goes behind it.
in_session swaymsg -q "exec waybar -c $session/waybar.json >$session/waybar.log 2>&1"
registered() {
  in_session busctl --user get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems | grep -q StatusNotifierItem
}
wait_for 60 registered || fail "the icon never joined waybar's tray"
hidden() { [[ $(window) != *" True "* ]]; }
wait_for 30 hidden || fail "the tray's arrival left the --minimized window $(window)"

# The icon is the tray's only one, at the bar's right end. waybar draws the menu it reads over
# D-Bus below it.
xdotool mousemove 780 13 click 3
# The menu waybar draws is white: its bounding box below and left of the icon.
menu_box=
menu_open() {
  shoot "$scratch/menu.png" &&
    menu_box=$(convert "$scratch/menu.png" -crop 300x200+500+0 +repage -fuzz 5% -fill black \
      +opaque white -trim -format '%wx%h%O' info:) &&
    [[ $menu_box =~ ^([0-9]+)x([0-9]+) ]] && ((BASH_REMATCH[1] > 60 && BASH_REMATCH[2] > 60))
}
wait_for 20 menu_open || fail "a right click on the icon opened no menu (last: $menu_box)"
cp "$scratch/menu.png" "$shots/sway-tray-menu.png"
IFS=+ read -r _ mx my <<<"$menu_box"
# "Show Win" is the first item.
xdotool mousemove $((500 + mx + 40)) $((my + 16)) click 1
wait_for 10 shown || fail "Show Win did not bring the window back ($(window))"
read -r type x y width height _ <<<"$(window)"
[[ $type == floating_con && $width == 337 && $height == 362 ]] ||
  fail "the window came back as $(window)"
# It comes back under the bar's exclusive zone.
((y >= 26)) || fail "the window came back over waybar's bar ($(window))"

# Minimise (the small button at 9, 305): with a tray the window goes behind the icon.
xdotool mousemove $((x + 9)) $((y + 305)) click 1
wait_for 10 hidden || fail "with waybar's tray Minimise left the window $(window)"
echo "sway test passed"
