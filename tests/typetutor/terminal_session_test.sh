#!/usr/bin/env bash
# A whole lesson in a real terminal: tmux runs typetutor, send-keys types, capture-pane reads.
set -euo pipefail
tutor="$1"
if ! command -v tmux >/dev/null; then
    echo "tmux is not installed: skipping the terminal session test"
    exit 77
fi

work="$(mktemp -d)"
session="typetutor-test-$$"
cleanup() { tmux kill-session -t "$session" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
printf 'ab cd\nef\n' > "$work/lesson.txt"

fail() { echo "FAIL: $*"; echo "--- screen:"; cat "$work/screen" 2>/dev/null || true; exit 1; }
capture() {
    tmux capture-pane -p -t "$session" > "$work/screen"
    tmux capture-pane -p -e -t "$session" > "$work/screen.e"
}
# Waits until the screen shows the text (a fixed string), or fails.
await() {
    for _ in $(seq 1 50); do
        capture
        if grep -qF -- "$1" "$work/screen"; then return 0; fi
        sleep 0.1
    done
    fail "the screen never showed: $1"
}

tmux new-session -d -s "$session" -x 80 -y 24 \
    "TERM=xterm-256color '$tutor' '$work/lesson.txt' --data-dir '$work/data'; echo EXITED \$?; sleep 30"
await "typetutor - "
await "ef"

# A wrong key shows in red (SGR 31), the right ones stay.
tmux send-keys -t "$session" a b Space c x
await "cx"
grep -q $'\e\[[0-9;]*31m' "$work/screen.e" || fail "the typo is not shown in red"

# Esc pauses, a key resumes.
tmux send-keys -t "$session" Escape
await "[paused"
tmux send-keys -t "$session" BSpace
sleep 0.3
capture
grep -qF "[paused" "$work/screen" && fail "the backspace did not resume"

# Enter ends the first line; the last word completes the lesson.
tmux send-keys -t "$session" d Enter e f
await "lesson complete"
tmux send-keys -t "$session" q
await "EXITED 0"

[ -s "$work/data/lessons.dat" ] || fail "no lesson history was written"
[ -s "$work/data/words.dat" ] || fail "no word history was written"
"$tutor" stats --data-dir "$work/data" > "$work/stats"
grep -q "Lessons" "$work/stats" || { cat "$work/stats"; fail "stats shows no lesson"; }
# Six keys after the first: a b space c x d enter e f = 9 keystrokes, one wrong.
"$tutor" stats --json --data-dir "$work/data" > "$work/stats.json"
grep -q '"keys": 9, "errors": 1' "$work/stats.json" || { cat "$work/stats.json"; fail "wrong figures"; }
echo "terminal session: ok"
