#!/usr/bin/env bash
# Installs the Debian packages that building, testing, fuzzing and running the demo need; only the missing ones.
set -euo pipefail

packages=(
  # compilers and build tools
  g++ clang-14 clang libclang-rt-14-dev cmake ninja-build ccache pkg-config make git
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # the libraries the host stands on
  libsqlite3-dev libpq-dev libpixman-1-dev libfreetype-dev libfontconfig-dev
  fonts-dejavu-core fonts-liberation libpng-dev libsdl2-dev libx11-dev
  # a display for the window backend without a screen, and the end-to-end test's tools
  # (python3 takes the X screenshots and reads the database file)
  xvfb xauth xdotool python3
  ca-certificates
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  echo "setup: all ${#packages[@]} required packages are installed"
  exit 0
fi

sudo=()
if [[ "$(id -u)" -ne 0 ]]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
  else
    echo "setup: missing packages (${missing[*]}) and not root; install them or run as root" >&2
    exit 1
  fi
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: installed ${missing[*]}"
