#!/usr/bin/env bash
# On a real desktop (Xvfb with a window manager): the window manager asks the window to close
# while a JPEG job runs. The job finishes, asks its question, and then the window closes and
# the settings are written. Skipped (77) when the desktop tools are missing.
# Usage: close_during_job.sh <program folder>
set -uo pipefail
program=$1
for tool in Xvfb openbox wmctrl xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A program folder of its own, whose start-up folder holds enough pictures for a long job
# (links to one sample picture).
cp "$program/SC_CONVERTER" "$work/"
mkdir -p "$work/drive_c/Album"
cp "$program/drive_c/Album/beach.bmp" "$work/sample.bmp"
for i in $(seq -w 1 150); do
  ln "$work/sample.bmp" "$work/drive_c/Album/p$i.bmp"
done

# Xvfb picks a free display and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
unset QT_QPA_PLATFORM
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

"$work/SC_CONVERTER" >"$work/program.log" 2>&1 &
app=$!
pids+=($app)

window_ids() { wmctrl -l | awk '/SC_CONVERTER/ {print $1}'; }
main=""
for _ in $(seq 100); do main=$(window_ids | head -1); [ -n "$main" ] && break; sleep 0.1; done
[ -n "$main" ] || { echo "FAIL: the window did not appear"; exit 1; }
sleep 1

# OK, in the command panel at the bottom right.
xdotool mousemove --window "$main" 458 479 click 1
for _ in $(seq 100); do compgen -G "$work/drive_c/Album/*.jpg" >/dev/null && break; sleep 0.05; done
compgen -G "$work/drive_c/Album/*.jpg" >/dev/null || { echo "FAIL: the job did not start"; exit 1; }
wmctrl -i -c "$main"
echo "close requested while $(ls "$work"/drive_c/Album/*.jpg | wc -l) of 150 pictures were done"

# The job's end question: answered No (the sources stay).
question=""
for _ in $(seq 300); do
  question=$(window_ids | grep -v "$main" | head -1)
  [ -n "$question" ] && break
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
[ -n "$question" ] || { echo "FAIL: no end question appeared"; exit 1; }
sleep 0.5
xdotool windowactivate --sync "$question" key Escape

for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
  echo "FAIL: the window is still open after the job and its question"
  exit 1
fi
grep -q '^TRANS=' "$work/SC_CONVERTER.ini" 2>/dev/null || { echo "FAIL: settings not written"; exit 1; }
echo "closed after the job; settings written"
