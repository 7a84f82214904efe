#!/usr/bin/env bash
# Builds the Debian package from a preset's build (release unless named),
# checks what it carries, and runs lintian on it: any lintian error fails,
# the warnings are listed. CI can run it after scripts/test.sh with the
# default preset, whose build is then already there.
#
#   bash scripts/check-package.sh [PRESET]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"
bash scripts/setup.sh
cmake --preset "$preset" > /dev/null
build="build/$preset"
cmake --build --preset "$preset" --target kestrune kestrune-inputd kestrune_compressed_docs > /dev/null
rm -rf "$build/package"
# Only the install rules are packaged; cpack installs into its own staging
# folder under the package prefix (/usr).
cpack --config "$build/CPackConfig.cmake" -B "$build/package" > /dev/null
deb=$(ls "$build"/package/kestrune_*.deb)
echo "built $deb"

fail() { echo "check-package: $*" >&2; exit 1; }
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/kestrune ./usr/share/doc/kestrune/copyright ./usr/share/doc/kestrune/changelog.Debian.gz \
    ./usr/share/doc/kestrune/README.md ./usr/share/man/man1/kestrune.1.gz \
    ./usr/share/metainfo/com.kestrune.Kestrune.metainfo.xml ./usr/libexec/kestrune/kestrune-input-access \
    ./usr/lib/systemd/system/kestrune-inputd.service ./usr/lib/sysusers.d/kestrune.conf \
    ./usr/lib/udev/rules.d/70-kestrune-inputd.rules ./usr/lib/modules-load.d/kestrune.conf \
    ./usr/libexec/kestrune/kestrune-inputd ./usr/share/libinput/50-kestrune.quirks; do
    grep -q " $path\$" <<< "$contents" || fail "$path is not in the package"
done
if grep -q "/usr/local" <<< "$contents"; then fail "the package installs under /usr/local"; fi
# The package gives no user access to the keyboards: the development
# install's rule is not in it, and nothing it installs but the documentation
# (the README explains that rule) names logind's uaccess.
if grep -q "70-kestrune.rules\$" <<< "$contents"; then fail "the package carries the development access rule"; fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -R "$deb" "$unpacked"
grep -q ">/usr/libexec/kestrune/kestrune-input-access<" \
    "$unpacked/usr/share/polkit-1/actions/com.kestrune.Kestrune.input-access.policy" \
    || fail "the polkit action does not name /usr/libexec/kestrune/kestrune-input-access"
[ -x "$unpacked/DEBIAN/prerm" ] || fail "no prerm"
granting=$(grep -rl --exclude-dir=DEBIAN uaccess "$unpacked" | grep -v "^$unpacked/usr/share/doc/" || true)
[ -z "$granting" ] || fail "installed files name uaccess: $granting"
# The unit as systemd reads it; its executable is on this machine only once
# the package is installed.
verified=$(systemd-analyze verify --man=no "$unpacked/usr/lib/systemd/system/kestrune-inputd.service" 2>&1 || true)
verified=$(grep -v "Command /usr/libexec/kestrune/kestrune-inputd is not executable" <<< "$verified" || true)
[ -z "$verified" ] || fail "systemd-analyze verify kestrune-inputd.service: $verified"
# Its sandbox stays as tight as it is (the unit says what is left out, and why).
exposure=$(systemd-analyze security --offline=yes "$unpacked/usr/lib/systemd/system/kestrune-inputd.service" 2>&1 \
    | sed -n 's/.*Overall exposure level for kestrune-inputd.service: \([0-9.]*\).*/\1/p')
[ -n "$exposure" ] || fail "systemd-analyze security rated no exposure for kestrune-inputd.service"
awk -v e="$exposure" 'BEGIN { exit !(e <= 1.0) }' \
    || fail "kestrune-inputd.service's exposure is $exposure, above 1.0 (systemd-analyze security --offline=yes)"
echo "kestrune-inputd.service: exposure $exposure"
version=$(dpkg-deb -f "$deb" Version)
changelog_version=$(zcat "$unpacked/usr/share/doc/kestrune/changelog.Debian.gz" | sed -n '1s/^kestrune (\([^)]*\)).*/\1/p')
[ "$version" = "$changelog_version" ] \
    || fail "the package is $version but resources/linux/debian/changelog starts with $changelog_version"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/com.kestrune.Kestrune.metainfo.xml" > /dev/null \
    || fail "the AppStream metadata does not validate"

# lintian exits 1 when it found errors, 2 when it could not check.
status=0
lintian --display-info --tag-display-limit 0 "$deb" > "$build/package/lintian.txt" 2>&1 || status=$?
cat "$build/package/lintian.txt"
[ "$status" -le 1 ] || fail "lintian could not check the package (status $status)"
echo "lintian: $(grep -c '^E:' "$build/package/lintian.txt" || true) errors," \
    "$(grep -c '^W:' "$build/package/lintian.txt" || true) warnings"
if grep -q '^E:' "$build/package/lintian.txt"; then fail "lintian found errors"; fi

# The maintainer scripts, run by dpkg itself on a copy of this machine:
# install, upgrade from 0.1.0-1 and its access rule, remove, purge.
bash tests/package/upgrade-test.sh "$deb"
