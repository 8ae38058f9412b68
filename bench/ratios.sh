#!/bin/sh
# Runs text_bench with repetitions and prints each ratio that the conversions
# promise next to its target: the ratio of the k-th repetitions of the two
# benchmarks for every k, as min / median / max, and whether the median meets
# the target.
#   bench/ratios.sh [path/to/text_bench] [repetitions] [filter]
# Single-threaded figures use CPU time, which a busy machine disturbs least;
# the threads' ratio compares wall times, since it measures what a second
# thread adds. Benchmarks are named What_Who, or What_Who/ENCODING.
set -eu
bench=${1:-build/default/bench/text_bench}
reps=${2:-9}
filter=${3:-.}

# Every benchmark, in the order registered: the encodings come in the order
# of the library's table.
names=$("$bench" --benchmark_list_tests | tr '\n' ' ')

# Repetitions run interleaved in random order, so that a slow spell of the
# machine falls on a benchmark and its baselines alike.
"$bench" --benchmark_repetitions="$reps" --benchmark_filter="$filter" \
    --benchmark_enable_random_interleaving=true --benchmark_format=csv 2>/dev/null |
awk -F, -v names="$names" '
  BEGIN {
    count = split(names, list, " ")
    for (i = 1; i <= count; i++) {
      if (split(list[i], part, "/") < 2) continue
      if (part[1] == "ShortDecode_String") all[++nAll] = part[2]
      if (part[1] == "JapanesePath_String") paths[++nPaths] = part[2]
    }
  }
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
    printf "%-52s %7.2f %7.2f %7.2f", label, r[1], mid, r[n]
    if (op == "") { printf "   (no target)\n"; return }
    met = op == "<=" ? mid <= target : op == "<" ? mid < target : mid >= target
    printf "   target %s %-5s %s\n", op, target, met ? "met" : "MISSED"
  }
  function pairs(a, b) { return (a in runs) && (b in runs) ? (runs[a] < runs[b] ? runs[a] : runs[b]) : 0 }
  # cpu time of a over that of b, repetition by repetition.
  function vs(label, a, b, op, target,    n, k, r) {
    if (!(n = pairs(a, b))) { printf "%-52s     n/a (%s not run)\n", label, (a in runs) ? b : a; return }
    for (k = 1; k <= n; k++) r[k] = cpu[a, k] / cpu[b, k]
    show(label, r, n, op, target)
  }
  function throughput(label, a, op, target,    n, k, r) {
    if (!(n = runs[a])) { printf "%-52s     n/a (%s not run)\n", label, a; return }
    for (k = 1; k <= n; k++) r[k] = rate[a, k] / 1e9
    show(label, r, n, op, target)
  }
  END {
    printf "%-52s %7s %7s %7s\n", "ratio", "min", "median", "max"
    for (w = 0; w < 2; w++) {
      W = w ? "Wide" : ""
      vs(W "AsciiPath: string / floor", W "AsciiPath_String", W "AsciiPath_Floor", "<=", 2.5)
      vs(W "AsciiPath: string / iconv", W "AsciiPath_String", W "AsciiPath_Iconv", "<", 1)
      for (i = 1; i <= nPaths; i++) {
        e = paths[i]; string = W "JapanesePath_String/" e
        vs(W "JapanesePath " e ": string / iconv", string, W "JapanesePath_Iconv/" e, "<=", 1.5)
        vs(W "JapanesePath " e ": string / ICU", string, W "JapanesePath_Icu/" e, "<", 1)
        vs(W "JapanesePath " e ": string / iconv opened per call", string, W "JapanesePath_IconvPerCall/" e, "", "")
        if (!w) vs("JapanesePath100K " e ": iconv / string", "JapanesePath100K_Iconv/" e, "JapanesePath100K_String/" e, ">=", 0.8)
      }
    }
    e = paths[1]; one = "JapanesePath_Threads/" e "/1/real_time"
    two = "JapanesePath_Threads/" e "/2/real_time"
    if ((n = pairs(one, two))) {
      for (k = 1; k <= n; k++) r2[k] = 2 * real[one, k] / real[two, k]
      show("JapanesePath_Threads: throughput of two threads / one", r2, n, ">=", 1.6)
    }
    for (i = 1; i <= nAll; i++) {
      e = all[i]
      vs("ShortDecode " e ": string / ICU", "ShortDecode_String/" e, "ShortDecode_Icu/" e, "<=", 0.9)
      vs("ShortEncode " e ": string / ICU", "ShortEncode_String/" e, "ShortEncode_Icu/" e, "<=", 0.9)
      vs("BulkDecode " e ": iconv / string", "BulkDecode_Iconv/" e, "BulkDecode_String/" e, ">=", 2)
      vs("BulkDecode " e ": iconv / fresh string", "BulkDecode_Iconv/" e, "BulkDecode_FreshString/" e, ">=", 1.5)
      vs("BulkEncode " e ": iconv / string", "BulkEncode_Iconv/" e, "BulkEncode_String/" e, ">=", 2)
    }
    throughput("AsciiBulkDecode_Component, GB/s", "AsciiBulkDecode_Component", ">=", 4)
  }'
