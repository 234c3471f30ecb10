// End-to-end export in both formats and import through the file dialogs.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "e2e/driver/e2e_fixture.h"
#include "e2e/driver/scenario_util.h"
#include "harness/file_util.h"
#include "harness/window_util.h"
#include "res/resource.h"

namespace {

// The export fixture below E2E and its section of a .reg file, one text per
// format (the 8-bit one carries strings of multi-strings and expandable
// strings as code page 1252 bytes).
void SeedExportKey(const std::string& key) {
  const wchar_t def[] = L"Vorgabe";
  SetW(key, nullptr, REG_SZ, def, sizeof def);
  BYTE bin[30];
  for (int i = 0; i < 30; ++i) bin[i] = (BYTE)i;
  SetW(key, L"Bin", REG_BINARY, bin, sizeof bin);
  ULONGLONG qword = 0x0123456789ABCDEFull;
  SetW(key, L"Gro\u00df", REG_QWORD, &qword, sizeof qword);
  SetW(key, L"Liste", REG_MULTI_SZ, L"eins\0zwei\0", 22);
  const wchar_t pfad[] = L"%TEMP%\\x";
  SetW(key, L"Pfad", REG_EXPAND_SZ, pfad, sizeof pfad);
  const wchar_t text[] = L"Anf\u00fchrung \" und \\ Strich";
  SetW(key, L"Text", REG_SZ, text, sizeof text);
  DWORD dword = 42;
  SetW(key, L"Zahl", REG_DWORD, &dword, sizeof dword);
  const wchar_t y[] = L"y";
  SetW(key + "\\Unter \x80", L"x", REG_SZ, y, sizeof y);
}

std::string ExportSection(bool unicode) {
  const std::string p = SubPath("Werkzeuge");
  return "[" + p +
         "]\r\n"
         "@=\"Vorgabe\"\r\n"
         "\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
         "  17,18,19,1a,1b,1c,1d\r\n"
         "\"Gro\xDF\"=hex(b):ef,cd,ab,89,67,45,23,01\r\n" +
         (unicode ? "\"Liste\"=hex(7):65,00,69,00,6e,00,73,00,00,00,7a,00,77,00,65,00,69,00,00,00,00,\\\r\n"
                    "  00\r\n"
                    "\"Pfad\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,5c,00,78,00,00,00\r\n"
                  : "\"Liste\"=hex(7):65,69,6e,73,00,7a,77,65,69,00,00\r\n"
                    "\"Pfad\"=hex(2):25,54,45,4d,50,25,5c,78,00\r\n") +
         "\"Text\"=\"Anf\xFChrung \\\" und \\\\ Strich\"\r\n"
         "\"Zahl\"=dword:0000002a\r\n"
         "\r\n"
         "[" +
         p +
         "\\Unter \x80]\r\n"
         "\"x\"=\"y\"\r\n"
         "\r\n";
}

// What the export of E2E must hold besides the fixture's section: the
// header, the key itself first, and parents before their subkeys. Answers
// what is wrong, or nothing.
std::string ExportProblems(const std::string& text, bool unicode) {
  const std::string header = unicode ? "Windows Registry Editor Version 5.00\r\n\r\n" : "REGEDIT4\r\n\r\n";
  const std::string head = header + "[" + kE2EPath + "]\r\n";
  if (text.compare(0, head.size(), head) != 0) return "begins with: " + text.substr(0, 200);
  const std::string basic = SubPath("Basic");
  const std::string lines[] = {
      "[" + basic + "]\r\n@=\"Standardwert\"\r\n",
      "\"Bin\xE4r\"=hex:00,01,7f,80,fe,ff\r\n",
      "\"Gro\xDF\"=hex(b):ef,cd,ab,89,67,45,23,01\r\n\"Leer\"=hex:\r\n",
      "\"Text\"=\"Hallo Welt\"\r\n",
      "\"Zahl\"=dword:12345678\r\n",
      "[" + basic + "\\Ebene 1]\r\n",
      "[" + basic + "\\Ebene 1\\Ebene 2\\Ebene 3]\r\n\"Tiefe\"=\"Ebene 3\"\r\n\r\n",
      "[" + SubPath("\xE4\xF6\xFC\xDF\x80") + "]\r\n@=\"Schl\xFCssel mit Umlauten\"\r\n\r\n",
  };
  size_t last = 0;
  for (const std::string& line : lines) {
    size_t at = text.find(line);
    if (at == std::string::npos) return "missing: " + line;
    if (line[0] == '[') {
      if (at < last) return "out of order: " + line;
      last = at;
    }
  }
  if (text.find(ExportSection(unicode)) == std::string::npos)
    return "not the fixture's section in " + std::to_string(text.size()) + " characters:\n" + text;
  return "";
}

std::string FileText(const std::string& file, bool unicode) {
  std::string bytes = ReadFileBytes(file);
  return unicode ? FromUtf16(bytes) : bytes;
}

// Runs "Exportieren" for the pane's key (E2E) into file, ticking "ANSI
// Format benutzen" when ansi is set; waits for the written file.
void ExportTo(const OstrovaProcess& app, const std::string& file, bool ansi, const char* png) {
  app.Command(ID_EXPORT);
  HWND dlg = WaitForFileDialog(app, "Registry-Daten exportieren");
  ASSERT_NE(dlg, nullptr) << "no export dialog";
  HWND box = GetDlgItem(dlg, kReadOnlyBox);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(IsWindowVisible(box));
  EXPECT_EQ(TextOf(box), "ANSI Format benutzen");
  if (ansi) {
    Click(box);
    ASSERT_TRUE(WaitUntil([&] { return Checked(box); }));
  }
  ASSERT_TRUE(TypeInto(FileNameEdit(dlg), file));
  if (png) Shot(dlg, png);
  ASSERT_TRUE(ChooseFile(app, dlg, file));
  // The progress dialog has the same title; it ends with the run.
  WaitUntil(
      [&] { return Idle(app, "Registry-Daten exportieren") && ExportProblems(FileText(file, !ansi), !ansi).empty(); },
      30000);
  EXPECT_EQ(ExportProblems(FileText(file, !ansi), !ansi), "") << file;
  EXPECT_TRUE(Idle(app, "Registry-Daten exportieren"));
  EXPECT_EQ(TopLevelOf(app, "Fehler"), nullptr) << "an error box";
}

TEST_F(EndToEnd, ExportBothFormatsThenImportAfterDeleting) {
  ScratchKey scratch(Sub("Werkzeuge"));
  SeedExportKey(scratch.path);
  const std::string unicodeFile = TempFile("ostrova e2e export.reg");
  const std::string ansiFile = TempFile("ostrova e2e export ansi.reg");
  DeleteFileA(unicodeFile.c_str());
  DeleteFileA(ansiFile.c_str());
  // The seeded key goes and comes back below: put back whatever happens.
  struct Restorer {
    std::string before = Dump(kE2EKey);
    RegistrySnapshot saved = RegistrySnapshot::Take(HKEY_CURRENT_USER, kE2EKey);
    ~Restorer() {
      if (Dump(kE2EKey) == before) return;
      DeleteKeyTree(HKEY_CURRENT_USER, kE2EKey);
      EXPECT_TRUE(saved.Restore(HKEY_CURRENT_USER, kE2EKey));
    }
  } restorer;
  const std::string& before = restorer.before;

  OstrovaProcess app;
  ASSERT_TRUE(app.Start(std::string("-1:") + kE2EPath));
  PaneReader pane(app.Process(), app.Pane(0));
  ASSERT_TRUE(WaitUntil([&] { return pane.ComboText() == kE2EPath; }));

  ExportTo(app, unicodeFile, false, nullptr);
  const std::string unicodeBytes = ReadFileBytes(unicodeFile);
  ExportTo(app, ansiFile, true, "regtools_export_dialog");
  EXPECT_EQ(StoredProgramString("ExportPath"), ansiFile);

  // Import of each file after the key was deleted: every byte back.
  for (const std::string& file : {unicodeFile, ansiFile}) {
    ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kE2EKey));
    app.Command(ID_IMPORT);
    HWND dlg = WaitForFileDialog(app, "Registry-Daten importieren");
    ASSERT_NE(dlg, nullptr) << "no import dialog";
    ASSERT_TRUE(ChooseFile(app, dlg, file));
    WaitUntil([&] { return Idle(app, "Registry-Daten importieren") && Dump(kE2EKey) == before; }, 30000);
    EXPECT_TRUE(Idle(app, "Registry-Daten importieren"));
    EXPECT_EQ(TopLevelOf(app, "Fehler"), nullptr) << "an error box";
    EXPECT_EQ(Dump(kE2EKey), before) << file;
    EXPECT_EQ(StoredProgramString("ImportPath"), file);
  }
  ASSERT_TRUE(app.Close());
  // The export file stays as it was written.
  EXPECT_EQ(ReadFileBytes(unicodeFile), unicodeBytes);
  DeleteFileA(unicodeFile.c_str());
  DeleteFileA(ansiFile.c_str());
}

}  // namespace
