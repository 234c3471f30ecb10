// Filling arrays of 16-, 32- and 64-bit values.
#pragma once

#include <cstdint>

void MemFill16(void* dest, uint16_t value, int count);
void MemFill32(void* dest, uint32_t value, int count);
// The 64-bit value is written low word first.
void MemFill64(void* dest, uint32_t low, uint32_t high, int count);
