// The fixture of the end-to-end scenarios: the program key saved before and
// put back after, the seeded test key, no settings at the start of each.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

class RegistrySnapshot;

// <build>\tests\e2e\screens\<name>.png, the folder made when missing.
std::string ScreenPath(const std::string& name);
// Saves a screen shot of hwnd as <build>\tests\e2e\screens\<name>.png,
// after checking that a dialog or the frame is laid out.
void SaveScreen(HWND hwnd, const std::string& name);

// A string the program stored in its settings, or "<missing>".
std::string StoredProgramString(const char* name);

class EndToEnd : public testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  // Every scenario starts with no settings.
  void SetUp() override;

  static void SeedTestKey();
  static RegistrySnapshot* s_saved;
};
