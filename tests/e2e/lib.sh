# Shared by the end-to-end scripts, which source it: the program runs in a tmux pane on a
# tmux server of the script's own; keys go in with send-keys, the screen comes back with
# capture-pane.
#
# Every start gets a fresh server on a socket never used before. A server that is still
# shutting down after kill-server keeps its socket for a moment, and a new-session that
# reaches it then fails with "server exited unexpectedly"; a fresh socket rules that out.

command -v tmux >/dev/null 2>&1 ||
    { echo "SKIP: tmux is not installed; the end-to-end tests run the program in tmux"; exit 77; }

e2e_work=$(mktemp -d) e2e_socket="" e2e_starts=0

tmux_() { tmux -L "$e2e_socket" "$@"; }
keys() { tmux_ send-keys -t game "$@"; }
# The pane's text; extra arguments go to capture-pane (-e for colours).
screen() { tmux_ capture-pane -p "$@" -t game; }

e2e_stop() {
    [ -n "$e2e_socket" ] || return 0
    tmux_ kill-server 2>/dev/null
    rm -f "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$e2e_socket"
    e2e_socket=""
}
trap 'e2e_stop; rm -rf "$e2e_work"' EXIT

# Says what failed and shows the last screen.
fail() { echo "FAIL: $*"; [ -n "$e2e_socket" ] && screen 2>/dev/null; exit 1; }

# Runs a shell command line in a new pane of COLUMNS x LINES (197 x 70 unless given) and
# waits until the server answers. Its exit code lands in $e2e_work/exit, and the pane stays
# open after it ends so that the last screen can still be read.
e2e_start() {
    e2e_stop
    rm -f "$e2e_work/exit"
    for attempt in 1 2 3; do
        e2e_starts=$((e2e_starts + 1))
        e2e_socket="kentermeer-e2e-$$-$e2e_starts"
        tmux_ -f /dev/null new-session -d -s game -x "${2:-197}" -y "${3:-70}" \
            "$1; echo \$? > '$e2e_work/exit'; sleep 600" && tmux_ has-session -t game && return 0
        echo "tmux did not start (attempt $attempt of 3); trying again on a new socket"
        e2e_stop
    done
    fail "tmux did not start"
}

# Waits up to SECONDS (10 unless given) for a text anywhere on the screen; with -e as third
# argument the text holds the colours, as tmux spells them where they change.
wait_for() {
    for _ in $(seq $((${2:-10} * 10))); do
        screen ${3:+"$3"} | grep -qF -- "$1" && return 0
        sleep 0.1
    done
    fail "no \"$1\" on screen"
}

# Waits up to SECONDS (10 unless given) for the program to end; prints its exit code.
exit_code() {
    for _ in $(seq $((${1:-10} * 10))); do [ -s "$e2e_work/exit" ] && break; sleep 0.1; done
    cat "$e2e_work/exit" 2>/dev/null
}
