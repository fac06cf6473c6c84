#!/bin/bash
# Times `quillreel-cli get` against the loopback HLS server, 20 download
# threads, median of RUNS runs (default 5), on the Linux build:
#   a  1000 segments of ~6 KB, 20 ms added latency per request
#   b  200 segments of ~1 MB, no added latency
#   c  case a over HTTPS
# For each case it prints the end-to-end time, the download phase (start to
# the last segment written), the delay until the task's end was noticed, the
# merge, and the ideal download time measured in the same run:
#   segments x latency / threads + bytes / loopback bandwidth
# Usage: bench/download_bench.sh [linux build folder] [cases, e.g. "a b c"]
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/linux}" && pwd)
cases=${2:-a b c}
runs=${RUNS:-5}
threads=20
streams=$top/build/bench-streams
work=$(mktemp -d /tmp/quillreel-bench.XXXXXX)
cleanup() {
  stop_server
  rm -rf "$work"
}
trap cleanup EXIT

. "$top/tools/loopback-server.sh"

stream() {  # stream <count> <size KB>: made once, kept between runs
  local dir=$streams/$1x$2
  [ -s "$dir/index.m3u8" ] || "$top/tools/make-bench-stream.sh" "$dir" "$1" "$2" >/dev/null || exit 1
  echo "$dir"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Loopback bandwidth in bytes per second, as the program meets it: 64 MB in
# as many files as there are threads, fetched in parallel, no added latency.
bandwidth() {  # bandwidth <scheme> [server options...]
  local urls=() start end
  mkdir -p "$work/bw"
  for i in $(seq "$threads"); do
    [ -s "$work/bw/blob$i" ] || head -c $(((64 << 20) / threads)) /dev/urandom >"$work/bw/blob$i"
    urls+=("$1://127.0.0.1:PORT/blob$i")
  done
  serve "$work/bw" "${@:2}"
  start=$(date +%s.%N)
  curl -sk --parallel --parallel-max "$threads" "${urls[@]/PORT/$port}" -o /dev/null $(printf -- ' -o /dev/null%.0s' $(seq 2 "$threads")) 2>/dev/null
  end=$(date +%s.%N)
  # Called inside $(...): this server is the subshell's own, so it goes here.
  stop_server
  awk -v s="$start" -v e="$end" -v b=$(((64 << 20) / threads * threads)) 'BEGIN { printf "%.0f", b / (e - s) }'
}

printf '%-4s %9s %9s %9s %9s %9s %7s %9s\n' case total_s dl_s ideal_s ratio merge_s end_ms overhead
for c in $cases; do
  case $c in
    a) dir=$(stream 1000 6) latency=20 scheme=http options=(--latency-ms 20) ;;
    b) dir=$(stream 200 1024) latency=0 scheme=http options=() ;;
    c) dir=$(stream 1000 6) latency=20 scheme=https options=(--latency-ms 20 --https) ;;
    *) echo "unknown case $c" >&2; exit 2 ;;
  esac
  count=$(grep -c '\.ts' "$dir/index.m3u8")
  bytes=$(cat "$dir"/seg*.ts | wc -c)
  tls=(); [ "$scheme" = https ] && tls=(--https)
  bps=$(bandwidth "$scheme" "${tls[@]}")
  ideal=$(awk -v n="$count" -v l="$latency" -v t="$threads" -v b="$bytes" -v bw="$bps" \
    'BEGIN { printf "%.3f", n * l / 1000 / t + b / bw }')
  serve "$dir" "${options[@]}"
  : >"$work/results"
  for run in $(seq "$runs"); do
    program=$work/program-$run
    rm -rf "$program" "$work/out" && mkdir -p "$program" "$work/out"
    printf '[组合框]\r\n组合框_下载线程=%s<|>0<||>0<|>%s\r\n' "$threads" "$threads" | iconv -f UTF-8 -t GBK >"$program/config.ini"
    start=$(date +%s.%N)
    timings=$(QUILLREEL_PROGRAM_FOLDER=$program "$build/bin/quillreel-cli" get "$scheme://127.0.0.1:$port/index.m3u8" \
      --name bench --dir "$work/out" --timings 2>&1 >/dev/null | grep '^timings:')
    end=$(date +%s.%N)
    [ -s "$work/out/bench.mp4" ] || { echo "case $c run $run: no video" >&2; exit 1; }
    eval "$(echo "${timings#timings: }" | tr ' ' '\n' | sed 's/^/t_/')"
    echo "$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }') $t_download_ms $t_finish_delay_ms $t_merge_ms" >>"$work/results"
  done
  total=$(cut -d' ' -f1 "$work/results" | median)
  dl=$(cut -d' ' -f2 "$work/results" | median)
  delay=$(cut -d' ' -f3 "$work/results" | median)
  merge=$(cut -d' ' -f4 "$work/results" | median)
  awk -v c="$c" -v total="$total" -v dl="$dl" -v ideal="$ideal" -v merge="$merge" -v delay="$delay" 'BEGIN {
    printf "%-4s %9.3f %9.3f %9.3f %9.2f %9.3f %7.1f %9.3f\n", c, total, dl / 1000, ideal, dl / 1000 / ideal,
      merge / 1000, delay, total - dl / 1000 - merge / 1000 }'
done
echo "total: end to end; dl: start to last segment written; ideal: segments x latency / $threads + bytes / loopback"
echo "bandwidth; end_ms: last segment written to the task's end noticed; overhead: total - dl - merge (medians of $runs)"
