#!/bin/sh
# Makes a benchmark HLS stream: COUNT segments of about SIZE_KB kilobytes each
# (index.m3u8, seg0.ts ...), still a real stream that ffmpeg merges with -c copy.
# The picture is tiny and coarse; the transport stream muxer pads every
# half-second segment with null packets up to the rate that gives SIZE_KB.
# Usage: tools/make-bench-stream.sh OUT_DIR COUNT SIZE_KB
set -eu
if [ $# -ne 3 ]; then
  echo "usage: $0 OUT_DIR COUNT SIZE_KB" >&2
  exit 2
fi
out=$1 count=$2 size_kb=$3
segment_ms=500
duration=$(awk "BEGIN { print $count * $segment_ms / 1000 }")
muxrate=$((size_kb * 1024 * 8 * 1000 / segment_ms))
mkdir -p "$out"
rm -f "$out"/index.m3u8 "$out"/seg*.ts
ffmpeg -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i "testsrc=size=160x120:rate=20:duration=$duration" \
  -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=$duration" \
  -c:v libx264 -preset ultrafast -crf 40 -pix_fmt yuv420p -force_key_frames "expr:gte(t,n_forced*0.5)" \
  -c:a aac -b:a 32k -shortest \
  -f hls -hls_time 0.5 -hls_playlist_type vod -hls_segment_options "muxrate=$muxrate" \
  -hls_segment_filename "$out/seg%d.ts" "$out/index.m3u8"
echo "$out/index.m3u8"
