#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velmora need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  build-essential g++ cmake ninja-build pkg-config \
  libgtest-dev libgmock-dev libbenchmark-dev \
  clang clang-format libclang-rt-14-dev \
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl1-mesa-dev \
  qt6-translations-l10n libnlopt-dev libnlopt-cxx-dev \
  fonts-noto-cjk xvfb xauth \
  pybind11-dev python3-dev python3-numpy python3-pandas python3-matplotlib python3-pytest
