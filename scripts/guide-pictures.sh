#!/usr/bin/env bash
# Walks the journey test and keeps its pictures for README.md's guide in docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tarnixworks-zoa
mkdir -p docs
# The walks run in a network namespace of their own (and start the editor inside a further one,
# tests/journey/xsession.py), so no datagram can leave the machine.
unshare -n python3 tests/journey/journey.py --binary build/tarnixworks-zoa \
  --shots build/journey-shots --docs docs
# The pictures shown in both languages, from the same walk in Japanese.
exec unshare -n python3 tests/journey/journey.py --binary build/tarnixworks-zoa \
  --shots build/journey-shots-ja --docs docs --lang ja_JP.UTF-8
