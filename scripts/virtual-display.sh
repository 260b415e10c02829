# The one place that starts a virtual display for Wine, sourced by every script that needs
# one: without DISPLAY, start_virtual_display starts a private Xvfb and points DISPLAY at it
# for the rest of the script; with DISPLAY set it does nothing. The script's own EXIT trap
# should call stop_virtual_display.
virtual_display_pid=
start_virtual_display() {
  [ -z "${DISPLAY:-}" ] || return 0
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  virtual_display_pid=$!
  for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=:$(head -n1 "$display_file")
  rm -f "$display_file"
}
stop_virtual_display() {
  [ -z "$virtual_display_pid" ] || kill "$virtual_display_pid" 2>/dev/null || true
  virtual_display_pid=
}
