#!/usr/bin/env bash
# Builds a project that embeds the library, once by add_subdirectory and
# once by FetchContent, and runs its program. The embedded build must bring
# the library alone: none of our tests, benchmarks or tool, and none of our
# warning flags on the embedding project's own code.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for way in add_subdirectory FetchContent; do
  build=$work/$way
  cmake -S "$source_dir/tests/embed" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUIRE_SOURCE_DIR="$source_dir" -DQUIRE_EMBED_BY=$way \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
  targets=$(cmake --build "$build" --target help)
  for ours in text_test registry_test text_bench quire fuzz_decode; do
    if grep -q "^$ours:" <<<"$targets"; then echo "$way: builds our target $ours"; exit 1; fi
  done
  consumer_flags=$(grep '"command"' "$build/compile_commands.json" | grep 'consumer/main.cpp' || true)
  if [ -z "$consumer_flags" ]; then echo "$way: no compile command for the consumer"; exit 1; fi
  if grep -q -e '-Werror' -e '-Wpedantic' <<<"$consumer_flags"; then
    echo "$way: our warning flags reached the consumer: $consumer_flags"; exit 1
  fi
  cmake --build "$build" >/dev/null
  mkdir -p "$work/$way-files"
  "$build/consumer" "$work/$way-files"
done
