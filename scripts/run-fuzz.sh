#!/usr/bin/env bash
# Runs every fuzz target built by the fuzz preset for SECONDS each (default
# 15), starting from its seed corpus in fuzz/corpus/. New inputs go to a
# scratch folder, so the checked-in seeds stay as they are; a crash leaves
# its input in build/fuzz/crashes/ and fails the run. The random seed is
# fixed (FUZZ_SEED, default 1) so that what CI meets can be met again here;
# FUZZ_SEED=0 lets libFuzzer pick one, for exploring.
#   bash scripts/run-fuzz.sh 600             every target, ten minutes each
#   bash scripts/run-fuzz.sh 600 fuzz_appcast  one target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
seed=${FUZZ_SEED:-1}
shift || true
bin=build/fuzz/fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_settings_file fuzz_stores fuzz_appcast fuzz_sim_script fuzz_evdev_stream fuzz_inputd_protocol)
fi
mkdir -p build/fuzz/crashes
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
for t in "${targets[@]}"; do
  if [ ! -x "$bin/$t" ]; then
    echo "missing fuzz target $bin/$t (cmake --preset fuzz && cmake --build --preset fuzz)" >&2
    exit 1
  fi
  scratch=$(mktemp -d)
  echo "-- $t for ${seconds} s, seed $seed"
  started=$(date +%s)
  "$bin/$t" -max_total_time="$seconds" -seed="$seed" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/crashes/$t-" "$scratch" "fuzz/corpus/$t" 2>"build/fuzz/$t.log" || {
    tail -n 60 "build/fuzz/$t.log"
    rm -rf "$scratch"
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^Done' "build/fuzz/$t.log" || true
  echo "   ($t took $(( $(date +%s) - started )) s)"
  rm -rf "$scratch"
done
