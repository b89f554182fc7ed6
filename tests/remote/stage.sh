# The stage the remote's desktop checks run on, sourced by them: a private sound server whose
# default microphone "RoarMic" hears what is played to the sink "roar", and a virtual screen.
# The caller sets `work` (a folder it removes) and appends to `pids` (processes it ends).

# Starts the sound server; exports XDG_RUNTIME_DIR and PULSE_SERVER. False when it did not start.
stage_sound() {
  export XDG_RUNTIME_DIR=$work/run
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/native
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    -L "module-native-protocol-unix socket=$XDG_RUNTIME_DIR/native auth-anonymous=1" \
    -L "module-null-sink sink_name=roar" >"$work/pulse.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl load-module module-remap-source master=roar.monitor source_name=roarmic \
    source_properties=device.description=RoarMic >/dev/null || return 1
  pactl set-default-source roarmic
}

# Starts Xvfb at SIZE on the first free display from FIRST on; exports DISPLAY. False when none.
stage_screen() {
  local first=$1 size=$2 n display=
  for n in $(seq "$first" $((first + 49))); do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=$n; break; fi
  done
  [ -n "$display" ] || return 1
  Xvfb :$display -screen 0 "${size}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=:$display
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && return 0; sleep 0.1; done
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
