#!/usr/bin/env bash
# The install as a user meets it, in a temporary prefix that already holds other programs'
# files: install, start the installed launcher and close its window with the window's own close
# button, change what a user changes, reinstall, uninstall; check what each step leaves.
# Usage: install_test.sh <build folder> <source folder>
set -euo pipefail
build=$1
source=$2

for tool in Xvfb xdotool desktop-file-validate identify; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  for pid in $program_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A space in the prefix: the launcher, the desktop entry and the uninstall must all quote it.
prefix="$work/prefix with space"
folder=$prefix/share/SC_CONVERTER
mkdir -p "$prefix/bin" "$prefix/share/applications"
printf '#!/bin/sh\n' >"$prefix/bin/other-tool"
chmod 755 "$prefix/bin/other-tool"
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other-tool\n' \
  >"$prefix/share/applications/other.desktop"

# Every entry with its kind and mode, and every file's hash.
snapshot() {
  (cd "$prefix" && find . -printf '%y %m %p\n' | sort && find . -type f -exec sha256sum {} + | sort -k2)
}
before=$(snapshot)

install() {
  cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log"; fail "cmake --install"; }
}

# --- first install -------------------------------------------------------------------------
install
for f in SC_CONVERTER bg_tate.bmp bg_film.bmp Readme.txt SC_GUIDE.pdf install_manifest.txt \
  "drive_c/Album/beach.bmp" "drive_c/Program Files/Snapcycle/Trip/SC000010.jpg"; do
  [ -f "$folder/$f" ] || fail "not installed: $f"
done
[ -x "$folder/SC_CONVERTER" ] && [ -x "$prefix/bin/sc-converter" ] || fail "not executable"
[ ! -e "$folder/SC_CONVERTER.ini" ] || fail "an install must not bring a settings file"
# The samples keep their times: the JPEG job renames after them.
stage=$build/install-stage/program
[ "$(stat -c %Y "$folder/drive_c/Album/beach.bmp")" = "$(stat -c %Y "$stage/drive_c/Album/beach.bmp")" ] ||
  fail "a sample lost its modification time"
entry=$prefix/share/applications/sc-converter.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
grep -qxF "Exec=\"$prefix/bin/sc-converter\"" "$entry" || fail "Exec does not name the launcher"
for size in 48 256; do
  icon=$prefix/share/icons/hicolor/${size}x$size/apps/sc-converter.png
  [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${size}x$size" ] || fail "no $size px icon"
done

# --- start the installed launcher until its window shows, close it through the window ------
# -displayfd picks a free display and says when the server is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY
mkdir -m 700 "$work/runtime"
mkdir "$work/home"

# start [<wrapper> ...]: starts the launcher from an unrelated folder, as a menu does (the
# program must find its own folder), and sets program_pid.
start() {
  (cd / && HOME=$work/home XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb \
    exec "$@" "$prefix/bin/sc-converter") >"$work/program.log" 2>&1 &
  program_pid=$!
  rm -f "$work/status"
}
# Visible windows titled SC_CONVERTER: the main window, and a message box above it.
windows() {
  xdotool search --onlyvisible --name '^SC_CONVERTER$' 2>/dev/null || true
}
wait_for_end() {
  for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program_pid" 2>/dev/null && fail "the program did not end"
  wait "$program_pid" || echo "$?" >"$work/status"
  program_pid=
}

start
window=$(timeout 15 xdotool search --sync --onlyvisible --name '^SC_CONVERTER$' | head -n1) ||
  { cat "$work/program.log"; fail "the window did not show"; }
[ "$(xdotool getwindowpid "$window" 2>/dev/null || echo "$program_pid")" = "$program_pid" ] ||
  fail "the window is not the installed program's"
# The close button "×" sits at the top right of the window (498, 2; 15 x 15).
xdotool mousemove --window "$window" 505 9 click 1
wait_for_end
[ ! -e "$work/status" ] || fail "the program ended with status $(cat "$work/status")"
ini=$folder/SC_CONVERTER.ini
[ -f "$ini" ] || fail "closing did not write $ini"
grep -q '^\[SET0\]' "$ini" || fail "the settings file holds no settings"
ini_state=$(sha256sum <"$ini")$(stat -c %Y "$ini")

# What a user does to the drive folders: adds a picture, changes one, deletes one.
cp "$folder/drive_c/Album/garden.bmp" "$folder/drive_c/Album/mine.bmp"
printf 'changed' >>"$folder/drive_c/Album/beach.bmp"
beach=$(sha256sum <"$folder/drive_c/Album/beach.bmp")
rm "$folder/drive_c/Album/harbour.bmp"
sleep 1 # so that a rewritten settings file would show in its time

# --- reinstall ------------------------------------------------------------------------------
install
[ "$(sha256sum <"$ini")$(stat -c %Y "$ini")" = "$ini_state" ] || fail "reinstall touched $ini"
[ -f "$folder/drive_c/Album/mine.bmp" ] || fail "reinstall lost the user's picture"
[ "$(sha256sum <"$folder/drive_c/Album/beach.bmp")" = "$beach" ] || fail "reinstall reverted a sample"
[ ! -e "$folder/drive_c/Album/harbour.bmp" ] || fail "reinstall brought back a deleted sample"

# --- the program folder read-only (an install made by another user) ------------------------
# Root writes anywhere, so a read-only bind mount, private to the program's mount namespace,
# stands for the folder the user cannot write. The program must say so at once, in a message
# box over its window. Where mounts are not allowed, this part is skipped.
if unshare -rm sh -c 'mount --bind -o ro "$1" "$1"' - "$folder" 2>/dev/null; then
  start unshare -rm sh -c 'mount --bind -o ro "$1" "$1" && exec "$2"' - "$folder"
  shown=0
  for _ in $(seq 40); do
    shown=$(windows | wc -l)
    [ "$shown" -ge 2 ] && break
    sleep 0.2
  done
  [ "$shown" -ge 2 ] || { cat "$work/program.log"; fail "no message about the folder"; }
  kill "$program_pid"
  wait_for_end
  [ "$(sha256sum <"$ini")$(stat -c %Y "$ini")" = "$ini_state" ] || fail "the settings changed"
else
  echo "note: mounts are not allowed here; the read-only program folder is not tried"
fi

# --- uninstall --------------------------------------------------------------------------------
"$source/scripts/install" --uninstall --prefix "$prefix" >"$work/uninstall.log"
cat "$work/uninstall.log"
[ ! -e "$prefix/bin/sc-converter" ] && [ ! -e "$entry" ] && [ ! -e "$folder/SC_CONVERTER" ] ||
  fail "uninstall left the program behind"
# Only the user's own files stay, named in the report: the settings, the added and the changed
# picture. Without them the prefix is as it was before the install.
for own in SC_CONVERTER.ini drive_c/Album/mine.bmp drive_c/Album/beach.bmp; do
  [ -f "$folder/$own" ] || fail "uninstall removed the user's $own"
  grep -qF "$own" "$work/uninstall.log" || fail "uninstall did not name the kept $own"
  rm "$folder/$own"
done
rmdir "$folder/drive_c/Album" "$folder/drive_c" "$folder" || fail "uninstall left other files"
diff <(echo "$before") <(snapshot) || fail "the prefix is not as it was"
echo "PASS"
