#!/bin/sh
# Makes a short HLS VOD stream for tests and the demo with the system's ffmpeg:
# H.264 test picture + AAC tone, index.m3u8 and seg0.ts, seg1.ts, ... in OUT_DIR.
# Usage: tools/make-hls-stream.sh OUT_DIR [options]
#   --duration S   length in seconds (default 6)
#   --segment S    segment length in seconds (default 1)
#   --aes          AES-128 encrypted segments; the key file k1.key sits beside
#                  them and the playlist names it by the relative URI "k1.key"
#   --master       also writes master.m3u8 (one variant, the line "index.m3u8")
#                  and master-abs.m3u8 (the same with the absolute path
#                  "/index.m3u8", resolved against the server's root)
#   --crlf         playlist lines end in CR LF
#   --query        segment lines read segN.ts?token=abc123 (a server that
#                  ignores query strings still finds segN.ts)
set -eu
usage() {
  sed -n '2,16s/^# \{0,1\}//p' "$0" >&2
  exit 2
}
[ $# -ge 1 ] || usage
out=$1
shift
duration=6 segment=1 aes=no master=no crlf=no query=no
while [ $# -gt 0 ]; do
  case $1 in
  --duration) duration=${2:?}; shift ;;
  --segment) segment=${2:?}; shift ;;
  --aes) aes=yes ;;
  --master) master=yes ;;
  --crlf) crlf=yes ;;
  --query) query=yes ;;
  *) usage ;;
  esac
  shift
done
mkdir -p "$out"
rm -f "$out"/index.m3u8 "$out"/seg*.ts "$out"/master*.m3u8 "$out"/k1.key "$out"/key.info

key_info=""
if [ "$aes" = yes ]; then
  openssl rand 16 >"$out/k1.key"
  # Key URI as written into the playlist, then the key file ffmpeg reads.
  key_info="$out/key.info"
  printf 'k1.key\n%s\n' "$out/k1.key" >"$key_info"
fi

# A key frame at every segment boundary, so every segment starts cleanly.
ffmpeg -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i "testsrc=size=320x240:rate=25:duration=$duration" \
  -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$duration" \
  -c:v libx264 -preset ultrafast -pix_fmt yuv420p -force_key_frames "expr:gte(t,n_forced*$segment)" \
  -c:a aac -b:a 64k -shortest \
  -f hls -hls_time "$segment" -hls_playlist_type vod ${key_info:+-hls_key_info_file "$key_info"} \
  -hls_segment_filename "$out/seg%d.ts" "$out/index.m3u8"
rm -f "$out/key.info"

if [ "$master" = yes ]; then
  for variant in index.m3u8 /index.m3u8; do
    name=master.m3u8
    [ "$variant" = /index.m3u8 ] && name=master-abs.m3u8
    printf '%s\n' '#EXTM3U' '#EXT-X-VERSION:3' \
      '#EXT-X-STREAM-INF:BANDWIDTH=400000,RESOLUTION=320x240,CODECS="avc1.42c00d,mp4a.40.2"' "$variant" >"$out/$name"
  done
fi
if [ "$query" = yes ]; then
  sed -i 's/^\(seg[0-9]*\.ts\)$/\1?token=abc123/' "$out/index.m3u8"
fi
if [ "$crlf" = yes ]; then
  for playlist in "$out"/*.m3u8; do sed -i 's/$/\r/' "$playlist"; done
fi
echo "$out/index.m3u8"
