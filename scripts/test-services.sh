# Sourced by scripts/test.sh: starts and stops what the tests need.
# shellcheck shell=bash

StartTestServices() {
  StartTestPulseAudio
}

StopTestServices() {
  StopTestPulseAudio
}

# --- PulseAudio (recording tests) -------------------------------------------
# A private sound server whose only microphone is a FIFO: tests write 8-bit
# unsigned mono 22050 Hz audio to $TAMBRIX_TEST_MIC_FIFO and reach the server
# through $PULSE_SERVER. Its runtime, state and config paths are its own, so a
# server the user already runs is neither reused nor disturbed.
TAMBRIX_PULSE_DIR=""
TAMBRIX_PULSE_PID=""

StartTestPulseAudio() {
  TAMBRIX_PULSE_DIR=$(mktemp -d /tmp/tambrix-pulse.XXXXXX)
  chmod 0700 "$TAMBRIX_PULSE_DIR"
  mkdir -m 0700 "$TAMBRIX_PULSE_DIR/runtime" "$TAMBRIX_PULSE_DIR/state" "$TAMBRIX_PULSE_DIR/config"
  if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    export XDG_RUNTIME_DIR="$TAMBRIX_PULSE_DIR/xdg"
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
  fi
  local socket="$TAMBRIX_PULSE_DIR/native"
  local fifo="$TAMBRIX_PULSE_DIR/mic.fifo"
  local mic_args="source_name=tambrix_mic file=$fifo format=u8 rate=22050 channels=1"
  if ! PULSE_RUNTIME_PATH="$TAMBRIX_PULSE_DIR/runtime" PULSE_STATE_PATH="$TAMBRIX_PULSE_DIR/state" \
    PULSE_CONFIG_PATH="$TAMBRIX_PULSE_DIR/config" \
    pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disallow-exit --use-pid-file=yes \
    --log-target="file:$TAMBRIX_PULSE_DIR/pulseaudio.log" \
    --load="module-native-protocol-unix socket=$socket auth-anonymous=1" \
    --load="module-null-sink sink_name=tambrix_speaker" \
    --load="module-pipe-source $mic_args"; then
    echo "error: pulseaudio did not start; its log:" >&2
    cat "$TAMBRIX_PULSE_DIR/pulseaudio.log" >&2 || true
    return 1
  fi
  local tries
  for ((tries = 0; tries < 50; ++tries)); do
    PULSE_SERVER="unix:$socket" pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! PULSE_SERVER="unix:$socket" pactl info >/dev/null 2>&1 || [[ ! -p "$fifo" ]]; then
    echo "error: the test sound server at $socket does not answer; its log:" >&2
    cat "$TAMBRIX_PULSE_DIR/pulseaudio.log" >&2 || true
    return 1
  fi
  TAMBRIX_PULSE_PID=$(cat "$TAMBRIX_PULSE_DIR/runtime/pid")
  export PULSE_SERVER="unix:$socket"
  export TAMBRIX_TEST_MIC_FIFO="$fifo"
  echo "== sound server: pid $TAMBRIX_PULSE_PID, $PULSE_SERVER, microphone FIFO $fifo"
}

StopTestPulseAudio() {
  if [[ -n "$TAMBRIX_PULSE_PID" ]]; then
    kill "$TAMBRIX_PULSE_PID" 2>/dev/null || true
    # It removes its socket and pid file on the way out; let it finish.
    local waits
    for ((waits = 0; waits < 60; ++waits)); do
      [[ -d "/proc/$TAMBRIX_PULSE_PID" ]] || break
      [[ "$(awk '{print $3}' "/proc/$TAMBRIX_PULSE_PID/stat" 2>/dev/null)" == Z ]] && break
      sleep 0.05
    done
    TAMBRIX_PULSE_PID=""
  fi
  if [[ -n "$TAMBRIX_PULSE_DIR" ]]; then
    rm -rf "$TAMBRIX_PULSE_DIR"
    TAMBRIX_PULSE_DIR=""
  fi
}
# --- end PulseAudio ----------------------------------------------------------
