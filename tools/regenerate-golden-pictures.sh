#!/usr/bin/env bash
# Draws the golden pictures of the drawing tests anew (tests/drawing/golden/*.png) after a
# deliberate change of a drawing. Look at every picture that changed (git diff --stat, then the
# pictures themselves) before committing them.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" > /dev/null
cmake --build "$BUILD" -j "$(nproc)" --target tw_drawing_tests
rm -f tests/drawing/golden/*.png
QT_QPA_PLATFORM=offscreen TW_WRITE_GOLDEN="$PWD/tests/drawing/golden" \
  "$BUILD/tests/drawing/tw_drawing_tests" --gtest_filter='GoldenPictures.*'
git status --short tests/drawing/golden
