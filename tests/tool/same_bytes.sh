#!/usr/bin/env bash
# same_bytes.sh NATIVE_QUIRE TARGET_QUIRE_COMMAND...
# Converts the same text with the build machine's tool and with a cross-built
# one (its command: an emulator's command, then the tool) and fails on any
# byte of difference: every BMP character and a plane of others from UTF-8
# into each encoding and back, and every two-byte sequence decoded.
set -euo pipefail
native=$1
shift
if [ ! -x "$native" ]; then
  echo "no native tool at $native: build the default preset first"
  exit 77  # skipped
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

perl -CO -e 'no warnings; print chr($_) for 1 .. 0xD7FF, 0xE000 .. 0xFFFD, 0x10000 .. 0x1FFFF' >"$work/all.utf8"
perl -e 'for $a (0x80 .. 0xFF) { print pack("C3", $a, $_, 0x20) for 0x01 .. 0xFF }' >"$work/pairs"

# Both tools, one conversion; the status is left out: text that does not
# convert may count as a failure, and the bytes tell all the same.
same() {
  local from=$1 to=$2 input=$3 name=$4
  shift 4
  "$native" recode --from "$from" --to "$to" <"$input" >"$work/$name.native" 2>/dev/null || true
  "$@" recode --from "$from" --to "$to" <"$input" >"$work/$name.target" 2>/dev/null || true
  test -s "$work/$name.native" || { echo "$name: no output"; exit 1; }
  cmp "$work/$name.native" "$work/$name.target"
}
for encoding in WINDOWS31J EUC-JP ISO-2022-JP ChineseGBK; do
  same UTF-8 "$encoding" "$work/all.utf8" "$encoding" "$@"
  same "$encoding" UTF-8 "$work/$encoding.native" "$encoding.back" "$@"
  same "$encoding" UTF-8 "$work/pairs" "$encoding.pairs" "$@"
done
# Every run above reads or writes UTF-8 text that is valid.
same UTF-8 UTF-8 "$work/pairs" UTF-8.pairs "$@"
echo "same bytes on both"
