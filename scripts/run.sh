#!/usr/bin/env bash
# Installs what is missing, builds, and starts the organiser.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target velmora
exec build/bin/velmora
