// Table-driven CRC engines with a 64-bit register for widths 1..64, and the
// writer of C source that reproduces one of them. No windows here: the
// native sanitizer build compiles these files too.
#pragma once

#include <cstdint>

// Algorithm A, reflected (LSB first): the standard reflected CRC at every width.
void CrcTableReflected(uint64_t polyReflected, uint64_t table[256]);
uint64_t CrcUpdateReflected(uint64_t crc, const void* bytes, int length, const uint64_t table[256]);

// Algorithm B, MSB first: the standard non-reflected CRC at every width; the
// result is ANDed with the mask.
void CrcTableMsbFirst(uint64_t polyNormal, uint64_t table[256], int width, uint64_t mask);
uint64_t CrcUpdateMsbFirst(uint64_t crc, const void* bytes, int length, const uint64_t table[256], int width,
                           uint64_t mask);

// Algorithm C, shifted byte: the byte-wise method of the 7-bit CRC of SD/MMC
// cards; other widths give what the same formula gives.
void CrcTableShifted(uint64_t polyNormal, uint64_t table[256], int width);
uint64_t CrcUpdateShifted(uint64_t crc, const void* bytes, int length, const uint64_t table[256]);

// Helpers of the engines and of the calculator.
uint64_t CrcWidthMask(int width);                       // the low width bits set (width clamped to 1..64)
int CrcHexText(char* dest, uint64_t value, int width);  // "0x" and (width + 3) / 4 upper-case digits
