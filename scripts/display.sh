# Sourced by the scripts that run Wine, wine-prep.sh among them: the virtual display their Wine
# runs use. display_note, before the first Wine run, remembers whether a server already serves
# it; display_release stops the server afterwards only when this run started it, so a display
# someone else runs is kept.
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
display_num=$VANTREL_DISPLAY_NUM
display_was_up=false

# The process that serves the display, from its lock file; empty when none is alive.
display_server_pid() {
  local pid
  [ -f "/tmp/.X$display_num-lock" ] || return 0
  pid=$(tr -dc 0-9 <"/tmp/.X$display_num-lock")
  [ -n "$pid" ] && [ -d "/proc/$pid" ] && echo "$pid"
  return 0
}

display_note() {
  [ -n "$(display_server_pid)" ] && display_was_up=true
  return 0
}

display_release() {
  local pid
  $display_was_up && return 0
  pid=$(display_server_pid)
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do [ -d "/proc/$pid" ] || return 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
}
