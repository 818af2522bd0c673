#!/usr/bin/env bash
# Saves a 2 x 2 board through the options menu, quits, checks the file's bytes, starts again
# and finds the options there, plays a game on that 2 x 2 board to the win banner; then turns
# saving off, quits and finds the folder gone.
# $1: the built program. Runs on its own tmux server with a configuration folder of its own.
set -u

program=$(realpath "$1")
work=$(mktemp -d)
socket="kentermeer-options-e2e-$$"
config="$work/config"
options_file="$config/Kentermeer/Optionen.cfg"

tmux_() { tmux -L "$socket" "$@"; }
cleanup() {
    tmux_ kill-server 2>/dev/null
    rm -f "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$socket"
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    tmux_ capture-pane -p -t game 2>/dev/null
    exit 1
}

# Starts the program; its exit code lands in $work/exit.
start() {
    rm -f "$work/exit"
    tmux_ new-session -d -s game -x 197 -y 70 \
        "env XDG_CONFIG_HOME='$config' '$program'; echo \$? > '$work/exit'; sleep 60" ||
        fail "tmux did not start"
}

# Waits up to ten seconds for a text anywhere on the screen.
wait_for() {
    for _ in $(seq 100); do
        if tmux_ capture-pane -p -t game | grep -qF -- "$1"; then
            return 0
        fi
        sleep 0.1
    done
    fail "no \"$1\" on screen"
}

keys() { tmux_ send-keys -t game "$@"; }

# Quits from the main menu with the mark on Optionen and checks the exit code.
quit_from_options_entry() {
    wait_for "[x] Optionen"
    keys Down Down Down
    wait_for "[x] Beenden"
    keys Enter
    for _ in $(seq 100); do
        [ -s "$work/exit" ] && break
        sleep 0.1
    done
    [ "$(cat "$work/exit" 2>/dev/null)" = 0 ] || fail "exit code $(cat "$work/exit" 2>/dev/null)"
    tmux_ kill-server 2>/dev/null
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
tmux_ capture-pane -p -t game | grep -q "ÛÛÛ" || fail "no win banner"
if tmux_ capture-pane -p -t game | grep -q "Gegner am Zug"; then
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
