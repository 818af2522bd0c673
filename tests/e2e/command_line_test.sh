#!/usr/bin/env bash
# --help and --version answer on standard output and end with 0 before the game starts: plain
# ASCII that fits 80 columns, and the version the Info screen shows. A text that cannot be
# written ends with 1. Any other argument is ignored: the game starts (and, with no input,
# ends at once).
set -u

program=${1:?usage: command_line_test.sh PATH_TO_KENTERMEER}
info_source="$(dirname "$0")/../../app/info_screens.cpp"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# No terminal and no input; a home of its own, so that nothing can touch the user's options.
run() {
    HOME="$work" XDG_CONFIG_HOME="$work" "$program" "$@" </dev/null >"$work/out" 2>&1
}

version=$(sed -n 's/.*"Version \([0-9.]*\) |.*/\1/p' "$info_source")
run --version || fail "--version ended with $?"
[ "$(cat "$work/out")" = "kentermeer $version" ] || fail "--version printed: $(cat "$work/out")"

for arguments in "--help" "extra --help --version"; do
    # shellcheck disable=SC2086
    run $arguments || fail "$arguments ended with $?"
    head -n 1 "$work/out" | grep -q '^Usage: kentermeer ' || fail "$arguments printed no usage line"
    ! LC_ALL=C grep -q '[^ -~]' "$work/out" || fail "$arguments printed more than plain ASCII"
    [ "$(wc -L <"$work/out")" -le 80 ] || fail "$arguments printed lines wider than 80 columns"
done

"$program" --help >/dev/full 2>/dev/null && fail "--help into a full disk ended with 0"

run --helpme || fail "the game with an unknown argument ended with $?"
grep -q "Spiel gegen Computer" "$work/out" || fail "an unknown argument kept the game from starting"
echo "PASS: --help, --version, a failed write, an ignored argument"
