#!/usr/bin/env bash
# Makes a long movie with speech for the sound benchmarks: dialogue spoken by espeak-ng with
# pauses of varied length, looped over a quiet noise bed, AAC stereo at 48 kHz in Matroska, under
# a small test picture (the picture is not what is measured, so it is kept cheap to make).
# An existing OUT is kept, so reruns reuse it.
#
#   bench/sound/make_long_movie.sh OUT.mkv [SECONDS] [SIZE]   (defaults 7200: two hours, 160x90)
set -euo pipefail
out=$1
seconds=${2:-7200}
size=${3:-160x90}
[ -s "$out" ] && exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

lines=(
  "Where were you last night?"
  "I told you, I was at the station until the last train left."
  "Nobody saw you there."
  "Then nobody was looking."
  "We have to leave before the storm comes in."
  "Give me one more minute."
  "The letter arrived this morning, but it was not signed."
  "Do you know who wrote it?"
  "I have a feeling, yes."
  "Tell me everything, from the beginning."
  "It started with a phone call, three weeks ago."
  "And you never said a word to me."
)
i=0
for line in "${lines[@]}"; do
  espeak-ng -s 160 -w "$work/line$i.wav" "$line"
  i=$((i + 1))
done
# One scene: the lines with pauses of 0.4 to 3.1 s between them.
python3 - "$work" "$i" <<'PY'
import sys, wave
work, n = sys.argv[1], int(sys.argv[2])
frames, params = [], None
for k in range(n):
    with wave.open(f"{work}/line{k}.wav") as w:
        params = params or w.getparams()
        frames.append(w.readframes(w.getnframes()))
rate, width = params.framerate, params.sampwidth
with wave.open(f"{work}/scene.wav", "wb") as out:
    out.setparams(params)
    for k, f in enumerate(frames):
        out.writeframes(f)
        out.writeframes(b"\0" * width * int(rate * (0.4 + (k * 7 % 10) * 0.3)))
PY
nice ffmpeg -nostdin -v error -y \
  -f lavfi -i "testsrc2=size=$size:rate=10:duration=$seconds" \
  -stream_loop -1 -i "$work/scene.wav" \
  -f lavfi -i "anoisesrc=color=pink:amplitude=0.01:sample_rate=48000:duration=$seconds" \
  -filter_complex "[1:a]aresample=48000,pan=stereo|c0=c0|c1=c0[v];[2:a]pan=stereo|c0=c0|c1=c0[n];[v][n]amix=inputs=2:duration=shortest:normalize=0[a]" \
  -map 0:v -map "[a]" -t "$seconds" -c:v mpeg4 -q:v 8 -g 250 -c:a aac -b:a 128k "$work/movie.mkv"
mv "$work/movie.mkv" "$out"
