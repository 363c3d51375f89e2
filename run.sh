#!/usr/bin/env bash
# Installs what is missing, builds, and opens the editor.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G Ninja
cmake --build build
exec build/tarnixworks-zoa "$@"
