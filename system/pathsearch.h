// Finding a program along PATH, and extension lists such as "exe;bat;com".
#pragma once

class CString;

// 1-based index of the entry of the ";"-separated list that equals the
// path's extension (case ignored; an empty entry matches no extension), 0
// when none does.
int FindExtensionInList(const char* pszPath, const char* pszList, int nPathLength = -1);
int FindExtensionInListW(const wchar_t* pszPath, const wchar_t* pszList, int nPathLength = -1);

// Looks for the name in the directories of PATH and then in the current
// directory, as it is and with each extension of the list (null for none);
// with bDirectory for a directory instead of a file. Writes the name found
// into the target and returns its length; 0 and empty text when none.
int SearchPathList(char* pszTarget, const char* pszName, int nSize, const char* pszExtList, int bDirectory = 0);
int SearchPathListW(wchar_t* pszTarget, const wchar_t* pszName, int nSize, const wchar_t* pszExtList,
                    int bDirectory = 0);
int SearchPathListStr(CString& str, const char* pszName, const char* pszExtList, int bDirectory = 0);
