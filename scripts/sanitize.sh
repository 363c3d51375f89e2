#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer (leak detection on) and with ThreadSanitizer, and
# runs it; exits non-zero when a test fails or a sanitizer reports anything.
#
#   scripts/sanitize.sh [address|thread] [build-root]
#
# Without a sanitizer named, both run. The builds go to build-asan/ and build-tsan/ under
# build-root (the repository by default) and are kept, so that a second run builds only what
# changed. The property-list fuzzer is left out (it has sanitizers of its own, fuzz/README.md), and
# so are the tests that drive the editor under Xvfb (they pace themselves by the clock) and the
# package test (it checks packaging, and a sanitized binary is no package).
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"

case "${1:-}" in
  address) sanitizers=(address) ;;
  thread) sanitizers=(thread) ;;
  "" | all) sanitizers=(address thread) ;;
  *) echo "usage: $0 [address|thread] [build-root]" >&2; exit 2 ;;
esac
root="${2:-$repo}"

"$repo/scripts/deps.sh"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:check_initialization_order=1:strict_init_order=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

failed=()
for sanitizer in "${sanitizers[@]}"; do
  case "$sanitizer" in
    address) build="$root/build-asan" ;;
    thread) build="$root/build-tsan" ;;
  esac
  echo "== $sanitizer: $build"
  cmake -S "$repo" -B "$build" -G Ninja -DZOA_SANITIZE="$sanitizer" -DZOA_BUILD_BENCHMARKS=OFF
  cmake --build "$build"
  status=0
  (cd "$build" && ctest --output-on-failure --timeout 600 -j2 -E '^(PlistReaderFuzz|EditorJourney|EditorJourneyJapanese|EditorSurvivesKills|DebianPackage)$') || status=$?
  # A report from a process whose exit status no test looks at (a helper run through a pipe)
  # still fails the run.
  log="$build/Testing/Temporary/LastTest.log"
  reports=0
  if [ -f "$log" ]; then
    reports=$(grep -cE 'ERROR: (AddressSanitizer|LeakSanitizer)|WARNING: ThreadSanitizer' "$log" || true)
  fi
  if [ "$status" -ne 0 ] || [ "$reports" -ne 0 ]; then
    echo "== $sanitizer: ctest exit status $status, $reports sanitizer report(s) in $log" >&2
    failed+=("$sanitizer")
  else
    echo "== $sanitizer: every test passed, no sanitizer reports"
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "== failed: ${failed[*]}" >&2
  exit 1
fi
