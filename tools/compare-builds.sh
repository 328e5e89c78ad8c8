#!/usr/bin/env bash
# Compares the calculation of an older commit with the current tree, bit for
# bit, on COUNT random variations of the example designs (default 20000), then
# times both builds: the calculation benchmark and a sweep of the command line.
#
#   tools/compare-builds.sh OLD_COMMIT [COUNT]
#
# The older commit is built in a throwaway worktree under /tmp, the current
# tree in build-compare/ (both without the windows). Exits 1 when a result
# differs other than by a loop stopping at a cycle instead of its pass limit.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
old_commit="${1:?usage: tools/compare-builds.sh OLD_COMMIT [COUNT]}"
count="${2:-20000}"
seed=1
jobs=2
old_tree=/tmp/velmora-old
new_build="$root/build-compare"
out=/tmp/velmora-compare
targets=(compare_runs velmora_bench velmora-calc)

cleanup() {
  git -C "$root" worktree remove --force "$old_tree" 2>/dev/null || rm -rf "$old_tree"
  git -C "$root" worktree prune
}

configure_and_build() {  # SOURCE BUILD
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_UI=OFF >/dev/null
  cmake --build "$2" -j "$jobs" --target "${targets[@]}" >"$2/build.log" 2>&1 ||
    { tail -30 "$2/build.log"; echo "build of $1 failed"; exit 2; }
}

# The older tree gets this tree's compare_runs.cpp, built against its own engine.
prepare_old_tree() {
  cleanup
  git -C "$root" worktree add --detach "$old_tree" "$old_commit" >/dev/null 2>&1
  mkdir -p "$old_tree/bench"
  cp "$root/bench/compare_runs.cpp" "$root/bench/random_variants.h" "$old_tree/bench/"
  grep -q compare_runs "$old_tree/bench/CMakeLists.txt" 2>/dev/null || cat >>"$old_tree/CMakeLists.txt" <<'EOF'
add_executable(compare_runs bench/compare_runs.cpp)
target_link_libraries(compare_runs PRIVATE calc design)
target_compile_definitions(compare_runs PRIVATE VELMORA_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
set_target_properties(compare_runs PROPERTIES RUNTIME_OUTPUT_DIRECTORY bench)
EOF
}

# Median real time of each BM_Calculate case, as "name time unit".
bench_medians() {  # BUILD
  "$1/bench/velmora_bench" --benchmark_filter=BM_Calculate --benchmark_repetitions=10 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '$1 ~ /_median"$/ { gsub(/"/, "", $1); sub(/_median$/, "", $1);
                                 printf "%s %.3f %s\n", $1, $3, $5 }'
}

# Wall time of the sweep in milliseconds and its exit status (not 0 when
# some variants fault, which is fine here). The CSV goes to a plain file:
# older builds replace whatever -o names, /dev/null included.
sweep_ms() {  # BUILD
  local start status=0
  start=$(date +%s%N)
  "$1/cli/velmora-calc" sweep "$root/examples/Y132S-4-5.5kW.txt" --vary L=115:200:5 \
    --vary Z=36:56:2 --vary G=0.3:0.5:0.1 --vary BS2=8:11:0.5 --threads 2 -o "$out/sweep.csv" \
    2>/dev/null || status=$?
  echo "$((($(date +%s%N) - start) / 1000000)) $status"
}

# Old and new take turns, so that both see the same load on the machine.
time_both() {
  local old_build="$old_tree/build"
  echo "== timing (load average: $(cut -d' ' -f1-3 /proc/loadavg))"
  for _ in 1 2; do
    bench_medians "$old_build" >>"$out/bench-old.txt"
    bench_medians "$new_build" >>"$out/bench-new.txt"
  done
  for _ in 1 2 3; do
    echo "old $(sweep_ms "$old_build")" >>"$out/sweep.txt"
    echo "new $(sweep_ms "$new_build")" >>"$out/sweep.txt"
  done
  echo "BM_Calculate, median of 10 repetitions, lower of 2 rounds (old -> new):"
  awk 'FNR == 1 { file++ }
       { key = $1 SUBSEP file; if (!(key in best) || $2 < best[key]) best[key] = $2; unit[$1] = $3 }
       END { for (name in unit) printf "  %-34s %10.3f -> %10.3f %s\n", name, best[name, 1], best[name, 2], unit[name] }' \
    "$out/bench-old.txt" "$out/bench-new.txt" | sort
  echo "sweep of Y132S-4-5.5kW over L, Z, G and BS2 (4158 variants), 2 threads, best of 3:"
  awk '!($1 in best) || $2 < best[$1] { best[$1] = $2 } { status[$1] = $3 }
       END { printf "  old %.3f s -> new %.3f s (exit status %d, %d)\n",
             best["old"] / 1000, best["new"] / 1000, status["old"], status["new"] }' "$out/sweep.txt"
}

trap cleanup EXIT
echo "== building $old_commit in $old_tree"
prepare_old_tree
configure_and_build "$old_tree" "$old_tree/build"
echo "== building the current tree in $new_build"
configure_and_build "$root" "$new_build"

mkdir -p "$out"
echo "== old: $count variations (seed $seed)"
"$old_tree/build/bench/compare_runs" dump "$out/old.txt" --count "$count" --seed "$seed" \
  --examples "$root/examples"
echo "== new: $count variations (seed $seed)"
"$new_build/bench/compare_runs" dump "$out/new.txt" --count "$count" --seed "$seed" \
  --examples "$root/examples"
echo "== differences ($out/old.txt, $out/new.txt)"
diff_status=0
"$new_build/bench/compare_runs" diff "$out/old.txt" "$out/new.txt" || diff_status=$?

rm -f "$out"/bench-*.txt "$out/sweep.txt"
time_both
exit "$diff_status"
