#!/bin/bash
# Runs every test binary of the Windows build under wine, with the Chinese
# locale (code page 936); the text and code-page tests, and the window's texts,
# run once more under LC_ALL=C (file names are left out there: wine maps them
# through the host locale). With a Linux build folder as well, the download
# road runs end to end with the Windows console program (the loopback server
# and the checks come from the Linux build).
# Usage: tools/run-wine-tests.sh [windows build folder] [linux build folder]
set -u
build=${1:-build/windows}
linux_build=${2:-}
. "$(dirname "$0")/wine-env.sh" "$build"
wine_start
status=0
for exe in $(find "$build/tests" -name '*_tests.exe' | sort); do
  echo "=== wine $exe"
  wine "$exe" --gtest_brief=1 || status=1
done
echo "=== wine $build/tests/runtime/runtime_tests.exe under LC_ALL=C"
LC_ALL=C wine "$build/tests/runtime/runtime_tests.exe" --gtest_brief=1 --gtest_filter='Codepage*:Text*' || status=1
# The window shows its Chinese texts through the UTF-16 functions, whatever the system's code page.
if [ -f "$build/tests/ui/win32/win32_tests.exe" ]; then
  echo "=== wine $build/tests/ui/win32/win32_tests.exe (texts on screen) under LC_ALL=C"
  LC_ALL=C wine "$build/tests/ui/win32/win32_tests.exe" --gtest_brief=1 \
    --gtest_filter='DialogFilter*:Win32WindowTest.Opens*:Win32WindowTest.MenuBar*:Win32WindowTest.MessageBoxes*:Win32WindowTest.OpenDialog*:FormWindowTest.*' || status=1
fi
if [ -n "$linux_build" ]; then
  # config.ini written by each build and read by the other.
  echo "=== config.ini from Linux to Windows and back"
  exchange=$(mktemp -d /tmp/quillreel-exchange.XXXXXX)
  filter=--gtest_filter=ConfigExchange.*
  QUILLREEL_CONFIG_EXCHANGE=$exchange "$linux_build/tests/app/app_tests" "$filter" --gtest_brief=1 || status=1
  QUILLREEL_CONFIG_EXCHANGE=$(winepath -w "$exchange") QUILLREEL_CONFIG_EXCHANGE_READ=linux \
    wine "$build/tests/app/app_tests.exe" "$filter" --gtest_brief=1 || status=1
  QUILLREEL_CONFIG_EXCHANGE=$exchange QUILLREEL_CONFIG_EXCHANGE_READ=windows \
    "$linux_build/tests/app/app_tests" "$filter" --gtest_brief=1 || status=1
  rm -rf "$exchange"
  echo "=== download road with $build/bin/quillreel-cli.exe"
  bash "$(dirname "$0")/../tests/e2e/download_road_test.sh" "$linux_build" "$build" || status=1
fi
exit $status
