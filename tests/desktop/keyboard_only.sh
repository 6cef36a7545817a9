#!/usr/bin/env bash
# On a real desktop (Xvfb with a window manager), the program driven by keys alone: Tab to the
# album mode button and press it, Tab to OK and press Return, type the album folder into the
# folder browser, answer the end question, switch to English, Tab to the close button and
# press it. The album and the settings must be on disk afterwards. With SC_SHOTS set to a
# folder, screenshots of each step are saved there. Skipped (77) when the desktop tools are
# missing.
# Usage: keyboard_only.sh <program folder>
set -uo pipefail
program=$1
source "$(dirname "$0")/desktop.sh"

cp "$program/SC_CONVERTER" "$work/"
mkdir -p "$work/drive_c/Album" "$work/out"
cp "$program"/drive_c/Album/*.bmp "$work/drive_c/Album/"

# The folder browser opens in the home folder.
export HOME=$work
start_desktop
start_program

shot() {
  [ -n "${SC_SHOTS:-}" ] && command -v import >/dev/null && import -window root "$SC_SHOTS/$1.png"
}
keys() { xdotool key --delay 60 "$@"; sleep 0.4; }
# Waits for a window other than the main one (a dialog) and prints its id.
dialog() {
  for _ in $(seq 100); do
    local id
    id=$(wmctrl -l | awk '{print $1}' | grep -v "$main" | head -1)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
}

shot 1-start
# From the list: "登録", "ｸﾘｱ", the JPEG mode button, the album mode button.
keys Tab Tab Tab Tab space
shot 2-album-page
# On through the print mode button, the quality, the title and "ﾘｾｯﾄ" to OK.
keys Tab Tab Tab Tab Tab
shot 3-ok-focused
keys Return
[ -n "$(dialog)" ] || { echo "FAIL: no folder browser after Return on OK"; exit 1; }
sleep 0.5
shot 4-folder-browser
xdotool type --delay 20 "$work/out"
keys Return
for _ in $(seq 100); do [ -f "$work/out/Index.html" ] && break; sleep 0.1; done
[ -f "$work/out/Index.html" ] || { echo "FAIL: the album was not written"; exit 1; }
[ -n "$(dialog)" ] || { echo "FAIL: no end question"; exit 1; }
sleep 0.5
shot 5-end-question
keys Escape # No: the page is not opened
# The focus is back on OK: on to "日本語" and "English".
keys Tab Tab space
shot 6-english
# "info.", "？", "＿", "×".
keys Tab Tab Tab Tab
shot 7-close-focused
keys space

for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
  echo "FAIL: the window is still open"
  exit 1
fi
grep -qi '^TRANS=1' "$work/SC_CONVERTER.ini" || { echo "FAIL: English not saved"; cat "$work/SC_CONVERTER.ini"; exit 1; }
echo "album of $(ls "$work/out/Data" | wc -l) pictures written, English saved, closed by keys"
