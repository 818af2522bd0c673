#!/usr/bin/env bash
# The real program's command line, and its options across runs: a 2 x 2 board saved at quit
# (the file's bytes) is there at the next start and is the board of the next game, which four
# hits win; with saving off, the quit removes the folder.
# $1: the built program. Runs on its own tmux server with a configuration folder of its own,
# which is there: the program makes only its own folder in it.
set -u

source "$(dirname "$0")/lib.sh"

program=$(realpath "$1")
config="$e2e_work/config"
out="$e2e_work/out"
mkdir -p "$config"

# --help and --version answer on standard output with 0 before the game starts: the first of
# the two, --version with the version the Info screen shows. A text that cannot be written
# ends with 1. Any other argument is ignored: the game starts, and with no input ends.
run() { XDG_CONFIG_HOME="$config" "$program" "$@" </dev/null >"$out" 2>&1; }
version=$(sed -n 's/.*"Version \([0-9.]*\) |.*/\1/p' "$(dirname "$0")/../../app/info_screens.cpp")
run --version && [ "$(cat "$out")" = "kentermeer $version" ] || fail "--version: $(cat "$out")"
run extra --help --version && head -n 1 "$out" | grep -q '^Usage: kentermeer ' || fail "--help: $(cat "$out")"
! "$program" --help >/dev/full 2>/dev/null || fail "--help into a full disk ended with 0"
run --helpme && grep -q "Spiel gegen Computer" "$out" || fail "an unknown argument kept the game from starting"

open_options() {
    wait_for "[x] Spiel gegen Computer"
    keys Down Enter
    wait_for "Sie ESC um zum Hauptmen"
}
start() { e2e_start "env XDG_CONFIG_HOME='$config' '$program'" && open_options; }

# Escape goes on its own, so that it is not read as the start of a key sequence.
quit() {
    keys Escape
    wait_for "[x] Optionen"
    keys Down Down Down Enter
    [ "$(exit_code)" = 0 ] || fail "the quit ended with $(exit_code)"
}

start
keys Down Enter Down Enter Down Enter 2 Enter Down Enter 2 Enter
wait_for "[x] Anzahl der Zeilen:  2"
quit
printf '2\r\n2\r\n0\r\n1\r\n' | cmp -s - "$config/Kentermeer/Optionen.cfg" ||
    fail "the options file holds $(od -An -c "$config/Kentermeer/Optionen.cfg")"

start
wait_for "[ ] Optionen speichern: An"
keys Escape
wait_for "[x] Optionen"
keys Up Enter
wait_for "DEIN FELD"
# Four ships on one line fill the board; the four shots typed ahead all hit.
keys "a1 b2 a2 b1" Enter "a1 b1 a2 b2" Enter
wait_for "ÛÛÛÛÛÛÛÛÛÛÛÛ" 30 # only the win banner has twelve in a row
keys Space
open_options
keys Down Enter Up Enter
wait_for "[x] Optionen speichern: Aus"
quit
[ ! -e "$config/Kentermeer" ] || fail "the options folder is still there"
echo "options saved, loaded and removed"
