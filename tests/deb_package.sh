#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build folder and checks it as a Debian user would
# get it: its fields, its Depends (Qt 6, no QScintilla), its copyright and changelog,
# lintian's verdict, and that the program unpacked from it starts and ends cleanly.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$(ls "$work"/out/quindo_*.deb)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quindo ] || fail "Package"
[ "$(field Section)" = editors ] || fail "Section is '$(field Section)'"
[ "$(field Priority)" = optional ] || fail "Priority is '$(field Priority)'"
depends="$(field Depends)"
grep -qi qscintilla <<<"$depends" && fail "Depends names QScintilla: $depends"
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks Qt 6 Widgets: $depends"
# Every dependency is Qt 6 or the C/C++ runtime.
tr ',' '\n' <<<"$depends" | sed -e 's/^ *//' -e 's/[ (].*//' | while read -r dep; do
    [[ "$dep" =~ ^(libqt6|libc6$|libgcc-s1$|libstdc\+\+6$) ]] || fail "unexpected dependency $dep"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
[ -f "$root/usr/share/doc/quindo/copyright" ] || fail "no copyright file"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$root/usr/share/doc/quindo/copyright" || fail "copyright file is not machine-readable"
grep -q '^License: GPL-3+' "$root/usr/share/doc/quindo/copyright" || fail "no GPL-3+ in copyright"
zcat "$root/usr/share/doc/quindo/changelog.Debian.gz" | head -1 | grep -q "^quindo ($(field Version))" ||
    fail "changelog.Debian.gz does not name this version"
ldd "$root/usr/lib/quindo/quindo" | grep -qi qscintilla && fail "the packaged program asks for QScintilla"

# lintian: no errors (warnings are listed in the README).
lintian --fail-on error --no-tag-display-limit "$deb" | tee "$work/lintian.log" ||
    fail "lintian reports errors"

# The packaged program starts (it counts the run) and ends cleanly when asked to.
"$(dirname "$0")/smoke_start.sh" "$root/usr/bin/quindo" || fail "packaged program did not start and end cleanly"
echo "the package is complete, depends on Qt 6 only, is lintian-clean and its program starts"
