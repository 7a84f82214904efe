#!/usr/bin/env bash
# Parses the macOS backend here, where Apple's SDK is not available.
#
# clang reads every Objective-C++ file of the backend, its macOS-only headers
# and the macOS composition (src/app/MacBackend.*) with -fsyntax-only,
# -x objective-c++, -fobjc-arc and -fblocks, against tools/macos-sdk-decls/
# (our own transcriptions of the Apple declarations the backend uses, each
# with the documentation page it came from) and the installed Qt headers.
#
# What passing proves: the code is well-formed Objective-C++ and consistent
# with those transcribed declarations: every Apple function, constant, class,
# method and property it names exists there with compatible types (under ARC
# an unknown selector is an error, even on an `id` receiver). What it does
# not prove: that Apple's SDK agrees with the transcriptions, that
# availability guards are right (the parse targets this machine, not macOS),
# or anything about behaviour. Only a build and a run on a Mac show those.
#
# Then a self-test: deliberate misspellings of Apple names, one per kind,
# and one argument of the wrong class, must each make the parse fail; if one
# does not, the check is broken.
set -euo pipefail
cd "$(dirname "$0")/.."

CLANG=${CLANG:-}
for candidate in clang++ clang++-14 clang++-15 clang++-16; do
  if [ -z "$CLANG" ] && command -v "$candidate" >/dev/null; then CLANG=$candidate; fi
done
if [ -z "$CLANG" ]; then
  echo "check-macos: clang++ not found (scripts/setup.sh installs it)" >&2
  exit 1
fi

qt_flags=$(pkg-config --cflags Qt6Core Qt6Gui Qt6Qml Qt6Quick)
flags=(-std=c++20 -fsyntax-only -x objective-c++ -fobjc-arc -fblocks -fobjc-runtime=macosx-13.0 -fPIC
       -Wall -Wextra -Wpedantic -Werror -Wobjc-method-access -Wundeclared-selector -Wno-pragma-once-outside-header
       -isystem tools/macos-sdk-decls -Isrc)
# shellcheck disable=SC2206
flags+=($qt_flags)

files=(src/platform/macos/*.mm src/platform/macos/*.h src/app/MacBackend.h src/app/MacBackend.cpp)

parse() { "$CLANG" "${flags[@]}" "$@"; }

status=0
for f in "${files[@]}"; do
  if ! parse "$f"; then
    echo "check-macos: FAILED $f" >&2
    status=1
  fi
done
if [ $status -ne 0 ]; then
  exit $status
fi
echo "check-macos: ${#files[@]} files parse against tools/macos-sdk-decls"

# Self-test. Each line: file|text|misspelt text. The copy goes to a scratch
# folder; its includes still resolve through -Isrc.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mutations=(
  "src/platform/macos/MacWorkspace.mm|frontmostApplication]|frontmostApplicaton]"
  "src/platform/macos/MacWorkspace.mm|application isKindOfClass:|application isKindOfClas:"
  "src/platform/macos/MacWorkspace.mm|NSWorkspaceDidActivateApplicationNotification|NSWorkspaceDidActivateAppNotification"
  "src/platform/macos/MacKeyboard.mm|CGEventTapCreate(|CGEventTapCreat("
  "src/platform/macos/MacKeyboard.mm|kCGEventSourceStateHIDSystemState|kCGEventSourceStateHIDSystem"
  "src/platform/macos/MacLoginItem.mm|registerAndReturnError:|registerAndReturnErorr:"
  "src/platform/macos/MacWindows.mm|orderFrontRegardless]|orderFrontRegardles]"
  "src/platform/macos/MacCapsLock.mm|IOHIDSetModifierLockState(|IOHIDSetModifierLockStat("
  "src/platform/macos/SparkleUpdates.mm|checkForUpdates:nil|checkForUpdate:nil"
  "src/platform/macos/MacStrings.h|[dictionary objectForKey:key]|[dictionary objectForKy:key]"
  "src/platform/macos/MacWorkspace.mm|openApplicationAtURL:[NSURL fileURLWithPath:toNSString(path)]|openApplicationAtURL:toNSString(path)"
)
caught=0
for m in "${mutations[@]}"; do
  IFS='|' read -r file text misspelt <<<"$m"
  copy="$scratch/$(basename "$file")"
  python3 - "$file" "$copy" "$text" "$misspelt" <<'EOF'
import sys
source, copy, text, misspelt = sys.argv[1:]
content = open(source, encoding="utf-8").read()
if text not in content:
    sys.exit(f"check-macos: self-test text {text!r} is no longer in {source}")
open(copy, "w", encoding="utf-8").write(content.replace(text, misspelt, 1))
EOF
  if parse "$copy" 2>/dev/null; then
    echo "check-macos: SELF-TEST FAILED: '$misspelt' in $file was not caught" >&2
    exit 1
  fi
  caught=$((caught + 1))
done
echo "check-macos: self-test: all $caught deliberate mistakes (misspelt Apple names, a wrong argument class) were caught"
