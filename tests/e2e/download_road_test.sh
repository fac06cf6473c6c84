#!/bin/bash
# The whole download road: test streams made with ffmpeg, served on 127.0.0.1
# by quillreel-hls-server, downloaded and merged by quillreel-cli in a program
# folder of the test's own; every .mp4 checked with ffprobe for its streams
# and duration, every temporary folder gone.
# Usage: download_road_test.sh <linux build folder> [windows build folder]
# With a Windows build folder the console program is the Windows one, run
# under wine with a real ffmpeg.exe in its program folder; the server and the
# checks stay on Linux.
set -u
build=$(cd "${1:?build folder}" && pwd)
windows_build=${2:+$(cd "$2" && pwd)}
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/quillreel-e2e.XXXXXX)
failures=0
cleanup() {
  stop_server
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

. "$top/tools/loopback-server.sh"

# A program folder with its own config.ini (absent keys read as defaults).
program=$work/program
mkdir -p "$program"
if [ -n "$windows_build" ]; then
  . "$top/tools/wine-env.sh" "$windows_build"
  wine_start
  trap 'cleanup; wine_stop' EXIT
  ffmpeg_exe=$("$top/tools/fetch-windows-ffmpeg.sh" "$windows_build/cache") || {
    echo "SKIP: no Windows ffmpeg.exe (npm registry unreachable?)"
    exit 0
  }
  cp "$ffmpeg_exe" "$program/ffmpeg.exe"
  native_path() { winepath -w "$1" 2>/dev/null; }
  # A Windows program writes code page 936 into a pipe.
  cli() {
    wine "$windows_build/bin/quillreel-cli.exe" "$@" | iconv -f GBK -t UTF-8 | tr -d '\r'
    return "${PIPESTATUS[0]}"
  }
else
  native_path() { echo "$1"; }
  cli() { "$build/bin/quillreel-cli" "$@"; }
fi
QUILLREEL_PROGRAM_FOLDER=$(native_path "$program")
export QUILLREEL_PROGRAM_FOLDER
# A single-instance lock of the test's own: another copy of the program (or
# another build's download road) running meanwhile must not turn ours away.
export QUILLREEL_RUNTIME_FOLDER=$work
out=$(native_path "$work/out")
sep=/
[ -n "$windows_build" ] && sep='\'

check_video() {  # check_video <case> <mp4> <temp folder>
  local duration streams
  if [ ! -s "$2" ]; then fail "$1: no video at $2"; return; fi
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$2")
  streams=$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$2" | sort | tr '\n' ' ')
  awk -v d="$duration" 'BEGIN { exit !(d > 5 && d < 7) }' || fail "$1: duration $duration"
  [ "$streams" = "audio video " ] || fail "$1: streams $streams"
  [ -e "$3" ] && fail "$1: temporary folder $3 left behind"
  echo "ok: $1 ($duration s)"
}

get_case() {  # get_case <name> <stream options> <playlist> [server options...]
  local name=$1 options=$2 playlist=$3
  rm -rf "$work/stream" "$work/out"
  mkdir -p "$work/out"
  # shellcheck disable=SC2086
  "$top/tools/make-hls-stream.sh" "$work/stream" $options >/dev/null 2>&1 || { fail "$name: no stream"; return; }
  serve "$work/stream" "${@:4}"
  local output
  output=$(cli get "${scheme:-http}://127.0.0.1:$port/$playlist" --name "$name" --dir "$out" 2>&1)
  local status=$?
  [ $status -eq 0 ] || { fail "$name: status $status"; echo "$output" | tail -5; return; }
  [ "$(echo "$output" | tail -n 1)" = "$out$sep$name.mp4" ] || fail "$name: last line $(echo "$output" | tail -n 1)"
  check_video "$name" "$work/out/$name.mp4" "$work/out/$name"
}

get_case plain "" index.m3u8
get_case "master relative" "--master" master.m3u8
get_case "master absolute" "--master" master-abs.m3u8
get_case aes "--aes" index.m3u8
get_case crlf "--crlf" index.m3u8
get_case query "--query" index.m3u8
get_case "Tom & Jerry 100%" "" index.m3u8
get_case "电影 第1集" "" index.m3u8
get_case "503 retried" "" index.m3u8 --fault-every 3 --fault 503
# Wine's request object cannot be told to accept the test's own certificate.
[ -z "$windows_build" ] && scheme=https get_case https "" index.m3u8 --https

# A continuous queue of two tasks ends with an empty queue and no download.ini.
rm -rf "$work/stream" "$work/out" && mkdir -p "$work/out"
"$top/tools/make-hls-stream.sh" "$work/stream" >/dev/null 2>&1
serve "$work/stream"
cli add "http://127.0.0.1:$port/index.m3u8" --name first --dir "$out" >/dev/null
cli add "http://127.0.0.1:$port/index.m3u8" --name second --dir "$out" >/dev/null
cli run >/dev/null 2>&1 || fail "queue of two: status $?"
check_video "queue first" "$work/out/first.mp4" "$work/out/first"
check_video "queue second" "$work/out/second.mp4" "$work/out/second"
[ -e "$program/download.ini" ] && fail "queue of two: download.ini left behind"

# A merge that cannot run keeps the downloaded files and fails.
printf '%s\r\n' '[常规]' > "$program/config.ini"
if [ -n "$windows_build" ]; then
  rm -f "$program/ffmpeg.exe"
  cli get "http://127.0.0.1:$port/index.m3u8" --name kept --dir "$out" >/dev/null 2>&1 &&
    fail "merge without ffmpeg: reported success"
else
  mkdir -p "$work/nopath"
  ln -sf "$(command -v dirname)" "$work/nopath/dirname"
  PATH=$work/nopath cli get "http://127.0.0.1:$port/index.m3u8" --name kept --dir "$out" >/dev/null 2>&1 &&
    fail "merge without ffmpeg: reported success"
fi
[ -f "$work/out/kept/seg0.ts" ] || fail "merge without ffmpeg: segments not kept"
[ -f "$work/out/kept/index.m3u8" ] || fail "merge without ffmpeg: local playlist not kept"

# A segment that never arrives fails the task; its folder goes, the queue goes on.
rm -f "$work/stream/seg2.ts"
cli get "http://127.0.0.1:$port/index.m3u8" --name broken --dir "$out" >/dev/null 2>&1 &&
  fail "missing segment: reported success"
[ -e "$work/out/broken" ] && fail "missing segment: temporary folder left behind"

[ $failures -eq 0 ] && echo "all end-to-end cases passed"
exit $((failures != 0))
