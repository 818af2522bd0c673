#!/usr/bin/env bash
# The real program on a real terminal, run from a shell in a tmux pane:
# - a closed input or a closed output pipe ends it at once, the terminal's modes as before;
# - too small a window shows the size notice at start-up and at any time later, also in a
#   pause; what is typed meanwhile waits, and the screen comes back exactly;
# - Ctrl+Z and fg, and resizes while it waits for a key;
# - Ctrl+C hands back the modes, the cursor and the title, the prompt below the drawing;
# - "Beenden" ends it with exit code 0 and the modes as before.
set -u
source "$(dirname "$0")/lib.sh"

program=$(realpath "${1:?usage: terminal_test.sh PATH_TO_KENTERMEER}")
work=$e2e_work
# A board of 2 x 2 cells: every shot hits.
mkdir -p "$work/Kentermeer"
printf '2\r\n2\r\n0\r\n0\r\n' >"$work/Kentermeer/Optionen.cfg"

resize() { tmux_ resize-window -t game -x "$1" -y "$2"; }
pane() { tmux_ display -p -t game "#{$1}"; }
# Waits for a text from the shell, then compares the terminal's modes with the first ones.
expect_shell() {
    wait_for "$1" 5
    keys "stty -a | diff '$work/modes' - && echo same-modes-$2" Enter
    wait_for "same-modes-$2" 5
}

e2e_start "env HOME='$work' XDG_CONFIG_HOME='$work' PS1='$ ' bash --norc --noprofile"
keys "printf '\\033]2;shell\\007'; stty -a > '$work/modes'; clear" Enter
keys "'$program' <&-; echo closed-input=\$?" Enter
expect_shell "closed-input=0" 1
keys "clear; '$program' | head -c 100 >/dev/null; echo broken-pipe=\${PIPESTATUS[0]}" Enter
expect_shell "broken-pipe=141" 2

# Started in a small window; resized while the notice shows.
resize 150 40
keys "clear; '$program'" Enter
wait_for "Jetzt: 150 × 40."
wait_for "Esc beendet das Programm."
resize 160 45
wait_for "Jetzt: 160 × 45."
resize 197 70
wait_for "[ ] Beenden"
sleep 0.2
menu=$(screen -e)

# valgrind cannot stop the program it runs; the suspension is tried without it.
if ! grep -q valgrind "$program"; then
    keys C-z
    expect_shell "Stopped" 3
    [ "$(pane cursor_flag)" = 1 ] || fail "cursor hidden while stopped"
    keys "clear; fg" Enter
    wait_for "[ ] Beenden"
fi

# Shrunk in the menu: the notice without Escape; Down and Escape wait, then the mark moves.
keys Down
wait_for "[x] Optionen"
resize 150 40
wait_for "Jetzt: 150 × 40."
keys Up Escape
sleep 0.5
screen | grep -q "Esc beendet\|Spiel gegen" && fail "Escape offered, or the menu shown"
resize 197 70
wait_for "[x] Spiel gegen Computer"
sleep 0.2
[ "$(screen -e)" = "$menu" ] || fail "the menu did not come back as it was"

# Shrunk in the pause after placement: the battle goes on unseen; the shot typed meanwhile
# answers its prompt once the window is big enough again.
keys Enter "a1 a2 b1 b2" Enter
wait_for "4. Schiffes"
resize 150 40
keys a1 Enter
sleep 4
screen | grep -q "GEGNERISCHES FELD" && fail "the battle shows in a window too small"
resize 197 70
wait_for "|__)|"

keys C-c
wait_for "$"
legend=$(screen | grep -n "X = Schiff-Treffer" | cut -d: -f1)
prompt=$(screen | grep -n '^\$' | head -n 1 | cut -d: -f1)
# Below the drawing; bash starts a new line after a job that Ctrl+C ended.
[ "$prompt" -gt "$legend" ] && [ "$prompt" -le $((legend + 2)) ] ||
    fail "prompt on line $prompt, the drawing ends on $legend"
[ "$(pane cursor_flag) $(pane pane_title)" = "1 shell" ] || fail "cursor or title not back"
keys "echo interrupted=\$?" Enter
expect_shell "interrupted=130" 4

keys "clear; '$program'; echo quit=\$?" Enter
wait_for "[x] Spiel gegen Computer"
keys Down Down Down Down Enter
expect_shell "quit=0" 5

echo "PASS: closed streams, size notice, suspension, resizes, Ctrl+C and quit on a real terminal"
