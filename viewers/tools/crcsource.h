// C source text that reproduces one of the CRC engines: the register type,
// the 256-entry table and the functions CrcCalc and CrcGenerateTable.
#pragma once

#include <cstdint>

#include "base/cstring.h"

enum CrcAlgorithm { CRC_REFLECTED = 0, CRC_MSB_FIRST = 1, CRC_SHIFTED = 2 };

struct CrcSourceParams {
  CrcAlgorithm algorithm;
  int width;  // 1..64
  uint64_t mask;
  uint64_t polyNormal;
  uint64_t polyReflected;
  uint64_t start;
  const uint64_t* table;  // the chosen algorithm's table
};

CString CrcWriteSource(const CrcSourceParams& params);
