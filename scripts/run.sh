#!/usr/bin/env bash
# Installs what is missing, builds the release preset, and runs Kestrune's
# key engine on the simulated backend over the bundled tour (or the script
# given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release > /dev/null
cmake --build --preset release > /dev/null
exec build/release/tools/kestrune-sim/kestrune-sim "${1:-tools/kestrune-sim/tour.ksim}"
