#!/bin/sh
# Installs the Debian packages the builds and tests need, when they are missing,
# and makes sure the Chinese locale that the Windows tests run under exists.
set -eu
packages="g++ cmake make pkg-config googletest libgtest-dev libgmock-dev qt6-base-dev libcurl4-openssl-dev
libcpp-httplib-dev libssl-dev ffmpeg g++-mingw-w64-x86-64 wine wine64 xvfb xauth fonts-wqy-microhei locales
imagemagick x11-apps clang-format clang-14 libclang-rt-14-dev python3"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
# npm fetches the Windows ffmpeg.exe; a machine with its own Node.js has it
# already, and Debian's npm would conflict with that Node.js.
command -v npm >/dev/null 2>&1 || missing="$missing npm"
if [ -n "$missing" ]; then
  echo "installing:$missing"
  if [ "$(id -u)" != 0 ]; then echo "run as root to install:$missing" >&2; exit 1; fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  if [ "$(id -u)" = 0 ]; then
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
  fi
fi
