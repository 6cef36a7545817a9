#!/usr/bin/env bash
# On a real desktop (Xvfb with a window manager), while a JPEG job of 150 pictures runs:
#   close                  the window manager asks the window to close: the job finishes, asks
#                          its question (answered No), then the window closes;
#   terminate-during-job   SIGTERM, as at a logout: the job finishes and the program ends
#                          without asking anything;
#   terminate-at-question  SIGTERM while the end question is up: the question goes, taken as
#                          No, and the program ends.
# Each way the sources stay and the settings are written. Skipped (77) when the desktop tools
# are missing. With SC_SCREENSHOT set, the screen at the question is saved there.
# Usage: close_during_job.sh <program folder> [close|terminate-during-job|terminate-at-question]
set -uo pipefail
program=$1
mode=${2:-close}
source "$(dirname "$0")/desktop.sh"

# A program folder of its own, whose start-up folder holds enough pictures for a long job
# (links to one sample picture).
cp "$program/SC_CONVERTER" "$work/"
mkdir -p "$work/drive_c/Album"
cp "$program/drive_c/Album/beach.bmp" "$work/sample.bmp"
for i in $(seq -w 1 150); do
  ln "$work/sample.bmp" "$work/drive_c/Album/p$i.bmp"
done

start_desktop
start_program

# OK, in the command panel at the bottom right.
xdotool mousemove --window "$main" 458 479 click 1
for _ in $(seq 100); do compgen -G "$work/drive_c/Album/*.jpg" >/dev/null && break; sleep 0.05; done
compgen -G "$work/drive_c/Album/*.jpg" >/dev/null || { echo "FAIL: the job did not start"; exit 1; }

# The job's end question: a second window of the program.
wait_for_question() {
  question=""
  for _ in $(seq 300); do
    question=$(window_ids | grep -v "$main" | head -1)
    [ -n "$question" ] && return 0
    kill -0 "$app" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

case $mode in
close)
  wmctrl -i -c "$main"
  echo "close requested while $(ls "$work"/drive_c/Album/*.jpg | wc -l) of 150 pictures were done"
  wait_for_question || { echo "FAIL: no end question appeared"; exit 1; }
  sleep 0.5
  xdotool windowactivate --sync "$question" key Escape
  ;;
terminate-during-job)
  kill -TERM "$app"
  echo "SIGTERM sent while $(ls "$work"/drive_c/Album/*.jpg | wc -l) of 150 pictures were done"
  if wait_for_question; then echo "FAIL: the end question was asked after SIGTERM"; exit 1; fi
  ;;
terminate-at-question)
  wait_for_question || { echo "FAIL: no end question appeared"; exit 1; }
  sleep 0.5
  [ -n "${SC_SCREENSHOT:-}" ] && import -window root "$SC_SCREENSHOT"
  kill -TERM "$app"
  echo "SIGTERM sent while the end question was up"
  ;;
*)
  echo "unknown mode: $mode"; exit 2 ;;
esac

for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
  echo "FAIL: the program is still running after the job ($mode)"
  exit 1
fi
wait "$app"
status=$?
[ "$status" -eq 0 ] || { echo "FAIL: the program ended with status $status"; exit 1; }
sources=$(ls "$work"/drive_c/Album/*.bmp | wc -l)
[ "$sources" -eq 150 ] || { echo "FAIL: $sources of 150 sources are left"; exit 1; }
grep -q '^TRANS=' "$work/SC_CONVERTER.ini" 2>/dev/null || { echo "FAIL: settings not written"; exit 1; }
echo "ended after the job ($mode); all sources kept; settings written"
