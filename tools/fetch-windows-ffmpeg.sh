#!/bin/sh
# Puts a Windows ffmpeg.exe into a cache folder (default build/windows/cache)
# and prints its path. The executable comes from the npm package
# @ffmpeg-installer/win32-x64, fetched with `npm pack` only when the cached copy
# is missing. Installs nothing: npm must already be there (tools/install-deps.sh).
# Usage: tools/fetch-windows-ffmpeg.sh [cache folder]
set -eu
cd "$(dirname "$0")/.."
cache=${1:-build/windows/cache}
package=@ffmpeg-installer/win32-x64
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
if [ ! -s "$cache/ffmpeg.exe" ]; then
  if ! command -v npm >/dev/null 2>&1; then
    echo "fetch-windows-ffmpeg: npm is missing; run tools/install-deps.sh as root" >&2
    exit 1
  fi
  work=$(mktemp -d /tmp/quillreel-ffmpeg.XXXXXX)
  trap 'rm -rf "$work"' EXIT
  tarball=$(cd "$work" && npm pack --silent "$package" | tail -1)
  tar -xzf "$work/$tarball" -C "$work" package/ffmpeg.exe
  # Renamed into place last, so an interrupted fetch never leaves a partial ffmpeg.exe behind.
  mv "$work/package/ffmpeg.exe" "$cache/ffmpeg.exe.part"
  mv "$cache/ffmpeg.exe.part" "$cache/ffmpeg.exe"
fi
echo "$cache/ffmpeg.exe"
