#!/usr/bin/env bash
# Runs the fuzz targets (tests/fuzz/targets) with libFuzzer, each for a given time or number of runs.
#   tools/fuzz.sh [-t SECONDS] [-r RUNS] [-j JOBS] [-n] [TARGET...]      (-n: run what is built, build nothing)
# Builds them with clang in build-fuzz first (GROVANTA_FUZZ=ON). Each target starts from its committed
# corpus (tests/fuzz/corpus/<target>) and grows a working corpus in build-fuzz/corpus/<target>; what it
# finds (crash-*, leak-*, timeout-*, oom-*) lands in build-fuzz/findings/<target>/. Without TARGET, all.
# FUZZ_TIMEOUT (default 10) is the seconds one input may take before it counts as a hang: raise it on a
# machine whose cores are shared, where a starved process takes that long over a quick input.
# A finding's file replays with: build-fuzz/tests/fuzz/grovanta_fuzz_<source> FILE; once mended, copy it into the
# committed corpus so that the test suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
runs=-1
jobs=1
build_first=1
while getopts "t:r:j:n" opt; do
  case "$opt" in
    t) seconds=$OPTARG ;;
    r) runs=$OPTARG ;;
    j) jobs=$OPTARG ;;
    n) build_first=0 ;;
    *) echo "usage: $0 [-t SECONDS] [-r RUNS] [-j JOBS] [TARGET...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

build=${GROVANTA_FUZZ_BUILD_DIR:-build-fuzz}
if ! command -v "${CXX:-clang++}" >/dev/null; then
  echo "the fuzz targets need clang and its runtime: apt-get install clang libclang-rt-dev" >&2
  exit 2
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGROVANTA_FUZZ=ON >/dev/null
fi
[ "$build_first" -eq 0 ] || cmake --build "$build" -j "$(nproc)" >/dev/null

# Target name (the corpus folder) -> the program that holds it (its source's name).
declare -A program=(
  [world_json]=world_files [area_palettes]=area_palettes [tables_json]=tables [rule_tables_json]=rule_tables
  [png]=png_files [picture_json]=pictures [pattern_streams_json]=pattern_streams
  [brumo_common_json]=brumo_common [texts_json]=texts [teleports_json]=teleports [settings_json]=settings [pads]=pads [keys]=keys
  [driver]=driver [save]=save [recording]=recording [route]=route [route_cache]=route_cache
)
for corpus in tests/fuzz/corpus/*/; do
  name=$(basename "$corpus")
  [ -n "${program[$name]:-}" ] || program[$name]=$name
done
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(printf '%s\n' "${!program[@]}" | sort))

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
status=0
for name in "${targets[@]}"; do
  exe="$build/tests/fuzz/grovanta_fuzz_${program[$name]:-$name}"
  [ -x "$exe" ] || { echo "$name: no program $exe" >&2; status=1; continue; }
  work="$build/corpus/$name" findings="$build/findings/$name"
  mkdir -p "$work" "$findings"
  log="$build/findings/$name.log"
  echo "== $name ($seconds s)"
  parallel=()
  [ "$jobs" -le 1 ] || parallel=(-fork="$jobs")
  if "$exe" "$work" "tests/fuzz/corpus/$name" -max_total_time="$seconds" -runs="$runs" -timeout="${FUZZ_TIMEOUT:-10}" \
       -rss_limit_mb=2048 -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$findings/" \
       "${parallel[@]}" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|Done [0-9]+ runs' "$log" | sed 's/^/   /' || true
  else
    status=1
    echo "   FINDING: see $log and $findings/"
    grep -E 'ERROR: |SUMMARY: ' "$log" | head -3 | sed 's/^/   /'
  fi
done
exit $status
