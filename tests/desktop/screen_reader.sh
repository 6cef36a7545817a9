#!/usr/bin/env bash
# On a real desktop (Xvfb with a window manager) with the accessibility bus on from before the
# program starts, as a screen reader's desktop has it: a real AT-SPI client (screen_reader.py)
# walks the program's tree in both languages and on every page, sets values, presses buttons,
# tabs into a tuning box and listens to the status line while a JPEG job runs. Skipped (77)
# when the desktop, the session bus, the accessibility bus or the client bindings are missing.
# Usage: screen_reader.sh <program folder>
set -uo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

skip() { echo "skipped: $1"; exit 77; }
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
command -v dbus-send >/dev/null || skip "dbus-send is not installed"
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || skip "at-spi2-core is not installed"
# Debian's bindings, for the system's own python.
client=/usr/bin/python3
"$client" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

# A session bus of its own, which ends with this check.
if [ -z "${SC_SCREEN_READER_BUS:-}" ]; then
  SC_SCREEN_READER_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
source "$here/desktop.sh"

cp "$program/SC_CONVERTER" "$work/"
mkdir -p "$work/drive_c/Album" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program"/drive_c/Album/*.bmp "$work/drive_c/Album/"
export HOME=$work XDG_RUNTIME_DIR=$work/runtime
start_desktop

# The accessibility bus and its registry, switched on as a running screen reader leaves them.
"$launcher" --launch-immediately >/dev/null 2>&1 &
pids+=($!)
a11y() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus "$@" >/dev/null 2>&1
}
for _ in $(seq 100); do a11y org.a11y.Bus.GetAddress && break; sleep 0.1; done
a11y org.a11y.Bus.GetAddress || { echo "FAIL: the accessibility bus did not start"; exit 1; }
for property in IsEnabled ScreenReaderEnabled; do
  a11y org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:$property variant:boolean:true
done
# Qt then makes every control's accessible object as the control is made.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_program

"$client" "$here/screen_reader.py" || exit 1
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
  echo "FAIL: the window is still open after Close was pressed through AT-SPI"
  exit 1
fi
ini=$work/SC_CONVERTER.ini
# What was set through AT-SPI is what the program kept.
for line in C1_02=3 C3_01=30 TRANS=1; do
  grep -qix "$line" <(tr -d '\r' <"$ini") || { echo "FAIL: $line not saved"; cat "$ini"; exit 1; }
done
ls "$work/drive_c/Album/"*.jpg >/dev/null 2>&1 || { echo "FAIL: the JPEG job wrote nothing"; exit 1; }
echo "the screen reader's view holds: roles, names in both languages, hints, values, status line"
