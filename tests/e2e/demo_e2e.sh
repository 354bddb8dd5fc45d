#!/bin/sh
# Runs the demo in real windows on a private Xvfb screen, edits a customer with xdotool, and checks the database file.
# usage: demo_e2e.sh RYXDEMO OUTDIR      exit 77 (skipped) without Xvfb, xdotool or python3
set -u
demo=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool python3; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$out"
mkdir -p "$out/data"

fail() {
    echo "FAILED: $*"
    [ -f "$out/demo.log" ] && sed 's/^/  demo: /' "$out/demo.log"
    exit 1
}

# wait_line LOG TEXT PID WHAT: waits up to 30 s for TEXT in LOG while process PID runs.
wait_line() {
    w=0
    until grep -q "$2" "$1" 2>/dev/null; do
        kill -0 "$3" 2>/dev/null || fail "$4: the program ended early"
        w=$((w + 1)); [ $w -gt 300 ] && fail "$4"
        sleep 0.1
    done
}

# wait_end PID WHAT: waits up to 10 s for process PID to end.
wait_end() {
    w=0
    while kill -0 "$1" 2>/dev/null; do
        w=$((w + 1)); [ $w -gt 100 ] && fail "$2"
        sleep 0.1
    done
}

# A display number nobody uses.
disp=""
n=91
while [ $n -lt 160 ]; do
    if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then disp=$n; break; fi
    n=$((n + 1))
done
[ -n "$disp" ] || fail "no free display number"
Xvfb :$disp -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xpid=$!
dpid=""
cleanup() {
    [ -n "$dpid" ] && kill "$dpid" 2>/dev/null
    kill "$xpid" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT INT TERM
export DISPLAY=:$disp
i=0
until xdotool getmouselocation >/dev/null 2>&1; do
    i=$((i + 1)); [ $i -gt 100 ] && fail "Xvfb did not start"
    sleep 0.1
done

RYX_BACKEND=sdl RYX_DEMO_DATA="$out/data" "$demo" --verbose >"$out/demo.log" 2>&1 &
dpid=$!
wait_line "$out/demo.log" "main form open" "$dpid" "the main form did not open"
grep -q "backend: sdl" "$out/demo.log" || fail "the demo did not choose the SDL backend"
sleep 1
python3 "$here/xshot.py" "$out/1_start.png" || fail "no screenshot"

# layout: NAME X Y W H (screen coordinates of the control's client area)
set -- $(grep "layout: grid " "$out/demo.log"); gx=$3; gy=$4
set -- $(grep "layout: company " "$out/demo.log"); cx=$3; cy=$4
set -- $(grep "layout: rowheight " "$out/demo.log"); rh=$3

# Click the third customer in the grid (below the title row), then the Company edit.
xdotool mousemove $((gx + 40)) $((gy + rh * 3 + rh / 2 + 1)) click 1
sleep 1.5
xdotool mousemove $((cx + 20)) $((cy + 8)) click 1
sleep 1
xdotool key --delay 50 Home shift+End
xdotool type --delay 40 "Xvfb Test Company"
sleep 1.5
python3 "$here/xshot.py" "$out/2_typed.png"

# Open the Edit menu with Alt+E while the edit is editing, photograph it, and choose
# "Post record" by its key.
xdotool key alt+e
sleep 1.5
python3 "$here/xshot.py" "$out/3_menu.png"
xdotool key p
sleep 1.5
python3 "$here/xshot.py" "$out/4_posted.png"

# Another program takes the focus: the demo's application deactivates; a click brings it back.
RYX_BACKEND=sdl RYX_DEMO_DATA="$out/data2" "$demo" --verbose >"$out/other.log" 2>&1 &
opid=$!
wait_line "$out/other.log" "main form open" "$opid" "the other program's window did not open"
wait_line "$out/demo.log" "application deactivated" "$dpid" "the demo was not deactivated when another program took the focus"
kill "$opid"; wait "$opid" 2>/dev/null
sleep 0.5
xdotool mousemove $((cx - 50)) $((cy + 8)) click 1
wait_line "$out/demo.log" "application activated" "$dpid" "a click did not activate the demo again"
sleep 0.5

# File > Exit (Ctrl+Q) ends the demo.
xdotool key ctrl+q
wait_end "$dpid" "the demo did not end after File > Exit"
wait "$dpid"; rc=$?
dpid=""
[ $rc -eq 0 ] || fail "the demo ended with $rc"

company=$(python3 - "$out/data/sample.db" <<'PY'
import sqlite3, sys
rows = sqlite3.connect(sys.argv[1]).execute("select Company from CUSTOMER order by CustNo").fetchall()
print(rows[2][0] if len(rows) > 2 else "")
PY
)
[ "$company" = "Xvfb Test Company" ] || fail "the third customer is '$company', not the edited name"

# The display goes away under a running demo: one clear message and exit status 1.
RYX_BACKEND=sdl RYX_DEMO_DATA="$out/data" "$demo" --verbose >"$out/lost.log" 2>&1 &
dpid=$!
wait_line "$out/lost.log" "main form open" "$dpid" "the second demo's main form did not open"
kill "$xpid"
wait_end "$dpid" "the demo did not end when its display went away"
wait "$dpid"; rc=$?
dpid=""
[ $rc -eq 1 ] || fail "the demo ended with $rc when its display went away"
grep -q "ryx: the display :$disp went away; the application ends" "$out/lost.log" ||
    fail "no clear message when the display went away: $(cat "$out/lost.log")"
echo "passed: the edit reached $out/data/sample.db; screenshots in $out"
