#!/usr/bin/env bash
# Installs the built library into a temporary prefix, then builds the
# consumer against it twice, through find_package and through pkg-config,
# and runs both.
set -euo pipefail
build_dir=$1
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
libdir=$(find "$work/prefix" -name 'libquirecommon.so.1' -printf '%h\n' | head -n 1)
test -L "$libdir/libquirecommon.so" || { echo "libquirecommon.so link missing"; exit 1; }
soname=$(readelf -d "$libdir/libquirecommon.so.1" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
test "$soname" = libquirecommon.so.1 || { echo "unexpected SONAME '$soname'"; exit 1; }
"$work/prefix/bin/quire" --version | grep -q '^quire (quirecommon) [0-9]' ||
  { echo "bin/quire missing or without its version"; exit 1; }
gzip -t "$work/prefix/share/man/man1/quire.1.gz" || { echo "quire.1.gz not installed"; exit 1; }

# As README tells a new user: each program starts without LD_LIBRARY_PATH,
# CMake's through the RPATH it records, pkg-config's through -Wl,-rpath.
unset LD_LIBRARY_PATH
cmake -S "$source_dir" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
"$work/cmake-build/consumer" "$work"

export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046
c++ -std=c++17 "$source_dir/main.cpp" $(pkg-config --cflags --libs quirecommon) \
  -Wl,-rpath,"$libdir" -o "$work/consumer-pc"
"$work/consumer-pc" "$work"
