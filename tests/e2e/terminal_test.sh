#!/usr/bin/env bash
# The real program on a real terminal, a tmux pane; the terminal's modes are read from
# outside, since an interactive shell would mend them itself:
# - a closed input or a closed output pipe ends it at once, as does the end of a piped
#   input, the terminal as before (the quit from the menu takes the same way out); a full
#   output, or one past the limit on file sizes, ends it with an exit code that tells the
#   failure;
# - too small a window shows the size notice at start-up, where Escape ends it, and at any
#   time later, also in a pause, drawn once and without keeping the processor busy, also
#   without a file descriptor to spare; what is typed meanwhile waits, and the screen comes
#   back exactly;
# - resizes while it waits for a key; Ctrl+C, and SIGTERM or SIGUSR1 from elsewhere, hand back
#   the modes, the cursor and the title, the cursor below the drawing; after Ctrl+Z (also as
#   the kitty keyboard protocol sends it), fg brings the screen and the title back.
set -u
source "$(dirname "$0")/lib.sh"

program=$(realpath "${1:?usage: terminal_test.sh PATH_TO_KENTERMEER}")
# A board of 2 x 2 cells: every shot hits.
mkdir -p "$e2e_work/Kentermeer"
printf '2\r\n2\r\n0\r\n0\r\n' >"$e2e_work/Kentermeer/Optionen.cfg"

# Resizes the window to COLUMNS x LINES, then waits for TEXT if given.
resize() { tmux_ resize-window -t game -x "$1" -y "$2"; [ -z "${3:-}" ] || wait_for "$3"; }
pane() { tmux_ display -p -t game "#{$1}"; }
modes() { stty -g -F "$(pane pane_tty)"; }
# The processor time, in hundredths of a second, of everything running in the pane.
cpu_ticks() {
    cat /proc/[0-9]*/stat 2>/dev/null |
        awk -v sid="$(pane pane_pid)" '$6 == sid { t += $14 + $15 } END { print t + 0 }'
}
run="env HOME='$e2e_work' XDG_CONFIG_HOME='$e2e_work' '$program'"
# Runs a command line from a shell that leaves Ctrl+C to the program; then columns, lines.
start() { e2e_start "printf '\\033]2;shell\\007'; trap '' INT; $1" "${2:-197}" "${3:-70}"; }
# The program has ended with exit code $1: the modes as before, the cursor shown below the last
# drawing, the shell's title back.
expect_end() {
    [ "$(exit_code 10)" = "$1" ] || fail "exit code $(exit_code 0), not $1 $2"
    local below
    below=$(screen | grep -n '[^ ]' | tail -1 | cut -d: -f1)
    [ "$(modes) $(pane cursor_flag) $(pane cursor_y) $(pane pane_title)" = \
        "$first_modes 1 ${below:-0} shell" ] || fail "modes, cursor or title not back $2"
}

e2e_start true
first_modes=$(modes)
start "$run <&-"
expect_end 0 "after a closed input"
start "{ $run; echo \$? > '$e2e_work/piped'; } | head -c 100 >/dev/null"
expect_end 0 "after a closed output"
[ "$(cat "$e2e_work/piped")" = 141 ] || fail "exit code $(cat "$e2e_work/piped") in a closed pipe"
eval "timeout 20 $run" </dev/null >/dev/full
[ $? = 1 ] || fail "exit code not 1 with an output that takes nothing"
# A limit of one block, not none: valgrind writes small files of its own before the game starts.
(ulimit -f 1 && eval "timeout 20 $run" </dev/null >"$e2e_work/out")
[ $? = 1 ] || fail "exit code not 1 with an output past the limit on file sizes"
start "sleep 2 | $run"
wait_for "[ ] Beenden" # its signal handlers are in place
resize 198 70          # the wake-up it brings leaves errno set to EAGAIN
expect_end 0 "after an input that ended after a resize"

# Started in a small window: Escape ends it; resized while the notice shows.
start "$run" 150 40
wait_for "Esc beendet das Programm."
keys Escape
expect_end 0 "after Escape in the size notice"
start "$run" 150 40
wait_for "Jetzt: 150 × 40."
resize 160 45 "Jetzt: 160 × 45."
resize 197 70 "[ ] Beenden"
sleep 0.2
menu=$(screen -e)

# Shrunk in the menu: the notice without Escape; Up and Escape wait, then the mark moves.
keys Down
wait_for "[x] Optionen"
resize 150 40 "Jetzt: 150 × 40."
keys Up Escape
sleep 0.5
screen | grep -q "Esc beendet\|Spiel gegen" && fail "Escape offered, or the menu shown"
resize 197 70 "[x] Spiel gegen Computer"
sleep 0.2
[ "$(screen -e)" = "$menu" ] || fail "the menu did not come back as it was"

# Shrunk in the pause after placement: the battle goes on unseen; the shot typed meanwhile
# answers its prompt once the window is big enough again.
keys Enter "a1 a2 b1 b2" Enter
wait_for "4. Schiffes"
resize 150 40
keys a1 Enter
cpu_before=$(cpu_ticks)
sleep 5 # the pause, and then the wait for the shot
screen | grep -q "GEGNERISCHES FELD" && fail "the battle shows in a window too small"
[ $(($(date +%s) - $(pane window_activity))) -ge 2 ] || fail "the notice is drawn again and again"
[ $(($(cpu_ticks) - cpu_before)) -le 50 ] || fail "the notice keeps the processor busy"
resize 197 70 "|__)|"

keys C-c
expect_end 130 "after Ctrl+C"
start "$run"
wait_for "[ ] Beenden"
pkill -TERM -P "$(pane pane_pid)"
expect_end 143 "after SIGTERM"
# With no file descriptor left for its wake-up pipe it still sees a resize; a signal it has
# no use for ends it, the terminal handed back. valgrind needs descriptors of its own, so
# under it the limit is left out.
fewest_files="ulimit -n 4 &&"
! grep -q valgrind "$program" || fewest_files=""
start "($fewest_files exec $run)"
wait_for "[ ] Beenden"
resize 150 40 "Jetzt: 150 × 40."
resize 197 70 "[ ] Beenden"
pkill -USR1 -P "$(pane pane_pid)"
expect_end 138 "after SIGUSR1"

# Suspended from a shell with job control; valgrind cannot stop the program it runs.
if ! grep -q valgrind "$program"; then
    # Sends the keys that stop it; then back in the foreground.
    suspend() { keys "$@"; wait_for "Stopped"; }
    resume() { keys "clear; fg" Enter; wait_for "[x] Spiel gegen Computer"; }
    e2e_start "PS1='$ ' bash --norc --noprofile"
    keys "$run" Enter
    wait_for "[ ] Beenden"
    suspend C-z
    [ "$(pane cursor_flag)" = 1 ] || fail "cursor hidden while stopped"
    [ "$(pane pane_title)" != Kentermeer ] || fail "the title kept while stopped"
    resume
    [ "$(pane pane_title)" = Kentermeer ] || fail "the title not set again after fg"
    # As a terminal in the kitty keyboard protocol sends Ctrl+Z.
    suspend -H 1b 5b 31 32 32 3b 35 75
    resume
fi

echo "PASS: closed streams, size notice, resizes, Ctrl+C, SIGTERM, SIGUSR1 and Ctrl+Z on a real terminal"
