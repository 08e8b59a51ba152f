#!/usr/bin/env bash
# Screenshots of the Play Movie page with a real movie and 1,000 subtitles, at the window's
# default size and at its minimum size, under Xvfb. The movie is made once and kept.
#
#   bench/sound/screenshots.sh [BUILD_DIR] [OUT_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-$build/screenshots}")
here=$(dirname "$0")
data=$build/bench-data
mkdir -p "$data" "$out"
movie=$data/movie-40min-480x270.mkv
"$here/make_long_movie.sh" "$movie" 2400 480x270
# 1,000 subtitles, one every 2.4 s, 1.8 s long, two lines.
python3 - > "$data/thousand.srt" <<'PY'
f = lambda t: "%02d:%02d:%02d,%03d" % (t // 3600, t % 3600 // 60, t % 60, round(t % 1 * 1000))
for i in range(1000):
    s = 2.4 * i + 0.6
    print("%d\r\n%s --> %s\r\nSubtitle number %d, spoken here\r\nand its second line\r\n\r"
          % (i + 1, f(s), f(s + 1.8), i + 1))
PY
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shoot() {  # NAME SETTINGS-LINES
  printf '[Settings]\nStart tab=101\nx pos=0\ny pos=0\n%s\n' "$2" | sed 's/$/\r/' > "$work/$1.cfg"
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$0" --config "$1" --movie "$4" "$2" & pid=$!
    sleep 12
    import -window root "$3"
    kill $pid; wait $pid 2>/dev/null || true
  ' "$build/tessera" "$work/$1.cfg" "$data/thousand.srt" "$out/$1.png" "$movie"
  echo "$out/$1.png"
}
shoot default ""
shoot minimum "cx=640
cy=420"
shoot large-movie "cx=1100
cy=900
ResizeMovieWindow=1"
