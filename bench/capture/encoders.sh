#!/usr/bin/env bash
# Times the capture's encoders on real frames of the demo, one setting after
# another in one run, and scores each against the raw frames with ffmpeg's
# SSIM filter. Prints figures, asserts nothing.
#
#   bench/capture/encoders.sh [BUILD_DIR [FROM_MS TO_MS [WxH]]]
#
# The frames (default 20 s to 30 s of the demo, 640 x 480 at 60 fps) are drawn
# once by velmorra_capture_costs, which also reports what drawing and reading
# them back cost. Run velmorra_capture_costs alone for the whole demo.
# VELMORRA_ENCODER_SETTINGS narrows the run to the settings whose label holds
# that text ("x264", "vp9").
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
from="${2:-20000}"
to="${3:-30000}"
size="${4:-640x480}"
width="${size%x*}"
height="${size#*x}"
only="${VELMORRA_ENCODER_SETTINGS:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

SDL_VIDEODRIVER=offscreen "$build/bench/capture/velmorra_capture_costs" \
  --size="$size" --from="$from" --to="$to" --raw="$work/frames.rgb"
frames=$(($(stat -c %s "$work/frames.rgb") / (width * height * 3)))
echo "encoding $frames frames ($from ms to $to ms) at $size, vflip and yuv420p as the capture does:"
printf '  %-62s %8s %8s %12s %8s %10s\n' setting wall_s cpu_s cpu_ms/frame ssim size_kB

# label, then the encoder's arguments; the label's first word names the file type.
settings=(
  "x264 fast|-c:v libx264 -preset fast -crf 18"
  "x264 superfast|-c:v libx264 -preset superfast -crf 14"
  "x264 ultrafast (the .mp4 capture)|-c:v libx264 -preset ultrafast -crf 14"
  "vp9 default speed|-c:v libvpx-vp9 -b:v 0 -crf 30 -row-mt 1"
  "vp9 good cpu-used 4|-c:v libvpx-vp9 -b:v 0 -crf 30 -deadline good -cpu-used 4 -row-mt 1 -tile-columns 2"
  "vp9 good cpu-used 5|-c:v libvpx-vp9 -b:v 0 -crf 30 -deadline good -cpu-used 5 -row-mt 1 -tile-columns 2"
  "vp9 realtime cpu-used 8|-c:v libvpx-vp9 -b:v 0 -crf 30 -deadline realtime -cpu-used 8 -row-mt 1 -tile-columns 2"
  "vp9 realtime cpu-used 6 crf 24|-c:v libvpx-vp9 -b:v 0 -crf 24 -deadline realtime -cpu-used 6 -row-mt 1 -tile-columns 2"
  "vp9 realtime cpu-used 8 crf 24|-c:v libvpx-vp9 -b:v 0 -crf 24 -deadline realtime -cpu-used 8 -row-mt 1 -tile-columns 2"
)
for entry in "${settings[@]}"; do
  label="${entry%%|*}"
  arguments="${entry#*|}"
  [[ -z "$only" || "$label" == *"$only"* ]] || continue
  output="$work/out.mp4"
  [[ "$label" == vp9* ]] && output="$work/out.webm"
  # shellcheck disable=SC2086
  /usr/bin/time -f "%e %U %S" -o "$work/time" ffmpeg -hide_banner -loglevel error -y \
    -f rawvideo -pix_fmt rgb24 -video_size "$size" -framerate 60 -i "$work/frames.rgb" \
    -vf vflip $arguments -pix_fmt yuv420p "$output"
  read -r wall user sys <"$work/time"
  ssim=$(ffmpeg -hide_banner -i "$output" \
    -f rawvideo -pix_fmt rgb24 -video_size "$size" -framerate 60 -i "$work/frames.rgb" \
    -lavfi "[1:v]vflip[reference];[0:v][reference]ssim" -f null - 2>&1 |
    sed -n 's/.*All:\([0-9.]*\).*/\1/p' | tail -n 1)
  cpu=$(awk "BEGIN { print $user + $sys }")
  printf '  %-62s %8.2f %8.2f %12.2f %8s %10d\n' "$label" "$wall" "$cpu" \
    "$(awk "BEGIN { print 1000 * $cpu / $frames }")" "$ssim" $(($(stat -c %s "$output") / 1024))
  rm -f "$output"
done
