#!/usr/bin/env bash
# A long power-cut run: kills the editor with SIGKILL at random moments while it saves, checks
# the saved programs after every kill. Usage: scripts/crash-soak.sh [kills] [seed]
# crash.py starts every editor inside a network namespace of its own (unshare -n, in
# tests/journey/xsession.py), so nothing it sends can leave the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tarnixworks-zoa
exec python3 tests/journey/crash.py --binary build/tarnixworks-zoa --kills "${1:-300}" \
  ${2:+--seed "$2"} --shots build/crash-soak-shots
