# Shared by the desktop checks (sourced, not run): a work folder that goes at exit, a virtual
# display with a window manager, and the program started in the work folder.
# Needs: Xvfb, openbox, wmctrl, xdotool; without them the calling check is skipped (77).

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

# Xvfb picks a free display and writes its number once it is ready; openbox manages it.
start_desktop() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
  export DISPLAY=":$(head -1 "$work/display")"
  unset QT_QPA_PLATFORM
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
}

window_ids() { wmctrl -l | awk '/SC_CONVERTER/ {print $1}'; }

# Starts "$work/SC_CONVERTER"; sets `app` to its process and `main` to its window.
start_program() {
  "$work/SC_CONVERTER" >"$work/program.log" 2>&1 &
  app=$!
  pids+=($app)
  main=""
  for _ in $(seq 100); do main=$(window_ids | head -1); [ -n "$main" ] && break; sleep 0.1; done
  [ -n "$main" ] || { echo "FAIL: the window did not appear"; exit 1; }
  sleep 1
}
