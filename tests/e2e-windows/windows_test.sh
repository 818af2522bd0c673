#!/usr/bin/env bash
# The Windows build under wine in tmux: the main menu in its colours and with its umlauts,
# Info there and back, the default options saved as their exact 13 bytes under the wine
# prefix's application-data folder and removed again, an umlaut typed on the UTF-8 input code
# page, Ctrl+C in a pause, and the window-too-small notice. After every end the console is
# handed back: the cursor shown on the line below the drawing, the title no longer the
# program's; the exit code is 0 where the program ends by itself.
# $1: kentermeer.exe. WINEPREFIX names a prefix that wineboot has set up (a fresh one is made
# when it is unset).
set -u
source "$(dirname "$0")/../e2e/lib.sh"

program=$(realpath "${1:?usage: windows_test.sh PATH_TO_KENTERMEER_EXE}")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="$e2e_work/prefix"
    wineboot -i >/dev/null 2>&1
fi
appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
options_file="$appdata/Kentermeer/Optionen.cfg"

# Starts the program in a pane of COLUMNS x LINES, on the input code page CODEPAGE if given.
start() {
    local command="wine '$program'"
    if [ -n "${3:-}" ]; then
        command="wine cmd /c 'chcp $3 >nul & $(winepath -w "$program")'"
    fi
    e2e_start "$command" "$1" "$2"
}

# Waits for a text with its colours as tmux gives them (where they change).
wait_for_colours() {
    for _ in $(seq 100); do
        screen -e | grep -qF -- "$1" && return 0
        sleep 0.1
    done
    fail "no \"$(printf '%s' "$1" | cat -v)\" on screen"
}

# The program has ended: the cursor is shown on the line below the last drawing, and the
# window's title is no longer the program's.
expect_console_handed_back() {
    [ -n "$(exit_code)" ] || fail "the program did not end"
    local below
    below=$(screen | grep -n '[^ ]' | tail -1 | cut -d: -f1)
    [ "$(tmux_ display -p -t game '#{cursor_y} #{cursor_flag}')" = "$below 1" ] ||
        fail "cursor at $(tmux_ display -p -t game '#{cursor_x},#{cursor_y}, shown: #{cursor_flag}')"
    [ "$(tmux_ display -p -t game '#{pane_title}')" != Kentermeer ] || fail "the title stayed"
}

expect_exit_zero() {
    expect_console_handed_back
    [ "$(exit_code)" = 0 ] || fail "exit code $(exit_code)"
}

quit_from_options_entry() {
    wait_for "[x] Optionen"
    keys Down Down Down
    wait_for "[x] Beenden"
    keys Enter
    expect_exit_zero
}

rm -rf "$appdata/Kentermeer"

# The main menu: heading in dark red, entries in dark green, the grey entry, the banner in
# light green.
start 197 70
wait_for "Hauptmenü" 30
wait_for_colours $'\e[31mHauptmenü\e[32m'
wait_for_colours $'\e[90m[ ] Spieler gegen Spieler (noch nicht implementiert)\e[32m'
wait_for_colours $'\e[92mMM'

# Info and back, with the mark on Info.
keys Down Down
wait_for "[x] Info"
keys Enter
wait_for "Programmiert von Mika Sandhoff"
keys q
wait_for "[x] Info"
wait_for "Hauptmenü"

# Saving on, all else left at the defaults, then quit. Escape goes on its own: it must not
# wait for more keys.
keys Up
wait_for "[x] Optionen"
keys Enter
wait_for "Sie ESC um zum Hauptmen"
keys Down Enter Down Enter
wait_for "[x] Optionen speichern: An"
keys Escape
quit_from_options_entry
[ -f "$options_file" ] || fail "no options file under $appdata"
printf '17\r\n8\r\n0\r\n1\r\n' | cmp -s - "$options_file" ||
    fail "options file holds $(od -An -tx1 "$options_file")"

# The next start finds them; saving goes off again and the folder goes with the file.
start 197 70
wait_for "[ ] Beenden" 30
keys Down
wait_for "[x] Optionen"
keys Enter
wait_for "[ ] Optionen speichern: An"
keys Down Enter Up Enter
wait_for "[x] Optionen speichern: Aus"
keys Escape
quit_from_options_entry
[ ! -e "$appdata/Kentermeer" ] || fail "the options folder is still there"

# On the UTF-8 input code page an umlaut is typed as itself; Ctrl+C in the pause after the
# placement ends the program.
start 197 70 65001
wait_for "[ ] Beenden" 30
keys Enter
wait_for "Platziere deine Schiffe!"
keys "xä1"
wait_for "Schiffes ein: xä1"
keys Enter "a1 b1 c1 d1" Enter
wait_for "Ihres 4. Schiffes ein:"
keys C-c
expect_console_handed_back

# A window too small for 197 x 70: the notice, and Escape ends the program.
start 120 40
wait_for "Jetzt: 120 × 40." 30
wait_for "Esc beendet das Programm."
keys Escape
expect_exit_zero

echo "the Windows build runs under wine: menu, Info, options saved and removed, umlauts on" \
    "UTF-8, Ctrl+C in a pause, size notice, the console handed back each time"
