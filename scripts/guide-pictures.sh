#!/usr/bin/env bash
# Walks the journey test and keeps its pictures for README.md's guide in docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tarnixworks-zoa
mkdir -p docs
# The journey starts the editor itself, always inside `unshare -n` (tests/journey/xsession.py).
python3 tests/journey/journey.py --binary build/tarnixworks-zoa \
  --shots build/journey-shots --docs docs
# The pictures shown in both languages, from the same walk in Japanese.
exec python3 tests/journey/journey.py --binary build/tarnixworks-zoa \
  --shots build/journey-shots-ja --docs docs --lang ja_JP.UTF-8
