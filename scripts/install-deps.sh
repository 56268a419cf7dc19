#!/usr/bin/env bash
# Installs everything needed to build, run and test Tarnwick on Debian 12.
# Idempotent: packages already present are left as they are.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config python3
  # engine
  libturbojpeg0-dev nlohmann-json3-dev
  # desktop program
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev qt6-svg-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # sanitizer and fuzz builds
  clang libclang-rt-14-dev
  # the formatting check
  clang-format
  # fonts for drawings and reports
  fonts-liberation2 fonts-dejavu-core
  # screenshots and report pages
  xvfb xauth poppler-utils
  # update archives
  libarchive-dev
  # DXF drawings, and reading them back in the tests
  libdxflib-dev python3-ezdxf
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "install-deps: installed ${missing[*]}"
