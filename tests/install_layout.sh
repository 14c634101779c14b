#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks the layout a desktop expects:
# program and data in lib/quindo, bin/quindo a relative link to it, a valid launcher,
# the icon and the AppStream description; then starts the installed program through the
# link.
set -euo pipefail
build="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
prefix="$root/usr"

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in lib/quindo/quindo lib/quindo/HTMLREF2.HTM lib/quindo/aboutqn.html \
         lib/quindo/sample.html lib/quindo/quindo.svg \
         share/applications/quindo.desktop \
         share/icons/hicolor/scalable/apps/quindo.svg \
         share/metainfo/org.quindo.Quindo.metainfo.xml; do
    [ -f "$prefix/$f" ] || fail "$f is missing"
done
[ -x "$prefix/lib/quindo/quindo" ] || fail "the program is not executable"
[ -L "$prefix/bin/quindo" ] || fail "bin/quindo is not a link"
[ "$(readlink "$prefix/bin/quindo")" = "../lib/quindo/quindo" ] || fail "bin/quindo points elsewhere"
[ "$(readlink -f "$prefix/bin/quindo")" = "$(readlink -f "$prefix/lib/quindo/quindo")" ] ||
    fail "bin/quindo does not reach the program"

desktop-file-validate "$prefix/share/applications/quindo.desktop" || fail "launcher is not valid"
grep -q '^Exec=quindo %f$' "$prefix/share/applications/quindo.desktop" || fail "launcher Exec"
grep -q '^Icon=quindo$' "$prefix/share/applications/quindo.desktop" || fail "launcher Icon"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/org.quindo.Quindo.metainfo.xml" ||
        fail "metainfo is not valid"
fi
grep -q '<release version="[0-9]*\.[0-9]*\.[0-9]*"' \
    "$prefix/share/metainfo/org.quindo.Quindo.metainfo.xml" || fail "metainfo has no version"

# The program carries our patched QScintilla inside itself: the loader is asked for no
# QScintilla library, not even where Debian's unpatched copy is installed (the test set-up
# installs it, so every machine checks the same case).
[ -e /usr/lib/x86_64-linux-gnu/libqscintilla2_qt6.so.15 ] ||
    fail "Debian's libqscintilla2-qt6-15 is not installed (scripts/install-deps.sh --test)"
deps="$(ldd "$prefix/lib/quindo/quindo")" || fail "ldd failed"
grep -qi qscintilla <<<"$deps" && fail "the installed program asks for a QScintilla library: $deps"
grep -q 'not found' <<<"$deps" && fail "the installed program misses a library: $deps"
[ -f "$prefix/share/doc/quindo/copyright" ] || fail "no copyright file"

# Started through the link, the installed program comes up (it counts the run) and ends
# cleanly when the session asks it to.
"$(dirname "$0")/smoke_start.sh" "$prefix/bin/quindo" || fail "installed program did not start and end cleanly"
echo "installed layout is complete and the program starts through bin/quindo"
