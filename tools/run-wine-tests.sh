#!/bin/bash
# Runs every test binary of the Windows build under wine, with the Chinese
# locale (code page 936); the text and code-page tests run once more under
# LC_ALL=C (file names are left out there: wine maps them through the host locale).
set -u
build=${1:-build/windows}
. "$(dirname "$0")/wine-env.sh" "$build"
wine_start
status=0
for exe in $(find "$build/tests" -name '*_tests.exe' | sort); do
  echo "=== wine $exe"
  wine "$exe" --gtest_brief=1 || status=1
done
echo "=== wine $build/tests/runtime/runtime_tests.exe under LC_ALL=C"
LC_ALL=C wine "$build/tests/runtime/runtime_tests.exe" --gtest_brief=1 --gtest_filter='Codepage*:Text*' || status=1
exit $status
