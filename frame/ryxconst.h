// The package's general resource strings (unit Ryxconst): confirmations, file filters and error messages of the frame, data, media and service units.
#pragma once

#include "host/rtl/resstrings.h"

// Identifiers 65447-65513; the numbering of the whole catalogue is described in frame/ryxnpcon.h.

namespace ryx {

extern const host::TResStringRec _sryxnpMsgCommit;
extern const host::TResStringRec _sryxnpMsgRollback;
extern const host::TResStringRec _sryxnpBmksErrMenuStrings;
extern const host::TResStringRec _sryxnpPrimaryKeyText;
extern const host::TResStringRec _sryxnpErrItemFormat1;
extern const host::TResStringRec _sryxnpErrItemFormat2;
extern const host::TResStringRec _sryxnpErrItemFormat3;
extern const host::TResStringRec _sryxnperrTableRequired;
extern const host::TResStringRec _sryxnpErrIndexRange;
extern const host::TResStringRec _sryxFilterBMPAll;
extern const host::TResStringRec _sryxFilterICOAll;
extern const host::TResStringRec _sryxFilterWMFAll;
extern const host::TResStringRec _sryxFilterTXTAll;
extern const host::TResStringRec _sryxFilterAll;
extern const host::TResStringRec _sryxErrTableRequired;
extern const host::TResStringRec _sryxErrNoIndexFields;
extern const host::TResStringRec _sryxErrTableInactive;
extern const host::TResStringRec _sryxErrQueryRequired;
extern const host::TResStringRec _sryxErrQueryParams;
extern const host::TResStringRec _sryxnpErrReplaceReadOnly;
extern const host::TResStringRec _sryxnpErrReplaceFieldNoModify;
extern const host::TResStringRec _sryxKeysErrFourExpected;
extern const host::TResStringRec _sryxKeysErrLength;
extern const host::TResStringRec _sryxErrDataSourceRequired;
extern const host::TResStringRec _sryxErrDataSetRequired;
extern const host::TResStringRec _sryxErrDataSetInactive;
extern const host::TResStringRec _sryxErrFilterHandle;
extern const host::TResStringRec _sryxErrFilterExprEmpty;
extern const host::TResStringRec _sryxErrFltExprTermination;
extern const host::TResStringRec _sryxErrFltExprNameError;
extern const host::TResStringRec _sryxErrFltExprStringError;
extern const host::TResStringRec _sryxErrFltExprInvalidChar;
extern const host::TResStringRec _sryxErrFltExprNoRParen;
extern const host::TResStringRec _sryxErrFltExprExpected;
extern const host::TResStringRec _sryxErrFltExprBadCompare;
extern const host::TResStringRec _sryxErrFltExprBadField;
extern const host::TResStringRec _sryxErrFltExprBadNullTest;
extern const host::TResStringRec _sryxErrFltExprRangeError;
extern const host::TResStringRec _sryxErrFltExprNotBoolean;
extern const host::TResStringRec _sryxErrFltExprIncorrect;
extern const host::TResStringRec _sryxErrFltExprNothing;
extern const host::TResStringRec _sryxErrWaveData;
extern const host::TResStringRec _sryxErrWaveFormat;
extern const host::TResStringRec _sryxErrResDllLoad;
extern const host::TResStringRec _sryxErrRCDataResNotFound;
extern const host::TResStringRec _sryxErrResLoad;
extern const host::TResStringRec _sryxErrResLock;
extern const host::TResStringRec _sryxErrFormNameExpected;
extern const host::TResStringRec _sryxErrNoMCIData;
extern const host::TResStringRec _sryxErrPathMustExist;
extern const host::TResStringRec _sryxErrPathNotExist;
extern const host::TResStringRec _sryxConfirmPathCreate;
extern const host::TResStringRec _sryxConfirmPathExists;
extern const host::TResStringRec _sryxErrInvalidDrive;
extern const host::TResStringRec _sryxErrInvalidFileName;
extern const host::TResStringRec _sryxPaneIndexError;
extern const host::TResStringRec _sryxConfirmExcepTerminate;
extern const host::TResStringRec _sryxnpFindBOF;
extern const host::TResStringRec _sryxnpFindEOF;
extern const host::TResStringRec _sryxnpFindNotFound;
extern const host::TResStringRec _sryxnpFindNotFoundField;
extern const host::TResStringRec _sryxnpFindReplaceCount;
extern const host::TResStringRec _sryxErrorOwnerSingleComponent;
extern const host::TResStringRec _sryxErrorOwnerFormExpected;
extern const host::TResStringRec _sryxErrorOwnerMDIFormExpected;
extern const host::TResStringRec _sryxErrorOwnerWelcomeTipsExpected;
extern const host::TResStringRec _sryxDBTreeRecursive;

}  // namespace ryx
