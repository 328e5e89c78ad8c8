#!/usr/bin/env bash
# Fails when a CMake package that configure used comes from a Debian package
# that tools/install-deps.sh does not name, so a build that works only on a
# machine with extra packages is caught where they are present.
#
#   tools/check-deps.sh BUILD_DIR [INSTALL_SCRIPT]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?usage: check-deps.sh BUILD_DIR [INSTALL_SCRIPT]}"
script="${2:-$root/tools/install-deps.sh}"
cache="$build/CMakeCache.txt"
[ -f "$cache" ] || { echo "check-deps: no $cache (run configure first)" >&2; exit 2; }

# Every word of the install script is a candidate package name.
named="$(tr -s ' \\\t' '\n' < "$script" | sed 's/[^A-Za-z0-9.+-]//g' | sort -u)"

missing=0
# Tells, unless the install script names package $1, that $2 needs it.
need_named() {
  grep -qxF "$1" <<< "$named" && return 0
  echo "check-deps: $2 from package $1, which $(basename "$script") does not install" >&2
  missing=1
}
# Each <Name>_DIR entry is the folder of the <Name>Config.cmake (or
# <name>-config.cmake) file that find_package read.
while IFS='=' read -r name dir; do
  lower="$(tr '[:upper:]' '[:lower:]' <<< "$name")"
  config=""
  for candidate in "$dir/${name}Config.cmake" "$dir/${lower}-config.cmake"; do
    [ -f "$candidate" ] && config="$(realpath "$candidate")" && break
  done
  [ -n "$config" ] || continue
  owner="$(dpkg -S "$config" 2>/dev/null | head -n 1 | cut -d: -f1 || true)"
  if [ -z "$owner" ]; then
    echo "check-deps: $config belongs to no Debian package" >&2
    missing=1
  else
    need_named "$owner" "configure used $config"
  fi
done < <(sed -n 's/^\([A-Za-z0-9_]*\)_DIR:PATH=\(\/.*\)$/\1=\2/p' "$cache" | sort -u)

# The Python module: pybind11 found, and the interpreter its tests run on
# imports the packages they use.
if grep -qx 'VELMORA_PYTHON:BOOL=ON' "$cache"; then
  grep -q '^pybind11_DIR:PATH=/' "$cache" || { echo "check-deps: pybind11 was not found" >&2; missing=1; }
  python="$(sed -n 's/^Python3_EXECUTABLE:[A-Z]*=//p' "$cache")"
  for module in numpy:python3-numpy pandas:python3-pandas matplotlib:python3-matplotlib \
    pytest:python3-pytest; do
    if ! "${python:-python3}" -c "import ${module%%:*}" 2>/dev/null; then
      echo "check-deps: ${python:-python3} cannot import ${module%%:*} (package ${module#*:})" >&2
      missing=1
    else
      need_named "${module#*:}" "the tests import ${module%%:*}"
    fi
  done
fi

if [ "$missing" -ne 0 ]; then
  echo "check-deps: add the packages above to $(basename "$script")" >&2
  exit 1
fi
echo "check-deps: every CMake package configure used is installed by $(basename "$script")"
