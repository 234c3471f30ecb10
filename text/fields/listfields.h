// Fields of separated lists ("a;bb;c", fields numbered from 0, possibly
// empty) and of string arrays, picked by a selector: 0 or more the one field
// wanted; with LIST_FIELD_MASK set, bit k of the low 31 bits selects field k
// and the selected fields are joined without separators.
#pragma once

#include <cstdint>

constexpr uint32_t LIST_FIELD_MASK = 0x80000000u;
constexpr int ListFieldMask(uint32_t fields) { return (int)(LIST_FIELD_MASK | (fields & ~LIST_FIELD_MASK)); }

// The selected fields into dest, cut at size - 1 and terminated; the length
// written (0 for a size below 1).
int GetListFieldA(char* dest, const char* list, int size, int selector, char separator);
int GetListFieldW(wchar_t* dest, const wchar_t* list, int size, int selector, wchar_t separator);

// Field n itself and its length (not measured when length is null); a field
// beyond the list's (an empty one after a final separator does not count)
// gives the default text and its length (0 for a null default).
const char* FindListFieldA(const char* list, int n, char separator, int* length, const char* defaultText);
const wchar_t* FindListFieldW(const wchar_t* list, int n, wchar_t separator, int* length, const wchar_t* defaultText);

// Total length of the selected fields; offset (may be null) receives the
// offset of the first one, or where the walk stopped when none is selected.
int GetListFieldLengthA(const char* list, int selector, char separator, int* offset);
int GetListFieldLengthW(const wchar_t* list, int selector, wchar_t separator, int* offset);

// The same over at most count entries of a string array (a null entry ends
// it); firstIndex receives the index of the first selected entry.
int CopyArrayFieldsA(char* dest, const char* const* array, int size, int selector, int count);
int CopyArrayFieldsW(wchar_t* dest, const wchar_t* const* array, int size, int selector, int count);
int GetArrayFieldLengthA(const char* const* array, int selector, int count, int* firstIndex);
int GetArrayFieldLengthW(const wchar_t* const* array, int selector, int count, int* firstIndex);
