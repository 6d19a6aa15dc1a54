#!/usr/bin/env bash
# How far the demo's sound lies behind its pictures, played live and measured
# the way a viewer meets it: the demo windowed under Xvfb, its sound played
# into a PulseAudio server of our own with a null sink, and one ffmpeg
# recording the screen (x11grab, 120 frames/s) and the sink's monitor with
# -copyts, so that both share the wall clock. Each cut is the recorded frame
# where the whole picture changes, each hit an aubioonset onset in the
# recorded sound. A control program that flashes a window and clicks at known
# moments, before the demo and after it, measures how late the rig itself
# sees and hears; the report takes that off. Run by hand, not in CI: it plays
# the whole demo (2.5 min).
#
#   bench/live-sync/live_sync.sh [--build DIR] [--binary PATH] [--runs N]
#                                [--load N] [--buffer FRAMES] [--keep]
#                                [-- DEMO_ARGUMENTS]
#
#   --build   the build tree with the report and control programs (build/)
#   --binary  the demo to measure (default: the build's velmorra); it finds
#             its media in data/ beside itself
#   --runs    plays of the demo after one calibration (1)
#   --load    N busy loops of our own running during the plays, on top of
#             whatever else the machine is doing (0)
#   --buffer  the sound buffer the demo asks for, in frames (2048; 1024 for
#             builds before the music clock); the control asks for the same
#   --keep    keep the recordings (the directory is printed)
#   --        the rest is handed to the demo (for example --av-offset=-10)
#
# Prints per play: matched cuts, the median and quartiles of sound-after-
# picture, the median per third of the demo, PulseAudio's underruns of the
# demo's stream, the demo's own --stats clock line, and the load average.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$root/build"
binary=""
runs=1
load=0
demo_buffer_frames=2048
keep=0
demo_arguments=()
while (($#)); do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --binary) binary="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --load) load="$2"; shift 2 ;;
    --buffer) demo_buffer_frames="$2"; shift 2 ;;
    --keep) keep=1; shift ;;
    --) shift; demo_arguments=("$@"); break ;;
    *) echo "live_sync.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
binary="${binary:-$build/velmorra}"
report="$build/bench/live-sync/velmorra_live_sync_report"
control="$build/bench/live-sync/velmorra_rig_control"
music="$(dirname "$binary")/data/music.mp3"
for need in Xvfb pulseaudio pactl ffmpeg ffprobe aubioonset; do
  command -v "$need" >/dev/null || { echo "live_sync.sh: $need is missing (scripts/setup-deps.sh)" >&2; exit 1; }
done
for file in "$binary" "$report" "$control"; do
  [[ -x "$file" ]] || { echo "live_sync.sh: no $file; build first (the control needs libpulse-dev)" >&2; exit 1; }
done
[[ -f "$music" ]] || { echo "live_sync.sh: no $music" >&2; exit 1; }

width=320
height=240
work="$(mktemp -d /tmp/velmorra-live-sync.XXXXXX)"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  if ((keep)); then echo "recordings kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# A virtual screen the size of the demo's window, on a display nobody uses.
for n in $(seq 91 140); do
  if [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]]; then display=":$n"; break; fi
done
Xvfb "$display" -screen 0 "${width}x${height}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY="$display"

# PulseAudio of our own: one null sink, reached through a socket in $work,
# logging at debug level, where each underrun of a stream leaves a line.
mkdir -p "$work/pulse"
cat >"$work/pulse/default.pa" <<EOF
load-module module-null-sink sink_name=rig rate=44100 channels=2
load-module module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1
set-default-sink rig
EOF
HOME="$work/pulse" XDG_RUNTIME_DIR="$work/pulse" pulseaudio -n -F "$work/pulse/default.pa" \
  --daemonize=no --exit-idle-time=-1 --use-pid-file=false --log-level=debug --log-time=true \
  --log-target="file:$work/pulse/log.txt" >"$work/pulse/out.txt" 2>&1 &
pids+=($!)
export PULSE_SERVER="unix:$work/pulse/native"
for _ in $(seq 100); do
  [[ -e "/tmp/.X11-unix/X${display#:}" ]] && pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
pactl info >/dev/null || { echo "live_sync.sh: PulseAudio did not start" >&2; exit 1; }

# The recorder and the control program run ahead of everything else where
# the system allows it: on a loaded machine a starved recorder drops sound and
# stamps frames late, a starved control underruns and misplaces its clicks,
# and the rig would measure itself.
recorder_priority=()
if chrt -r 20 true 2>/dev/null; then
  recorder_priority=(chrt -r 20)
elif nice -n -10 true 2>/dev/null; then
  recorder_priority=(nice -n -10)
