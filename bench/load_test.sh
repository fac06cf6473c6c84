#!/bin/bash
# The queue under load on the Linux build: TASKS tasks (default 50) of 200
# small segments each (tools/make-bench-stream.sh), served on 127.0.0.1 with
# 20 ms added latency, 99 download threads, run by `quillreel-cli run`.
#   - no task is lost: every task ends as an .mp4 whose duration ffprobe reads;
#   - download.ini, polled while the queue runs, always lists exactly the
#     tasks not yet done, in queue order (the tasks it dropped all have their
#     video), and the file is gone at the end;
#   - peak resident memory of the run with 10 tasks and with TASKS tasks.
# Then the desktop program's window thread during the same load
# (bench/desktop_load_probe, the program's objects on the real Qt window,
# Xvfb when there is one, else offscreen): lateness of a 50 ms timer, and an
# append and a scroll of the log page holding 10 000+ lines.
# Usage: bench/load_test.sh [linux build folder]
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/linux}" && pwd)
tasks=${TASKS:-50}
segments=200
work=$(mktemp -d /tmp/quillreel-load.XXXXXX)
stream=$top/build/bench-streams/${segments}x4
server_pid=""
failures=0
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ -s "$stream/index.m3u8" ] || "$top/tools/make-bench-stream.sh" "$stream" "$segments" 4 >/dev/null || exit 1
expected=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$stream/index.m3u8")
"$build/bin/quillreel-hls-server" --root "$stream" --port-file "$work/port" --latency-ms 20 >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
address=http://127.0.0.1:$(cat "$work/port")/index.m3u8

program_folder() {  # program_folder <folder> <tasks>: queue and 99 threads
  rm -rf "$1" "$work/out" && mkdir -p "$1/run" "$work/out"
  printf '[组合框]\r\n组合框_下载线程=99<|>0<||>0<|>99\r\n[选择框]\r\n选择框_自动连续下载=真\r\n选择框_自动合并视频=真\r\n选择框_删除临时文件=真\r\n' |
    iconv -f UTF-8 -t GBK >"$1/config.ini"
  for i in $(seq "$2"); do printf '负载%d,%s,%s,排队等待\r\n' "$i" "$address" "$work/out"; done |
    iconv -f UTF-8 -t GBK >"$1/download.ini"
  cp "$1/download.ini" "$work/queue-before"
}

# Every distinct content of download.ini while the run lasts must be the
# queue less its first k tasks, k never falling, and those k all have a video.
poll_queue() {  # poll_queue <program folder> <pid>
  local last=-1 seen=0 rows k
  while kill -0 "$2" 2>/dev/null; do
    if cp "$1/download.ini" "$work/snapshot" 2>/dev/null; then
      rows=$(tr -cd '\n' <"$work/snapshot" | wc -c)
      k=$(($(tr -cd '\n' <"$work/queue-before" | wc -c) - rows))
      if [ "$k" != "$last" ]; then
        seen=$((seen + 1))
        cmp -s "$work/snapshot" <(tail -n "$rows" "$work/queue-before") || fail "download.ini not the queue less $k tasks"
        [ "$k" -lt "$last" ] && fail "download.ini grew back from $last to $k tasks done"
        for i in $(seq "$k"); do [ -s "$work/out/负载$i.mp4" ] || fail "负载$i dropped from download.ini before its video"; done
        last=$k
      fi
    fi
    sleep 0.02
  done
  echo "$seen"
}

check_videos() {  # check_videos <tasks>
  local ok=0 d
  for i in $(seq "$1"); do
    d=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/out/负载$i.mp4" 2>/dev/null)
    if awk -v d="${d:-0}" -v e="$expected" 'BEGIN { exit !(d > e - 1 && d < e + 1) }'; then ok=$((ok + 1)); else fail "负载$i: duration '${d}' (expected $expected)"; fi
  done
  echo "$ok"
}

printf '%-6s %8s %8s %10s %12s %10s\n' tasks videos states peak_rss_kb wall_s queue_file
for n in 10 "$tasks"; do
  program=$work/program
  program_folder "$program" "$n"
  QUILLREEL_PROGRAM_FOLDER=$program /usr/bin/time -v -o "$work/time" "$build/bin/quillreel-cli" run >"$work/cli.log" 2>&1 &
  pid=$!
  states=$(poll_queue "$program" "$pid")
  wait "$pid" || fail "$n tasks: quillreel-cli run ended with $?"
  videos=$(check_videos "$n")
  left=absent
  [ -e "$program/download.ini" ] && { left=present; fail "$n tasks: download.ini left behind"; }
  rss=$(awk -F': ' '/Maximum resident/ { print $2 }' "$work/time")
  wall=$(awk -F': ' '/Elapsed \(wall/ { print $2 }' "$work/time")
  printf '%-6s %8s %8s %10s %12s %10s\n' "$n" "$videos/$n" "$states" "$rss" "$wall" "$left"
done

# The window thread under the same load.
if [ -x "$build/bench/desktop_load_probe" ]; then
  if command -v Xvfb >/dev/null; then
    exec 8<>"$work/display"
    Xvfb -displayfd 8 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do n=$(head -1 "$work/display" 2>/dev/null); [ -n "$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n" QT_QPA_PLATFORM=xcb
  else
    export QT_QPA_PLATFORM=offscreen
  fi
  program_folder "$work/desktop" "$tasks"
  echo "desktop program window thread, $tasks tasks x $segments segments, 99 threads ($QT_QPA_PLATFORM):"
  QUILLREEL_PROGRAM_FOLDER=$work/desktop QUILLREEL_RUNTIME_FOLDER=$work/desktop/run QUILLREEL_AUTO_ANSWER=1 \
    "$build/bench/desktop_load_probe" 2>/dev/null | tee "$work/probe"
  grep -q '^queue done' "$work/probe" || fail "desktop: the queue did not finish"
  awk '/^loop/ { for (i = 2; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] } }
       END { exit !(v["max_ms"] < 200) }' "$work/probe" || fail "desktop: the window thread answered later than 200 ms"
  [ "$(check_videos "$tasks")" = "$tasks" ] || fail "desktop: videos missing"
else
  echo "SKIP: desktop (no desktop_load_probe: build with the Qt front end)"
fi
[ $failures -eq 0 ] && echo "load test passed"
exit $((failures != 0))
