#!/usr/bin/env bash
# Sets up the machine, builds the demo in build/ and runs it; arguments go to ryxdemo
# (for example: bash tools/demo.sh --screenshot shots). The demo runs in the folder
# the script was started from, so relative paths in the arguments mean what they say.
set -euo pipefail
caller=$PWD
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
# Clones in other folders (CI runs in a fresh one) share the compiler cache.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1

bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build build -j2 --target ryxdemo
cd "$caller"
exec "$root/build/apps/ryxdemo/ryxdemo" "$@"
