#!/usr/bin/env bash
# Whole lessons in the desktop program under a virtual X server: xdotool types, a screenshot of
# the screen shows the typo and the lit key, the history shows what was kept, closing the
# window in mid-lesson asks first, and a book's parts and the practice lesson are typed.
# The lesson's sheet follows the desktop's dark preference as it changes, and the Appearance
# setting overrides it.
# Usage: desktop_session_test.sh TYPETUTOR_GTK TYPETUTOR LESSONS_DIR [SCREENSHOT_DIR]
set -euo pipefail
gtk="$1"
tutor="$2"
export TYPETUTOR_LESSONS="$3"
shots="${4:-}"

if [ -z "${TT_UNDER_XVFB:-}" ]; then
    for tool in xvfb-run xdotool import python3; do
        if ! command -v "$tool" >/dev/null; then
            echo "$tool is not installed: skipping the desktop session test"
            exit 77
        fi
    done
    # Now and then xvfb-run hands over a server that does not answer: the run then starts again
    # on a fresh one.
    for attempt in 1 2 3; do
        status=0
        TT_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1100x800x24" "$0" "$@" || status=$?
        [ "$status" -eq 75 ] || exit "$status"
        echo "the virtual X server did not answer (attempt $attempt)"
    done
    exit 1
fi

