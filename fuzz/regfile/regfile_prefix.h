// The contract of a .reg file cut short, shared by the fuzz target and the
// tests: parsing any prefix of a file that parses either fails, or yields
// exactly the operations of the full file whose lines the prefix holds,
// followed at most by one that its unended last line makes on its own (a
// line cut after a whole token reads as a shorter line; a continued hex
// list never does).
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/regfile/regfileparse.h"

inline bool SameOp(const RegFileOp& a, const RegFileOp& b) {
  return a.kind == b.kind && a.root == b.root && a.path == b.path && a.type == b.type && a.data == b.data &&
         a.begin == b.begin && a.end == b.end;
}

// Whether bytes [begin, end) of the file hold a line end (CR or LF, in the
// file's 8 or 16 bits).
inline bool HoldsLineEnd(const uint8_t* file, size_t size, size_t begin, size_t end) {
  bool bWide = size >= 2 && file[0] == 0xFF && file[1] == 0xFE;
  for (size_t i = begin; i < end && i < size; i += bWide ? 2 : 1) {
    unsigned c = bWide ? file[i] | (i + 1 < size ? file[i + 1] << 8 : 0) : file[i];
    if (c == '\r' || c == '\n') return true;
  }
  return false;
}

// Empty when the prefix of n bytes keeps the contract, else what broke it.
// full: the operations of the whole file.
inline std::string CheckRegFilePrefix(const uint8_t* file, size_t size, const std::vector<RegFileOp>& full, size_t n) {
  // A block of exactly n bytes, so that a read past the prefix is caught.
  std::unique_ptr<uint8_t[]> prefix(new uint8_t[n ? n : 1]);
  if (n) std::memcpy(prefix.get(), file, n);
  std::vector<RegFileOp> ops;
  int line = -1;
  if (!RegFileParse(prefix.get(), n, ops, &line)) return line >= 1 ? "" : "an error without its line";
  if (line != 0) return "a line with success";
  size_t whole = 0;
  while (whole < full.size() && full[whole].end <= n) ++whole;
  if (ops.size() < whole || ops.size() > whole + 1)
    return std::to_string(ops.size()) + " operations where the lines hold " + std::to_string(whole);
  for (size_t i = 0; i < whole; ++i)
    if (!SameOp(ops[i], full[i])) return "operation " + std::to_string(i) + " differs";
  if (ops.size() == whole + 1) {
    const RegFileOp &cut = ops[whole], &was = full[whole];
    if (cut.kind != was.kind || cut.begin != was.begin) return "the cut line reads as another operation";
    if (cut.kind != kRegFileOpKey && cut.kind != kRegFileOpDeleteKey && (cut.path != was.path || cut.type != was.type))
      return "the cut line reads as another value";
    if (HoldsLineEnd(file, size, cut.begin, cut.end)) return "a value of continued lines came in cut";
    if (cut.end != n) return "the cut operation does not end the prefix";
  }
  return "";
}
