#!/bin/bash
# Kills the programs with SIGKILL at random moments and checks that nothing
# is lost: download.ini and config.ini hold exactly the old or the new
# content (never empty, cut or mixed), every task the queue had is still in
# download.ini or finished as a whole video, and the queue loader finds every
# row of the file. RUNS kills (default 200) are spread over:
#   add       `quillreel-cli add` on a queue of 5000 tasks (load, add, save)
#   save      the queue saver on 5000 tasks, saving again and again
#   options   the options window's OK (crash_probe options-loop) saving
#             config.ini again and again, two settings sets in turn
#   run       `quillreel-cli run` on 4 served tasks followed by 1000 more:
#             mid-download, mid-merge, and the save of 1000+ rows after each
#   desktop   the same queue in the desktop program (Qt offscreen,
#             QUILLREEL_DEMO_BUTTON=1 starts it)
# With a Windows build folder, WINE_RUNS kills (default 20) of the Windows
# programs by TerminateProcess (`taskkill /f`) under wine: the queue saver,
# the options window's OK and `quillreel-cli add`.
# Usage: tests/e2e/crash_test.sh <linux build folder> [windows build folder]
set -u
build=$(cd "${1:?build folder}" && pwd)
windows_build=${2:+$(cd "$2" && pwd)}
top=$(cd "$(dirname "$0")/../.." && pwd)
runs=${RUNS:-200}
wine_runs=${WINE_RUNS:-20}
work=$(mktemp -d /tmp/quillreel-crash.XXXXXX)
failures=0
. "$top/tools/loopback-server.sh"
cleanup() {
  stop_server
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
probe_bin=$build/bin/crash_probe
now() { date +%s.%N; }
# A random delay in [0, limit) seconds.
random_delay() { awk -v l="$1" -v r="$RANDOM$RANDOM" 'BEGIN { srand(r); printf "%.4f", rand() * l }'; }
wait_for() { for _ in $(seq 400); do [ -e "$1" ] && return 0; sleep 0.01; done; return 1; }
# kill_after <delay> <pid>: SIGKILL, then waits for it and any child it left (ffmpeg).
kill_after() {
  sleep "$1"
  children=$(pgrep -P "$2" | tr '\n' ' ')
  kill -KILL "$2" 2>/dev/null
  wait "$2" 2>/dev/null
  for child in $children; do for _ in $(seq 500); do kill -0 "$child" 2>/dev/null || break; sleep 0.02; done; done
}

# A queue file of <count> rows named <prefix>N, in the format the program writes.
queue_rows() {  # queue_rows <prefix> <count> <address>
  awk -v p="$1" -v n="$2" -v a="$3" -v d="$work/out" \
    'BEGIN { for (i = 1; i <= n; i++) printf "%s%d,%s,%s,排队等待\r\n", p, i, a, d }' | iconv -f UTF-8 -t GBK
}

# tally <scenario> <outcome>: counts outcomes per scenario for the report.
declare -A tally
count() { tally[$1]=$((${tally[$1]:-0} + 1)); tally["$1 $2"]=$((${tally["$1 $2"]:-0} + 1)); }

# The loader must find every row of the file it was given.
check_loads() {  # check_loads <scenario> <program folder>
  local rows loaded
  rows=$(tr -cd '\n' <"$2/download.ini" 2>/dev/null | wc -c)
  loaded=$(QUILLREEL_PROGRAM_FOLDER=$2 "$probe_bin" count-queue)
  [ "$rows" = "$loaded" ] || fail "$1: download.ini has $rows rows, the loader found $loaded"
}

scenario_add() {  # 5000 rows, `add` killed anywhere between start and end
  local program=$work/add old new pid took
  mkdir -p "$program"
  queue_rows 任务 5000 http://127.0.0.1:9/index.m3u8 >"$program/download.ini"
  # How long one `add` takes, so the kills spread over all of it.
  took=$(now)
  QUILLREEL_PROGRAM_FOLDER=$program "$build/bin/quillreel-cli" add http://127.0.0.1:9/new.m3u8 --name 试 --dir /v >/dev/null
  took=$(awk -v s="$took" -v e="$(now)" 'BEGIN { print (e - s) * 1.2 }')
  for i in $(seq "$1"); do
    old=$(md5sum <"$program/download.ini")
    QUILLREEL_PROGRAM_FOLDER=$program "$build/bin/quillreel-cli" add "http://127.0.0.1:9/$i.m3u8" --name "新$i" --dir /v >/dev/null &
    pid=$!
    kill_after "$(random_delay "$took")" "$pid"
    new=$(md5sum <"$program/download.ini")
    if [ "$new" = "$old" ]; then
      count add old
    elif tail -n 1 "$program/download.ini" | iconv -f GBK -t UTF-8 | grep -q "^新$i,http://127.0.0.1:9/$i.m3u8,/v,排队等待"$'\r'"$" &&
      [ "$(head -n -1 "$program/download.ini" | md5sum)" = "$old" ]; then
      count add new
    else
      count add torn
      fail "add run $i: download.ini is neither the old queue nor the old queue plus the new task"
    fi
    check_loads "add run $i" "$program"
  done
}

# Which of two known contents a file holds after a kill; anything else is torn.
judge() {  # judge <scenario> <run, for messages> <file> <outcome a> <file a> <outcome b> <file b>
  if cmp -s "$3" "$5"; then
    count "$1" "$4"
  elif cmp -s "$3" "$7"; then
    count "$1" "$6"
  else
    count "$1" torn
    fail "$2: $(basename "$3") is torn: neither known content ($(wc -c <"$3") bytes)"
    diff <(iconv -f GBK -t UTF-8 "$3") <(iconv -f GBK -t UTF-8 "$7") | head -4
  fi
}

# Starts the Linux probe in <mode> on <program folder> and kills it after a random part of <seconds>.
kill_probe() {  # kill_probe <program folder> <mode> <seconds> <run, for messages>
  local pid
  rm -f "$1/ready"
  QUILLREEL_PROGRAM_FOLDER=$1 "$probe_bin" "$2" &
  pid=$!
  wait_for "$1/ready" || fail "$4: the probe did not start"
  kill_after "$(random_delay "$3")" "$pid"
}

scenario_save() {  # the saver alternates 5000 and 5001 rows
  local program=$work/save
  mkdir -p "$program"
  queue_rows 任务 5000 http://127.0.0.1:9/index.m3u8 >"$program/download.ini"
  cp "$program/download.ini" "$work/save-5000"
  { cat "$work/save-5000"; printf '多一行,http://127.0.0.1:9/extra.m3u8,/videos,排队等待\r\n' | iconv -f UTF-8 -t GBK; } >"$work/save-5001"
  for i in $(seq "$1"); do
    cp "$work/save-5000" "$program/download.ini"
    kill_probe "$program" queue-loop 0.5 "save run $i"
    judge save "save run $i" "$program/download.ini" 5000-rows "$work/save-5000" 5001-rows "$work/save-5001"
    check_loads "save run $i" "$program"
  done
}

scenario_options() {  # config.ini saved by the options window, two sets in turn
  local program=$work/options
  mkdir -p "$program"
  for i in $(seq "$1"); do
    kill_probe "$program" options-loop 0.3 "options run $i"
    judge options "options run $i" "$program/config.ini" set-a "$program/config.a" set-b "$program/config.b"
  done
}

# The served stream and the queue of the run and desktop scenarios.
serve_stream() {
  "$top/tools/make-hls-stream.sh" "$work/stream" --duration 6 >/dev/null 2>&1 || { fail "no stream"; return 1; }
  serve "$work/stream" --latency-ms 40
  address=http://127.0.0.1:$port/index.m3u8
}

fill_download_queue() {  # fill_download_queue <program folder> <filler rows>
  rm -rf "$work/out" "$1" && mkdir -p "$work/out" "$1/run"
  { queue_rows 真 4 "$address"; queue_rows 备 "$2" "$address"; } >"$1/download.ini"
  printf '[选择框]\r\n选择框_自动连续下载=真\r\n选择框_自动合并视频=真\r\n选择框_删除临时文件=真\r\n' |
    iconv -f UTF-8 -t GBK >"$1/config.ini"
  cp "$1/download.ini" "$work/queue-before"
}

# After a kill: download.ini is the queue less its first k tasks, and each of
# those k is a whole video. ("child" counts kills while ffmpeg was running.)
check_download_queue() {  # check_download_queue <scenario> <run> <program folder>
  local before after k duration
  [ -s "$3/download.ini" ] || { fail "$1 run $2: download.ini missing or empty"; count "$1" torn; return; }
  before=$(tr -cd '\n' <"$work/queue-before" | wc -c)
  after=$(tr -cd '\n' <"$3/download.ini" | wc -c)
  k=$((before - after))
  if [ $k -lt 0 ] || ! cmp -s "$3/download.ini" <(tail -n "$after" "$work/queue-before"); then
    fail "$1 run $2: download.ini is not the queue less its first tasks ($after of $before rows)"
    count "$1" torn
    return
  fi
  for t in $(head -n "$k" "$work/queue-before" | iconv -f GBK -t UTF-8 | cut -d, -f1); do
    duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/out/$t.mp4" 2>/dev/null)
    awk -v d="${duration:-0}" 'BEGIN { exit !(d > 5 && d < 7) }' ||
      fail "$1 run $2: task $t left the queue without a whole video (duration '${duration}')"
  done
  check_loads "$1 run $2" "$3"
  count "$1" "$k-done"
}

# run_until_done <program folder> <command...>: the time the first 4 tasks take.
time_four_tasks() {
  local program=$1 start pid
  shift
  fill_download_queue "$program" 0
  start=$(now)
  QUILLREEL_PROGRAM_FOLDER=$program QUILLREEL_RUNTIME_FOLDER=$program/run "$@" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 600); do [ -e "$program/download.ini" ] || break; sleep 0.05; done
  awk -v s="$start" -v e="$(now)" 'BEGIN { print (e - s) * 1.1 }'
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

scenario_downloads() {  # scenario_downloads <name> <runs> <command...>
  local name=$1 n=$2 program=$work/$1 limit pid merging
  shift 2
  limit=$(time_four_tasks "$program" "$@")
  for i in $(seq "$n"); do
    fill_download_queue "$program" 1000
    QUILLREEL_PROGRAM_FOLDER=$program QUILLREEL_RUNTIME_FOLDER=$program/run "$@" >/dev/null 2>&1 &
    pid=$!
    sleep "$(random_delay "$limit")"
    merging=$(pgrep -P "$pid" >/dev/null && echo 1)
    kill_after 0 "$pid"
    [ -n "$merging" ] && tally["$name child"]=$((${tally["$name child"]:-0} + 1))
    check_download_queue "$name" "$i" "$program"
  done
  echo "$name: 4 tasks take ${limit}s; kills spread over that"
}

# Under wine: TerminateProcess through taskkill /f on the image name.
wine_kill() {  # wine_kill <delay> <image> <pid of the wine launcher>
  sleep "$1"
  wine taskkill /f /im "$2" >/dev/null 2>&1
  wait "$3" 2>/dev/null
}

scenario_wine() {
  # Not "n": wine_start sets a global of that name (the display number).
  local kills=$1 program=$work/wine pid winprogram
  . "$top/tools/wine-env.sh" "$windows_build"
  wine_start
  trap 'cleanup; wine_stop' EXIT
  mkdir -p "$program"
  winprogram=$(winepath -w "$program" 2>/dev/null)
  queue_rows 任务 5000 http://127.0.0.1:9/index.m3u8 >"$work/save-5000"
  { cat "$work/save-5000"; printf '多一行,http://127.0.0.1:9/extra.m3u8,/videos,排队等待\r\n' | iconv -f UTF-8 -t GBK; } >"$work/save-5001"
  for i in $(seq "$kills"); do
    case $((i % 2)) in
      0)
        cp "$work/save-5000" "$program/download.ini"
        rm -f "$program/ready"
        QUILLREEL_PROGRAM_FOLDER=$winprogram wine "$windows_build/bin/crash_probe.exe" queue-loop >/dev/null 2>&1 &
        pid=$!
        wait_for "$program/ready" || fail "wine save run $i: the saver did not start"
        wine_kill "$(random_delay 0.5)" crash_probe.exe "$pid"
        judge wine-save "wine save run $i" "$program/download.ini" 5000-rows "$work/save-5000" 5001-rows "$work/save-5001"
        check_loads "wine save run $i" "$program"
        ;;
      1)
        rm -f "$program/ready"
        QUILLREEL_PROGRAM_FOLDER=$winprogram wine "$windows_build/bin/crash_probe.exe" options-loop >/dev/null 2>&1 &
        pid=$!
        wait_for "$program/ready" || fail "wine options run $i: the writer did not start"
        wine_kill "$(random_delay 0.3)" crash_probe.exe "$pid"
        judge wine-options "wine options run $i" "$program/config.ini" set-a "$program/config.a" set-b "$program/config.b"
        ;;
    esac
  done
  # Leftover temporary files of the killed saves.
  echo "wine: $(ls "$program" | grep -c '\.tmp$') temporary files left by killed saves"
  wine_stop
}

