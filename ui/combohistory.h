// Recent entries of a dialog's combo box kept in the registry as a
// REG_MULTI_SZ value, newest first, at most 16 entries.
//
// Key paths: "#sub" is a subkey of the program key ("#" alone the program key
// itself), any other path lies below HKEY_CURRENT_USER, NULL is the program
// key. Value names: saving with '*' and/or '#' in front (in that order)
// writes the marked layout (first an entry of 0x02 and the edit text), and
// '*' saves even an empty text; loading with '#' reads the marked layout and
// sets the edit text from it.
#pragma once

#include "mfc/mfc.h"

class CRegKeyStack;

// Fills the combo box's list (and, when given, text with the newest entry);
// answers the number of items put into the list, 0 when nothing was read.
int LoadComboHistory(CWnd* pDialog, int nID, const char* pszValue, const char* pszKeyPath, char* pszText,
                     int nTextSize);
int LoadComboHistoryStr(CWnd* pDialog, int nID, const char* pszValue, const char* pszKeyPath, CString& strText);
int LoadComboHistoryFromKey(CWnd* pDialog, int nID, const char* pszValue, CRegKeyStack& key, char* pszText,
                            int nTextSize);
int LoadComboHistoryFromKeyStr(CWnd* pDialog, int nID, const char* pszValue, CRegKeyStack& key, CString& strText);

// Writes the current text and the list, newest first; answers the number of
// entries written besides the marked one, 0 when nothing was written.
int SaveComboHistory(CWnd* pDialog, int nID, const char* pszValue, const char* pszKeyPath);
int SaveComboHistoryToKey(CWnd* pDialog, int nID, const char* pszValue, CRegKeyStack& key);
