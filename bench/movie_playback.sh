#!/usr/bin/env bash
# Measures the Play Movie page's playback against mpv's own player under Xvfb: the CPU time over
# PLAY seconds (default 60) of a 720x576, 25 frames per second MPEG-4 AVI with PCM sound in a
# 960x700 window, the frames mpv reports dropped or late, the time to the first frame of an opened
# movie and from a selected row to its frame, the resident memory over SOAK seconds (default 600)
# of playback with a seek every 5 s, and a screenshot of the page playing.
#
#   bench/movie_playback.sh [BUILD_DIR] [PLAY] [SOAK] [SHOT.png]
# Needs xvfb-run, ffmpeg and mpv (apt-get install mpv) besides the build.
set -euo pipefail
build=${1:-build}
play=${2:-60}
soak=${3:-600}
shot=${4:-movie-page.png}
bench=$(realpath "$build")/tessera_movie_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=720x576:rate=25:duration=$play" \
  -f lavfi -i "sine=frequency=440:duration=$play" -c:v mpeg4 -q:v 3 -c:a pcm_s16le \
  "$work/movie.avi"
# A subtitle every 2 s, 1.5 s long.
python3 - "$play" > "$work/movie.srt" <<'PY'
import sys
n = int(float(sys.argv[1]) // 2)
for i in range(n):
    s, e = 2 * i, 2 * i + 1.5
    f = lambda t: "%02d:%02d:%02d,%03d" % (t // 3600, t % 3600 // 60, t % 60, round(t % 1 * 1000))
    print("%d\r\n%s --> %s\r\nSubtitle number %d\r\nat %d seconds\r\n\r" % (i + 1, f(s), f(e), i + 1, s))
PY

# mpv's own counts of dropped and late frames, printed when it ends.
cat > "$work/counts.lua" <<'LUA'
local dropped, late = 0, 0
mp.observe_property("frame-drop-count", "number", function(_, v) dropped = v or dropped end)
mp.observe_property("vo-delayed-frame-count", "number", function(_, v) late = v or late end)
mp.register_event("shutdown", function()
  print("mpv dropped " .. dropped .. ", late " .. late)
end)
LUA

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -e
  echo "== Tessera"
  "$0" "$1/movie.avi" "$1/movie.srt" --play "$2" --soak "$3" --shot "$4" | tee "$1/tessera.txt"
  TIMEFORMAT="mpv CPU %U user + %S system seconds over %R s"
  echo "== mpv --vo=x11 --ao=null in a 960x700 window"
  time mpv --no-config --vo=x11 --ao=null --geometry=960x700 --no-osc --msg-level=all=no,counts=info \
    --script="$1/counts.lua" "$1/movie.avi"
  # The same picture size as the page shows, for a comparison pixel for pixel.
  size=$(sed -n "s/^picture \([0-9]*\) x \([0-9]*\).*/\1x\2/p" "$1/tessera.txt")
  echo "== mpv --vo=x11 --ao=null in a ${size} window (the picture size of the page)"
  time mpv --no-config --vo=x11 --ao=null --geometry="$size" --no-osc --msg-level=all=no,counts=info \
    --script="$1/counts.lua" "$1/movie.avi"
' "$bench" "$work" "$play" "$soak" "$(realpath -m "$shot")" 2>&1 | grep -v "^ALSA lib\|pw.conf"
