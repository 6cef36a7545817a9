#!/usr/bin/env bash
# Two copies of the program printing contact sheets to PDF at the same moment on one desktop,
# into one documents folder: first both on one program folder, then each on its own. Each PDF
# must hold its own copy's pages, complete, under a name of its own; no page file may be left;
# and the desktop's clipboard must hold what it held before. Skipped (77) without the tools.
# Usage: two_copies_print.sh <program folder> <sc_print_copy>
set -uo pipefail
program=$1
driver=$2
source "$(dirname "$0")/desktop.sh"
for tool in pdfinfo pdfimages convert; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

# One user's session: one home, one documents folder, one runtime folder.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME/Documents"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
start_desktop
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A program folder with its data files; the pictures of a copy in one colour.
program_folder() {
  mkdir -p "$1"
  cp "$program"/bg_tate.bmp "$program"/bg_film.bmp "$1/"
}
pictures() { # <folder> <colour>
  mkdir -p "$1"
  convert -size 64x48 "xc:rgb($2)" "BMP3:$1/p000.bmp"
  for i in $(seq -w 1 109); do cp "$1/p000.bmp" "$1/p$i.bmp"; done
}
pictures "$work/red" "200,40,40"
pictures "$work/blue" "40,40,200"

"$driver" hold "the user's own words" >"$work/holder.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q held "$work/holder.log" && break; sleep 0.1; done

# Every frame centre of every page of a PDF near `colour`: 110 frames on 3 pages.
check_pdf() { # <pdf> <r> <g> <b>
  local pdf=$1 pages
  pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
  [ "$pages" = 3 ] || { fail "$pdf has ${pages:-no} pages, not 3"; return; }
  rm -f "$work"/page-*.png
  pdfimages -png "$pdf" "$work/page"
  local i=0 counts=(50 50 10)
  for page in "$work"/page-*.png; do
    "$driver" frames "$page" "${counts[$i]}" | awk -v r="$2" -v g="$3" -v b="$4" -v pdf="$pdf" -v p="$i" '
      function off(x, y) { return x > y ? x - y : y - x }
      off($1, r) > 16 || off($2, g) > 16 || off($3, b) > 16 {
        printf "FAIL: %s page %d frame %d is %s %s %s\n", pdf, p + 1, NR - 1, $1, $2, $3; bad = 1 }
      END { exit bad }' || failures=$((failures + 1))
    i=$((i + 1))
  done
}

run_two() { # <label> <folder of the red copy> <folder of the blue copy>
  local start=$(( $(date +%s%3N) + 2500 ))
  "$driver" print "$2" "$start" "$work"/red/*.bmp >"$work/red.log" 2>&1 &
  local red=$!
  "$driver" print "$3" "$start" "$work"/blue/*.bmp >"$work/blue.log" 2>&1 &
  local blue=$!
  pids+=($red $blue)
  wait $red || fail "$1: the red copy ended with $?"
  wait $blue || fail "$1: the blue copy ended with $?"
  for copy in red blue; do
    grep '^message:' "$work/$copy.log" && fail "$1: the $copy copy showed a message"
    grep -q '^printed' "$work/$copy.log" || fail "$1: the $copy copy did not print"
  done
  local redPdf bluePdf
  redPdf=$(sed -n 's/^print dialog: //p' "$work/red.log")
  bluePdf=$(sed -n 's/^print dialog: //p' "$work/blue.log")
  [ -n "$redPdf" ] && [ "$redPdf" != "$bluePdf" ] || fail "$1: both were offered '$redPdf'"
  [ -f "$redPdf" ] && check_pdf "$redPdf" 200 40 40
  [ -f "$bluePdf" ] && check_pdf "$bluePdf" 40 40 200
  for folder in "$2" "$3"; do
    left=$(ls -A "$folder" | grep -v -e '^bg_....\.bmp$' -e '^SC_CONVERTER\.ini$')
    [ -z "$left" ] || fail "$1: left in $folder: $left"
  done
  echo "$1: printed to '$(basename "$redPdf")' (red) and '$(basename "$bluePdf")' (blue)"
}

program_folder "$work/one"
run_two "one program folder" "$work/one" "$work/one"
program_folder "$work/A"
program_folder "$work/B"
run_two "two program folders" "$work/A" "$work/B"

ls "$HOME/Documents"
[ "$(ls "$HOME/Documents" | wc -l)" = 4 ] || fail "not four PDFs in the documents folder"
clipboard=$("$driver" clipboard 2>/dev/null)
[ "$clipboard" = "the user's own words" ] || fail "the clipboard holds '$clipboard'"
[ $failures = 0 ] || exit 1
echo "two copies printed at once: every PDF whole and its own, the clipboard kept"
