# Sourced by the scripts that run the Windows build under wine.
# Usage: . tools/wine-env.sh <build folder>; then wine_start (once) and wine ...
# The prefix lives inside the build folder; a virtual display is started first,
# because a wineserver started without one leaves later windows hanging.
QR_WINE_BUILD=${1:-build/windows}
export WINEPREFIX="$(cd "$QR_WINE_BUILD" && pwd)/wineprefix"
export WINEDEBUG=-all
export LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_start() {
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    exec 9<> /tmp/qr-xvfb-fd.$$
    Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QR_XVFB_PID=$!
    for _ in $(seq 50); do
      n=$(cat /tmp/qr-xvfb-fd.$$ 2>/dev/null | head -1)
      [ -n "$n" ] && break
      sleep 0.1
    done
    rm -f /tmp/qr-xvfb-fd.$$
    export DISPLAY=":$n"
    trap 'wine_stop' EXIT
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    # Chinese glyphs: let the standard Chinese face fall back to an installed one.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '微软雅黑' /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
    wineserver -w
  fi
}

wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${QR_XVFB_PID:-}" ] && kill "$QR_XVFB_PID" 2>/dev/null || true
}