per=$((runs / 5))
scenario_add $((runs - 4 * per))
scenario_save "$per"
scenario_options "$per"
if serve_stream; then
  scenario_downloads run "$per" "$build/bin/quillreel-cli" run
  if [ -x "$build/bin/quillreel" ]; then
    QT_QPA_PLATFORM=offscreen QUILLREEL_DEMO_BUTTON=1 QUILLREEL_AUTO_ANSWER=1 \
      scenario_downloads desktop "$per" "$build/bin/quillreel"
  else
    echo "SKIP: desktop (no Qt build)"
  fi
fi
[ -n "$windows_build" ] && scenario_wine "$wine_runs"

printf '%-14s %5s  %s\n' scenario runs outcomes
for s in add save options run desktop wine-save wine-options; do
  [ -n "${tally[$s]:-}" ] || continue
  outcomes=""
  for key in "${!tally[@]}"; do
    [[ $key == "$s "* ]] && outcomes+="${key#"$s "}=${tally[$key]} "
  done
  printf '%-14s %5s  %s\n' "$s" "${tally[$s]}" "$outcomes"
done
echo "temporary files left by killed saves (Linux): $(find "$work" -name '*.tmp' | wc -l)"
[ $failures -eq 0 ] && echo "crash test: nothing lost or torn"
exit $((failures != 0))
