#include "viewers/tools/strlist.h"

#include <cstring>

const char* StrListGetAt(char** list, int index) {
  if (!*list || index < 0) return nullptr;
  for (const char* p = *list; *p; p += std::strlen(p) + 1)
    if (index-- == 0) return p;
  return nullptr;
}

int StrListFind(char** list, const char* text) {
  if (!*list) return -1;
  int i = 0;
  for (const char* p = *list; *p; p += std::strlen(p) + 1, i++)
    if (std::strcmp(p, text) == 0) return i;
  return -1;
}

int StrListByteSize(char** list) {
  if (!*list) return 0;
  const char* p = *list;
  while (*p) p += std::strlen(p) + 1;
  return (int)(p - *list) + 1;
}

int StrListCount(char** list) {
  if (!*list) return 0;
  int n = 0;
  for (const char* p = *list; *p; p += std::strlen(p) + 1) n++;
  return n;
}

int StrListInsertAt(char** list, const char* text, int index) {
  int old = StrListByteSize(list);
  int len = (int)std::strlen(text);
  if (old <= 1) {  // NULL or empty: the text alone
    char* block = new char[len + 2];
    std::memcpy(block, text, (size_t)len + 1);
    block[len + 1] = 0;
    delete[] * list;
    *list = block;
    return len + 2;
  }
  const char* at = StrListGetAt(list, index);
  int offset = at ? (int)(at - *list) : old - 1;  // past the end: before the final NUL
  char* block = new char[old + len + 1];
  std::memcpy(block, *list, (size_t)offset);
  std::memcpy(block + offset, text, (size_t)len + 1);
  std::memcpy(block + offset + len + 1, *list + offset, (size_t)(old - offset));
  delete[] * list;
  *list = block;
  return old + len + 1;
}

int StrListRemoveAt(char** list, int index) {
  int size = StrListByteSize(list);
  const char* at = StrListGetAt(list, index);
  if (!at) return size;
  int offset = (int)(at - *list);
  int len = (int)std::strlen(at) + 1;
  std::memmove(*list + offset, *list + offset + len, (size_t)(size - offset - len));
  return StrListByteSize(list);
}

void StrListFree(char** list) {
  delete[] * list;
  *list = nullptr;
}
