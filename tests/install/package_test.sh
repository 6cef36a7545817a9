#!/usr/bin/env bash
# The Debian package as a system meets it: made from the build by `cpack -G DEB`, its control
# fields and every file it holds checked, lintian's verdict read, then the installed tree
# started from its menu entry by two users on a virtual display. Each user must get a program
# folder of their own that keeps their settings from one start to the next, and nothing may be
# written into the installed files. As root the users are real other users (setpriv), for whom
# the tree is read-only as it is after `apt install`; otherwise one user, the tree made
# read-only. Usage: package_test.sh <build folder>
set -euo pipefail
build=$1

for tool in cpack dpkg-deb dpkg-shlibdeps objdump Xvfb xdotool desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
chmod 755 "$work" # the users' homes lie inside
xvfb_pid=
program_pid=
cleanup() {
  for pid in $program_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# --- the package, from this build -----------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$work/cpack") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/cpack/*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "cpack made ${#debs[@]} packages"
deb=${debs[0]}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "sc-converter_${version}-1_$arch.deb" ] || fail "named $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = sc-converter ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version-1" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no Maintainer or Description"
# Every library the program loads, by the package that has it here: dpkg-shlibdeps must have
# read them all off the binary. The font is no library and is named by hand.
depends=", $(field Depends),"
depends_on() { [[ $depends == *", $1 "* || $depends == *", $1,"* ]]; }
depends_on fonts-ipafont-gothic || fail "Depends lacks the font: $depends"
dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/lib/sc-converter/SC_CONVERTER
for library in $(objdump -p "$program" | awk '/NEEDED/ {print $2}'); do
  covered=false
  for owner in $(dpkg -S "*/$library" 2>/dev/null | grep -v '^diversion' | cut -d: -f1 | tr -d ,); do
    depends_on "$owner" && covered=true
  done
  $covered || fail "Depends names no package that has $library: $depends"
done
if objdump -h "$program" | grep -q '\.debug_info'; then fail "the program is not stripped"; fi

# --- every file, under /usr, owned by root, with its mode --------------------------------------
dpkg-deb -c "$deb" | awk '{ sub(/ -> .*/, ""); print substr($1, 1, 10), $2, substr($0, index($0, "./")) }' |
  sort -k3 >"$work/contents"
awk '$3 !~ /^\.\/usr\// || $2 != "root/root" { print "FAIL: " $0; bad = 1 } END { exit bad }' \
  "$work/contents" || fail "a file outside /usr or not root's"
expected="./usr/bin/sc-converter lrwxrwxrwx
./usr/lib/sc-converter/SC_CONVERTER -rwxr-xr-x
./usr/lib/sc-converter/SC_CONVERTER.shared -rw-r--r--
./usr/share/applications/sc-converter.desktop -rw-r--r--
./usr/share/doc/sc-converter/changelog.Debian.gz -rw-r--r--
./usr/share/doc/sc-converter/copyright -rw-r--r--
./usr/share/icons/hicolor/256x256/apps/sc-converter.png -rw-r--r--
./usr/share/icons/hicolor/48x48/apps/sc-converter.png -rw-r--r--
./usr/share/man/man1/sc-converter.1.gz -rw-r--r--
./usr/share/sc-converter/Readme.txt -rw-r--r--
./usr/share/sc-converter/SC_GUIDE.pdf -rw-r--r--
./usr/share/sc-converter/bg_film.bmp -rw-r--r--
./usr/share/sc-converter/bg_tate.bmp -rw-r--r--"
samples=$(cd "$build/install-stage/program" && find drive_c -type f | sed 's|^|./usr/share/sc-converter/|; s|$| -rw-r--r--|')
diff <(printf '%s\n%s\n' "$expected" "$samples" | sort) \
  <(awk '$1 !~ /^d/ { print substr($0, index($0, "./")), $1 }' "$work/contents" | sort) ||
  fail "the package does not hold exactly the program, its data, menu entry, icons and documents"
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print "FAIL: " $0; bad = 1 } END { exit bad }' \
  "$work/contents" || fail "a folder that is not rwxr-xr-x"
[ "$(readlink "$work/root/usr/bin/sc-converter")" = ../lib/sc-converter/SC_CONVERTER ] ||
  fail "/usr/bin/sc-converter does not lead to the program"

# --- lintian: no errors (its warnings are printed) ------------------------------------------
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" 2>/dev/null | tee "$work/lintian.log" || fail "lintian found errors"
else
  echo "note: lintian is not installed; not asked"
