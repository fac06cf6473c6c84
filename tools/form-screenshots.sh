#!/bin/bash
# Screenshots of the sample form (apps/form_preview) of both builds, each tab
# page once, on a virtual display: build/screenshots/form-{linux,windows}-<page>.png.
# Usage: tools/form-screenshots.sh [linux build folder] [windows build folder]
set -u
cd "$(dirname "$0")/.."
linux_build=${1:-build/linux}
windows_build=${2:-build/windows}
out=build/screenshots
mkdir -p "$out"
work=$(mktemp -d /tmp/quillreel-form-shots.XXXXXX)
status=0
# The form is placed at (40, 40) and is 440 x 360 inside its frame.
crop=540x460+0+0

start_display() {
  exec 8<> "$work/display"
  Xvfb -displayfd 8 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    n=$(head -1 "$work/display" 2>/dev/null)
    [ -n "$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}

cleanup() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# shoot <name> <page> <delay> <command...>: starts the preview, waits, saves the screen, stops it.
shoot() {
  local name=$1 page=$2 delay=$3
  shift 3
  QUILLREEL_FORM_PAGE=$page "$@" >"$work/$name.log" 2>&1 &
  local pid=$!
  sleep "$delay"
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "$name: the preview ended before the screenshot:" >&2
    cat "$work/$name.log" >&2
    status=1
    return
  fi
  import -window root -crop "$crop" +repage "$out/$name.png"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  echo "wrote $out/$name.png"
}

start_display
if [ -x "$linux_build/bin/form_preview" ]; then
  for page in 0 1 2; do shoot "form-linux-$page" "$page" 2 env QT_QPA_PLATFORM=xcb "$linux_build/bin/form_preview"; done
else
  echo "no $linux_build/bin/form_preview (cmake --build $linux_build --target form_preview)" >&2
  status=1
fi
if [ -f "$windows_build/bin/form_preview.exe" ]; then
  . tools/wine-env.sh "$windows_build"
  wine_start
  for page in 0 1 2; do
    # Wine's own desktop window gives the form a frame with its title (Xvfb has no window manager).
    shoot "form-windows-$page" "$page" 5 wine explorer /desktop=forms,1024x768 "$windows_build/bin/form_preview.exe"
    wineserver -k >/dev/null 2>&1
  done
else
  echo "no $windows_build/bin/form_preview.exe (cmake --build $windows_build --target form_preview)" >&2
  status=1
fi
exit $status
