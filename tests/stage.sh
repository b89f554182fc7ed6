# The stage the desktop checks run on, sourced by them: a work folder whose processes end with
# the script, a private sound server whose microphone "RoarMic" hears what is played to the sink
# "roar", a virtual screen with a window manager, and the program's data folder.
# Where a step cannot be taken its function is false and leaves the reason in `stage_why`
# (stage_free_display, run in a subshell, gives none).

# Makes the work folder `work` (/tmp/roarmark-NAME.XXXXXX) and the lists `server_pids` (a sound
# server's processes, ended first) and `pids` of processes that stage_end ends on exit. A script
# with more to undo traps its own cleanup that calls stage_end.
stage_begin() {
  work=$(mktemp -d "/tmp/roarmark-$1.XXXXXX")
  server_pids=()
  pids=()
  trap stage_end EXIT
}

stage_end() {
  local pid
  for pid in "${server_pids[@]}" "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${server_pids[@]}" "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}

# True once COMMAND succeeds, tried every tenth of a second SECONDS times ten.
wait_for() {  # SECONDS COMMAND...
  local tenths=$(($1 * 10))
  shift
  for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
  return 1
}

# Starts PulseAudio with the sink "roar" alone (none of its default modules), answering on a
# socket in the work folder; exports XDG_RUNTIME_DIR and PULSE_SERVER.
stage_sound_server() {
  export XDG_RUNTIME_DIR=$work/run
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/native
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    -L "module-native-protocol-unix socket=$XDG_RUNTIME_DIR/native auth-anonymous=1" \
    -L "module-null-sink sink_name=roar" >"$work/pulse.log" 2>&1 &
  pids+=($!)
  wait_for 5 pactl info >/dev/null 2>&1 && return 0
  stage_why="the sound server did not start"
  return 1
}

# Offers what is played to "roar" as the input "RoarMic"; prints the module number.
stage_roarmic() {
  pactl load-module module-remap-source master=roar.monitor source_name=roarmic \
    source_properties=device.description=RoarMic && return 0
  stage_why="no RoarMic source"
  return 1
}

# The sound server with "RoarMic" as its default input.
stage_sound() {
  stage_sound_server && stage_roarmic >/dev/null && pactl set-default-source roarmic
}

# A private session for a sound server run with its own default set-up: its state and cookie
# stay in the work folder. Exports HOME, XDG_RUNTIME_DIR, XDG_CONFIG_HOME and PULSE_SERVER.
stage_session() {
  export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/home/.config
  mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
  export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
}

# Starts KIND, pulseaudio (its default.pa, suspend-on-idle included) or pipewire (with
# WirePlumber's defaults and its PulseAudio service), in the session; its processes go to
# `server_pids`. False when it does not answer.
stage_default_sound_server() {  # KIND
  if [ "$1" = pipewire ]; then
    pipewire >>"$work/server.log" 2>&1 &
    server_pids+=($!)
    sleep 0.3
    wireplumber >>"$work/server.log" 2>&1 &
    server_pids+=($!)
    pipewire-pulse >>"$work/server.log" 2>&1 &
    server_pids+=($!)
  else
    pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
      >>"$work/server.log" 2>&1 &
    server_pids+=($!)
  fi
  wait_for 5 pactl info >/dev/null 2>&1 && return 0
  stage_why="the $1 sound server did not start"
  return 1
}

# A second input, "OtherMic": the monitor of the silent sink "other".
stage_othermic() {
  pactl load-module module-null-sink sink_name=other >/dev/null &&
    pactl load-module module-remap-source master=other.monitor source_name=othermic \
      source_properties=device.description=OtherMic >/dev/null
}

# Prints the first display number from FIRST on (fifty of them) that no X server holds.
stage_free_display() {
  local n
  for n in $(seq "$1" $(($1 + 49))); do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then echo "$n"; return 0; fi
  done
  return 1
}

# Starts Xvfb at SIZE (WIDTHxHEIGHT) on a free display from FIRST on, given any further Xvfb
# options; sets `display` and exports DISPLAY.
stage_screen() {  # FIRST SIZE [OPTION...]
  display=$(stage_free_display "$1") || { stage_why="no free display"; return 1; }
  Xvfb :$display -screen 0 "${2}x24" "${@:3}" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=:$display
  wait_for 5 xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
  stage_why="Xvfb did not start"
  return 1
}

# Starts openbox on DISPLAY and gives it a moment to take the screen.
stage_openbox() {
  openbox >"$work/openbox.log" 2>&1 &
  pids+=($!)
  sleep 0.5
}

# Makes the data folder `folder` (by default the program's own under XDG_DATA_HOME in the work
# folder, which is exported) with its Files and Help folders.
stage_data_folder() {  # [FOLDER]
  if [ $# = 0 ]; then
    export XDG_DATA_HOME=$work/data
    folder=$XDG_DATA_HOME/Quillmoor/Roarmark
  else
    folder=$1
  fi
  mkdir -p "$folder/Files" "$folder/Help"
}

# Writes "Roarmark.ini" in `folder`: the input "RoarMic" by name and these [Form] lines.
stage_settings() {  # LINE...
  { printf '[Input]\r\nDevice Name=RoarMic\r\n[Form]\r\n'; printf '%s\r\n' "$@"; } \
    >"$folder/Roarmark.ini"
}

# Paints the picture "Graphic.bmp" in `folder`: SIZE and an ImageMagick canvas such as
# 'xc:rgb(32,48,64)' or gradient:navy-black.
stage_picture() {  # SIZE CANVAS
  convert -size "$1" "$2" -type TrueColor "BMP3:$folder/Files/Graphic.bmp" && return 0
  stage_why="no picture"
  return 1
}

# The program's windows: the visible ones captioned "Roarmark".
# The first one's client geometry on the screen as "X Y W H".
window_geometry() {
  local id
  id=$(xdotool search --onlyvisible --name '^Roarmark$' 2>/dev/null | head -1)
  [ -n "$id" ] || return 1
  xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
window_at() { [ "$(window_geometry)" = "$*" ]; }  # X Y W H
window_count() { xdotool search --onlyvisible --name '^Roarmark$' 2>/dev/null | wc -l; }
# Prints the id of the one with that client size.
window_sized() {  # WIDTH HEIGHT
  local id
  for id in $(xdotool search --onlyvisible --name '^Roarmark$' 2>/dev/null); do
    xwininfo -id "$id" | grep -q "Width: $1\$" && xwininfo -id "$id" | grep -q "Height: $2\$" &&
      { echo "$id"; return 0; }
  done
  return 1
}

# Waits up to ten seconds for something to listen on loopback PORT.
stage_wait_port() {
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
