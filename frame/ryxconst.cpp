// The package's general resource strings (unit Ryxconst) with their English texts.
#include "frame/ryxconst.h"

namespace ryx {

const host::TResStringRec _sryxnpMsgCommit{"_sryxnpMsgCommit", 65447, "Commit all changes in this transaction?"};
const host::TResStringRec _sryxnpMsgRollback{"_sryxnpMsgRollback", 65448, "Undo all changes in this transaction?"};
const host::TResStringRec _sryxnpBmksErrMenuStrings{"_sryxnpBmksErrMenuStrings", 65449, "Invalid number of strings for menu items - 4 strings expected"};
const host::TResStringRec _sryxnpPrimaryKeyText{"_sryxnpPrimaryKeyText", 65450, "<Primary Key>"};
const host::TResStringRec _sryxnpErrItemFormat1{"_sryxnpErrItemFormat1", 65451, "';' not found in item '%s'.  Expected format 'ItemText;IndexNumber'"};
const host::TResStringRec _sryxnpErrItemFormat2{"_sryxnpErrItemFormat2", 65452, "ItemText not found in item '%s'.  Expected format 'ItemText;IndexNumber'"};
const host::TResStringRec _sryxnpErrItemFormat3{"_sryxnpErrItemFormat3", 65453, "Index number not found in item '%s'.  Expected format 'ItemText;IndexNumber'"};
const host::TResStringRec _sryxnperrTableRequired{"_sryxnperrTableRequired", 65454, "DataSet of class TTable required"};
const host::TResStringRec _sryxnpErrIndexRange{"_sryxnpErrIndexRange", 65455, "Index number '%d' not found in DataSet.IndexDefs"};
const host::TResStringRec _sryxFilterBMPAll{"_sryxFilterBMPAll", 65456, "Bitmaps (*.BMP)|*.bmp|All Files (*.*)|*.*"};
const host::TResStringRec _sryxFilterICOAll{"_sryxFilterICOAll", 65457, "Icons (*.ICO)|*.ico|All Files (*.*)|*.*"};
const host::TResStringRec _sryxFilterWMFAll{"_sryxFilterWMFAll", 65458, "Metafiles (*.WMF)|*.wmf|All Files (*.*)|*.*"};
const host::TResStringRec _sryxFilterTXTAll{"_sryxFilterTXTAll", 65459, "Text Files (*.TXT)|*.txt|All Files (*.*)|*.*"};
const host::TResStringRec _sryxFilterAll{"_sryxFilterAll", 65460, "All Files (*.*)|*.*"};
const host::TResStringRec _sryxErrTableRequired{"_sryxErrTableRequired", 65461, "Required table parameter is nil"};
const host::TResStringRec _sryxErrNoIndexFields{"_sryxErrNoIndexFields", 65462, "Table has no index fields"};
const host::TResStringRec _sryxErrTableInactive{"_sryxErrTableInactive", 65463, "Table must be active"};
const host::TResStringRec _sryxErrQueryRequired{"_sryxErrQueryRequired", 65464, "Required query parameter is nil"};
const host::TResStringRec _sryxErrQueryParams{"_sryxErrQueryParams", 65465, "Query has no parameters"};
const host::TResStringRec _sryxnpErrReplaceReadOnly{"_sryxnpErrReplaceReadOnly", 65466, "Cannot replace records in read only DataSet"};
const host::TResStringRec _sryxnpErrReplaceFieldNoModify{"_sryxnpErrReplaceFieldNoModify", 65467, "Current field cannot be modified"};
const host::TResStringRec _sryxKeysErrFourExpected{"_sryxKeysErrFourExpected", 65468, "Four KeyState strings expected"};
const host::TResStringRec _sryxKeysErrLength{"_sryxKeysErrLength", 65469, "KeyState strings cannot exceed 255 characters total length"};
const host::TResStringRec _sryxErrDataSourceRequired{"_sryxErrDataSourceRequired", 65470, "DataSource required"};
const host::TResStringRec _sryxErrDataSetRequired{"_sryxErrDataSetRequired", 65471, "DataSet required"};
const host::TResStringRec _sryxErrDataSetInactive{"_sryxErrDataSetInactive", 65472, "DataSet is not active"};
const host::TResStringRec _sryxErrFilterHandle{"_sryxErrFilterHandle", 65473, "Invalid filter handle.  Filter must be prepared before use"};
const host::TResStringRec _sryxErrFilterExprEmpty{"_sryxErrFilterExprEmpty", 65474, "Filter expression is empty"};
const host::TResStringRec _sryxErrFltExprTermination{"_sryxErrFltExprTermination", 65475, "Filter expression incorrectly terminated"};
const host::TResStringRec _sryxErrFltExprNameError{"_sryxErrFltExprNameError", 65476, "Unterminated field name"};
const host::TResStringRec _sryxErrFltExprStringError{"_sryxErrFltExprStringError", 65477, "Unterminated string constant"};
const host::TResStringRec _sryxErrFltExprInvalidChar{"_sryxErrFltExprInvalidChar", 65478, "Invalid filter expression character: '%s'"};
const host::TResStringRec _sryxErrFltExprNoRParen{"_sryxErrFltExprNoRParen", 65479, "')' expected but %s found"};
const host::TResStringRec _sryxErrFltExprExpected{"_sryxErrFltExprExpected", 65480, "Expression expected but %s found"};
const host::TResStringRec _sryxErrFltExprBadCompare{"_sryxErrFltExprBadCompare", 65481, "Relational operators require a field and a constant"};
const host::TResStringRec _sryxErrFltExprBadField{"_sryxErrFltExprBadField", 65482, "Field '%s' cannot be used in a filter expression"};
const host::TResStringRec _sryxErrFltExprBadNullTest{"_sryxErrFltExprBadNullTest", 65483, "NULL only allowed with '=' and '<>'"};
const host::TResStringRec _sryxErrFltExprRangeError{"_sryxErrFltExprRangeError", 65484, "Constant out of range"};
const host::TResStringRec _sryxErrFltExprNotBoolean{"_sryxErrFltExprNotBoolean", 65485, "Field '%s' is not of type Boolean"};
const host::TResStringRec _sryxErrFltExprIncorrect{"_sryxErrFltExprIncorrect", 65486, "Incorrectly formed filter expression"};
const host::TResStringRec _sryxErrFltExprNothing{"_sryxErrFltExprNothing", 65487, "nothing"};
const host::TResStringRec _sryxErrWaveData{"_sryxErrWaveData", 65488, "Error reading wave data"};
const host::TResStringRec _sryxErrWaveFormat{"_sryxErrWaveFormat", 65489, "Wave image is not a valid wave file format"};
const host::TResStringRec _sryxErrResDllLoad{"_sryxErrResDllLoad", 65490, "Error %d loading DLL '%s'"};
const host::TResStringRec _sryxErrRCDataResNotFound{"_sryxErrRCDataResNotFound", 65491, "Resource '%s' of type RCDATA not found"};
const host::TResStringRec _sryxErrResLoad{"_sryxErrResLoad", 65492, "Unable to load resource '%s'"};
const host::TResStringRec _sryxErrResLock{"_sryxErrResLock", 65493, "Unable to lock resource '%s'"};
const host::TResStringRec _sryxErrFormNameExpected{"_sryxErrFormNameExpected", 65494, "FormName expected"};
const host::TResStringRec _sryxErrNoMCIData{"_sryxErrNoMCIData", 65495, "No MCIData to Open"};
const host::TResStringRec _sryxErrPathMustExist{"_sryxErrPathMustExist", 65496, "%s%sThis path does not exist.%sPlease enter a different path."};
const host::TResStringRec _sryxErrPathNotExist{"_sryxErrPathNotExist", 65497, "%s%sThis path already exists.%sPlease enter a different path."};
const host::TResStringRec _sryxConfirmPathCreate{"_sryxConfirmPathCreate", 65498, "%s%sThis path does not exist.%sAre you sure you want to create this path?"};
const host::TResStringRec _sryxConfirmPathExists{"_sryxConfirmPathExists", 65499, "%s%sThis path already exists.%sAre you sure you want to use this path?"};
const host::TResStringRec _sryxErrInvalidDrive{"_sryxErrInvalidDrive", 65500, "%s%sDrive does not exist.%sPlease choose a different drive."};
const host::TResStringRec _sryxErrInvalidFileName{"_sryxErrInvalidFileName", 65501, "%s%sInvalid Filename.%sPlease enter a different path."};
const host::TResStringRec _sryxPaneIndexError{"_sryxPaneIndexError", 65502, "%d is an invalid PaneIndex value.  PaneIndex must be between 0 and %d"};
const host::TResStringRec _sryxConfirmExcepTerminate{"_sryxConfirmExcepTerminate", 65503, "Do you want to terminate this program?"};
const host::TResStringRec _sryxnpFindBOF{"_sryxnpFindBOF", 65504, "First record reached.  Continue searching from last record?"};
const host::TResStringRec _sryxnpFindEOF{"_sryxnpFindEOF", 65505, "Last record reached.  Continue searching from first record?"};
const host::TResStringRec _sryxnpFindNotFound{"_sryxnpFindNotFound", 65506, "'%s' not found."};
const host::TResStringRec _sryxnpFindNotFoundField{"_sryxnpFindNotFoundField", 65507, "'%s' not found in current field."};
const host::TResStringRec _sryxnpFindReplaceCount{"_sryxnpFindReplaceCount", 65508, "%d values replaced."};
const host::TResStringRec _sryxErrorOwnerSingleComponent{"_sryxErrorOwnerSingleComponent", 65509, "An instance of %s is already owned by %s"};
const host::TResStringRec _sryxErrorOwnerFormExpected{"_sryxErrorOwnerFormExpected", 65510, "This component must be owned by a TForm"};
const host::TResStringRec _sryxErrorOwnerMDIFormExpected{"_sryxErrorOwnerMDIFormExpected", 65511, "This component must be owned by an MDI Main Form"};
const host::TResStringRec _sryxErrorOwnerWelcomeTipsExpected{"_sryxErrorOwnerWelcomeTipsExpected", 65512, "This component must be owned by TryxCustomWelcomeTips"};
const host::TResStringRec _sryxDBTreeRecursive{"_sryxDBTreeRecursive", 65513, "Cannot add more tree levels below a recursive datasource."};

}  // namespace ryx
