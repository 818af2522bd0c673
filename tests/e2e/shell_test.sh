#!/usr/bin/env bash
# The real program in a 197 x 70 tmux pane: main menu, Info and back, quit with "Beenden";
# the exit code is 0 and the terminal modes are as before.
set -u
source "$(dirname "$0")/lib.sh"

program=$(realpath "${1:?usage: shell_test.sh PATH_TO_KENTERMEER}")
work=$e2e_work

# A home of its own, so that quitting leaves the user's options alone. The program runs from
# a shell in the pane, so that the terminal's modes can be read before and after it.
e2e_start "env HOME='$work' XDG_CONFIG_HOME='$work' bash --norc --noprofile"
keys "stty -a > '$work/before'; clear" Enter
sleep 0.2
keys "'$program'; echo \"exit=\$?\" > '$work/rc'; stty -a > '$work/after'; touch '$work/done'" Enter

wait_for "Spiel gegen Computer"
wait_for "[ ] Beenden"
[ "$(cell 81 40)" = x ] || fail "the mark is not on the first entry"

keys Down
for _ in $(seq 50); do [ "$(cell 81 42)" = x ] && break; sleep 0.1; done
[ "$(cell 81 42)" = x ] || fail "Down did not move the mark to Optionen"
[ "$(cell 81 40)" = " " ] || fail "Down left the old mark behind"

keys Down Enter
wait_for "Programmiert von Mika Sandhoff"
wait_for "Version 1.9 | 23.03.2016 23:28"
line=$(screen | sed -n 41p)
[ "${line:67:30}" = "Programmiert von Mika Sandhoff" ] || fail "Info line 40 not at column 67"

keys q
wait_for "[x] Info"

keys Down Down Enter
for _ in $(seq 100); do [ -e "$work/done" ] && break; sleep 0.1; done
[ -e "$work/done" ] || fail "the program did not end after Beenden"

[ "$(cat "$work/rc")" = "exit=0" ] || fail "exit code: $(cat "$work/rc")"
diff "$work/before" "$work/after" >&2 || fail "terminal modes differ after the program"
echo "PASS: menu, Info, quit, exit code 0, terminal modes restored"
