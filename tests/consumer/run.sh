#!/usr/bin/env bash
# Usage: run.sh BUILD_DIR CONSUMER_SOURCE WORK_DIR CXX MAKE_PROGRAM [CXX_FLAGS]
#
# Installs the build into a scratch prefix, then builds and runs the consumer
# against it: through find_package(wordloom) with the static core and with
# wordloom::wordloom, and through pkg-config with wordloom and
# wordloom-static. When the build has the shared library, wordloom::wordloom
# and wordloom.pc must link it (and it must export the public API only);
# otherwise they must give the static core.
set -euo pipefail
build=$1 source=$2 work=$3 cxx=$4 make_program=$5 flags=${6:-}

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libwordloom-core.a' | head -1)")
shared=$(find "$libdir" -name 'libwordloom.so.*' -type f | head -1)

fail() { echo "consumer: $*" >&2; exit 1; }
# Whether program $1 loads libwordloom.
links_shared() { readelf -d "$1" | grep -q 'NEEDED.*libwordloom\.so'; }
expect_linkage() {  # program, "shared" or "static"
  if [[ $2 == shared ]]; then
    links_shared "$1" || fail "$1 does not load libwordloom"
  else
    ! links_shared "$1" || fail "$1 loads libwordloom but should be static"
  fi
}
wanted=static
if [[ -n $shared ]]; then
  wanted=shared
  soname=$(readelf -d "$shared" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
  [[ $soname == libwordloom.so.* ]] || fail "SONAME is '$soname'"
  [[ -e $libdir/$soname ]] || fail "no $soname link in $libdir"
  symbols=$(nm -D --defined-only "$shared" | c++filt)
  grep -q 'wordloom::TVelkSpellChecker::Suggest' <<<"$symbols" || fail "the public API is not exported"
  grep -q 'wordloom::FindUnicodeWords' <<<"$symbols" || fail "free functions are not exported"
  # Functions of the internals themselves: not public members that take them
  # as arguments, nor the standard library's templates instantiated for them
  # (whose names start with a return type).
  ! grep -qE ' [A-Za-z] wordloom::detail::((WordTrie|LikelihoodRanker)::[A-Za-z_~:]+|ReadSpellBody)\(' <<<"$symbols" ||
    fail "internals are exported"
  grep -q '@@WORDLOOM_' <<<"$symbols" || fail "the symbols carry no version"
fi

# 1. CMake package.
cmake -S "$source" -B "$work/cmake-build" -G Ninja \
  -DCMAKE_MAKE_PROGRAM="$make_program" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
"$work/cmake-build/consumer"
expect_linkage "$work/cmake-build/consumer" static
"$work/cmake-build/consumer_shared"
expect_linkage "$work/cmake-build/consumer_shared" "$wanted"

# A consumer of the shared library alone needs neither Qt's nor utf8proc's
# development files.
if [[ $wanted == shared ]]; then
  cmake -S "$source" -B "$work/shared-only" -G Ninja -DSHARED_ONLY=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DCMAKE_DISABLE_FIND_PACKAGE_PkgConfig=ON \
    -DCMAKE_MAKE_PROGRAM="$make_program" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$flags" >"$work/shared-only-configure.log" || fail "find_package needs more than the shared library"
  cmake --build "$work/shared-only" >"$work/shared-only.log" || { cat "$work/shared-only.log"; fail "the shared-only consumer does not build"; }
  "$work/shared-only/consumer_shared"
fi

# 2. pkg-config.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig:$prefix/lib/x86_64-linux-gnu/pkgconfig
# shellcheck disable=SC2046
# shellcheck disable=SC2086
"$cxx" $flags "$source/main.cpp" -o "$work/consumer-pc" $(pkg-config --cflags --libs wordloom)
LD_LIBRARY_PATH=$libdir "$work/consumer-pc"
expect_linkage "$work/consumer-pc" "$wanted"
# shellcheck disable=SC2046
# shellcheck disable=SC2086
"$cxx" $flags "$source/main.cpp" -o "$work/consumer-static" $(pkg-config --cflags --libs wordloom-static)
"$work/consumer-static"
expect_linkage "$work/consumer-static" static
echo "consumer: find_package and pkg-config both work ($wanted wordloom::wordloom)"
