#!/usr/bin/env bash
# The real program on a real X server: switch to the single-point page, compute, copy,
# read the X clipboard; paste two spreadsheet columns into the batch table from the X
# clipboard, compute, copy the result list; then exit through the farewell box. Skips (77) only when no X
# server can be started here.
set -uo pipefail
program=${1:?usage: end_to_end.sh PATH_TO_KARTOVEL}

for tool in xdotool xclip; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (the test command installs it)"; exit 1; }
done
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed, no X server can start"; exit 77; }

work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "SKIP: no X server could start here"; cat "$work/xvfb.log"; exit 77; }
export DISPLAY=:$(head -n1 "$work/display")
unset QT_QPA_PLATFORM

"$program" >"$work/program.log" 2>&1 &
app=$!
window=""
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --name '^KartovelV1\.21' 2>/dev/null | head -n1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: the window did not appear"; cat "$work/program.log"; exit 1; }

# Points in window coordinates: the pages' client area starts at (2, 21) below the tabs;
# each point is the centre of a control (page position + half its size).
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.3; }
click 30 10      # tab "單點轉換"
click 422 185    # Button1 "計算": page 288,152, 265 x 25
click 421 353    # Button4 "剪貼": GroupBox2 240,208 + 142,112, 75 x 25
# The clicks are handled in order but asynchronously: waits up to 10 s for the clipboard
# to hold $1, and fails with $2 when it does not.
expect_clipboard() {
  local copied=""
  for _ in $(seq 100); do
    copied=$(xclip -o -selection clipboard 2>/dev/null || true)
    [ "$copied" = "$1" ] && return 0
    sleep 0.1
  done
  echo "FAIL: $2 '$copied', expected '$1'"; exit 1
}
expect_clipboard "120.97388,23.975644" "clipboard holds"

# Two columns as a spreadsheet copies them, pasted on the batch table and computed.
printf '247342\t2652335\r\n250000\t2600000\r\n' | xclip -selection clipboard
click 90 10      # tab "匹次轉換"
click 358 107    # StringGrid1: GroupBox3 240,8 + 16,48, a cell of column 1
xdotool key --window "$window" ctrl+v; sleep 0.3
click 414 241    # Button5 "計算": page 240,208, 345 x 25
click 418 325    # Memo2: GroupBox4 240,240 + 16,16, 321 x 97
xdotool key --window "$window" ctrl+a ctrl+c
expect_clipboard $'120.97388 23.97564\n121 23.50307' "pasted and computed, the list holds"
click 30 10      # back to "單點轉換"

click 517 353    # Button2 "結束": GroupBox2 240,208 + 238,112, 75 x 25
box=""
for _ in $(seq 100); do
  box=$(xdotool search --onlyvisible --name '^Kartovel$' 2>/dev/null | head -n1)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || { echo "FAIL: no farewell box"; exit 1; }
xdotool windowfocus --sync "$box" key Return
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "FAIL: still running after the farewell box"; exit 1; fi
wait "$app"; status=$?
app=""
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; cat "$work/program.log"; exit 1; }
echo "PASS: clipboard and pasted batch as expected, exit status 0"
