#!/usr/bin/env bash
# The Windows counterpart of run.sh: installs the built DLL into a temporary
# prefix, checks where its parts go, builds the consumer against it through
# find_package with the same toolchain, and runs it under the emulator given
# after the first two arguments.
set -euo pipefail
build_dir=$1
toolchain=$2
shift 2
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
for part in bin/libquirecommon.dll bin/quire.exe lib/libquirecommon.dll.a include/quire/quire.h \
  lib/cmake/QuireCommon/QuireCommonConfig.cmake; do
  test -f "$prefix/$part" || { echo "$part missing from the installed tree"; exit 1; }
done

cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_FIND_ROOT_PATH="$prefix" >/dev/null
cmake --build "$work/build" >/dev/null
# Windows finds a program's DLLs beside it.
cp "$prefix/bin/libquirecommon.dll" "$work/build/"
# Wine shows the Unix root as drive Z:.
"$@" "$work/build/consumer.exe" "Z:$work"
