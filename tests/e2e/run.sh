#!/usr/bin/env bash
# The end-to-end run: the program under Xvfb on the bundled example chart,
# driven with xdotool as a user would. In English: three standard points with
# typed values and a logarithmic Y axis, a click on each data marker, the
# state saved and the list exported as CSV, which must give the chart's data
# within half a pixel. Then in Japanese on the saved state. Screenshots of
# both windows in both languages are kept in BUILD/e2e.
#
#   tests/e2e/run.sh [BUILD]      BUILD: a build folder (default build/debug)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$root/build/debug}" && pwd)"
program="$build/bin/tracemill"
screen="$build/tests/e2e/e2e_screen"
chart="$root/examples/chart.bmp"
data="$root/examples/chart-data.csv"
out="$build/e2e"
for tool in Xvfb xdotool "$program" "$screen"; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out"
work="$(mktemp -d)"
xvfb=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own and a user without settings.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
# -noreset: the server must not restart (and refuse connections for a moment)
# when the first run's program quits and leaves it without clients.
Xvfb ":$display" -screen 0 1400x1000x24 -nolisten tcp -noreset >"$out/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

fail() {
  echo "e2e: $*" >&2
  exit 1
}
pause() { sleep "${1:-0.3}"; }

# The visible window whose name matches, waited for.
window() {
  local id
  for _ in $(seq 100); do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)"
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  fail "no window named $1 among: $(for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do printf '"%s" ' "$(xdotool getwindowname "$w")"; done)"
}

start() {
  "$program" "$@" >>"$out/program.log" 2>&1 &
  app=$!
  main="$(window '^Tracemill$')"
  bench="$(window '^chart\.bmp')"
  # No window manager: the windows are placed side by side by hand.
  xdotool windowsize "$bench" 680 720 windowmove "$bench" 0 0
  xdotool windowmove "$main" 700 0
  pause 1
}

# Opens the n-th menu of a window's menu bar (0: File) and presses the item's key.
menu() {
  xdotool mousemove --window "$1" 20 8 click 1
  pause
  for _ in $(seq "$2"); do xdotool key Right; done
  pause 0.2
  xdotool key "$3"
  pause
}

# Where the chart's pixel (0, 0) lies in the bench window.
offset() {
  pause
  "$screen" find "$bench" "$chart" || fail "the chart is not shown"
}

click() { xdotool mousemove --window "$bench" "$1" "$2" click 1; pause 0.2; }

# Types text into the cell at (x, y) of the standard grid.
cell() {
  click "$1" "$2"
  xdotool key F2 key ctrl+a
  xdotool type --delay 20 "$3"
  xdotool key Return
  pause 0.2
}

# A file dialog is open: its file name, then OK.
answer() {
  pause 1
  xdotool type --delay 10 "$1"
  xdotool key Return
  for _ in $(seq 50); do [ -s "$1" ] && return; sleep 0.1; done
  fail "$1 was not written"
}

shoot() {
  "$screen" shot "$bench" "$out/bench-$1.png"
  "$screen" shot "$main" "$out/main-$1.png"
}

quit() {
  menu "$main" 0 x
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "the program did not end"
  app=""
}

# --- English: calibrate, measure, save, export -----------------------------------
start /ENGLISH "$chart"
menu "$bench" 2 c                   # View: comment bar off
menu "$bench" 2 t                   # View: title bar off
menu "$bench" 3 s                   # Tool: standard points
read -r ox oy < <(offset)
click $((ox + 80)) $((oy + 420))    # the grid shows from the first point on
read -r ox oy < <(offset)
click $((ox + 600)) $((oy + 420))
click $((ox + 80)) $((oy + 40))
# The grid's rows lie above the picture; X and Y are its sixth and seventh column.
values=("0 1" "10 1" "0 1000")
for row in 0 1 2; do
  read -r x y <<<"${values[$row]}"
  cell 228 $((oy - 67 + 18 * row)) "$x"
  cell 308 $((oy - 67 + 18 * row)) "$y"
done
click 300 31                        # Y is log scale
shoot standard-en
menu "$bench" 3 s                   # Tool: standard points off, calibrated
read -r ox oy < <(offset)
# A click on the pixel of each data marker: X = 0 .. 10 on columns 80 .. 600,
# Y = 1 .. 1000 (logarithmic) on rows 420 .. 40.
while IFS=, read -r x y; do
  col=$(awk -v x="$x" 'BEGIN { printf "%d", 80 + 52 * x + 0.5 }')
  row=$(awk -v y="$y" 'BEGIN { printf "%d", 420 - 380 * log(y) / log(10) / 3 + 0.5 }')
  click $((ox + col)) $((oy + row))
done < <(tail -n +2 "$data" | tr -d '\r')
menu "$main" 0 a                    # File: Save All
answer "$work/saved/state.trm"
menu "$main" 0 c                    # File: Save CSV
answer "$work/saved/list.csv"
cp "$work/saved/list.csv" "$work/saved/state.trm" "$out/"
shoot en
quit
[ -s "$XDG_DATA_HOME/Norvale/tracemill/Resume.trm" ] || fail "no Resume.trm at the end"

# The CSV against the chart's data, within half a pixel of each axis.
awk -F, '
  NR == FNR { if (FNR > 1) { gsub("\r", ""); x[FNR - 1] = $1; y[FNR - 1] = $2; n = FNR - 1 } next }
  FNR == 1 { next }
  { gsub("\r", ""); i = FNR - 1; m = i
    dx = ($4 - x[i]) / (10 / 520); dy = (log($5) - log(y[i])) / log(10) / (3 / 380)
    if (dx < 0) dx = -dx; if (dy < 0) dy = -dy
    if (dx > 0.5 || dy > 0.5) { printf "e2e: line %d: (%s, %s) is not (%s, %s)\n", i, $4, $5, x[i], y[i]; bad = 1 } }
  END { if (m != n) { printf "e2e: %d lines collected, %d expected\n", m, n; bad = 1 } exit bad }
' "$data" "$work/saved/list.csv" >&2 || fail "the CSV does not give the chart's data"

# --- Japanese: the saved state ------------------------------------------------------
start /JAPANESE "$work/saved/state.trm"
shoot ja
quit

echo "e2e: passed; screenshots in $out"
