#!/usr/bin/env bash
# Saves a 2 x 2 board through the options menu, quits, checks the file's bytes, starts again
# and finds the options there, plays a game on that 2 x 2 board to the win banner; then turns
# saving off, quits and finds the folder gone.
# $1: the built program. Runs on its own tmux server with a configuration folder of its own.
set -u

source "$(dirname "$0")/lib.sh"

program=$(realpath "$1")
config="$e2e_work/config"
# The program makes its own folder in a configuration folder that is there, never the
# configuration folder itself outside the home.
mkdir -p "$config"
options_file="$config/Kentermeer/Optionen.cfg"

start() { e2e_start "env XDG_CONFIG_HOME='$config' '$program'"; }

# Quits from the main menu with the mark on Optionen and checks the exit code.
quit_from_options_entry() {
    wait_for "[x] Optionen"
    keys Down Down Down
    wait_for "[x] Beenden"
    keys Enter
    local code
    code=$(exit_code)
    [ "$code" = 0 ] || fail "exit code $code"
}

open_options() {
    wait_for "[ ] Beenden"
    keys Down
    wait_for "[x] Optionen"
    keys Enter
    wait_for "Sie ESC um zum Hauptmen"
}

# First run: saving on, a board of 2 x 2.
start
open_options
keys Down Enter Down Enter
wait_for "[x] Optionen speichern: An"
keys Down Enter 2 Enter
wait_for "[x] Anzahl der Spalten: 2"
keys Down Enter 2 Enter
wait_for "[x] Anzahl der Zeilen:  2"
keys Escape
quit_from_options_entry
[ -f "$options_file" ] || fail "no options file"
printf '2\r\n2\r\n0\r\n1\r\n' | cmp -s - "$options_file" ||
    fail "options file holds $(od -An -c "$options_file")"

# Second run: the options are back; saving is turned off again.
start
open_options
wait_for "[x] Cheat Mode:         Aus"
wait_for "[ ] Optionen speichern: An"
wait_for "[ ] Anzahl der Spalten: 2"
wait_for "[ ] Anzahl der Zeilen:  2"
keys Escape

# A game on the loaded 2 x 2 board: four ships typed ahead on one line fill it, so every one
# of the four shots hits and the player wins before the computer fires.
wait_for "[x] Optionen"
keys Up Enter
wait_for "DEIN FELD"
keys "a1 b2 a2 b1" Enter
for cell in a1 b1 a2 b2; do
    wait_for "Feuer frei!"
    keys "$cell" Enter
    wait_for "|__)|"
done
wait_for "zum Hauptmenü zurückzukehren..."
screen | grep -q "ÛÛÛ" || fail "no win banner"
if screen | grep -q "Gegner am Zug"; then
    fail "the computer fired on a board full of hits"
fi
keys Space
wait_for "[x] Spiel gegen Computer"
open_options
keys Down Enter Up Enter
wait_for "[x] Optionen speichern: Aus"
keys Escape
quit_from_options_entry
[ ! -e "$config/Kentermeer" ] || fail "the options folder is still there"

echo "options saved, loaded and removed"
