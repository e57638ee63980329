#!/usr/bin/env bash
# Whole lessons in a real terminal: tmux runs typetutor, send-keys types, capture-pane reads the
# screen (with -e, its colours). Usage: terminal_session_test.sh TYPETUTOR LESSONS_DIR
set -euo pipefail
tutor="$1"
export TYPETUTOR_LESSONS="$2"
if ! command -v tmux >/dev/null; then
    echo "tmux is not installed: skipping the terminal session test"
    exit 77
fi

work="$(mktemp -d)"
session="typetutor-test-$$"
export TMUX_TMPDIR="$work"  # a tmux server of our own
cleanup() { tmux kill-server 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
# A session that outlives every test session keeps the server up: a server left without sessions
# exits, and a command sent to it while it does fails with "server exited unexpectedly".
tmux new-session -d -s keeper "sleep 600"
printf 'ab cd\nef\n' > "$work/lesson.txt"
data="$work/data"

fail() {
    echo "FAIL: $*"
    echo "--- screen:"
    cat "$work/screen" 2>/dev/null || true
    exit 1
}
capture() {
    tmux capture-pane -p -t "$session" > "$work/screen"
    tmux capture-pane -p -e -t "$session" > "$work/screen.e"
}
# Waits until the screen shows the text (a fixed string), or fails.
await() {
    for _ in $(seq 1 300); do  # up to 30 s: a loaded machine starts programs slowly
        capture
        if grep -qF -- "$1" "$work/screen"; then return 0; fi
        sleep 0.1
    done
    fail "the screen never showed: $1"
}
# Row n of the screen (0 the top).
row() { sed -n "$(($1 + 1))p" "$work/screen"; }
rowe() { sed -n "$(($1 + 1))p" "$work/screen.e"; }
start() {
    tmux new-session -d -s "$session" -x 80 -y 24 \
        "TERM=xterm-256color $*; echo EXITED \$?; sleep 60"
}
stop() { tmux kill-session -t "$session" 2>/dev/null || true; }

# 1. A whole lesson: typos in red, a pause, the end screen, the history.
start "'$tutor' '$work/lesson.txt' --data-dir '$data'"
await "typetutor - lesson (letter)"
[ "$(row 3)" = "  ab cd" ] || fail "the lesson's first line is not on row 3"
[ "$(row 5)" = "  ef" ] || fail "the lesson's second line is not on row 5"
rowe 3 | grep -q $'\e\[[0-9;]*34m' || fail "the word to type is not blue"

tmux send-keys -t "$session" a b Space c x
await "  ab cx"
[ "$(row 4)" = "  ab cx" ] || fail "the typed line is not under the lesson's line"
rowe 4 | grep -q $'\e\[[0-9;]*31mx' || fail "the typo is not shown in red"

tmux send-keys -t "$session" Escape
await "[paused]"
tmux send-keys -t "$session" BSpace
await "Esc pause"
capture
grep -qF "[paused]" "$work/screen" && fail "the backspace did not resume the lesson"
[ "$(row 4)" = "  ab c" ] || fail "the backspace did not take the typo back"

tmux send-keys -t "$session" d Enter e
await "  ef"
cp "$work/screen" "$work/session-screen"
cp "$work/screen.e" "$work/session-screen.e"
tmux send-keys -t "$session" f
await "lesson complete"
grep -qF "Keystrokes  9, 1 wrong: 89% accurate" "$work/screen" || fail "wrong end-of-lesson figures"
grep -qF "Least accurate keys" "$work/screen" || fail "no weakest keys at the end"
grep -qF "Net speed" "$work/screen" || fail "no net speed at the end"
grep -qF "Slowest letter pairs, this lesson" "$work/screen" || fail "no letter pairs at the end"
grep -qF "Weakest keys against a week ago" "$work/screen" || fail "no week's change at the end"
grep -qF "Saved in $data." "$work/screen" || fail "the end screen does not say the lesson was saved"
cp "$work/screen" "$work/summary-screen"
tmux send-keys -t "$session" q
await "EXITED 0"
stop

[ -s "$data/lessons.dat" ] || fail "no lesson history was written"
[ -s "$data/words.dat" ] || fail "no word history was written"
"$tutor" stats --data-dir "$data" > "$work/stats"
grep -q "lesson        letter" "$work/stats" || { cat "$work/stats"; fail "stats shows no lesson"; }
"$tutor" stats --json --data-dir "$data" > "$work/stats.json"
grep -q '"keys": 9, "errors": 1' "$work/stats.json" || { cat "$work/stats.json"; fail "wrong figures"; }
[ ! -s "$data/typetutor.log" ] || { cat "$data/typetutor.log"; fail "the library reported something"; }

# 2. Leaving part-way: kept when the learner says so, dropped otherwise.
for answer in y n; do
    start "'$tutor' '$work/lesson.txt' --data-dir '$data' --method match"
    await "typetutor - lesson (match)"
    tmux send-keys -t "$session" a b
    await "  ab"
    tmux send-keys -t "$session" C-c
    await "Keep what you typed in your history? (y/n)"
    tmux send-keys -t "$session" "$answer"
    await "EXITED 0"
    stop
done
lessons=$("$tutor" stats --json --data-dir "$data" | grep -o '"method": "match"' | wc -l)
[ "$lessons" = 1 ] || fail "expected one lesson left part-way in the history, found $lessons"

# 3. The menu of bundled lessons, and a resize that lays the lesson out again.
start "'$tutor' --data-dir '$data'"
await "choose a lesson"
grep -qF "home-row" "$work/screen" || fail "the menu does not list home-row"
key=$(grep -F "  common-words" "$work/screen" | sed -E 's/^ *(.) .*/\1/')
tmux send-keys -t "$session" "$key"
await "typetutor - common-words (letter)"
first_line_80="$(row 3)"
tmux resize-window -t "$session" -x 50 -y 24
for _ in $(seq 1 300); do
    capture
    [ "$(row 3)" != "$first_line_80" ] && break
    sleep 0.1
done
[ "${#first_line_80}" -gt 50 ] || fail "the lesson's first line was not wider than 50 columns"
line="$(row 3)"
[ "${#line}" -le 48 ] || fail "after the resize the first line is ${#line} columns wide"
tmux send-keys -t "$session" C-c
await "EXITED 0"
stop

# 4. Practice from the history made above: its focus in the title, its words to type.
start "'$tutor' practice --seed 1 --data-dir '$data'"
await "typetutor - practice (letter)  focus: "
[ -n "$(row 3)" ] || fail "the practice lesson shows no words"
tmux send-keys -t "$session" C-c
await "EXITED 0"
stop

# 5. Two sessions at once on one history, both kept; a save that waits for the lock says so.
lessons_before=$("$tutor" stats --json --data-dir "$data" | grep -o '"method": ' | wc -l)
main_session="$session"
for s in a b; do
    session="$main_session-$s"
    start "'$tutor' '$work/lesson.txt' --data-dir '$data'"
    await "typetutor - lesson (letter)"
    tmux send-keys -t "$session" a b Space c d Enter e
    await "  ef"
done
command -v flock >/dev/null || fail "flock (util-linux) is missing"
# Another program holds the lock until a line arrives on the pipe.
mkfifo "$work/release"
flock "$data/typetutor.lock" cat "$work/release" >/dev/null &
holder=$!
sleep 0.5
session="$main_session-a"
tmux send-keys -t "$session" f
await "Waiting for another program to finish with the history..."
echo >"$work/release"
wait "$holder"
await "lesson complete"
tmux send-keys -t "$session" q
await "EXITED 0"
stop
session="$main_session-b"
tmux send-keys -t "$session" f
await "lesson complete"
tmux send-keys -t "$session" q
await "EXITED 0"
stop
session="$main_session"
lessons_after=$("$tutor" stats --json --data-dir "$data" | grep -o '"method": ' | wc -l)
[ "$lessons_after" = $((lessons_before + 2)) ] ||
    fail "two sessions at once: $lessons_before lessons before, $lessons_after after"

# 6. A Russian lesson in a profile of its own: Cyrillic on screen, typed, and in its statistics.
printf '\xd0\xb0\xd0\xb1 \xd0\xb2\xd0\xb3\n' > "$work/ru.txt"  # аб вг
start "LANG=C.UTF-8 '$tutor' '$work/ru.txt' --data-dir '$data' --profile ru"
await "typetutor - ru (letter) - profile ru"
[ "$(row 3)" = "  аб вг" ] || fail "the Russian lesson is not shown in Cyrillic"
tmux send-keys -t "$session" а х
await "  ах"
rowe 4 | grep -q $'\e\[[0-9;]*31mх' || fail "the Cyrillic typo is not shown in red"
tmux send-keys -t "$session" BSpace б Space в г
await "lesson complete"
tmux send-keys -t "$session" q
await "EXITED 0"
stop
grep -qx "code-page=Windows-1251" "$data/profiles/ru/profile.txt" || fail "the profile is not Cyrillic"
"$tutor" stats --data-dir "$data" --profile ru > "$work/stats"
grep -q "^  б  .* 1 wrong" "$work/stats" || { cat "$work/stats"; fail "stats does not show б"; }
# Its menu offers the lessons its code page holds.
start "LANG=C.UTF-8 '$tutor' --data-dir '$data' --profile ru"
await "choose a lesson - profile ru"
grep -qF "ru/home-row" "$work/screen" || fail "the Russian profile's menu has no Russian lesson"
grep -qF "de/home-row" "$work/screen" && fail "the Russian profile's menu offers a German lesson"
tmux send-keys -t "$session" Escape
await "EXITED 0"
stop

echo "--- a lesson being typed (80 x 24):"
cat "$work/session-screen"
echo "--- its end:"
cat "$work/summary-screen"
echo "terminal sessions: ok"
