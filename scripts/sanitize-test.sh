#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan and
# runs the suite there. Any sanitizer report fails the test that made it, and so this script:
# a test stops at its first undefined behaviour (-fno-sanitize-recover=all) or memory error
# (halt_on_error), leaks are looked for at its end, and no report is suppressed (the options
# are set for every test in tests/CMakeLists.txt).
#
#   scripts/sanitize-test.sh            configure, build and run every test
#   scripts/sanitize-test.sh -R markup  extra arguments go to ctest
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-asan"
jobs="$(nproc 2>/dev/null || echo 2)"

"$root/scripts/install-deps.sh" test

# -O1 keeps the sanitized program quick, and line tables (-g1) let the stack traces name every
# frame and line at a fraction of the cost of full debug information.
"$root/scripts/configure.sh" "$build" \
  -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DZORVIK_SANITIZE=ON
cmake --build "$build" -j "$jobs"

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" "$@"
