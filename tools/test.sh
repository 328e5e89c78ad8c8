#!/usr/bin/env bash
# Installs what is needed, builds Velmora twice (plain and with ASan+UBSan),
# runs every test in both builds, checks the formatting and fuzzes the
# input-file reader for 60 seconds.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/install-deps.sh"
jobs=2

echo "== formatting"
"$root/tools/check-format.sh"

echo "== plain build"
# With the windows and the Python module: both required, so that a missing
# Qt or pybind11 stops here instead of leaving their tests out.
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_UI=ON -DVELMORA_PYTHON=ON
"$root/tools/check-deps.sh" "$root/build"
cmake --build "$root/build" -j "$jobs"

echo "== sanitizer build"
# Without the Python module: an instrumented module cannot be loaded into
# the plain interpreter; the plain build tests it.
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF -DVELMORA_PYTHON=OFF
cmake --build "$root/build-asan" -j "$jobs"

echo "== fuzzing the input-file reader (60 s)"
cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON -DVELMORA_UI=OFF -DVELMORA_BENCH=OFF \
  -DVELMORA_PYTHON=OFF
cmake --build "$root/build-fuzz" -j "$jobs" --target fuzz_input_file
mkdir -p "$root/build-fuzz/corpus"
cp "$root"/examples/*.txt "$root/build-fuzz/corpus/" 2>/dev/null || true
"$root/build-fuzz/tests/fuzz_input_file" -max_total_time=60 -max_len=4096 -timeout=5 \
  "$root/build-fuzz/corpus"

echo "== tests, sanitizer build"
(cd "$root/build-asan" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
echo "== tests, plain build"
cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
