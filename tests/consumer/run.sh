#!/usr/bin/env bash
# Usage: run.sh BUILD_DIR CONSUMER_SOURCE WORK_DIR CXX MAKE_PROGRAM [CXX_FLAGS]
set -euo pipefail
build=$1 source=$2 work=$3 cxx=$4 make_program=$5 flags=${6:-}

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

# 1. CMake package.
cmake -S "$source" -B "$work/cmake-build" -G Ninja \
  -DCMAKE_MAKE_PROGRAM="$make_program" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
"$work/cmake-build/consumer"

# 2. pkg-config.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig:$prefix/lib/x86_64-linux-gnu/pkgconfig
# shellcheck disable=SC2046
# shellcheck disable=SC2086
"$cxx" $flags "$source/main.cpp" -o "$work/consumer-pc" $(pkg-config --cflags --libs wordloom)
"$work/consumer-pc"
echo "consumer: find_package and pkg-config both work"
