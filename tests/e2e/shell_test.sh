#!/usr/bin/env bash
# The real program in a 197 x 70 tmux pane: main menu, Info and back, quit with "Beenden";
# the exit code is 0 and the terminal modes are as before.
set -u

binary=${1:?usage: shell_test.sh PATH_TO_KENTERMEER}
binary=$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")
socket=kentermeer-shell-$$
session=shell
work=$(mktemp -d)

fail() {
    echo "FAIL: $*" >&2
    echo "--- screen ---" >&2
    tmux -L "$socket" capture-pane -p -t "$session" >&2 2>/dev/null
    exit 1
}
cleanup() {
    tmux -L "$socket" kill-server 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to ten seconds for text to appear on the pane.
wait_for() {
    local text=$1
    for _ in $(seq 100); do
        if tmux -L "$socket" capture-pane -p -t "$session" | grep -qF -- "$text"; then
            return 0
        fi
        sleep 0.1
    done
    fail "waited in vain for: $text"
}

# The character at column x of line y (both from 0).
cell() {
    tmux -L "$socket" capture-pane -p -t "$session" | sed -n "$(($2 + 1))p" | cut -c "$(($1 + 1))"
}

# A home of its own, so that quitting leaves the user's options alone.
tmux -L "$socket" -f /dev/null new-session -d -s "$session" -x 197 -y 70 \
    "env HOME='$work' XDG_CONFIG_HOME='$work' bash --norc --noprofile" ||
    fail "tmux would not start"
tmux -L "$socket" send-keys -t "$session" "stty -a > '$work/before'; clear" Enter
sleep 0.2
tmux -L "$socket" send-keys -t "$session" \
    "'$binary'; echo \"exit=\$?\" > '$work/rc'; stty -a > '$work/after'; touch '$work/done'" Enter

wait_for "Spiel gegen Computer"
wait_for "[ ] Beenden"
[ "$(cell 81 40)" = x ] || fail "the mark is not on the first entry"

tmux -L "$socket" send-keys -t "$session" Down
for _ in $(seq 50); do [ "$(cell 81 42)" = x ] && break; sleep 0.1; done
[ "$(cell 81 42)" = x ] || fail "Down did not move the mark to Optionen"
[ "$(cell 81 40)" = " " ] || fail "Down left the old mark behind"

tmux -L "$socket" send-keys -t "$session" Down Enter
wait_for "Programmiert von Mika Sandhoff"
wait_for "Version 1.9 | 23.03.2016 23:28"
line=$(tmux -L "$socket" capture-pane -p -t "$session" | sed -n 41p)
[ "${line:67:30}" = "Programmiert von Mika Sandhoff" ] || fail "Info line 40 not at column 67"

tmux -L "$socket" send-keys -t "$session" q
wait_for "[x] Info"

tmux -L "$socket" send-keys -t "$session" Down Down Enter
for _ in $(seq 100); do [ -e "$work/done" ] && break; sleep 0.1; done
[ -e "$work/done" ] || fail "the program did not end after Beenden"

[ "$(cat "$work/rc")" = "exit=0" ] || fail "exit code: $(cat "$work/rc")"
diff "$work/before" "$work/after" >&2 || fail "terminal modes differ after the program"
echo "PASS: menu, Info, quit, exit code 0, terminal modes restored"
