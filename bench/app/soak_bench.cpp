// Long use of Ostrova.exe: 2,000 rounds (OSTROVA_SOAK_ROUNDS for another
// number) of navigating, opening and closing each value editor, renaming a
// value there and back, exporting and importing a small key and switching
// layouts. Prints the process's handles, GDI objects and private bytes after
// two warm-up rounds and at the end, and whether the soak key is
// byte-identical; fails when handles or GDI objects grew beyond their
// margin, the key changed or the program did not end cleanly.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "e2e/driver/ostrova_process.h"
#include "e2e/driver/registry_snapshot.h"
#include "e2e/driver/soak_rounds.h"

namespace {
const char kProgramKey[] = "Software\\Brannock\\Ostrova";
const int kWarmUp = 2;
const DWORD kHandleMargin = 4;
const int kGdiMargin = 4;
const SIZE_T kByteMargin = 1024 * 1024;

void Print(const char* when, int round, const ProcessFigures& f) {
  printf("soak %s round %d: %lu handles, %d GDI objects, %lu KB private\n", when, round, (unsigned long)f.handles,
         f.gdiObjects, (unsigned long)(f.privateBytes / 1024));
  fflush(stdout);
}
}  // namespace

int main() {
  int rounds = 2000;
  if (const char* n = getenv("OSTROVA_SOAK_ROUNDS")) rounds = atoi(n);
  // The user's settings are put back afterwards; the soak starts without any.
  RegistrySnapshot settings = RegistrySnapshot::Take(HKEY_CURRENT_USER, kProgramKey);
  DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
  int result = 0;
  {
    SoakRounds soak;
    const std::string before = soak.KeyText();
    OstrovaProcess app;
    std::string failed = soak.Start(app);
    ProcessFigures start, end;
    for (int i = 0; failed.empty() && i < kWarmUp; ++i) failed = soak.Round(app, i);
    if (failed.empty() && !ReadSettledFigures(app, &start)) failed = "figures unreadable";
    if (failed.empty()) Print("after warm-up", kWarmUp, start);
    DWORD t0 = GetTickCount();
    int done = 0;
    for (; failed.empty() && done < rounds; ++done) {
      failed = soak.Round(app, kWarmUp + done);
      if (failed.empty() && (done + 1) % 250 == 0 && ReadSettledFigures(app, &end))
        Print("at", kWarmUp + done + 1, end);
    }
    if (failed.empty() && !ReadSettledFigures(app, &end)) failed = "figures unreadable";
    bool closed = app.Close();
    bool same = soak.KeyText() == before;
    if (!failed.empty()) {
      printf("soak: round %d failed: %s\n", kWarmUp + done, failed.c_str());
      result = 1;
    } else {
      long long bytes = (long long)end.privateBytes - (long long)start.privateBytes;
      bool held = end.handles <= start.handles + kHandleMargin && end.gdiObjects <= start.gdiObjects + kGdiMargin;
      printf(
          "soak: %d rounds in %lu s: handles %lu -> %lu, GDI objects %d -> %d, private bytes %lu -> %lu KB (%+lld "
          "KB, %lld bytes a round, %s), soak key %s, closed %s: %s\n",
          rounds, (unsigned long)((GetTickCount() - t0) / 1000), (unsigned long)start.handles,
          (unsigned long)end.handles, start.gdiObjects, end.gdiObjects, (unsigned long)(start.privateBytes / 1024),
          (unsigned long)(end.privateBytes / 1024), bytes / 1024, rounds ? bytes / rounds : 0,
          bytes <= (long long)kByteMargin ? "within the margin" : "GREW", same ? "byte-identical" : "CHANGED",
          closed ? "cleanly" : "NOT cleanly", held && same && closed ? "held" : "LEAK");
      // Memory that grows is reported above; handles, GDI objects, the key
      // and a clean end fail the run.
      if (!(held && same && closed)) result = 1;
    }
  }
  settings.Restore(HKEY_CURRENT_USER, kProgramKey);
  return result;
}