fi
echo "recorder and control priority: ${recorder_priority[*]:-none}"
recorder=""
start_recording() {
  "${recorder_priority[@]}" ffmpeg -nostdin -loglevel error -y \
    -thread_queue_size 1024 -f x11grab -framerate 120 -video_size "${width}x${height}" -i "$display" \
    -thread_queue_size 1024 -f pulse -sample_rate 44100 -channels 2 -i rig.monitor \
    -copyts -map 0:v -map 1:a -vf "scale=80:60:flags=area,format=gray" -fps_mode:v passthrough \
    -c:v rawvideo -c:a pcm_s16le -f nut "$1/recording.nut" &
  recorder=$!
  sleep 1
}
stop_recording() {
  kill -INT "$recorder"
  wait "$recorder" || true
}
# The files live_sync_report reads: grey frames with their grab times, the
# sound's packet times, the sound itself and the onsets in it, found in steps
# of 64 samples (1.5 ms) rather than aubioonset's 256.
extract() {
  local dir="$1"
  ffprobe -v error -select_streams v:0 -show_entries packet=pts_time -of csv=p=0 \
    "$dir/recording.nut" >"$dir/frames.txt"
  ffmpeg -nostdin -v error -i "$dir/recording.nut" -map 0:v -c copy -f rawvideo "$dir/frames.gray"
  ffprobe -v error -select_streams a:0 -show_entries packet=pts_time,size -of csv=p=0 \
    "$dir/recording.nut" >"$dir/audio.csv"
  ffmpeg -nostdin -v error -i "$dir/recording.nut" -map 0:a -c:a pcm_s16le "$dir/audio.wav"
  aubioonset -H 64 -i "$dir/audio.wav" >"$dir/onsets.txt"
  rm -f "$dir/recording.nut"
}

echo "live sync of $binary ${demo_arguments[*]}"
ffmpeg -nostdin -v error -i "$music" -c:a pcm_s16le "$work/music.wav"
aubioonset -H 64 -i "$work/music.wav" >"$work/music-onsets.txt"

for ((i = 0; i < load; ++i)); do
  bash -c 'while :; do :; done' &
  pids+=($!)
done

for ((run = 1; run <= runs; ++run)); do
  dir="$work/play$run"
  mkdir -p "$dir"
  log_lines="$(wc -l <"$work/pulse/log.txt")"
  (while :; do cut -d' ' -f1 /proc/loadavg; sleep 5; done) >"$dir/load.txt" &
  sampler=$!
  # A silent stream keeps the sink playing between the control and the demo,
  # so the recorded sound runs on without a gap. It asks for more latency than
  # the control and the demo, which ask for the same, so the sink runs at one
  # latency while either plays.
  pacat --raw --latency-msec=200 </dev/zero &
  keeper=$!
  start_recording "$dir"
  # The control program flashes and clicks 16 times before the demo and 16
  # times after it; one recording holds all three, so the rig's delays, drawn
  # as a line between the two, apply to the demo as measured.
  SDL_VIDEODRIVER=x11 "${recorder_priority[@]}" "$control" "$width" "$height" 16 "$demo_buffer_frames" >"$dir/control.log"
  demo_start="$(date +%s%6N)"
  echo "$demo_start" >"$dir/demo-start.txt"
  status=0
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=pulseaudio timeout 300 "$binary" --size="${width}x${height}" w --stats "${demo_arguments[@]}" \
    >"$dir/demo.out" 2>"$dir/demo.err" || status=$?
  SDL_VIDEODRIVER=x11 "${recorder_priority[@]}" "$control" "$width" "$height" 16 "$demo_buffer_frames" >>"$dir/control.log"
  stop_recording
  kill "$sampler" "$keeper"
  wait "$sampler" "$keeper" 2>/dev/null || true
  echo "play $run of $runs (demo exit code $status, $load busy loops of our own)"
  extract "$dir"
  "$report" "$dir" "$dir/control.log" "$work/music.wav" "$work/music-onsets.txt" "$demo_start" ||
    true
  # PulseAudio logs each underrun of a stream with the seconds since it
  # started; SDL names the demo's stream "Audio Stream". A stream that is
  # closed runs dry on its way out, so those of its last half second before
  # it is freed are its end, not underruns.
  underruns="$(tail -n "+$((log_lines + 1))" "$work/pulse/log.txt" | awk '
    { seconds = substr($0, 2, index($0, "|") - 2) + 0 }
    /underrun of .Audio Stream./ { at[n++] = seconds }
    /Freeing input [0-9]+ "Audio Stream"/ { end = seconds }
    END { for (i = 0; i < n; ++i) if (!end || at[i] < end - 0.5) ++count; print count + 0 }')"
  echo "PulseAudio underruns of the demo's stream: $underruns"
  grep -a 'clock:' "$dir/demo.err" || echo "demo's clock: (not reported by this build)"
  awk '{ s += $1; if (NR == 1 || $1 > hi) hi = $1; if (NR == 1 || $1 < lo) lo = $1 }
       END { if (NR) printf "load average during the play: mean %.2f (%.2f to %.2f, %d samples)\n", s / NR, lo, hi, NR }' \
    "$dir/load.txt"
done
