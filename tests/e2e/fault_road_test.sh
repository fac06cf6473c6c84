#!/bin/bash
# Network faults on the download road: quillreel-cli downloads short streams
# from quillreel-hls-server on 127.0.0.1 while the server answers 503, cuts
# bodies, stalls one segment past the request time-out, closes every
# connection or fails the key twice. Every task that still has attempts left
# must end with each segment byte for byte the served one and a video as long
# as the clean run's; a segment that never arrives must fail its task, delete
# its temporary folder and let the queue go on. Prints one line per fault.
# Usage: fault_road_test.sh <linux build folder>
set -u
build=$(cd "${1:?build folder}" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/quillreel-faults.XXXXXX)
failures=0
table=""
. "$top/tools/loopback-server.sh"
cleanup() {
  stop_server
  rm -rf "$work"
}
trap cleanup EXIT

# The segment request time-out of the Linux build: no byte for 15 s ends a request.
request_timeout_ms=15000

# Serves $work/served with a fresh request log.
serve_logged() {  # serve_logged [server options...]
  stop_server
  rm -f "$work/server.log"
  serve "$work/served" --log "$work/server.log" "$@"
}

# No run may hang: a stall costs one time-out and a retry, nothing more.
cli() { timeout 120 "$build/bin/quillreel-cli" "$@"; }

duration_of() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1" 2>/dev/null; }

# What is wrong with a task's result (empty when nothing is): its video's
# duration against the clean run's, and every served segment and key against
# the file kept in its temporary folder.
check_task() {  # check_task <stream> <name>
  local folder=$work/out/$2 problems="" file
  [ -s "$work/out/$2.mp4" ] || problems+=" no video;"
  [ "$(duration_of "$work/out/$2.mp4")" = "${clean_duration[$1]:-}" ] ||
    problems+=" duration $(duration_of "$work/out/$2.mp4") not ${clean_duration[$1]:-};"
  for file in "$work/served/$1"/*.ts "$work/served/$1"/*.key; do
    [ -e "$file" ] || continue
    cmp -s "$file" "$folder/$(basename "$file")" || problems+=" $(basename "$file") differs;"
  done
  echo "$problems"
}

record() {  # record <fault> <runs> <result>
  table+=$(printf '%-44s %4s  %s' "$1" "$2" "$3")$'\n'
  [ "$3" = ok ] || failures=$((failures + 1))
}

logged_within() {  # logged_within <seconds> <pattern>
  local tries
  for tries in $(seq $(($1 * 10))); do
    grep -Eq "$2" "$work/server.log" && return 0
    sleep 0.1
  done
  return 1
}

# fault_case <fault> <runs> <stream> <what the server log must show> [server options...]
fault_case() {
  local fault=$1 runs=$2 stream=$3 evidence=$4 result=ok run name problems
  case_number=$((case_number + 1))
  for run in $(seq "$runs"); do
    name="$stream-case$case_number-run$run"
    serve_logged "${@:5}"
    if ! cli get "http://127.0.0.1:$port/$stream/index.m3u8" --name "$name" --dir "$work/out" >"$work/cli.log" 2>&1; then
      result="FAIL run $run: status $? ($(tail -n 1 "$work/cli.log"))"
      break
    fi
    problems=$(check_task "$stream" "$name")
    if [ -n "$problems" ]; then
      result="FAIL run $run:$problems"
      break
    fi
    # A stalled answer is logged when its stall ends, which may be after the
    # client gave up on it and finished with a retry: give the log a moment.
    if [ -n "$evidence" ] && ! logged_within 10 "$evidence"; then
      result="FAIL run $run: the server log shows no '$evidence'"
      break
    fi
  done
  record "$fault" "$runs" "$result"
}

mkdir -p "$work/program" "$work/out" "$work/served"
export QUILLREEL_PROGRAM_FOLDER=$work/program
# Temporary folders are kept so the downloaded segments can be compared.
printf '%s\r\n' '[常规]' '选择框_删除临时文件=假' | iconv -f UTF-8 -t GBK >"$work/program/config.ini"

# Twenty half-second segments, so one request in ten is faulted twice per run.
"$top/tools/make-hls-stream.sh" "$work/served/plain" --duration 10 --segment 0.5 >/dev/null 2>&1 &&
  "$top/tools/make-hls-stream.sh" "$work/served/aes" --aes >/dev/null 2>&1 || {
  echo "FAIL: no test streams (ffmpeg missing?)"
  exit 1
}
cp -r "$work/served/plain" "$work/served/other"

case_number=0
declare -A clean_duration
for stream in plain aes; do
  serve_logged
  cli get "http://127.0.0.1:$port/$stream/index.m3u8" --name "$stream-clean" --dir "$work/out" >/dev/null 2>&1
  clean_duration[$stream]=$(duration_of "$work/out/$stream-clean.mp4")
  problems=$(check_task "$stream" "$stream-clean")
  record "none ($stream, reference)" 1 "$([ -z "$problems" ] && echo ok || echo "FAIL:$problems")"
done
clean_duration[other]=${clean_duration[plain]}

fault_case "503 on every 10th request" 3 plain ' 503 0 503 fault' --fault-every 10 --fault 503
fault_case "every 10th connection cut after half" 3 plain ' drop$' --fault-every 10 --fault drop
fault_case "seg3 stalls past the request time-out" 1 plain '/plain/seg3.ts 200 [0-9]+ stall' \
  --stall-first 1 --stall-path /plain/seg3.ts --stall-ms $((request_timeout_ms + 1500))
fault_case "connection closed after every response" 2 plain '' --close-after-each
fault_case "AES key 503 twice, then served" 2 aes ' 503 0 503 fail-first' --fail-first 2 --fail-path /aes/k1.key

# A segment that never arrives: that task fails and leaves no folder behind,
# the next one in the queue completes.
rm -f "$work/program/download.ini"
serve_logged --fail-first 1000000 --fail-path /plain/seg2.ts
cli add "http://127.0.0.1:$port/plain/index.m3u8" --name never --dir "$work/out" >/dev/null
cli add "http://127.0.0.1:$port/other/index.m3u8" --name after-never --dir "$work/out" >/dev/null
cli run >"$work/cli.log" 2>&1
status=$?
result=ok
if [ $status -eq 0 ] || [ $status -eq 124 ]; then
  result="FAIL: queue status $status"
elif [ -e "$work/out/never" ] || [ -e "$work/out/never.mp4" ]; then
  result="FAIL: the failed task left $(ls -d "$work/out"/never* | tr '\n' ' ')"
elif [ -n "$(check_task other after-never)" ]; then
  result="FAIL: next task:$(check_task other after-never)"
elif [ -s "$work/program/download.ini" ]; then
  result="FAIL: tasks left in the queue"
elif ! grep -q "失败 1 个" "$work/cli.log"; then
  result="FAIL: $(tail -n 1 "$work/cli.log")"
fi
record "seg2 503 forever, then the next task" 1 "$result"

printf '%-44s %4s  %s\n' fault runs result
printf '%s' "$table"
[ $failures -eq 0 ] && echo "all fault cases passed"
exit $((failures != 0))
