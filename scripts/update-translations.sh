#!/usr/bin/env bash
# Refreshes the translation catalogues from the sources (C++ tr() and QML
# qsTr()), keeping every translation already written. Run after adding or
# changing a user-visible text, then translate the new entries.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=/usr/lib/qt6/bin/lupdate
[ -x "$lupdate" ] || lupdate=$(command -v lupdate)
"$lupdate" -locations none -no-obsolete src -extensions cpp,h,qml \
  -ts resources/translations/kestrune_en.ts resources/translations/kestrune_ja.ts
