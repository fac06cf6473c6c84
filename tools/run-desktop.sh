#!/bin/sh
# Starts the Linux desktop program of a build (default build/linux). It needs a
# display: without one it says how to start it anyway and fails.
build=${1:-build/linux}
program="$build/bin/quillreel"
if [ ! -x "$program" ]; then
  echo "run-desktop: no program at $program; build it first (make linux)." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<MSG
run-desktop: no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the
window of $program cannot open. Either
  - start it on a virtual X display:  xvfb-run -a make run
  - or without any display at all:    QT_QPA_PLATFORM=offscreen make run
  - or look at it as pictures:        tools/screenshot.sh   (PNGs in build/screenshots/)
MSG
  exit 2
fi
if [ -n "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ] &&
  command -v xdpyinfo >/dev/null 2>&1 && ! xdpyinfo >/dev/null 2>&1; then
  echo "run-desktop: the display DISPLAY=$DISPLAY does not answer; start it with: xvfb-run -a make run" >&2
  exit 2
fi
echo "run-desktop: starting $program (settings and queue in ${QUILLREEL_PROGRAM_FOLDER:-$(dirname "$program")})"
exec "$program"
