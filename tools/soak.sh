#!/usr/bin/env bash
# A long run of the game under random input, its memory sampled along the way.
#   tools/soak.sh [-m bot|play] [-f TICKS] [-s SEEDS] [-S FIRST_SEED] [-i SECONDS] [-b BUILD]
# -m bot (the default): each seed is a random bot game (--bot SEED --ticks TICKS), the simulation alone; the
# bot writes its recording as it plays and keeps no tick in memory.
# -m play: each seed plays TICKS presented frames headless, window and all, with a random pad script: runs of
# random buttons, START and the directions included, from V-blank 1 to the end. The resident size is read
# from /proc every SECONDS; the figures printed per seed are the first sample after the warm-up (the first
# minute, or the first sample of a shorter run), the peak and the last. A seed fails when the program
# ends with a signal or a code other than 0, or when the last sample exceeds the warm sample by more than
# GROWTH_KB (default 8192). Not part of the test suite: it runs for as long as it is asked to.
set -euo pipefail
cd "$(dirname "$0")/.."

frames=200000
mode=bot
seeds=4
first_seed=1
interval=5
build=build
while getopts "m:f:s:S:i:b:" opt; do
  case "$opt" in
    m) mode=$OPTARG ;;
    f) frames=$OPTARG ;;
    s) seeds=$OPTARG ;;
    S) first_seed=$OPTARG ;;
    i) interval=$OPTARG ;;
    b) build=$OPTARG ;;
    *) echo "usage: $0 [-m bot|play] [-f TICKS] [-s SEEDS] [-S FIRST_SEED] [-i SECONDS] [-b BUILD]" >&2; exit 2 ;;
  esac
done
growth_limit=${GROWTH_KB:-8192}
exe="$build/grovanta"
[ -x "$exe" ] || { echo "no $exe: build it first (./dev.sh build)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

# A pad script of random runs of 1 to 400 V-blanks; about one run in eight holds START.
pad_script() {
  python3 - "$1" "$2" <<'PY'
import random, sys
seed, frames = int(sys.argv[1]), int(sys.argv[2])
rng = random.Random(seed)
parts, v = [], 1
while v <= frames:
    length = rng.randint(1, 400)
    bits = rng.choice([0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x09, 0x0A, 0x05, 0x06, 0x18, 0x28, 0x48, 0])
    if rng.random() < 0.125: bits |= 0x80
    parts.append(f"{v}-{v + length - 1}:{bits:02x}")
    v += length
print(",".join(parts))
PY
}

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || true; }

failures=0
total_frames=0
started=$(date +%s)
printf '%-6s %10s %8s %10s %10s %10s %8s\n' seed ticks seconds warm_kb peak_kb last_kb result
for seed in $(seq "$first_seed" $(( first_seed + seeds - 1 ))); do
  t0=$(date +%s)
  if [ "$mode" = bot ]; then
    "$exe" --data . --bot "$seed" --ticks "$frames" --out "$work/bot$seed.txt" >"$work/out$seed.txt" \
      2>"$work/err$seed.txt" &
  else
    pad_script "$seed" "$frames" >"$work/pads.txt"
    "$exe" --data . --user "$work/user$seed" --windowed --no-intro --quit-after-frames "$frames" \
      --pads "$(cat "$work/pads.txt")" >/dev/null 2>"$work/err$seed.txt" &
  fi
  pid=$!
  first="" warm="" peak=0 last=0
  while kill -0 "$pid" 2>/dev/null; do
    sleep "$interval"
    r=$(rss_kb "$pid")
    [ -n "$r" ] || continue
    last=$r
    [ -n "$first" ] || first=$r
    [ "$r" -gt "$peak" ] && peak=$r
    elapsed=$(( $(date +%s) - t0 ))
    if [ -z "$warm" ] && [ "$elapsed" -ge 60 ]; then warm=$r; fi
  done
  set +e
  wait "$pid"
  code=$?
  set -e
  seconds=$(( $(date +%s) - t0 ))
  # A run shorter than the warm-up is judged from its first sample on.
  [ -n "$warm" ] || warm=${first:-0}
  result=ok
  if [ "$code" -ne 0 ]; then
    result="exit $code"
  elif [ "$last" -gt $(( warm + growth_limit )) ]; then
    result="grew $(( last - warm )) KB"
  fi
  [ "$result" = ok ] || failures=$((failures + 1))
  total_frames=$((total_frames + frames))
  printf '%-6s %10s %8s %10s %10s %10s %8s\n' "$seed" "$frames" "$seconds" "$warm" "$peak" "$last" "$result"
  [ "$result" = ok ] || tail -5 "$work/err$seed.txt" | sed 's/^/   /'
  cat "$work/out$seed.txt" 2>/dev/null | tail -2 | sed 's/^/   /' || true
  grep -h 'presented' "$work/err$seed.txt" | tail -1 | sed 's/^/   /' || true
done
if [ "$mode" = bot ]; then
  ticks=$(cat "$work"/bot*.txt 2>/dev/null | sed -n 's/^end \([0-9]*\) .*/\1/p' | awk '{s += $1} END {print s + 0}')
  stops=$(cat "$work"/out*.txt | grep -c '^PARTIAL' || true)
else
  ticks=$(cat "$work"/err*.txt | sed -n 's/.*presented [0-9]* frames, \([0-9]*\) game ticks.*/\1/p' | awk '{s += $1} END {print s + 0}')
  stops=$(cat "$work"/err*.txt | grep -c 'the game stopped' || true)
fi
echo "asked: $total_frames  game ticks: $ticks  seeds: $seeds  stops: $stops  failures: $failures  wall: $(( $(date +%s) - started )) s"
[ "$failures" -eq 0 ]
