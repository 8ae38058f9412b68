#!/usr/bin/env bash
# The README's API tour as written: its C++ blocks, in order, as the body of
# one main, compiled against the public headers and run against the built
# library, under the emulator that follows, if any.
# check_readme.sh README COMPILER INCLUDE_DIR LIBRARY [EMULATOR...]
set -euo pipefail
readme=$1 compiler=$2 include=$3 library=$(realpath "$4")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
  echo '#include <quire/quire.h>'
  echo 'int main() {'
  sed -n '/^```cpp$/,/^```$/{/^```/d;p}' "$readme"
  echo '}'
} >"$work/tour.cpp"
"$compiler" -std=c++17 -Wall -Wextra -Werror -I"$include" "$work/tour.cpp" "$library" \
  -Wl,-rpath,"$(dirname "$library")" -o "$work/tour"
cd "$work" && "${@:5}" ./tour
