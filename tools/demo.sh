#!/bin/bash
# The download road end to end on this machine: makes a short test stream,
# serves it on 127.0.0.1 with quillreel-hls-server, downloads and merges it
# with quillreel-cli and shows the .mp4's path and duration.
# Usage: tools/demo.sh [linux build folder, default build/linux]
#
# quillreel-cli prints the path of the merged .mp4 on the last line of its
# standard output and exits 0 when it succeeded. The server is stopped on
# every way out of this script; the stream is removed, the download kept.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
server=$build/bin/quillreel-hls-server
cli=$build/bin/quillreel-cli
for program in "$server" "$cli"; do
  if [ ! -x "$program" ]; then
    echo "demo: no program at $program; build it first (make linux)" >&2
    exit 1
  fi
done

work=$(mktemp -d /tmp/quillreel-demo.XXXXXX)
server_pid=""
stop_server() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
  fi
  rm -rf "$work/stream"
}
trap stop_server EXIT
trap 'exit 130' INT TERM

echo "demo: making a 6-second test stream"
tools/make-hls-stream.sh "$work/stream" >/dev/null
"$server" --root "$work/stream" --port-file "$work/port" --log "$work/server.log" >/dev/null &
server_pid=$!
for _ in $(seq 100); do
  [ -s "$work/port" ] && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    echo "demo: the server did not start" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$work/port" ]; then
  echo "demo: the server wrote no port within 10 s" >&2
  exit 1
fi
url="http://127.0.0.1:$(cat "$work/port")/index.m3u8"

echo "demo: $cli get $url --dir $work/downloads"
mkdir -p "$work/downloads"
if ! "$cli" get "$url" --dir "$work/downloads" | tee "$work/cli.out"; then
  echo "demo: quillreel-cli failed" >&2
  exit 1
fi
mp4=$(tail -n 1 "$work/cli.out" | tr -d '\r')
if [ ! -f "$mp4" ]; then
  echo "demo: quillreel-cli named no .mp4 that exists (last line: $mp4)" >&2
  exit 1
fi
duration=$(ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 "$mp4")
echo "demo: merged video: $mp4"
echo "demo: duration: $duration s ($(wc -l <"$work/server.log") requests served; log in $work/server.log)"