fi

# --- the menu entry ---------------------------------------------------------------------------
entry=$work/root/usr/share/applications/sc-converter.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the menu entry"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$exec_line" = sc-converter ] || fail "Exec=$exec_line"
grep -qx 'Icon=sc-converter' "$entry" || fail "the entry names another icon"

# --- installed, read-only, started by two users -----------------------------------------------
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")
display=$DISPLAY

if [ "$(id -u)" = 0 ]; then
  users=(60001 60002)
  as() { local uid=$1; shift; setpriv --reuid="$uid" --regid="$uid" --clear-groups -- "$@"; }
else
  users=("$(id -u)" "$(id -u)")
  chmod -R a-w "$work/root"
  as() { shift; "$@"; }
fi
snapshot() { (cd "$work/root" && find . -printf '%p %s %m %u %T@\n' | sort); }
tree_before=$(snapshot)

# Each user's session: a home that others may read (as Debian makes them) and a runtime folder
# of their own, as a login gives them.
for n in 0 1; do
  mkdir -m 755 "$work/home$n"
  mkdir -m 700 "$work/run$n"
  [ "$(id -u)" = 0 ] && chown "${users[$n]}:${users[$n]}" "$work/home$n" "$work/run$n"
done
# start_as <n>: user n starts the menu entry's command as a menu does, found on PATH from
# wherever the menu runs it; the window shows, and its close button ends it.
start_as() {
  (cd / && as "${users[$1]}" env -i HOME="$work/home$1" XDG_RUNTIME_DIR="$work/run$1" LANG=C.UTF-8 \
    DISPLAY="$display" PATH="$work/root/usr/bin:/usr/bin:/bin" $exec_line) >"$work/program.log" 2>&1 &
  program_pid=$!
  local window
  window=$(timeout 15 xdotool search --sync --onlyvisible --name '^SC_CONVERTER$' | head -n1) ||
    { cat "$work/program.log"; fail "user $1: the window did not show"; }
  sleep 1
  [ "$(xdotool search --onlyvisible --name '^SC_CONVERTER$' | wc -l)" = 1 ] ||
    { cat "$work/program.log"; fail "user $1: a message box came up at start"; }
  xdotool mousemove --window "$window" 505 9 click 1 # the close button "×"
  for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  wait "$program_pid" || fail "user $1: the program ended with status $?"
  program_pid=
}
own() { echo "$work/home$1/.local/share/sc-converter"; }
setting() { sed -n "s/^$2=//p" "$(own "$1")/SC_CONVERTER.ini" | tr -d '\r'; }

start_as 0
[ -f "$(own 0)/SC_CONVERTER.ini" ] || fail "user 0: no settings file in $(own 0)"
for sample in "drive_c/Album/beach.bmp" "drive_c/Program Files/Snapcycle/Trip/SC000010.jpg"; do
  [ "$(stat -c %Y "$(own 0)/$sample")" = "$(stat -c %Y "$work/root/usr/share/sc-converter/$sample")" ] ||
    fail "user 0: the sample $sample is missing or lost its time"
done
[ "$(setting 0 C1_02)" = 2 ] || fail "user 0: the first start did not keep the default quality"
# The user changes a setting (as the window would have stored it); the next start must read it
# and its close keep it.
as "${users[0]}" sed -i 's/^C1_02=.*/C1_02=0/' "$(own 0)/SC_CONVERTER.ini"
start_as 0
[ "$(setting 0 C1_02)" = 0 ] || fail "user 0: the second start lost the setting"

start_as 1
[ "$(own 1)" != "$(own 0)" ] && [ -f "$(own 1)/SC_CONVERTER.ini" ] || fail "user 1: no folder of their own"
[ "$(setting 1 C1_02)" = 2 ] || fail "user 1 sees user 0's settings"
if [ "$(id -u)" = 0 ]; then
  [ "$(stat -c %u "$(own 1)/SC_CONVERTER.ini")" = "${users[1]}" ] || fail "user 1 does not own their settings"
  if as "${users[1]}" ls "$(own 0)" >/dev/null 2>&1; then fail "user 1 can look into user 0's folder"; fi
fi
[ "$(snapshot)" = "$tree_before" ] || { diff <(echo "$tree_before") <(snapshot); fail "the installed tree changed"; }
echo "PASS"
