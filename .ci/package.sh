#!/usr/bin/env bash
# Installing and the packages: an install into a scratch prefix (files, --help, --version, the
# manual page), the .deb (contents, lintian, installed, run from the PATH, removed), the
# .tar.gz, and the Windows .zip (contents, and no DLL needed beside the exe). Everything is
# built in build-package/ and build-windows-zip/ with the tests left out.
set -euo pipefail
cd "$(dirname "$0")/.."

source .ci/install.sh
install_packages --no-install-recommends -- cmake make g++ dpkg-dev lintian groff man-db \
    g++-mingw-w64-x86-64-posix unzip

started=$SECONDS
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

build=build-package
# Debian's compiler and linker flags for packages, hardening included.
buildflags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -DKENTERMEER_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr/local \
    -DCMAKE_CXX_FLAGS="$(buildflags CPPFLAGS) $(buildflags CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(buildflags LDFLAGS)" >/dev/null
cmake --build "$build" -j2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

echo "== cmake --install into a scratch prefix"
prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix"
for file in bin/kentermeer share/man/man6/kentermeer.6.gz share/doc/kentermeer/README.md \
    share/doc/kentermeer/LICENSE; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
[ -x "$prefix/bin/kentermeer" ] || fail "the installed game cannot be run"
"$prefix/bin/kentermeer" --help </dev/null >"$scratch/help" || fail "--help ended with $?"
head -n 1 "$scratch/help"
[ "$("$prefix/bin/kentermeer" --version </dev/null)" = "kentermeer $version" ] ||
    fail "--version does not say $version"
echo "kentermeer --version: kentermeer $version"

echo "== The manual page"
page="$scratch/kentermeer.6"
gzip -dc "$prefix/share/man/man6/kentermeer.6.gz" >"$page"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS KEYS "EXIT STATUS" ENVIRONMENT FILES; do
    grep -qx "\.SH \"\{0,1\}$section\"\{0,1\}" "$page" || fail "no $section in the manual page"
done
warnings=$(groff -man -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man: $warnings"
echo "clean"

echo "== The .deb and the .tar.gz"
cmake "$build" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j2
(cd "$build" && cpack)
deb="$build/kentermeer_${version}_$(dpkg --print-architecture).deb"
dpkg-deb --field "$deb" Package Version Section Depends
dpkg -c "$deb"
tar -tzvf "$build/kentermeer-$version-Linux.tar.gz"
# Only errors fail the run; warnings and notes are shown.
lintian --display-info --pedantic "$deb" >"$scratch/lintian" 2>&1 || true
grep -v "running with root privileges" "$scratch/lintian" || echo "lintian: nothing to report"
! grep -q "^E:" "$scratch/lintian" || fail "lintian reports errors"

echo "== The .deb installed, run from the PATH, removed"
dpkg -i "$deb"
# A user's login PATH has /usr/games (root's has not).
runuser -u nobody -- env -i sh -lc 'cd / && command -v kentermeer && kentermeer --version' |
    tee "$scratch/from-path"
[ "$(tail -n 1 "$scratch/from-path")" = "kentermeer $version" ] || fail "not on a user's PATH"
[ "$(man -w kentermeer)" = /usr/share/man/man6/kentermeer.6.gz ] || fail "man finds no page"
warnings=$(MANWIDTH=80 man --warnings kentermeer 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man kentermeer: $warnings"
dpkg -L kentermeer | while read -r path; do [ -d "$path" ] || echo "$path"; done >"$scratch/files"
dpkg -P kentermeer
while read -r path; do
    [ ! -e "$path" ] || fail "left behind after removal: $path"
done <"$scratch/files"
[ ! -e /usr/share/doc/kentermeer ] || fail "left behind after removal: /usr/share/doc/kentermeer"
echo "removed cleanly"

echo "== The Windows .zip"
windows=build-windows-zip
cmake -S . -B "$windows" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DKENTERMEER_TESTS=OFF >/dev/null
cmake --build "$windows" -j2
(cd "$windows" && cpack)
zip="$windows/kentermeer-$version-win64.zip"
unzip -l "$zip"
for file in kentermeer.exe LIESMICH.txt LICENSE.txt; do
    unzip -l "$zip" "kentermeer-$version-win64/$file" >/dev/null || fail "$file is not in the zip"
done
! unzip -l "$zip" "kentermeer-$version-win64/README.md" >/dev/null ||
    fail "the Unix README is in the zip"
[ "$(unzip -Z1 "$zip" | grep -ci '\.dll$')" = 0 ] || fail "a DLL is in the zip"
unzip -o -q "$zip" -d "$scratch"
# Notepad's line ends on every line, UTF-8 marked as such, and the version it is for.
liesmich="$scratch/kentermeer-$version-win64/LIESMICH.txt"
[ "$(grep -c $'\r$' "$liesmich")" = "$(wc -l <"$liesmich")" ] || fail "LIESMICH.txt is not CR LF"
head -n 1 "$liesmich" | grep -q $'^\xef\xbb\xbfKentermeer '"$version " ||
    fail "LIESMICH.txt has no byte-order mark or names no version"
x86_64-w64-mingw32-objdump -p "$scratch/kentermeer-$version-win64/kentermeer.exe" |
    sed -n 's/^\tDLL Name: //p' >"$scratch/dlls"
echo "imports: $(tr '\n' ' ' <"$scratch/dlls")"
# Only DLLs that every Windows has.
! grep -viE '^(kernel32|user32|shell32|advapi32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$' \
    "$scratch/dlls" || fail "the exe needs a DLL that Windows does not bring"

echo "== Packages checked in $((SECONDS - started)) s"
