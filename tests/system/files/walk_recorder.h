// A callback of the tree walks that records its reports as text lines.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "system/files/filewalk.h"

// One report as "reason path-from-the-scratch-dir @offset-in-that len value".
struct Recorder {
  std::string root;
  std::vector<std::string> lines;
  std::vector<int> answers;  // by report, 0 when absent
  int (*answer)(int reason, const std::string& path) = nullptr;
};

inline std::string Line(const Recorder& rec, const std::string& path, int offset, int reason, int length,
                        long long value) {
  std::string rel = path.compare(0, rec.root.size(), rec.root) == 0 ? path.substr(rec.root.size()) : path;
  int relOffset = offset - (int)(path.size() - rel.size());
  return std::to_string(reason) + " " + rel + " @" + std::to_string(relOffset) + " " + std::to_string(length) + " " +
         std::to_string(value);
}

inline int RecordA(UINT_PTR user, const char* path, int offset, int reason, FileEnumBlock* b) {
  Recorder& rec = *reinterpret_cast<Recorder*>(user);
  rec.lines.push_back(Line(rec, path, offset, reason, b->nameLength, b->value));
  return rec.answer ? rec.answer(reason, path) : 0;
}

inline int RecordW(UINT_PTR user, const wchar_t* path, int offset, int reason, FileEnumBlockW* b) {
  Recorder& rec = *reinterpret_cast<Recorder*>(user);
  char narrow[600];
  WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, sizeof narrow, nullptr, nullptr);
  rec.lines.push_back(Line(rec, narrow, offset, reason, b->nameLength, b->value));
  return rec.answer ? rec.answer(reason, narrow) : 0;
}
