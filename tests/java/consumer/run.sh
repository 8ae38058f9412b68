#!/usr/bin/env bash
# Installs the built library and its Java binding into a temporary prefix,
# then compiles and runs Consumer.java against the installed jar and JNI
# library alone, under -Xcheck:jni.
set -euo pipefail
build_dir=$1 javac=$2 java=$3
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for component in runtime java jni; do
  cmake --install "$build_dir" --prefix "$work/prefix" --component "$component" >/dev/null
done
jar=$work/prefix/share/java/quirecommon.jar
test -f "$jar" || { echo "share/java/quirecommon.jar missing"; exit 1; }
jni=$(find "$work/prefix" -name libquirecommon_jni.so)
libdir=$(dirname "$(find "$work/prefix" -name libquirecommon.so.1)")
test "$(dirname "$jni")" = "$libdir" || { echo "JNI library not beside libquirecommon: $jni"; exit 1; }

"$javac" -encoding UTF-8 -d "$work/classes" -cp "$jar" "$source_dir/Consumer.java"
LD_LIBRARY_PATH=$libdir "$java" -Xcheck:jni -XX:-UsePerfData -Djava.library.path="$libdir" \
  -cp "$jar:$work/classes" Consumer "$work"
