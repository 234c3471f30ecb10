// Benchmarks run under Wine: each measures a candidate and its baseline in
// the same run and prints one line with both medians and their ratio.
#pragma once

#include <functional>

namespace bench {

// Median time in nanoseconds of one call of fn, over `repeats` timed runs of
// `iterations` calls each (after one untimed warm-up run).
double MedianNs(const std::function<void()>& fn, int iterations, int repeats = 7);

// Prints "<name>: candidate <c> ns, baseline <b> (<baseline>) <n> ns, ratio <c/b>".
void Report(const char* name, double candidateNs, const char* baselineName, double baselineNs);

// The same line for a size: "<name>: candidate <c> bytes, baseline ... ratio <c/b>".
void ReportBytes(const char* name, double candidateBytes, const char* baselineName, double baselineBytes);

// Convenience: measures both and reports; returns the ratio.
double Compare(const char* name, const std::function<void()>& candidate, const char* baselineName,
               const std::function<void()>& baseline, int iterations, int repeats = 7);

// Keeps a value alive so the compiler cannot drop the work that made it.
void Sink(long long value);

}  // namespace bench
