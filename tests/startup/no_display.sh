#!/usr/bin/env bash
# Kartovel started on the X11 platform with no display, and with a display that does not
# exist: one line saying that it needs a graphical desktop, exit status 1 (not Qt's
# abort, 134).
set -uo pipefail
program=${1:?usage: no_display.sh PATH_TO_KARTOVEL}
expected='Kartovel 需要圖形桌面，但無法開啟顯示器：請在桌面環境中啟動它。 / Kartovel needs a graphical desktop, but no display could be opened: start it from a desktop session.'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
run() {  # name, then the environment changes for env
  local name=$1
  shift
  env "$@" QT_QPA_PLATFORM=xcb "$program" >"$work/out" 2>"$work/err" </dev/null
  local status=$?
  local output
  output=$(cat "$work/out" "$work/err")
  if [ "$status" -ne 1 ] || [ "$output" != "$expected" ]; then
    echo "FAIL ($name): exit status $status, output:"
    cat "$work/out" "$work/err"
    failed=1
  else
    echo "ok ($name)"
  fi
}
run "DISPLAY unset" -u DISPLAY -u WAYLAND_DISPLAY
run "no such display" -u WAYLAND_DISPLAY DISPLAY=:4711
exit $failed
