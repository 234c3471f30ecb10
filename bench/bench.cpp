#include "bench.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace bench {

static volatile long long g_sink;
void Sink(long long value) { g_sink = g_sink + value; }

double MedianNs(const std::function<void()>& fn, int iterations, int repeats) {
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  for (int i = 0; i < iterations; ++i) fn();  // warm-up
  std::vector<double> runs;
  for (int r = 0; r < repeats; ++r) {
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < iterations; ++i) fn();
    QueryPerformanceCounter(&t1);
    runs.push_back((double)(t1.QuadPart - t0.QuadPart) * 1e9 / (double)freq.QuadPart / iterations);
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

void Report(const char* name, double candidateNs, const char* baselineName, double baselineNs) {
  std::printf("%-32s candidate %12.1f ns   baseline %-20s %12.1f ns   ratio %.3f\n", name, candidateNs, baselineName,
              baselineNs, baselineNs > 0 ? candidateNs / baselineNs : 0.0);
  std::fflush(stdout);
}

void ReportBytes(const char* name, double candidateBytes, const char* baselineName, double baselineBytes) {
  std::printf("%-32s candidate %12.1f bytes baseline %-20s %12.1f bytes ratio %.3f\n", name, candidateBytes,
              baselineName, baselineBytes, baselineBytes > 0 ? candidateBytes / baselineBytes : 0.0);
  std::fflush(stdout);
}

double Compare(const char* name, const std::function<void()>& candidate, const char* baselineName,
               const std::function<void()>& baseline, int iterations, int repeats) {
  // Alternate the two, and which goes first, so that drift of the machine
  // and caches warmed by the one before hit both alike.
  std::vector<double> c, b;
  for (int r = 0; r < repeats; ++r) {
    if (r % 2) b.push_back(MedianNs(baseline, iterations, 1));
    c.push_back(MedianNs(candidate, iterations, 1));
    if (!(r % 2)) b.push_back(MedianNs(baseline, iterations, 1));
  }
  std::sort(c.begin(), c.end());
  std::sort(b.begin(), b.end());
  double cn = c[c.size() / 2], bn = b[b.size() / 2];
  Report(name, cn, baselineName, bn);
  return bn > 0 ? cn / bn : 0.0;
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof(counters)))
    return 0;
  // Wine leaves PrivateUsage 0 and gives the process's private resident
  // bytes as the pagefile usage, which Windows counts the same.
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

const char* ChildArgs(int argc, char** argv) {
  return argc >= 3 && !std::strcmp(argv[1], "--child") ? argv[2] : nullptr;
}

std::vector<double> RunChild(const std::string& args) {
  std::vector<double> numbers;
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return numbers;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::string command = std::string("\"") + exe + "\" --child \"" + args + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi;
  BOOL started = CreateProcessA(exe, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  std::string out;
  char buffer[256];
  DWORD got;
  while (started && ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got) out.append(buffer, got);
  CloseHandle(readEnd);
  if (!started) return numbers;
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  std::istringstream in(out);
  for (double d; in >> d;) numbers.push_back(d);
  return numbers;
}

void PrintNumbers(const std::vector<double>& numbers) {
  for (double d : numbers) std::printf("%.0f ", d);
  std::printf("\n");
  std::fflush(stdout);
}

}  // namespace bench
