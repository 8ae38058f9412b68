#!/usr/bin/env bash
# run.sh BUILD_DIR COMPILER [TOOLCHAIN_FILE EMULATOR...]
# Installs the built library into a temporary prefix, checks where its parts
# go, builds the consumer against it as the build was built (the toolchain
# file, or none) through find_package and, for Linux, with COMPILER through
# pkg-config, and runs what it built, under the emulator when one is given.
set -euo pipefail
build_dir=$1
compiler=$2
toolchain=${3:-}
emulator=("${@:4}")
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
if [ -f "$prefix/bin/quire.exe" ]; then
  exe=.exe
  for part in bin/libquirecommon.dll lib/libquirecommon.dll.a; do
    test -f "$prefix/$part" || { echo "$part missing from the installed tree"; exit 1; }
  done
else
  exe=
  libdir=$(find "$prefix" -name 'libquirecommon.so.1' -printf '%h\n' | head -n 1)
  test -L "$libdir/libquirecommon.so" || { echo "libquirecommon.so link missing"; exit 1; }
  soname=$(readelf -d "$libdir/libquirecommon.so.1" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
  test "$soname" = libquirecommon.so.1 || { echo "unexpected SONAME '$soname'"; exit 1; }
fi
test -f "$prefix/include/quire/quire.h" || { echo "quire/quire.h not installed"; exit 1; }
"${emulator[@]}" "$prefix/bin/quire$exe" --version | grep -q '^quire (quirecommon) [0-9]' ||
  { echo "bin/quire$exe missing or without its version"; exit 1; }
gzip -t "$prefix/share/man/man1/quire.1.gz" || { echo "quire.1.gz not installed"; exit 1; }

# As README tells a new user: each program starts without LD_LIBRARY_PATH,
# CMake's through the RPATH it records, pkg-config's through -Wl,-rpath.
unset LD_LIBRARY_PATH
if [ -n "$toolchain" ]; then
  find_prefix=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_FIND_ROOT_PATH="$prefix")
else
  find_prefix=(-DCMAKE_PREFIX_PATH="$prefix")
fi
cmake -S "$source_dir" -B "$work/cmake-build" -G Ninja "${find_prefix[@]}" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
if [ -n "$exe" ]; then
  # Windows finds a program's DLLs beside it, and shows the Unix root as
  # drive Z:. A program linked by hand would need MinGW's runtime DLLs too,
  # so pkg-config is left to Linux.
  cp "$prefix/bin/libquirecommon.dll" "$work/cmake-build/"
  "${emulator[@]}" "$work/cmake-build/consumer.exe" "Z:$work"
  exit 0
fi
"${emulator[@]}" "$work/cmake-build/consumer" "$work"

export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046
"$compiler" -std=c++17 "$source_dir/main.cpp" $(pkg-config --cflags --libs quirecommon) \
  -Wl,-rpath,"$libdir" -o "$work/consumer-pc"
"${emulator[@]}" "$work/consumer-pc" "$work"
