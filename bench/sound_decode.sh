#!/usr/bin/env bash
# Decoding a movie's sound to the strip's peaks against ffmpeg decoding the same sound to nothing,
# side by side, twice each, alternating; then the memory and disk the result takes. Without a
# MOVIE it makes (once, kept under BUILD_DIR/bench-data) a two-hour movie with speech.
#
#   bench/sound_decode.sh [BUILD_DIR] [MOVIE]
set -euo pipefail
build=${1:-build}
movie=${2:-$build/bench-data/movie-2h.mkv}
here=$(dirname "$0")
if [ ! -s "$movie" ]; then
  mkdir -p "$(dirname "$movie")"
  "$here/sound/make_long_movie.sh" "$movie" 7200
fi
TIMEFORMAT="%R s, CPU %U user + %S system"
for round in 1 2; do
  echo "== round $round: ffmpeg -v error -i MOVIE -vn -f null -"
  time nice ffmpeg -nostdin -v error -i "$movie" -vn -f null -
  echo "== round $round: tessera_sound_bench MOVIE"
  time nice "$build/tessera_sound_bench" "$movie"
done
