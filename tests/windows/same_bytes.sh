#!/usr/bin/env bash
# same_bytes.sh LINUX_QUIRE WINDOWS_QUIRE_COMMAND...
# Converts the same text with the Linux tool and with the Windows one (its
# command: an emulator's command, then quire.exe) and fails on any byte of
# difference: every BMP character and a plane of others from UTF-8 into each
# multibyte encoding and back, and every two-byte sequence decoded.
set -euo pipefail
linux=$1
shift
if [ ! -x "$linux" ]; then
  echo "no Linux tool at $linux: build the default preset first"
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
  "$linux" recode --from "$from" --to "$to" <"$input" >"$work/$name.linux" 2>/dev/null || true
  "$@" recode --from "$from" --to "$to" <"$input" >"$work/$name.windows" 2>/dev/null || true
  test -s "$work/$name.linux" || { echo "$name: no output"; exit 1; }
  cmp "$work/$name.linux" "$work/$name.windows"
}
for encoding in WINDOWS31J EUC-JP ISO-2022-JP ChineseGBK; do
  same UTF-8 "$encoding" "$work/all.utf8" "$encoding" "$@"
  same "$encoding" UTF-8 "$work/$encoding.linux" "$encoding.back" "$@"
  same "$encoding" UTF-8 "$work/pairs" "$encoding.pairs" "$@"
done
echo "same bytes on both platforms"
