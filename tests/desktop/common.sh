# Shared by the desktop tests: failing with a message, scratch folders, an X server of their own
# and pixel counts on screenshots. Every process a test starts is ended by its id on exit.
set -euo pipefail

started_pids=()
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tessolon-desktop.XXXXXX")
# What the tests start keeps its temporary files and its runtime state (dconf, sockets) in the
# scratch folder too: lintian's caches, a toolkit's settings.
mkdir -m 700 "$scratch/tmp" "$scratch/run"
export TMPDIR=$scratch/tmp XDG_RUNTIME_DIR=$scratch/run

# True while process $1 runs (a child that has ended but is not yet waited for does not).
running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

# Ends process $1 with SIGTERM, and with SIGKILL when it is still there $2 seconds (10) later,
# which returns 1: a process that does not end must not hold the test until ctest's timeout.
end_process() {
  local end=$((SECONDS + ${2:-10})) status=0
  kill "$1" 2>/dev/null || true
  while running "$1"; do
    if ((SECONDS >= end)); then
      kill -KILL "$1" 2>/dev/null || true
      status=1
      break
    fi
    sleep 0.1
  done
  wait "$1" 2>/dev/null || true
  return $status
}

cleanup() {
  local pid name
  for pid in "${started_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${started_pids[@]}"; do
    name=$(ps -o comm= -p "$pid" 2>/dev/null) || true
    end_process "$pid" || echo "$name ($pid) was killed: SIGTERM did not end it" >&2
  done
  rm -rf "$scratch"
}
trap cleanup EXIT

# Logs shown when a test fails (the program's and the servers' output).
logs=()

fail() {
  echo "FAIL: $*" >&2
  local log
  for log in "${logs[@]}"; do
    [[ -s $log ]] && { echo "--- $log" >&2; tail -20 "$log" >&2; }
  done
  exit 1
}

# Runs "$@" in the background and remembers it for the clean-up.
start() {
  "$@" &
  started_pids+=($!)
}

# Waits up to $1 seconds for the command after it to succeed (generous: the machine may be
# busy with builds).
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}

# Starts Xvfb on a display it picks itself (so that tests may run side by side) and exports
# DISPLAY. Arguments after the screen size go to Xvfb.
# -noreset: by default the server resets whenever its last client leaves, and refuses the
# connections that arrive meanwhile. The tests' short-lived clients (xdpyinfo, xwininfo polling
# for a window) made it reset many times a second while the program started, and the program's
# own connection was refused now and then ("could not connect to display").
start_xvfb() {
  logs+=("$scratch/xvfb.log")
  start Xvfb -displayfd 3 -screen 0 "${1:-800x600x24}" -nolisten tcp -noreset "${@:2}" \
    3>"$scratch/display" 2>"$scratch/xvfb.log"
  local pid=${started_pids[-1]}
  xvfb_pid=$pid
  wait_for 30 test -s "$scratch/display" || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$scratch/display")"
  wait_for 30 xdpyinfo || fail "Xvfb $DISPLAY does not answer"
  kill -0 "$pid" 2>/dev/null || fail "Xvfb $DISPLAY ended"
}

# What the X server of start_xvfb is doing, for a failure message: whether it runs and answers,
# and who holds its display's sockets.
xvfb_state() {
  local pid=$xvfb_pid state=ended
  running "$pid" && state="running (pid $pid)"
  xdpyinfo >/dev/null 2>&1 && state+=", answers" || state+=", does not answer"
  echo "Xvfb $DISPLAY $state; sockets: $(ls /tmp/.X11-unix 2>&1 | tr '\n' ' ')"
}

# Fails unless process $1 (named $2) still runs; says how it ended.
alive() {
  kill -0 "$1" 2>/dev/null && return 0
  local status=0
  wait "$1" 2>/dev/null || status=$?
  fail "$2 ended (exit status $status)"
}

# Picture $1 as a mask: white where a pixel differs from colour $2 (#rrggbb), black where equal.
difference_mask() {
  convert "$1" -alpha off \( +clone -fill "$2" -colorize 100 \) -compose difference -composite \
    -colorspace gray -threshold 0 "${@:3}"
}

# Number of pixels of colour $2 in picture $1.
count_colour() {
  difference_mask "$1" "$2" -negate -format '%[fx:round(mean*w*h)]' info:
}

# Bounding box "WxH+X+Y" of the pixels of picture $1 that differ from colour $2.
bounding_box() {
  difference_mask "$1" "$2" -trim -format '%wx%h%O' info:
}

# A folder with a copy of the shipped pest table, for programs started in it.
table_folder() {
  mkdir -p "$1/data"
  cp "$source_dir/data/para.dbf" "$source_dir/data/idx.ndx" "$1/data/"
}

# Starts a session bus of the test's own (the clean-up ends it, and with it the accessibility bus
# that a program's toolkit has it start) and exports its address.
start_session_bus() {
  local bus=$scratch/run/bus
  logs+=("$scratch/bus.log")
  start dbus-daemon --session --nofork --address="unix:path=$bus" 2>"$scratch/bus.log"
  wait_for 30 test -S "$bus" || fail "the session bus did not start"
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$bus
}

# What a screen reader's test needs: the accessibility bus's tools (failing, not skipping, without
# them), an X server, a session bus, and a working folder holding a copy of the pest table, made
# the current one.
start_screen_reader_desktop() {
  [[ -x /usr/libexec/at-spi-bus-launcher ]] || fail "at-spi2-core is not installed"
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is not installed"
  start_xvfb 800x600x24
  start_session_bus
  table_folder "$scratch/work"
  cd "$scratch/work"
}
