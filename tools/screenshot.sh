#!/bin/bash
# Screenshots of the real main window of both builds, each page once, on a
# virtual display: build/screenshots/{linux,windows}-{queue,log}.png; the
# new-task and options windows over it, {linux,windows}-{new-task,options}.png;
# a download in progress from a slow stream served on 127.0.0.1,
# {linux,windows}-download.png; and of
# the sample dialog form (bin/form_preview, each tab page once):
# build/screenshots/form-{linux,windows}-{0,1,2}.png.
# Usage: tools/screenshot.sh [linux build folder] [windows build folder]
# QUILLREEL_SHOTS=forms takes the form's shots alone.
#
# Each run gets a fresh program folder (QUILLREEL_PROGRAM_FOLDER) holding a
# download.ini with a few Chinese tasks in code page 936, and the demo
# switches (apps/common/demo_switches.h) write a few log lines and open the
# log page. The program is stopped with a signal, so the queue file is never
# rewritten and every shot starts from the same queue.
set -u
cd "$(dirname "$0")/.."
linux_build=${1:-build/linux}
windows_build=${2:-build/windows}
out=build/screenshots
mkdir -p "$out"
work=$(mktemp -d /tmp/quillreel-shots.XXXXXX)
status=0

# The window opens at (50, 50), 584 x 464; the shots keep a margin around it.
crop=680x580+0+0
# Seconds from the start of a program to its screenshot.
shot_delay=${QUILLREEL_SHOT_DELAY:-3}

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
  [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A fresh program folder with the queue file and the demo log, in code page 936 with CR LF.
fill_program_folder() {
  local folder=$1
  rm -rf "$folder"
  mkdir -p "$folder/run"
  printf '%s\r\n' \
    '流浪地球第一集,https://video.example.com/wandering/index.m3u8,/tmp/下载,排队等待' \
    '山海情 第二集,https://video.example.com/shanhai/ep02.m3u8,/tmp/下载,排队等待' \
    '纪录片·长江,https://video.example.com/changjiang/master.m3u8,/tmp/纪录片,排队等待' \
    '新闻联播20240301,https://video.example.com/news/0301.m3u8,/tmp/新闻,排队等待' |
    iconv -f UTF-8 -t GBK > "$folder/download.ini"
  printf '%s\r\n' '开始下载: 流浪地球第一集' '解析播放列表成功,共 342 个分段' \
    '分段 1 下载完成' '分段 2 下载完成' '线程池已启动,最大线程 16' |
    iconv -f UTF-8 -t GBK > "$folder/demo-log.txt"
}

# shoot <name> <page> <command...>: starts the program, waits for its window, saves the screen.
shoot() {
  local name=$1 page=$2
  shift 2
  QUILLREEL_DEMO_PAGE=$page "$@" >"$work/$name.log" 2>&1 &
  local pid=$!
  sleep "$shot_delay"
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "$name: the program ended before the screenshot:" >&2
    cat "$work/$name.log" >&2
    status=1
    return
  fi
  import -window root -crop "$crop" +repage "$out/$name.png"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  echo "wrote $out/$name.png"
}

# A stream to download while a shot is taken, served slowly on 127.0.0.1 so
# that the download is still running: 300 segments, one second per request.
start_stream_server() {
  tools/make-bench-stream.sh "$work/stream" 300 20 >/dev/null || return 1
  "$linux_build/bin/quillreel-hls-server" --root "$work/stream" --port-file "$work/port" --latency-ms 1000 \
    >/dev/null 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
  port=$(cat "$work/port")
}

# fill_download_folder <folder> <download folder as the program sees it>:
# a queue whose first task is the served stream.
fill_download_folder() {
  fill_program_folder "$1"
  {
    printf '%s\r\n' "演示视频 第1集,http://127.0.0.1:$port/index.m3u8,$2,排队等待"
    iconv -f GBK -t UTF-8 "$1/download.ini"
  } | iconv -f UTF-8 -t GBK >"$1/download.new"
  mv "$1/download.new" "$1/download.ini"
}

# shoot_dialogs <prefix> <folder> <download folder> <command...>: the new-task
# and options windows over the main window, and a download in progress.
shoot_dialogs() {
  local prefix=$1 folder=$2 downloads=$3
  shift 3
  fill_program_folder "$folder"
  QUILLREEL_DEMO_BUTTON=0 shoot "$prefix-new-task" 0 "$@"
  [ -n "$between_shots" ] && $between_shots >/dev/null 2>&1
  fill_program_folder "$folder"
  QUILLREEL_DEMO_BUTTON=6 shoot "$prefix-options" 0 "$@"
  [ -n "$between_shots" ] && $between_shots >/dev/null 2>&1
  if [ -n "${port:-}" ]; then
    fill_download_folder "$folder" "$downloads"
    local delay=$shot_delay
    shot_delay=$((shot_delay + 3))
    QUILLREEL_DEMO_BUTTON=1 shoot "$prefix-download" 0 "$@"
    shot_delay=$delay
    [ -n "$between_shots" ] && $between_shots >/dev/null 2>&1
  fi
}

# shoot_pages <prefix> <program folder> <command...>: both pages, each from a fresh program folder.
shoot_pages() {
  local prefix=$1 folder=$2
  shift 2
  for page in 0 1; do
    fill_program_folder "$folder"
    local name=$prefix-queue
    [ "$page" = 1 ] && name=$prefix-log
    shoot "$name" "$page" "$@"
    [ -n "$between_shots" ] && $between_shots >/dev/null 2>&1
  done
}
between_shots=""

shoot_linux() {
  local program="$linux_build/bin/quillreel"
  if [ ! -x "$program" ]; then
    echo "no Linux program at $program (make linux)" >&2
    status=1
    return
  fi
  local folder="$work/linux"
  shoot_pages linux "$folder" env QUILLREEL_PROGRAM_FOLDER="$folder" QUILLREEL_RUNTIME_FOLDER="$folder/run" \
    QUILLREEL_DEMO_LOG="$folder/demo-log.txt" QT_QPA_PLATFORM=xcb "$program"
  shoot_dialogs linux "$folder" "$work/downloads-linux" env QUILLREEL_PROGRAM_FOLDER="$folder" \
    QUILLREEL_RUNTIME_FOLDER="$folder/run" QT_QPA_PLATFORM=xcb "$program"
}

# ---- Windows build: the desktop program under wine --------------------------
# The program is found by name under the Windows build folder; until the
# Windows desktop program exists this half only says so.
shoot_windows() {
  local program
  program=$(find "$windows_build" -path '*/wineprefix' -prune -o -iname 'quillreel.exe' -print 2>/dev/null | head -1)
  if [ -z "$program" ]; then
    echo "no Windows program quillreel.exe under $windows_build yet (make windows); Windows shots skipped" >&2
    return
  fi
  . tools/wine-env.sh "$windows_build"
  wine_start
  local folder="$work/windows"
  # Windows paths for the program: wine maps Z: to the root of the Linux file system.
  # Wine's own desktop window gives the program a frame with its title (Xvfb has no window manager).
  shot_delay=${QUILLREEL_SHOT_DELAY:-6}
  between_shots="wineserver -k"
  shoot_pages windows "$folder" env QUILLREEL_PROGRAM_FOLDER="Z:${folder//\//\\}" \
    QUILLREEL_DEMO_LOG="Z:${folder//\//\\}\\demo-log.txt" wine explorer /desktop=quillreel,1024x768 "$program"
  local downloads="$work/downloads-windows"
  shoot_dialogs windows "$folder" "Z:${downloads//\//\\}" env QUILLREEL_PROGRAM_FOLDER="Z:${folder//\//\\}" \
    wine explorer /desktop=quillreel,1024x768 "$program"
}

# ---- The sample dialog form of both builds (apps/form_preview) --------------
# It opens at (40, 40) on the tab page QUILLREEL_FORM_PAGE names.
shoot_forms() {
  shot_delay=2
  if [ -x "$linux_build/bin/form_preview" ]; then
    for page in 0 1 2; do
      QUILLREEL_FORM_PAGE=$page shoot "form-linux-$page" 0 env QT_QPA_PLATFORM=xcb "$linux_build/bin/form_preview"
    done
  else
    echo "no $linux_build/bin/form_preview (cmake --build $linux_build --target form_preview)" >&2
  fi
  if [ -f "$windows_build/bin/form_preview.exe" ]; then
    . tools/wine-env.sh "$windows_build"
    wine_start
    shot_delay=5
    for page in 0 1 2; do
      QUILLREEL_FORM_PAGE=$page shoot "form-windows-$page" 0 wine explorer /desktop=forms,1024x768 \
        "$windows_build/bin/form_preview.exe"
      wineserver -k >/dev/null 2>&1
    done
  else
    echo "no $windows_build/bin/form_preview.exe (cmake --build $windows_build --target form_preview)" >&2
  fi
}

start_display
start_stream_server || echo "no stream to download (ffmpeg?): download shots skipped" >&2
if [ "${QUILLREEL_SHOTS:-all}" != forms ]; then
  shoot_linux
  shoot_windows
fi
shoot_forms
exit $status
