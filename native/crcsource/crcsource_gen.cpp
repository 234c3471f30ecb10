// Writes the CRC source text of the engines A, B and C at several widths
// into one C++ file, each in a namespace of its own, with GoogleTest cases
// that build its table, run CrcCalc and compare both with the engine.
#include <cstdio>
#include <string>

#include "text/numbers/bitarray.h"
#include "viewers/tools/crcengine.h"
#include "viewers/tools/crcsource.h"

namespace {

struct Poly {
  int width;
  uint64_t normal;
};
const Poly kPolys[] = {{7, 0x09}, {8, 0x07}, {12, 0x80F}, {16, 0x1021}, {32, 0x04C11DB7}, {64, 0x42F0E1EBA9EA3693ull}};

const unsigned char kData[] = "The quick brown fox jumps over the lazy dog 0123456789";
constexpr int kDataLength = sizeof kData - 1;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  FILE* f = std::fopen(argv[1], "wb");
  if (!f) return 1;
  std::fprintf(f, "#include <gtest/gtest.h>\n#include <cstring>\n#define __int64 long long\n");
  std::fprintf(f, "static const unsigned char kData[] = \"%s\";\n", (const char*)kData);
  const char* names[] = {"A", "B", "C"};
  for (const Poly& p : kPolys) {
    uint64_t mask = CrcWidthMask(p.width);
    uint64_t reflected = ReverseBits(p.normal, p.width);
    for (int alg = 0; alg < 3; alg++) {
      uint64_t table[256];
      uint64_t start = 0x5A5A5A5A5A5A5A5Aull & mask;
      uint64_t expect;
      if (alg == 0) {
        CrcTableReflected(reflected, table);
        expect = CrcUpdateReflected(start, kData, kDataLength, table);
      } else if (alg == 1) {
        CrcTableMsbFirst(p.normal, table, p.width, mask);
        expect = CrcUpdateMsbFirst(start, kData, kDataLength, table, p.width, mask);
      } else {
        CrcTableShifted(p.normal, table, p.width);
        expect = CrcUpdateShifted(start, kData, kDataLength, table);
      }
      CrcSourceParams prm = {(CrcAlgorithm)alg, p.width, mask, p.normal, reflected, start, table};
      CString text = CrcWriteSource(prm);
      std::string ns = std::string(names[alg]) + std::to_string(p.width);
      std::fprintf(f, "namespace v%s {\n", ns.c_str());
      std::fwrite(text.GetString(), 1, text.GetLength(), f);
      std::fprintf(f,
                   "#undef POLYNOM\n}\n"
                   "TEST(GeneratedCrcSource, %s) {\n"
                   "  v%s::CrcType written[256];\n"
                   "  std::memcpy(written, v%s::aCrcTable, sizeof written);\n"
                   "  std::memset(v%s::aCrcTable, 0, sizeof written);\n"
                   "  v%s::CrcGenerateTable();\n"
                   "  EXPECT_EQ(std::memcmp(written, v%s::aCrcTable, sizeof written), 0) << \"table\";\n"
                   "  EXPECT_EQ((unsigned long long)(v%s::CrcCalc(kData, %d) & 0x%llXull), 0x%llXull);\n"
                   "}\n",
                   ns.c_str(), ns.c_str(), ns.c_str(), ns.c_str(), ns.c_str(), ns.c_str(), ns.c_str(), kDataLength,
                   (unsigned long long)mask, (unsigned long long)expect);
    }
  }
  return std::fclose(f) == 0 ? 0 : 1;
}
