// The main frame of Ostrova.exe read and driven from outside: the parts of
// its status bar, its open menus ("#32768" windows) and keys with modifiers.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

class OstrovaProcess;

// Right edges of the status bar's parts (SB_GETPARTS through the program's memory).
std::vector<int> StatusPartRights(const OstrovaProcess& app);
// The gap between two parts (SB_GETBORDERS).
int StatusPartGap(const OstrovaProcess& app);
// Every part's text, joined by "|".
std::string StatusTexts(const OstrovaProcess& app);

// The visible pop-up menu window of the process, or nullptr.
HWND FindOpenMenu(const OstrovaProcess& app);
// The status-bar prompt of a command in the program's string table.
std::string ProgramPrompt(UINT id);
// The prompts of the first count items of a menu bar popup opened by its
// mnemonic, read from status pane 0 while the Down key walks the items: the program's menus
// cannot be read from another process (Wine keeps menus per process).
std::vector<std::string> MenuPrompts(const OstrovaProcess& app, HWND menuWindow, size_t count);

// Lets the program work off what was posted to it so far: a menu prompt is
// posted behind it and taken back, and both are waited for.
bool Settle(const OstrovaProcess& app);

// Posts vk (down and up) to target with the modifier keys held in Ostrova's
// key state, and settles before they are released.
bool PressWith(const OstrovaProcess& app, HWND target, UINT vk, std::initializer_list<UINT> modifiers = {});
