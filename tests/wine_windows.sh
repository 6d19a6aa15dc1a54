#!/usr/bin/env bash
# The Windows build under Wine: the zip from scripts/windows.sh unpacked into a
# fresh folder whose name is not ASCII, run as `wine velmorra.exe` in a virtual
# X server with a Wine prefix of its own. Checks that a bad option exits 2,
# that the music opens (and a spoiled one is refused) with SDL's dummy audio
# driver, that PNG frames captured at a few times lie within 4 levels (mean
# absolute difference over all channels) of the native capture, and that the
# end of the session (logoff) ends play with 143.
#
#   wine_windows.sh ZIP_DIR NATIVE_BINARY END_SESSION_HELPER
#
# Exits 77 (skipped) without wine or without the zip.
set -euo pipefail
zip_dir="$1"
native="$(realpath -e "$2")"
helper="$(realpath -m "$3")"

if ! command -v wine >/dev/null; then
  echo "skipped: wine is not installed (scripts/setup-deps.sh installs it)"
  exit 77
fi
zip="$(realpath -e "$zip_dir"/velmorra-*-win64.zip 2>/dev/null | head -n 1 || true)"
if [[ -z "$zip" ]]; then
  echo "skipped: no velmorra-*-win64.zip in $zip_dir (scripts/windows.sh makes it)"
  exit 77
fi
if [[ -z "${INSIDE_XVFB:-}" ]]; then
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export VELMORRA_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $1"
  [[ -f "$work/stderr" ]] && cat "$work/stderr"
  exit 1
}

# A folder named in two scripts: the program finds its media and writes its
# frames through wide-character paths.
folder="$work/démo 演示"
mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$zip")
app="$(echo "$folder"/velmorra-*-win64)"
[[ -f "$app/velmorra.exe" && -f "$app/data/music.mp3" && -f "$app/README.txt" ]] ||
  fail "the zip lacks velmorra.exe, data/ or README.txt"
cd "$app"
started=$(date +%s)
wineboot --init >/dev/null 2>&1 || fail "wineboot could not make a prefix"
echo "a fresh Wine prefix in $(($(date +%s) - started)) s"

status=0
wine velmorra.exe --no-such-option >/dev/null 2>"$work/stderr" || status=$?
[[ "$status" -eq 2 ]] || fail "a bad option exited with $status, not 2"
grep -q "^velmorra: .*--no-such-option" "$work/stderr" || fail "no message for the bad option"
echo "a bad option: exit 2, with its message on stderr"

times=1800,7000,20000,24000,40000
capture=(--shots="$times" --size=640x480 --fps=10)
"$native" --capture="$work/native" "${capture[@]}" 2>"$work/stderr" ||
  fail "the native capture failed"
started=$(date +%s)
status=0
wine velmorra.exe --capture="frames ü" "${capture[@]}" 2>"$work/stderr" || status=$?
# A capture starts the music: with the dummy driver it opens and plays.
[[ "$status" -eq 0 ]] || fail "the capture under Wine exited with $status"
echo "capture of $times under Wine: $(($(date +%s) - started)) s"

for t in ${times//,/ }; do
  name="$(printf '%06d.png' "$t")"
  [[ -f "frames ü/$name" ]] || fail "no frame $name under Wine"
  for side in native wine; do
    picture="$work/native/$name"
    [[ "$side" == wine ]] && picture="frames ü/$name"
    ffmpeg -v error -i "$picture" -f rawvideo -pix_fmt rgb24 "$work/$side.rgb" -y
  done
  difference="$(python3 -c '
import sys
a = open(sys.argv[1], "rb").read()
b = open(sys.argv[2], "rb").read()
# A frame of one colour (nothing drawn) or of another size counts as unlike.
if len(a) != len(b) or min(b) == max(b):
    print(999)
else:
    print("%.3f" % (sum(abs(x - y) for x, y in zip(a, b)) / len(a)))
' "$work/native.rgb" "$work/wine.rgb")"
  echo "t = $t ms: mean difference $difference levels"
  if awk -v d="$difference" 'BEGIN { exit !(d > 4) }'; then
    fail "the frame at $t ms differs from the native one by $difference levels"
  fi
done

# No video encoder in this build (nor ffmpeg.exe in the prefix): the exact
# message and exit 1.
status=0
wine velmorra.exe --capture=demo.mp4 --shots=0 2>"$work/stderr" || status=$?
expected="velmorra: ffmpeg.exe not found on PATH: capture to a directory of PNGs instead"
[[ "$status" -eq 1 && "$(tr -d '\r' <"$work/stderr")" == "$expected" ]] ||
  fail "a video capture exited with $status"
echo "a video capture: exit 1, $expected"

# Logoff while the demo plays: the session window hears it, play ends and the
# exit code is 128 + SIGTERM.
[[ -f "$helper" ]] || fail "no $helper (scripts/windows.sh builds it beside the demo)"
status=0
timeout 60 wine velmorra.exe w 2>"$work/stderr" &
demo=$!
wine "$helper" || fail "the helper found no demo window to end the session of"
wait "$demo" || status=$?
[[ "$status" -eq 143 ]] || fail "play ended by logoff exited with $status, not 143"
echo "logoff during play: exit 143"

# Music that is no MPEG audio (text holds no frame sync byte) is refused by
# the library's decoder: the music really is opened, not skipped.
for _ in $(seq 1 400); do echo "no audio here"; done >data/music.mp3
status=0
wine velmorra.exe --capture=spoiled --shots=0 2>"$work/stderr" || status=$?
[[ "$status" -eq 1 ]] || fail "spoiled music exited with $status, not 1"
grep -q "^FMOD: Unknown file format" "$work/stderr" || fail "no FMOD message for spoiled music"
echo "spoiled music: exit 1, FMOD: Unknown file format"
