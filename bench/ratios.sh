#!/bin/sh
# Runs text_bench with repetitions and prints, from the medians of one run,
# each ratio that the conversions promise next to its target.
#   bench/ratios.sh [path/to/text_bench] [repetitions]
# Single-threaded figures use CPU time, which a busy machine disturbs least;
# B5 compares wall times, since it measures what a second thread adds.
set -eu
bench=${1:-build/default/bench/text_bench}
reps=${2:-9}

# Repetitions run interleaved in random order, so that a slow spell of the
# machine falls on a benchmark and its baselines alike.
"$bench" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true --benchmark_format=csv 2>/dev/null |
awk -F, '
  $1 ~ /_median"$/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    scale = $5 == "ms" ? 1e6 : $5 == "us" ? 1e3 : 1
    cpu[name] = $4 * scale; real[name] = $3 * scale
  }
  function check(label, value, op, target,    met) {
    if (op == "") { printf "%-52s %6.2f   (no target)\n", label, value; return }
    met = op == "<=" ? value <= target : op == "<" ? value < target : value >= target
    printf "%-52s %6.2f   target %s %-4s %s\n", label, value, op, target, met ? "met" : "MISSED"
  }
  function vs(label, a, b, op, target) {
    if (!(a in cpu) || !(b in cpu)) { printf "%-52s   n/a (%s not run)\n", label, (a in cpu) ? b : a; return }
    check(label, cpu[a] / cpu[b], op, target)
  }
  END {
    split("WINDOWS31J UTF-8", enc, " ")
    vs("B1 ASCII path: string / floor", "B1_VelParamString", "B1_Floor", "<=", 2.5)
    vs("B1 ASCII path: string / cached iconv", "B1_VelParamString", "B1_IconvCached", "<", 1)
    for (i = 0; i < 2; i++) {
      e = enc[i + 1]
      vs("B2 " e ": string / cached iconv", "B2_VelParamString/" i, "B2_IconvCached/" i, "<=", 1.5)
      vs("B2 " e ": string / ICU", "B2_VelParamString/" i, "B2_IcuCached/" i, "<", 1)
      vs("B2 " e ": string / iconv opened per call", "B2_VelParamString/" i, "B2_IconvPerCall/" i, "", "")
      vs("B3 " e " 100 KB: string throughput / iconv", "B3_IconvCached/" i, "B3_VelParamString/" i, ">=", 0.8)
    }
    vs("B4 ASCII wide: string / floor", "B4_VelParamString_Ascii", "B4_Floor_Ascii", "<=", 2.5)
    vs("B4 ASCII wide: string / cached iconv", "B4_VelParamString_Ascii", "B4_IconvCached_Ascii", "<", 1)
    for (i = 0; i < 2; i++) {
      e = enc[i + 1]
      vs("B4 " e " wide: string / cached iconv", "B4_VelParamString/" i, "B4_IconvCached/" i, "<=", 1.5)
      vs("B4 " e " wide: string / ICU", "B4_VelParamString/" i, "B4_IcuCached/" i, "<", 1)
      vs("B4 " e " wide: string / iconv opened per call", "B4_VelParamString/" i, "B4_IconvPerCall/" i, "", "")
    }
    one = "B5_Threads/0/1/real_time"; two = "B5_Threads/0/2/real_time"
    if ((one in real) && (two in real)) check("B5 two threads: throughput / one thread", 2 * real[one] / real[two], ">=", 1.6)
  }'