# The server answers before anything starts (75: start again on a fresh one).
for _ in $(seq 1 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || exit 75

work="$(mktemp -d)"
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
export GSK_RENDERER=cairo GDK_BACKEND=x11 NO_AT_BRIDGE=1 XDG_CONFIG_HOME="$work/config"
printf 'jam sun\nfox dig\n' > "$work/lesson.txt"
data="$work/data"

fail() {
    echo "FAIL: $*"
    echo "--- program output:"
    cat "$work/out" 2>/dev/null || true
    exit 1
}
# Starts the program with the arguments (by default the lesson) and focuses its window (no window
# manager does).
start() {
    "$gtk" --data-dir "$data" "${@:-$work/lesson.txt}" > "$work/out" 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 1 150); do  # up to 30 s: a loaded machine starts programs slowly
        window="$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)"
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || fail "no window appeared"
    sleep 1
    xdotool windowactivate "$window" 2>/dev/null || true
    xdotool windowfocus --sync "$window"
}
windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }
# Waits for the program to end, or fails.
await_exit() {
    for _ in $(seq 1 100); do
        if ! kill -0 "$pid" 2>/dev/null; then
            pid=""
            return 0
        fi
        sleep 0.1
    done
    fail "the program did not end"
}
# Where the screenshot shows a colour above row $2 (default: anywhere): prints "count left top
# right bottom" of the pixels near it (each channel within 60).
where() {
    local size
    size="$(identify -format '%w %h' "$work/shot.png")"
    convert "$work/shot.png" rgb:- | python3 -c '
import sys
w, h = map(int, sys.argv[1].split())
want = [int(v) for v in sys.argv[2].split(",")]
below = int(sys.argv[3])
data = sys.stdin.buffer.read()
xs, ys = [], []
for i in range(0, len(data), 3):
    if i // 3 // w < below and all(abs(data[i + k] - want[k]) <= 60 for k in range(3)):
        xs.append(i // 3 % w)
        ys.append(i // 3 // w)
print(len(xs), min(xs, default=0), min(ys, default=0), max(xs, default=0), max(ys, default=0))
' "$size" "$1" "${2:-100000}"
}

# 1. A lesson typed with one typo and one backspace.
start
xdotool type --delay 80 "jam sx"
sleep 0.5
import -window root "$work/shot.png"
[ -n "$shots" ] && cp "$work/shot.png" "$shots/desktop-typo.png"
read -r red rl rt rr rb <<< "$(where 255,0,0)"        # the typo
read -r blue bl bt br bb <<< "$(where 0,0,255 "$rt")" # the word to type above it, "sun"
read -r lit ll lt lr lb <<< "$(where 255,170,0)"    # the key of the next letter
[ "$blue" -gt 20 ] || fail "no word to type in blue"
[ "$red" -gt 10 ] || fail "no typo in red"
[ "$rt" -gt "$bb" ] || fail "the typo ($rl,$rt) is not under the lesson's line ($bb)"
[ "$rl" -gt $((bl + 5)) ] && [ "$rr" -lt "$br" ] ||
    fail "the typo ($rl..$rr) is not under the second letter of its word ($bl..$br)"
[ "$lit" -gt 200 ] || fail "no key is lit"
# One key, not the space bar or a Shift: about as wide as it is high. The keyboard stands in the
# middle of the window, and N's middle is 7.75 of its 15 units: B and M are a unit away.
[ $((lr - ll)) -lt $(((lb - lt) * 3 / 2)) ] || fail "the lit key is too wide: $ll..$lr"
width="$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')"
middle=$(((ll + lr) * 1000 / 2 / width))  # per mille of the window's width
[ "$middle" -gt 500 ] && [ "$middle" -lt 530 ] || fail "the lit key is not N: $ll..$lr of $width"

xdotool key BackSpace
xdotool type --delay 80 "un"
xdotool key Return
xdotool type --delay 80 "fox dig"
# The lesson ended and the end screen shows; the window stays until it is closed.
sleep 1
kill -0 "$pid" || fail "the program ended by itself after the lesson"
xdotool key ctrl+w
await_exit

"$tutor" stats --json --data-dir "$data" > "$work/stats.json"
python3 - "$work/stats.json" <<'PY' || fail "the history does not hold the lesson as typed"
import json, sys
lessons = json.load(open(sys.argv[1]))["lessons"]
assert len(lessons) == 1, lessons
lesson = lessons[0]
assert lesson["lesson"] == "lesson", lesson
assert lesson["keys"] == 16 and lesson["errors"] == 1, lesson
assert lesson["words"] == 4 and lesson["wrong_words"] == 0, lesson  # the typo was taken back
PY

# 2. Closing the window in mid-lesson asks whether to keep the lesson: keeping it saves it.
start
xdotool type --delay 80 "jam"
xdotool key ctrl+w
sleep 1
[ "$(windows)" -ge 2 ] || fail "closing in mid-lesson did not ask"
kill -0 "$pid" || fail "closing in mid-lesson ended the program without asking"
xdotool key Return   # the default answer: keep it
await_exit
"$tutor" stats --json --data-dir "$data" > "$work/stats.json"
python3 -c 'import json,sys; l=json.load(open(sys.argv[1]))["lessons"]; assert len(l)==2 and l[1]["keys"]==3, l' \
    "$work/stats.json" || fail "the lesson left in the middle was not kept"

# 3. A book of three short chapters: its first two parts typed, one after the other from the end
# screen's Next, each recorded; then the Practice button's lesson, and the chooser with the book.
printf 'CHAPTER I\n\nfox dig\n\nCHAPTER II\n\njam sun\n\nCHAPTER III\n\nsun fox\n' > "$work/book.txt"
next_part() { awk -F'\t' -v p="$work/book.txt" '$12 == p { print $2 }' "$data/books.txt"; }
part_is() { [ "$(next_part)" = "$1" ]; }
practising() { xdotool getwindowname "$window" | grep -q '^practice'; }
# Waits up to 30 s for a check to hold: a sanitizer build on a loaded machine is slow.
eventually() {
    for _ in $(seq 1 150); do
        "$@" 2>/dev/null && return 0
        sleep 0.2
    done
    return 1
}
start --book "$work/book.txt"
xdotool type --delay 80 "fox dig"
eventually part_is 1 || fail "the book's first part is not recorded: $(cat "$data/books.txt")"
xdotool key alt+n   # Next part
sleep 2
xdotool type --delay 80 "jam sun"
eventually part_is 2 || fail "Next did not type the book's second part"
xdotool key alt+a   # Practice
eventually practising ||
    fail "the Practice button did not start practice: $(xdotool getwindowname "$window")"
xdotool key ctrl+l
sleep 1
import -window root "$work/shot.png"
[ -n "$shots" ] && cp "$work/shot.png" "$shots/desktop-chooser.png"
xdotool key ctrl+w
await_exit
"$tutor" stats --json --data-dir "$data" > "$work/stats.json"
python3 -c 'import json,sys; l=json.load(open(sys.argv[1]))["lessons"]; assert len(l)==4, l' \
    "$work/stats.json" || fail "the book's parts are not in the history"

# 4. A Russian lesson in a new profile with the Russian layout: the title names the profile, the
# keyboard is drawn in the layout (the next letter, л, lit on the key of K), the Cyrillic typed is
# kept, and the profile's history is in Windows-1251.
printf 'фыва олдж\n' > "$work/ru.txt"
start "$work/ru.txt" --profile ru --layout ru
xdotool getwindowname "$window" | grep -q "profile ru" || fail "the title does not name the profile"
# The X server's keyboard in the Russian layout too: else xdotool maps each Cyrillic letter onto a
# spare key for a moment, and a slow program reads the key after the mapping is gone.
setxkbmap -layout ru
xdotool type --delay 80 "фыва о"
# Once the keys are in, one key is lit: K, where л lies in the Russian layout.
lit_on_k() {
    import -window root "$work/shot.png"
    read -r lit ll lt lr lb <<< "$(where 255,170,0)"
    local width middle
    width="$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')"
    middle=$(((ll + lr) * 1000 / 2 / width))
    [ "$lit" -gt 200 ] && [ $((lr - ll)) -lt $(((lb - lt) * 3 / 2)) ] &&
        [ "$middle" -gt 550 ] && [ "$middle" -lt 585 ]
}
eventually lit_on_k || fail "the lit key is not K alone, л on ru: $lit pixels at $ll..$lr"
[ -n "$shots" ] && cp "$work/shot.png" "$shots/desktop-russian.png"
read -r red _ <<< "$(where 255,0,0)"
[ "$red" -lt 10 ] || fail "the Cyrillic typed shows as typos"
xdotool type --delay 80 "лдж"
# The keys read in the Russian layout before it goes: the lesson is over and kept.
ru_lesson_kept() {
    "$tutor" stats --json --data-dir "$data" --profile ru |
        python3 -c 'import json, sys; sys.exit(len(json.load(sys.stdin)["lessons"]) != 1)'
}
eventually ru_lesson_kept || fail "the Russian lesson did not end"
setxkbmap -layout us
xdotool key ctrl+w
await_exit
grep -qx "code-page=Windows-1251" "$data/profiles/ru/profile.txt" ||
    fail "the profile's history is not in Windows-1251: $(cat "$data/profiles/ru/profile.txt")"
"$tutor" stats --json --data-dir "$data" --profile ru > "$work/stats.json"
python3 - "$work/stats.json" <<'PY' || fail "the Russian profile does not hold the lesson as typed"
import json, sys
lessons = json.load(open(sys.argv[1]))["lessons"]
assert len(lessons) == 1, lessons
assert lessons[0]["keys"] == 9 and lessons[0]["errors"] == 0, lessons
PY

# 5. The desktop prefers dark (GNOME's setting, kept in a key file): the lesson's sheet is dark,
# and turns light as soon as the desktop's preference changes; the Appearance setting goes
# before the desktop's preference.
export GSETTINGS_BACKEND=keyfile
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
printf "[org/gnome/desktop/interface]\ncolor-scheme='prefer-dark'\n" \
    > "$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
# Whether the sheet in the middle of the window is dark (or light with "light").
sheet_is() {
    import -window root "$work/shot.png"
    local x y grey
    eval "$(xdotool getwindowgeometry --shell "$window")"
    x=$((X + WIDTH / 2))
    y=$((Y + HEIGHT / 2))
    grey="$(convert "$work/shot.png" -crop "1x1+$x+$y" -colorspace Gray -format '%[fx:int(255*u)]' info:)"
    if [ "$1" = dark ]; then [ "$grey" -lt 80 ]; else [ "$grey" -gt 200 ]; fi
}
start
eventually sheet_is dark || fail "the sheet is not dark when the desktop prefers dark"
gsettings set org.gnome.desktop.interface color-scheme prefer-light
eventually sheet_is light || fail "the sheet did not turn light with the desktop's preference"
xdotool key ctrl+w
await_exit
printf '[Lesson]\nappearance=dark\n' > "$XDG_CONFIG_HOME/typetutor/typetutor-gtk.ini"
start
eventually sheet_is dark || fail "the Appearance setting \"dark\" did not go before the desktop's"
xdotool key ctrl+w
await_exit
unset GSETTINGS_BACKEND

echo "desktop session test passed"
