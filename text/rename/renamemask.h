// Rename masks: a target name described in terms of a source name, as a copy
// or rename command with wildcards takes it. "*.bak" turns "file.txt" into
// "file.bak"; "abc?.txt" turns "wxyz.doc" into "abcz.txt"; "*|.txt|.bak|"
// replaces the piece ".txt" of the source by ".bak".
#pragma once

#include <cstdint>

enum : uint32_t {
  MASK_DOTS_PLAIN = 0x02,  // no name/extension handling: '.' is an ordinary character
  MASK_NO_MERGE = 0x04,    // one pattern character per mask character, no merged stars
  MASK_KEEP_TEXT = 0x08,   // plain characters stand for themselves, not for '*'
};

enum : uint32_t {
  RENAME_IGNORE_CASE = 0x01,
  RENAME_DOTS_PLAIN = 0x02,
  RENAME_CHECK_SOURCE = 0x08,  // the source must first match the mask taken literally
};

// The pattern a source name has to match: plain mask characters become '*'
// (dots stay dots, '?' stays), the X of "|X|Y|" is copied, Y skipped. Stops
// quietly when the buffer is full; returns the length written (terminated
// when size >= 1).
int BuildMaskPatternA(const char* mask, char* out, int size, uint32_t flags);
int BuildMaskPatternW(const wchar_t* mask, wchar_t* out, int size, uint32_t flags);

// The new name into out (size - 1 characters at most, terminated): its
// length, or -1 with an empty output when the mask does not apply to the
// source or the output is too small.
int ApplyRenameMaskA(const char* mask, int sourceLength, const char* source, char* out, int size, uint32_t flags);
int ApplyRenameMaskW(const wchar_t* mask, int sourceLength, const wchar_t* source, wchar_t* out, int size,
                     uint32_t flags);
