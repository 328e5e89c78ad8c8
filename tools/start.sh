#!/usr/bin/env bash
# Installs what is needed, builds Velmora and starts the calculator.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build"
cmake --install "$root/build" --prefix "$root/build/velmora"
if [ -x "$root/build/velmora/velmora" ]; then
  exec "$root/build/velmora/velmora" "$@"
fi
echo "Built: $(ls "$root/build/velmora")"
exec "$root/build/velmora/velmora-calc" "$root/examples/Y132S-4-5.5kW.txt"
