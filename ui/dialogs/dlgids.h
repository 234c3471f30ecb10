// Control ids, kind tags and commands of the library's template dialogs.
#pragma once

// Kind tags in a dialog's GWL_USERDATA.
enum DialogKindTag {
  kTagTextPrompt = 195,
  kTagChoiceList = 196,
  kTagNumberPrompt = 197,
  kTagChoiceCombo = 198,
};

// Prompts.
const int IDC_PROMPT_EDIT = 1008;
const int IDC_PROMPT_TEXT = 1034;
// Choice dialogs.
const int IDC_CHOICE_PROMPT = 1131;
const int IDC_CHOICE_COMBO = 1132;  // drop-down list
const int IDC_CHOICE_EDITCOMBO = 1133;
const int IDC_CHOICE_LIST = 1133;  // single choice
const int IDC_CHOICE_MULTILIST = 1134;
const int IDC_CHOICE_RADIOLIST = 1135;  // one checked item
const int IDC_CHOICE_CHECKLIST = 1136;
// Commands of the choice lists.
const int ID_CHOICE_MENU = 1137;
const int ID_CHOICE_SELECTALL = 1138;
const int ID_CHOICE_DESELECTALL = 1139;
const int ID_CHOICE_COPYFIELD = 1140;
// The tree-list choice dialog: the frame that marks the control's place
// and the control.
const int IDC_CHOICE_TREEFRAME = 1046;
const int IDC_CHOICE_TREELIST = 1007;

// Nominal pixel sizes of the templates, the unit of their size changes.
const int kPromptNominalWidth = 354;
const int kChoiceNominalWidth = 347;
const int kChoiceNominalHeight = 301;
