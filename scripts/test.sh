#!/usr/bin/env bash
# Installs what is missing, builds the default (debug) preset with warnings
# as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default -DKESTRUNE_WERROR=ON
cmake --build --preset default
ctest --preset default -j2
