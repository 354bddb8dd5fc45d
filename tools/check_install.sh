#!/usr/bin/env bash
# Installs a build into a temporary prefix and builds a small program against it,
# through find_package(ryx) and through pkg-config; removes everything afterwards.
# usage: check_install.sh BUILD_DIR [C++ COMPILER] [NINJA]
set -euo pipefail

build=$(cd "${1:?usage: check_install.sh BUILD_DIR [CXX] [NINJA]}" && pwd)
cxx=${2:-c++}
ninja=${3:-ninja}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/ryx-install-check.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

echo "== install into $prefix"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log"
for h in include/ryx/host/rtl/object.h include/ryx/frame/ryxinfo.h; do
  [[ -f "$prefix/$h" ]] || { echo "missing installed header $h" >&2; exit 1; }
done
pc=$(find "$prefix" -name ryx.pc -print -quit)
config=$(find "$prefix" -name ryxConfig.cmake -print -quit)
[[ -n "$pc" && -n "$config" ]] || { echo "ryx.pc or ryxConfig.cmake not installed" >&2; exit 1; }
ls "$(dirname "$pc")"/../libryx.a "$(dirname "$pc")"/../libryx_host.a >/dev/null

mkdir -p "$tmp/app"
cat >"$tmp/app/main.cpp" <<'CPP'
#include <cstdio>
#include "frame/ryxinfo.h"
#include "host/rtl/exceptions.h"
int main() {
    host::EConvertError e("check");
    if (!e.InheritsFrom("Exception")) return 1;
    std::printf("%s %s\n", ryx::PackageName().c_str(), ryx::PackageVersion().c_str());
    return ryx::PackageName() == "ryx" ? 0 : 1;
}
CPP
cat >"$tmp/app/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(ryx_consumer LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 20)
find_package(ryx REQUIRED)
add_executable(app main.cpp)
target_link_libraries(app PRIVATE ryx::ryx)
CMAKE

echo "== consumer through find_package(ryx)"
cmake -S "$tmp/app" -B "$tmp/app/build" -G Ninja -DCMAKE_MAKE_PROGRAM="$ninja" \
      -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >"$tmp/configure.log" \
  || { cat "$tmp/configure.log"; exit 1; }
cmake --build "$tmp/app/build" >"$tmp/build.log" || { cat "$tmp/build.log"; exit 1; }
"$tmp/app/build/app"

echo "== consumer through pkg-config"
flags=$(PKG_CONFIG_PATH="$(dirname "$pc")" pkg-config --cflags --libs ryx)
# shellcheck disable=SC2086
"$cxx" -std=c++20 "$tmp/app/main.cpp" -o "$tmp/app/app_pc" $flags
"$tmp/app/app_pc"
echo "install check passed"
