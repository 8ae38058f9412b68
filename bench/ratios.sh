#!/bin/sh
# Runs text_bench with repetitions and prints each ratio that the conversions
# promise next to its target: the ratio of the k-th repetitions of the two
# benchmarks for every k, as min / median / max, and whether the median meets
# the target.
#   bench/ratios.sh [path/to/text_bench] [repetitions] [filter]
# Single-threaded figures use CPU time, which a busy machine disturbs least;
# B5 compares wall times, since it measures what a second thread adds.
set -eu
bench=${1:-build/default/bench/text_bench}
reps=${2:-9}
filter=${3:-.}

# Repetitions run interleaved in random order, so that a slow spell of the
# machine falls on a benchmark and its baselines alike.
"$bench" --benchmark_repetitions="$reps" --benchmark_filter="$filter" \
    --benchmark_enable_random_interleaving=true --benchmark_format=csv 2>/dev/null |
awk -F, '
  NR > 1 && $1 !~ /_(mean|median|stddev|cv)"$/ {
    name = $1; gsub(/"/, "", name)
    scale = $5 == "ms" ? 1e6 : $5 == "us" ? 1e3 : 1
    k = ++runs[name]
    cpu[name, k] = $4 * scale; real[name, k] = $3 * scale; rate[name, k] = $6
  }
  function sort(a, n,    i, j, t) {
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
  }
  # r[1..n] sorted; prints min, median and max against the target.
  function show(label, r, n, op, target,    mid, met) {
    sort(r, n); mid = n % 2 ? r[(n + 1) / 2] : (r[n / 2] + r[n / 2 + 1]) / 2
    printf "%-46s %7.2f %7.2f %7.2f", label, r[1], mid, r[n]
    if (op == "") { printf "   (no target)\n"; return }
    met = op == "<=" ? mid <= target : op == "<" ? mid < target : mid >= target
    printf "   target %s %-5s %s\n", op, target, met ? "met" : "MISSED"
  }
  function pairs(a, b) { return (a in runs) && (b in runs) ? (runs[a] < runs[b] ? runs[a] : runs[b]) : 0 }
  # cpu time of a over that of b, repetition by repetition.
  function vs(label, a, b, op, target,    n, k, r) {
    if (!(n = pairs(a, b))) { printf "%-46s     n/a (%s not run)\n", label, (a in runs) ? b : a; return }
    for (k = 1; k <= n; k++) r[k] = cpu[a, k] / cpu[b, k]
    show(label, r, n, op, target)
  }
  function throughput(label, a, op, target,    n, k, r) {
    if (!(n = runs[a])) { printf "%-46s     n/a (%s not run)\n", label, a; return }
    for (k = 1; k <= n; k++) r[k] = rate[a, k] / 1e9
    show(label, r, n, op, target)
  }
  END {
    printf "%-46s %7s %7s %7s\n", "ratio", "min", "median", "max"
    split("WINDOWS31J UTF-8 EUC-JP ISO-2022-JP ChineseGBK", enc, " ")
    vs("B1 ASCII path: string / floor", "B1_VelParamString", "B1_Floor", "<=", 2.5)
    vs("B1 ASCII path: string / cached iconv", "B1_VelParamString", "B1_IconvCached", "<", 1)
    for (i = 0; i < 2; i++) {
      e = enc[i + 1]
      vs("B2 " e ": string / cached iconv", "B2_VelParamString/" i, "B2_IconvCached/" i, "<=", 1.5)
      vs("B2 " e ": string / ICU", "B2_VelParamString/" i, "B2_IcuCached/" i, "<", 1)
      vs("B2 " e ": string / iconv opened per call", "B2_VelParamString/" i, "B2_IconvPerCall/" i, "", "")
      vs("B3 " e " 100 KB: iconv / string", "B3_IconvCached/" i, "B3_VelParamString/" i, ">=", 0.8)
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
    if ((n = pairs(one, two))) {
      for (k = 1; k <= n; k++) r5[k] = 2 * real[one, k] / real[two, k]
      show("B5 two threads: throughput / one thread", r5, n, ">=", 1.6)
    }
    for (i = 0; i < 5; i++) {
      e = enc[i + 1]
      vs("C1 " e " short decode: string / ICU", "C1_DecodeString/" i, "C1_DecodeIcu/" i, "<=", 1)
      vs("C2 " e " short encode: string / ICU", "C2_EncodeString/" i, "C2_EncodeIcu/" i, "<=", 1)
      vs("C3 " e " 1 MB decode: iconv / string", "C3_DecodeIconv/" i, "C3_DecodeString/" i, ">=", 2)
      vs("C4 " e " 1 MB encode: iconv / string", "C4_EncodeIconv/" i, "C4_EncodeString/" i, ">=", 2)
    }
    throughput("C5 plain ASCII decode, GB/s", "C5_AsciiDecode", ">=", 4)
  }'
