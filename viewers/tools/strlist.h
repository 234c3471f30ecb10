// String lists of the tool dialogs' histories: one block of NUL-terminated
// strings ended by an empty string (the REG_MULTI_SZ layout), newest first.
// NULL is the empty list. Blocks come from new[] and go with delete[], as
// those of CRegKeyStack::QueryValueAlloc, so a list read from the registry
// is handled here too.
#pragma once

const char* StrListGetAt(char** list, int index);
int StrListFind(char** list, const char* text);
int StrListByteSize(char** list);
int StrListCount(char** list);
int StrListInsertAt(char** list, const char* text, int index);  // returns the new byte size
int StrListRemoveAt(char** list, int index);                    // the block keeps its size; returns the new byte size
void StrListFree(char** list);
