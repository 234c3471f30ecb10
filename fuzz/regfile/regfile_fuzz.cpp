// The .reg parse step: any bytes parse or fail with a line inside the file;
// the operations of a file that parses lie in order inside it, and every
// prefix of it keeps the contract of a file cut short.
#include "fuzz_util.h"
#include "regfile/regfile_prefix.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Exact<uint8_t> file(data, size);
  std::vector<RegFileOp> ops;
  int line = -1;
  bool ok = RegFileParse(file.get(), size, ops, &line);
  int lines = 1;
  for (size_t i = 0; i < size; ++i) lines += data[i] == '\n' || data[i] == '\r';
  if (!ok) {
    FUZZ_CHECK(ops.empty());
    FUZZ_CHECK(line >= 1 && line <= lines);
    return 0;
  }
  FUZZ_CHECK(line == 0);
  size_t last = 0;
  for (const RegFileOp& op : ops) {
    FUZZ_CHECK(op.begin >= last && op.begin <= op.end && op.end <= size);
    last = op.end;
  }
  // Every prefix of a small file, about a hundred of a large one.
  size_t step = size < 512 ? 1 : size / 97;
  for (size_t n = 0; n <= size; n += step) {
    std::string broken = CheckRegFilePrefix(file.get(), size, ops, n);
    if (!broken.empty()) std::fprintf(stderr, "prefix of %zu bytes: %s\n", n, broken.c_str());
    FUZZ_CHECK(broken.empty());
  }
  return 0;
}
