// Benchmarks run under Wine: each measures a candidate and its baseline in
// the same run and prints one line with both medians and their ratio.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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

// Private bytes of this process (GetProcessMemoryInfo's PrivateUsage, or
// its PagefileUsage where that is 0).
size_t PrivateBytes();

// Memory is measured in a process of its own each, so that one measurement
// does not reuse the heap another left behind: the program runs itself
// with "--child <args>" and gets back the numbers that run printed.
// ChildArgs gives those arguments to the child (null in the parent).
const char* ChildArgs(int argc, char** argv);
std::vector<double> RunChild(const std::string& args);
// The child's answer: the numbers on one line.
void PrintNumbers(const std::vector<double>& numbers);

// Keeps a value alive so the compiler cannot drop the work that made it.
void Sink(long long value);

}  // namespace bench
