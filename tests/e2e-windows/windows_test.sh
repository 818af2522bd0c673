#!/usr/bin/env bash
# The Windows build under wine in tmux: the main menu in its colours and with its umlauts,
# Info there and back, the default options saved as their exact 13 bytes under the wine
# prefix's application-data folder and removed again, the window-too-small notice, and exit
# code 0 each time; an umlaut typed on a UTF-8 input code page, and Ctrl+C in a pause; the
# console handed back after each end (cursor shown below the drawing, the title as before).
# $1: kentermeer.exe. WINEPREFIX names a prefix that wineboot has set up (a fresh one is made
# when it is unset).
# wine loses an Escape sent on its own, so Escape always goes twice in one send-keys.
set -u

program=$(realpath "$1")
work=$(mktemp -d)
socket="kentermeer-windows-e2e-$$"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="$work/prefix"
    wineboot -i >/dev/null 2>&1
fi
appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
options_file="$appdata/Kentermeer/Optionen.cfg"

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

# Starts the program in a window of the given size; its exit code lands in $work/exit. $3:
# the input code page to start it on.
start() {
    rm -f "$work/exit"
    local command="wine '$program'"
    if [ -n "${3:-}" ]; then
        command="wine cmd /c 'chcp $3 >nul & $(winepath -w "$program")'"
    fi
    tmux_ new-session -d -s game -x "$1" -y "$2" \
        "$command; echo \$? > '$work/exit'; sleep 60" || fail "tmux did not start"
}

# Waits up to twenty seconds for a text anywhere on the screen (capture-pane -e with $2).
wait_for() {
    for _ in $(seq 200); do
        if tmux_ capture-pane -p ${2:-} -t game | grep -qF -- "$1"; then
            return 0
        fi
        sleep 0.1
    done
    fail "no \"$1\" on screen"
}

keys() { tmux_ send-keys -t game "$@"; }

wait_for_exit() {
    for _ in $(seq 100); do
        [ -s "$work/exit" ] && return 0
        sleep 0.1
    done
    fail "the program did not end"
}

# The program has ended: the cursor is shown on the line below the last drawing, and the
# window's title is no longer the program's.
expect_console_handed_back() {
    local below title
    below=$(tmux_ capture-pane -p -t game | grep -n '[^ ]' | tail -1 | cut -d: -f1)
    [ "$(tmux_ display -p -t game '#{cursor_y} #{cursor_flag}')" = "$below 1" ] ||
        fail "cursor at $(tmux_ display -p -t game '#{cursor_x},#{cursor_y}, shown: #{cursor_flag}')"
    title=$(tmux_ display -p -t game '#{pane_title}')
    [ "$title" != Kentermeer ] || fail "the title is still $title"
}

expect_exit_zero() {
    wait_for_exit
    [ "$(cat "$work/exit" 2>/dev/null)" = 0 ] || fail "exit code $(cat "$work/exit" 2>/dev/null)"
    expect_console_handed_back
    tmux_ kill-server 2>/dev/null
}

quit_from_options_entry() {
    wait_for "[x] Optionen"
    keys Down Down Down
    wait_for "[x] Beenden"
    keys Enter
    expect_exit_zero
}

open_options() {
    wait_for "[ ] Beenden"
    keys Down
    wait_for "[x] Optionen"
    keys Enter
    wait_for "Sie ESC um zum Hauptmen"
}

rm -rf "$appdata/Kentermeer"

# The main menu: heading in dark red, entries in dark green, the grey entry, the banner in
# light green.
start 197 70
wait_for "Hauptmenü"
# tmux gives a colour where it changes: the entries' dark green follows the heading.
wait_for $'\e[31mHauptmenü\e[32m' -e
wait_for $'\e[90m[ ] Spieler gegen Spieler (noch nicht implementiert)\e[32m' -e
wait_for $'\e[92mMM' -e

# Info and back, with the mark on Info.
keys Down Down
wait_for "[x] Info"
keys Enter
wait_for "Programmiert von Mika Sandhoff"
keys q
wait_for "[x] Info"
wait_for "Hauptmenü"

# Saving on, all else left at the defaults, then quit.
keys Up
wait_for "[x] Optionen"
keys Enter
wait_for "Sie ESC um zum Hauptmen"
keys Down Enter Down Enter
wait_for "[x] Optionen speichern: An"
keys Escape Escape
quit_from_options_entry
[ -f "$options_file" ] || fail "no options file under $appdata"
printf '17\r\n8\r\n0\r\n1\r\n' | cmp -s - "$options_file" ||
    fail "options file holds $(od -An -tx1 "$options_file")"

# The next start finds them; saving goes off again and the folder goes with the file.
start 197 70
open_options
wait_for "[ ] Optionen speichern: An"
keys Down Enter Up Enter
wait_for "[x] Optionen speichern: Aus"
keys Escape Escape
quit_from_options_entry
[ ! -e "$appdata/Kentermeer" ] || fail "the options folder is still there"

# On the UTF-8 input code page an umlaut is typed as itself; Ctrl+C in the pause after the
# placement ends the program and hands the console back.
start 197 70 65001
wait_for "[ ] Beenden"
keys Enter
wait_for "Platziere deine Schiffe!"
keys "xä1"
wait_for "Schiffes ein: xä1"
keys Enter "a1 b1 c1 d1" Enter
wait_for "Ihres 4. Schiffes ein:"
keys C-c
wait_for_exit
expect_console_handed_back
tmux_ kill-server

# A window too small for 197 x 70: the notice, and Escape ends the program.
start 120 40
wait_for "Jetzt: 120 × 40."
wait_for "Esc beendet das Programm."
keys Escape Escape
expect_exit_zero

echo "the Windows build runs under wine: menu, Info, options saved and removed, umlauts on" \
    "UTF-8, Ctrl+C in a pause, size notice, the console handed back each time"
