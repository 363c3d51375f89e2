#!/usr/bin/env bash
# Installs what is missing, builds, and opens the editor.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G Ninja
cmake --build build
if [ ! -x build/tarnixworks-zoa ]; then
  echo "The editor window is not built yet: the libraries and tests are, the window comes later."
  exit 0
fi
exec build/tarnixworks-zoa "$@"
