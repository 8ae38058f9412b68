#!/bin/sh
# Times `quire recode` against iconv(1) on the same Japanese text, UTF-8 to
# WINDOWS31J and back, in one run: each repetition runs both tools in turn,
# and the medians are compared, of the elapsed time and of the processor
# time (user and system), which a busy machine disturbs least. Prints the
# peak resident memory of each too.
#   bench/recode_vs_iconv.sh [path/to/quire] [megabytes] [repetitions]
# Not a test: its figures depend on the machine and on what else runs.
set -eu
quire=${1:-build/default/tools/quire}
megabytes=${2:-200}
reps=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Whole lines only, so that both tools see well-formed text to its end.
line='吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で Nyaa と泣いていた事だけは記憶している (1905)。'
bytes=$(printf '%s\n' "$line" | wc -c)
yes "$line" | head -n $((megabytes * 1000000 / bytes + 1)) > "$work/utf8.txt"
iconv -f UTF-8 -t CP932 "$work/utf8.txt" > "$work/cp932.txt"

# Both tools must write the same bytes before their times mean anything.
"$quire" recode -f UTF-8 -t WINDOWS31J "$work/utf8.txt" | cmp -s - "$work/cp932.txt" ||
  { echo "quire and iconv disagree on UTF-8 to CP932" >&2; exit 1; }
"$quire" recode -f WINDOWS31J -t UTF-8 "$work/cp932.txt" | cmp -s - "$work/utf8.txt" ||
  { echo "quire and iconv disagree on CP932 to UTF-8" >&2; exit 1; }

# Appends "elapsed cpu kilobytes" of one run to the file named by $1.
measure() {
  out=$1
  shift
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" > /dev/null
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$work/time" >> "$out"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%s MB of Japanese text, %s repetitions, medians\n' "$megabytes" "$reps"
printf '%-20s %-6s %9s %9s %9s\n' direction tool elapsed cpu 'peak MB'
for direction in "UTF-8 WINDOWS31J CP932 utf8" "WINDOWS31J UTF-8 UTF-8 cp932"; do
  set -- $direction
  from=$1 to=$2 iconvTo=$3 input=$work/$4.txt
  iconvFrom=$(test "$from" = UTF-8 && echo UTF-8 || echo CP932)
  : > "$work/iconv" ; : > "$work/quire"
  i=0
  while [ $i -lt "$reps" ]; do
    measure "$work/iconv" iconv -f "$iconvFrom" -t "$iconvTo" "$input"
    measure "$work/quire" "$quire" recode -f "$from" -t "$to" "$input"
    i=$((i + 1))
  done
  for tool in iconv quire; do
    elapsed=$(cut -d' ' -f1 "$work/$tool" | median)
    cpu=$(cut -d' ' -f2 "$work/$tool" | median)
    peak=$(cut -d' ' -f3 "$work/$tool" | sort -n | tail -n 1)
    printf '%-20s %-6s %8ss %8ss %9s\n' "$from -> $to" "$tool" "$elapsed" "$cpu" $((peak / 1024))
    eval "${tool}Elapsed=$elapsed ${tool}Cpu=$cpu"
  done
  awk -v qe="$quireElapsed" -v ie="$iconvElapsed" -v qc="$quireCpu" -v ic="$iconvCpu" 'BEGIN {
    printf "%-20s quire/iconv elapsed %.2f, cpu %.2f   target <= 0.70 %s\n", "", qe / ie,
           qc / ic, qe <= 0.7 * ie && qc <= 0.7 * ic ? "met" : "MISSED" }'
done
