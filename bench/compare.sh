#!/usr/bin/env bash
# Whole-process times of tessera-cli side by side with ffmpeg and Gaupol's library aeidon on the
# same generated SubRip files (1,000,000 bytes, 16 times that and 67,000,000, just under the 64 MiB
# limit), best of N runs each, with each command's peak memory (the largest of its runs).
#   bench/compare.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
cli="$build/tessera-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# SubRip entries until the file holds `bytes` bytes.
make_srt() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2])
out, i, t = [], 0, 1000
total = 0
while True:
    i += 1
    a, b = t, t + 1800
    f = lambda ms: "%02d:%02d:%02d,%03d" % (ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000)
    e = "%d\r\n%s --> %s\r\nWords of line %06d in the film\r\n\r\n" % (i, f(a), f(b), i)
    if total + len(e) > size:
        break
    out.append(e); total += len(e); t += 2300
data = "".join(out)
data += "x" * (size - len(data.encode()))  # pads to the exact size, read as part of the last text
open(path, "w", newline="").write(data)
print(i - 1)
PY
}

# Best time of `runs` runs, in seconds: the processor time (user + system) of the whole process,
# which a machine shared with other work does not inflate, and in brackets the wall time. Read
# from the kernel's own accounting to the microsecond (/usr/bin/time rounds to 10 ms). Then the
# peak resident memory in MiB (the kernel's maximum resident set size), the unit of the goal line.
best() {
  /usr/bin/python3 - "$runs" "$@" <<'PY'
import os, subprocess, sys, time
runs, cmd = int(sys.argv[1]), sys.argv[2:]
cpu = wall = float("inf")
rss = 0
for _ in range(runs):
    t = time.perf_counter()
    p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, use = os.wait4(p.pid, 0)
    w = time.perf_counter() - t
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: " + " ".join(cmd))
    cpu, wall = min(cpu, use.ru_utime + use.ru_stime), min(wall, w)
    rss = max(rss, use.ru_maxrss)
print("%.4f (%.4f) %.1f MiB" % (cpu, wall, rss / 1024), end="")
PY
}

# aeidon's durations and common-error corrections, as a script file so that /usr/bin/time runs it.
cat >"$work/aeidon_fix.py" <<'PY'
import sys, aeidon
p = aeidon.Project()
p.open_main(sys.argv[1], "utf_8")
p.adjust_durations(speed=15, lengthen=True, shorten=True, minimum=1.5, maximum=6, gap=0.1)
patterns = aeidon.PatternManager("common-error").get_patterns("Latn", "en")
p.correct_common_errors(None, aeidon.documents.MAIN, patterns)
p.save_main()
PY

cfg="$work/none.cfg"
all_runs=$runs
for size in 1000000 16000000 67000000; do
  in="$work/in-$size.srt"
  n=$(make_srt "$in" "$size")
  echo "== $size bytes, $n subtitles; memory goal 4 x size + 16 MiB = $(((4 * size + 16777216) / 1048576)) MiB"
  if [ "$size" = 67000000 ]; then
    # The largest file shows memory and linearity: convert only, and three runs at most.
    runs=$((all_runs < 3 ? all_runs : 3))
    conv=$(best "$cli" --config "$cfg" convert "$in" "$work/out.ssa")
    printf '%-36s %s\n' "tessera-cli convert to .ssa" "$conv"
    awk -v a="${conv%% *}" -v b="${conv1%% *}" 'BEGIN { printf "  67 MB convert / 1 MB convert %.1f\n", a/b }'
    continue
  fi
  ff=$(best ffmpeg -nostdin -v error -y -i "$in" "$work/ff.ssa")
  conv=$(best "$cli" --config "$cfg" convert "$in" "$work/out.ssa")
  move=$(best "$cli" --config "$cfg" move "$in" "$work/out.srt" --by 1.5)
  fr=$(best "$cli" --config "$cfg" framerate "$in" "$work/out.srt" --from 23.976 --to 25)
  fixfixed=$(best "$cli" --config "$cfg" --set SplitMethod=1 fix "$in" "$work/out.srt")
  fix=$(best "$cli" --config "$cfg" fix "$in" "$work/out.srt")
  printf '%-36s %s\n' "ffmpeg -i in.srt out.ssa" "$ff" \
    "tessera-cli convert to .ssa" "$conv" "tessera-cli move" "$move" \
    "tessera-cli framerate" "$fr" "tessera-cli fix (fixed method)" "$fixfixed" \
    "tessera-cli fix (dynamic method)" "$fix"
  awk -v c="${conv%% *}" -v m="${move%% *}" -v r="${fr%% *}" -v f="${ff%% *}" 'BEGIN {
    printf "  convert/ffmpeg %.3f, move/ffmpeg %.3f, framerate/ffmpeg %.3f\n", c/f, m/f, r/f }'
  if [ "$size" = 1000000 ]; then
    cp "$in" "$work/ae.srt"
    ae=$(best /usr/bin/python3 "$work/aeidon_fix.py" "$work/ae.srt")
    printf '%-36s %s\n' "aeidon durations + common errors" "$ae"
    awk -v a="${ae%% *}" -v f="${fix%% *}" 'BEGIN { printf "  fix/aeidon %.3f\n", f/a }'
    conv1=$conv
  else
    awk -v a="${conv%% *}" -v b="${conv1%% *}" 'BEGIN { printf "  16 MB convert / 1 MB convert %.1f\n", a/b }'
  fi
done
