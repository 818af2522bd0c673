#!/usr/bin/env bash
# The Windows build under wine in tmux, for what only the real console shows: the main menu's
# colours and umlauts on the pane, the options file's bytes in the application-data folder, an
# umlaut typed on the UTF-8 input code page, the size notice, and the console handed back after
# Beenden, Ctrl+C and Escape; the options file read at the next start and removed.
# $1: kentermeer.exe. WINEPREFIX: the wine prefix (wine's own default when unset).
set -u
source "$(dirname "$0")/../e2e/lib.sh"

program=$(realpath "${1:?usage: windows_test.sh PATH_TO_KENTERMEER_EXE}")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
options_folder="${WINEPREFIX:-$HOME/.wine}/drive_c/users/$(id -un)/AppData/Roaming/Kentermeer"
rm -rf "$options_folder"

# The program ended (with exit code $1 if given) and gave the console back: the cursor shown on
# the line below the last drawing, the window's title no longer the program's.
expect_handed_back() {
    local code below
    code=$(exit_code)
    [ -n "$code" ] && [ "$code" = "${1:-$code}" ] || fail "exit code '$code', not ${1:-any}"
    below=$(screen | grep -n '[^ ]' | tail -1 | cut -d: -f1)
    [ "$(tmux_ display -p -t game '#{cursor_y} #{cursor_flag}')" = "$below 1" ] || fail "cursor"
    [ "$(tmux_ display -p -t game '#{pane_title}')" != Kentermeer ] || fail "the title stayed"
}

# The heading in dark red; saving the options switched on writes them under APPDATA.
e2e_start "wine '$program'"
wait_for $'\e[31mHauptmenü\e[32m' 30 -e
keys Down Enter Down Enter Down Enter
wait_for "[x] Optionen speichern: An"
keys Escape
wait_for "[x] Optionen"
keys Down Down Down Enter
expect_handed_back 0
printf '17\r\n8\r\n0\r\n1\r\n' | cmp -s - "$options_folder/Optionen.cfg" ||
    fail "the options file holds $(od -An -tx1 "$options_folder/Optionen.cfg" 2>&1)"

# The next start loads them; saving switched off removes the file with its folder at Beenden.
e2e_start "wine '$program'"
wait_for "[ ] Beenden" 30
keys Down Enter
wait_for "[ ] Optionen speichern: An"
keys Down Enter Down Enter Escape
wait_for "[x] Optionen"
keys Down Down Down Enter
expect_handed_back 0
[ ! -e "$options_folder" ] || fail "the options folder is still there"

# On the UTF-8 input code page an umlaut is typed as itself; Ctrl+C in the pause after placing.
e2e_start "wine cmd /c 'chcp 65001 >nul & $(winepath -w "$program")'"
wait_for "[ ] Beenden" 30
keys Enter "xä1"
wait_for "Schiffes ein: xä1"
keys Enter "a1 b1 c1 d1" Enter
wait_for "Ihres 4. Schiffes ein:"
keys C-c
expect_handed_back

# A window too small for 197 x 70: the notice, and Escape ends the program.
e2e_start "wine '$program'" 120 40
wait_for "Jetzt: 120 × 40." 30
keys Escape
expect_handed_back 0

echo "the Windows build under wine: colours, options file, typed umlaut, notice, console handed back"
