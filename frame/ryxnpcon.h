// The navigator's resource strings (unit Ryxnpcon): report labels, value names, messages and tokens, and the name tables filled from them.
#pragma once

#include <string>

#include "host/rtl/resstrings.h"

// Identifiers: the package's 412 resource strings take the numbers 65120 to
// 65531 in one run, unit by unit in start-up order (Ryxnpcon 65120-65446,
// Ryxconst 65447-65513, Ryxcurlb 65514-65525, Ryxtcnst 65526-65531) and within
// a unit in the order of its declarations. The numbers carry no meaning of their
// own; language files may address a string by number or by name.

namespace ryx {

// Record counter and dataset state labels: masks, placeholders and state texts.
extern const host::TResStringRec _sryxnpiMask;
extern const host::TResStringRec _sryxnpiDisabled;
extern const host::TResStringRec _sryxnpiRecMarker;
extern const host::TResStringRec _sryxnpiCountMarker;
extern const host::TResStringRec _sryxnpiInactive;
extern const host::TResStringRec _sryxnpiBrowse;
extern const host::TResStringRec _sryxnpiEdit;
extern const host::TResStringRec _sryxnpiInsert;
extern const host::TResStringRec _sryxnpiSetKey;
extern const host::TResStringRec _sryxnpiCalcFields;
extern const host::TResStringRec _sryxnpiDSMask;
extern const host::TResStringRec _sryxnpiDSNameMarker;
extern const host::TResStringRec _sryxnpiDSStateMarker;

// Value names: Boolean, dataset states, isolation levels, table types, update modes, bind modes.
extern const host::TResStringRec _sryxnpiBooleanFalse;
extern const host::TResStringRec _sryxnpiBooleanTrue;
extern const host::TResStringRec _sryxnpiDSStatesInactive;
extern const host::TResStringRec _sryxnpiDSStatesBrowse;
extern const host::TResStringRec _sryxnpiDSStatesEdit;
extern const host::TResStringRec _sryxnpiDSStatesInsert;
extern const host::TResStringRec _sryxnpiDSStatesSetKey;
extern const host::TResStringRec _sryxnpiDSStatesCalcFields;
extern const host::TResStringRec _sryxnpiDSStatesFilter;
extern const host::TResStringRec _sryxnpiDSStatesNewValue;
extern const host::TResStringRec _sryxnpiDSStatesOldValue;
extern const host::TResStringRec _sryxnpiDSStatesCurValue;
extern const host::TResStringRec _sryxnpiDSStatesBlockRead;
extern const host::TResStringRec _sryxnpiDSStatesInternalCalc;
extern const host::TResStringRec _sryxnpiDSStatesOpening;
extern const host::TResStringRec _sryxnpiDirtyRead;
extern const host::TResStringRec _sryxnpiReadCommitted;
extern const host::TResStringRec _sryxnpiRepeatableRead;
extern const host::TResStringRec _sryxnpittDefault;
extern const host::TResStringRec _sryxnpittParadox;
extern const host::TResStringRec _sryxnpittDBase;
extern const host::TResStringRec _sryxnpittASCII;
extern const host::TResStringRec _sryxnpittFoxPro;
extern const host::TResStringRec _sryxnpiupWhereAll;
extern const host::TResStringRec _sryxnpiupWhereChanged;
extern const host::TResStringRec _sryxnpiupWhereKeyOnly;
extern const host::TResStringRec _sryxnpipbByName;
extern const host::TResStringRec _sryxnpipbByNumber;

// Field type names, one per field type.
extern const host::TResStringRec _sryxnpiftUnknown;
extern const host::TResStringRec _sryxnpiftString;
extern const host::TResStringRec _sryxnpiftSmallint;
extern const host::TResStringRec _sryxnpiftInteger;
extern const host::TResStringRec _sryxnpiftWord;
extern const host::TResStringRec _sryxnpiftBoolean;
extern const host::TResStringRec _sryxnpiftFloat;
extern const host::TResStringRec _sryxnpiftCurrency;
extern const host::TResStringRec _sryxnpiftBCD;
extern const host::TResStringRec _sryxnpiftDate;
extern const host::TResStringRec _sryxnpiftTime;
extern const host::TResStringRec _sryxnpiftDateTime;
extern const host::TResStringRec _sryxnpiftBytes;
extern const host::TResStringRec _sryxnpiftVarBytes;
extern const host::TResStringRec _sryxnpiftAutoInc;
extern const host::TResStringRec _sryxnpiftBlob;
extern const host::TResStringRec _sryxnpiftMemo;
extern const host::TResStringRec _sryxnpiftGraphic;
extern const host::TResStringRec _sryxnpiftFmtMemo;
extern const host::TResStringRec _sryxnpiftParadoxOle;
extern const host::TResStringRec _sryxnpiftDBaseOle;
extern const host::TResStringRec _sryxnpiftTypedBinary;
extern const host::TResStringRec _sryxnpiftCursor;
extern const host::TResStringRec _sryxnpiftFixedChar;
extern const host::TResStringRec _sryxnpiftWideString;
extern const host::TResStringRec _sryxnpiftLargeint;
extern const host::TResStringRec _sryxnpiftADT;
extern const host::TResStringRec _sryxnpiftArray;
extern const host::TResStringRec _sryxnpiftReference;
extern const host::TResStringRec _sryxnpiftDataSet;
extern const host::TResStringRec _sryxnpiftOraBlob;
extern const host::TResStringRec _sryxnpiftOraClob;
extern const host::TResStringRec _sryxnpiftVariant;
extern const host::TResStringRec _sryxnpiftInterface;
extern const host::TResStringRec _sryxnpiftIDispatch;
extern const host::TResStringRec _sryxnpiftGuid;

// Field type names without "ft", padded with blanks to 11 characters.
extern const host::TResStringRec _sryxnpifftUnknown;
extern const host::TResStringRec _sryxnpifftString;
extern const host::TResStringRec _sryxnpifftSmallint;
extern const host::TResStringRec _sryxnpifftInteger;
extern const host::TResStringRec _sryxnpifftWord;
extern const host::TResStringRec _sryxnpifftBoolean;
extern const host::TResStringRec _sryxnpifftFloat;
extern const host::TResStringRec _sryxnpifftCurrency;
extern const host::TResStringRec _sryxnpifftBCD;
extern const host::TResStringRec _sryxnpifftDate;
extern const host::TResStringRec _sryxnpifftTime;
extern const host::TResStringRec _sryxnpifftDateTime;
extern const host::TResStringRec _sryxnpifftBytes;
extern const host::TResStringRec _sryxnpifftVarBytes;
extern const host::TResStringRec _sryxnpifftAutoInc;
extern const host::TResStringRec _sryxnpifftBlob;
extern const host::TResStringRec _sryxnpifftMemo;
extern const host::TResStringRec _sryxnpifftGraphic;
extern const host::TResStringRec _sryxnpifftFmtMemo;
extern const host::TResStringRec _sryxnpifftParadoxOle;
extern const host::TResStringRec _sryxnpifftDBaseOle;
extern const host::TResStringRec _sryxnpifftTypedBinary;
extern const host::TResStringRec _sryxnpifftCursor;
extern const host::TResStringRec _sryxnpifftFixedChar;
extern const host::TResStringRec _sryxnpifftWideString;
extern const host::TResStringRec _sryxnpifftLargeint;
extern const host::TResStringRec _sryxnpifftADT;
extern const host::TResStringRec _sryxnpifftArray;
extern const host::TResStringRec _sryxnpifftReference;
extern const host::TResStringRec _sryxnpifftDataSet;
extern const host::TResStringRec _sryxnpifftOraBlob;
extern const host::TResStringRec _sryxnpifftOraClob;
extern const host::TResStringRec _sryxnpifftVariant;
extern const host::TResStringRec _sryxnpifftInterface;
extern const host::TResStringRec _sryxnpifftIDispatch;
extern const host::TResStringRec _sryxnpifftGuid;

// Value names: alignments and parameter types.
extern const host::TResStringRec _sryxnpitaLeftJustify;
extern const host::TResStringRec _sryxnpitaRightJustify;
extern const host::TResStringRec _sryxnpitaCenter;
extern const host::TResStringRec _sryxnpiptUnknown;
extern const host::TResStringRec _sryxnpiptInput;
extern const host::TResStringRec _sryxnpiptOutput;
extern const host::TResStringRec _sryxnpiptInputOutput;
extern const host::TResStringRec _sryxnpiptResult;

// Information reports: indentation and the component report.
extern const host::TResStringRec _sryxnpiIndent;
extern const host::TResStringRec _sryxnpiComp;
extern const host::TResStringRec _sryxnpiNameEq;
extern const host::TResStringRec _sryxnpiOCNameEq;
extern const host::TResStringRec _sryxnpiParentEq;
extern const host::TResStringRec _sryxnpiParentClassEq;
extern const host::TResStringRec _sryxnpiParentDSNil;
extern const host::TResStringRec _sryxnpiParentDSEq;
extern const host::TResStringRec _sryxnpiParentDSAuto;
extern const host::TResStringRec _sryxnpiParentDSEnabled;
extern const host::TResStringRec _sryxnpiParentDSState;
extern const host::TResStringRec _sryxnpiParentDSDSNil;
extern const host::TResStringRec _sryxnpiParentDSDSEq;

// Database report.
extern const host::TResStringRec _sryxnpiNull;
extern const host::TResStringRec _sryxnpiDatabase;
extern const host::TResStringRec _sryxnpiDBCompName;
extern const host::TResStringRec _sryxnpiDBName;
extern const host::TResStringRec _sryxnpiAlias;
extern const host::TResStringRec _sryxnpiConnected;
extern const host::TResStringRec _sryxnpiDSCount;
extern const host::TResStringRec _sryxnpiDriver;
extern const host::TResStringRec _sryxnpiSQLBased;
extern const host::TResStringRec _sryxnpiKeepConn;
extern const host::TResStringRec _sryxnpiLogin;
extern const host::TResStringRec _sryxnpiTemp;
extern const host::TResStringRec _sryxnpiTransIsol;
extern const host::TResStringRec _sryxnpiParams;
extern const host::TResStringRec _sryxnpiParamsEmpty;
extern const host::TResStringRec _sryxnpiTBNames;
extern const host::TResStringRec _sryxnpiSPNames;
extern const host::TResStringRec _sryxnpiNotSupported;
extern const host::TResStringRec _sryxnpiAliasParams;
extern const host::TResStringRec _sryxnpiException;
extern const host::TResStringRec _sryxnpiDriverParams;
extern const host::TResStringRec _sryxnpiDBNil;

// Dataset report and field summary.
extern const host::TResStringRec _sryxnpiDS;
extern const host::TResStringRec _sryxnpiClassNameEq;
extern const host::TResStringRec _sryxnpiActive;
extern const host::TResStringRec _sryxnpiAutoCalc;
extern const host::TResStringRec _sryxnpiBOF;
extern const host::TResStringRec _sryxnpiEOF;
extern const host::TResStringRec _sryxnpiCanModify;
extern const host::TResStringRec _sryxnpiDSNil;
extern const host::TResStringRec _sryxnpiDSEq;
extern const host::TResStringRec _sryxnpiDefaultFields;
extern const host::TResStringRec _sryxnpiFieldCount;
extern const host::TResStringRec _sryxnpiModified;
extern const host::TResStringRec _sryxnpiRecordCount;
extern const host::TResStringRec _sryxnpiRecordSize;
extern const host::TResStringRec _sryxnpiState;
extern const host::TResStringRec _sryxnpiFieldSummary;
extern const host::TResStringRec _sryxnpiSpace;
extern const host::TResStringRec _sryxnpiReqd;
extern const host::TResStringRec _sryxnpiNotReqd;
extern const host::TResStringRec _sryxnpiRO;
extern const host::TResStringRec _sryxnpiNotRO;
extern const host::TResStringRec _sryxnpiIndexed;

// Table, query and stored procedure sections.
extern const host::TResStringRec _sryxnpiTableProps;
extern const host::TResStringRec _sryxnpiTBName;
extern const host::TResStringRec _sryxnpiTBType;
extern const host::TResStringRec _sryxnpiIxFieldCount;
extern const host::TResStringRec _sryxnpiKeyExcl;
extern const host::TResStringRec _sryxnpiKeyFieldCount;
extern const host::TResStringRec _sryxnpiNoKeyExcl;
extern const host::TResStringRec _sryxnpiNoKeyFieldCount;
extern const host::TResStringRec _sryxnpiExcl;
extern const host::TResStringRec _sryxnpiIndexFieldNames;
extern const host::TResStringRec _sryxnpiIndexName;
extern const host::TResStringRec _sryxnpiMasterFields;
extern const host::TResStringRec _sryxnpiMasterSourceNil;
extern const host::TResStringRec _sryxnpiMasterSource;
extern const host::TResStringRec _sryxnpiReadOnly;
extern const host::TResStringRec _sryxnpiUpdateMode;
extern const host::TResStringRec _sryxnpiQueryProps;
extern const host::TResStringRec _sryxnpiSQL;
extern const host::TResStringRec _sryxnpiSQLText;
extern const host::TResStringRec _sryxnpiTextEmpty;
extern const host::TResStringRec _sryxnpiLocal;
extern const host::TResStringRec _sryxnpiParamCount;
extern const host::TResStringRec _sryxnpiPrepared;
extern const host::TResStringRec _sryxnpiRequestLive;
extern const host::TResStringRec _sryxnpiUniDirectional;
extern const host::TResStringRec _sryxnpiTableInfo;
extern const host::TResStringRec _sryxnpiSPProps;
extern const host::TResStringRec _sryxnpiSPName;
extern const host::TResStringRec _sryxnpiDescAvail;
extern const host::TResStringRec _sryxnpiOverload;
extern const host::TResStringRec _sryxnpiParamBindMode;

// Engine report.
extern const host::TResStringRec _sryxnpiBDE;
extern const host::TResStringRec _sryxnpiSysInfo;
extern const host::TResStringRec _sryxnpiBufferSpace;
extern const host::TResStringRec _sryxnpiHeapSpace;
extern const host::TResStringRec _sryxnpiDrivers;
extern const host::TResStringRec _sryxnpiClients;
extern const host::TResStringRec _sryxnpiSessions;
extern const host::TResStringRec _sryxnpiDatabases;
extern const host::TResStringRec _sryxnpiCursors;
extern const host::TResStringRec _sryxnpiDBIErrStatus;
extern const host::TResStringRec _sryxnpiClientInfo;
extern const host::TResStringRec _sryxnpiQueryInfo;
extern const host::TResStringRec _sryxnpiWorkDir;
extern const host::TResStringRec _sryxnpiLang;
extern const host::TResStringRec _sryxnpiDBIErrClientStatus;
extern const host::TResStringRec _sryxnpiConfigInfo;
extern const host::TResStringRec _sryxnpiLocalShare;
extern const host::TResStringRec _sryxnpiNetProtocol;
extern const host::TResStringRec _sryxnpiNetShare;
extern const host::TResStringRec _sryxnpiNetType;
extern const host::TResStringRec _sryxnpiUserName;
extern const host::TResStringRec _sryxnpiIniFile;
extern const host::TResStringRec _sryxnpiLangDriver;
extern const host::TResStringRec _sryxnpiDBIErrConfig;
extern const host::TResStringRec _sryxnpiVersionInfo;
extern const host::TResStringRec _sryxnpiEngineversion;
extern const host::TResStringRec _sryxnpiClientInterfacelevel;
extern const host::TResStringRec _sryxnpiVersiondate;
extern const host::TResStringRec _sryxnpiVersiontime;
extern const host::TResStringRec _sryxnpiDBIErrSysVersion;

// Field report.
extern const host::TResStringRec _sryxnpiFields;
extern const host::TResStringRec _sryxnpiAsterisk;
extern const host::TResStringRec _sryxnpiAsFieldName;
extern const host::TResStringRec _sryxnpiAsFieldNo;
extern const host::TResStringRec _sryxnpiAsDataType;
extern const host::TResStringRec _sryxnpiAsClass;
extern const host::TResStringRec _sryxnpiAsSize;
extern const host::TResStringRec _sryxnpiAlignment;
extern const host::TResStringRec _sryxnpiCalculated;
extern const host::TResStringRec _sryxnpiSPInfo;
extern const host::TResStringRec _sryxnpiDataSize;
extern const host::TResStringRec _sryxnpiDisplayLabel;
extern const host::TResStringRec _sryxnpiDisplayName;
extern const host::TResStringRec _sryxnpiDisplayText;
extern const host::TResStringRec _sryxnpiDisplayWidth;
extern const host::TResStringRec _sryxnpiEditMask;
extern const host::TResStringRec _sryxnpiIndex;
extern const host::TResStringRec _sryxnpiIsIndexField;
extern const host::TResStringRec _sryxnpiDSInfo;
extern const host::TResStringRec _sryxnpiRequired;
extern const host::TResStringRec _sryxnpiVisible;

// Index report.
extern const host::TResStringRec _sryxnpiIndexes;
extern const host::TResStringRec _sryxnpiCurrentIndexName;
extern const host::TResStringRec _sryxnpiCurrentIndexFieldNames;
extern const host::TResStringRec _sryxnpiCurrentIndexDefs;
extern const host::TResStringRec _sryxnpiExpression;
extern const host::TResStringRec _sryxnpiFieldsEq;
extern const host::TResStringRec _sryxnpiSep;
extern const host::TResStringRec _sryxnpiixPrimary;
extern const host::TResStringRec _sryxnpiixUnique;
extern const host::TResStringRec _sryxnpiixDescending;
extern const host::TResStringRec _sryxnpiixCaseInsensitive;
extern const host::TResStringRec _sryxnpiixExpression;
extern const host::TResStringRec _sryxnpiLeftBr;
extern const host::TResStringRec _sryxnpiRightBr;
extern const host::TResStringRec _sryxnpiOptions;
extern const host::TResStringRec _sryxnpiNoIndexDefs;
extern const host::TResStringRec _sryxnpiNotTable;

// Parameter and session reports.
extern const host::TResStringRec _sryxnpiDataType;
extern const host::TResStringRec _sryxnpiBound;
extern const host::TResStringRec _sryxnpiIsNull;
extern const host::TResStringRec _sryxnpiParamType;
extern const host::TResStringRec _sryxnpiText;
extern const host::TResStringRec _sryxnpifor;
extern const host::TResStringRec _sryxnpiNoTableParams;
extern const host::TResStringRec _sryxnpiSession;
extern const host::TResStringRec _sryxnpiDatabaseCount;
extern const host::TResStringRec _sryxnpiDatabaseNames;
extern const host::TResStringRec _sryxnpiKeepConnections;
extern const host::TResStringRec _sryxnpiNetFileDir;
extern const host::TResStringRec _sryxnpiPrivateDir;
extern const host::TResStringRec _sryxnpiBDEDriverNames;

// Navigator messages, property names, captions, bookmarks, index and filter tokens.
extern const host::TResStringRec _sryxnpiDataSetNil;
extern const host::TResStringRec _sryxnpDataSourceNil;
extern const host::TResStringRec _sryxnpDataSetNil;
extern const host::TResStringRec _sryxnpDataSetInactive;
extern const host::TResStringRec _sryxnpInvalidReadOnly;
extern const host::TResStringRec _sryxnpOnColEnter;
extern const host::TResStringRec _sryxnpGridHookOnColEnter;
extern const host::TResStringRec _sryxnpOnRowEnter;
extern const host::TResStringRec _sryxnpDataSource;
extern const host::TResStringRec _sryxnpDataField;
extern const host::TResStringRec _sryxnpCapDSSep;
extern const host::TResStringRec _sryxnpCapDSNil;
extern const host::TResStringRec _sryxnpWarnEmptyTable;
extern const host::TResStringRec _sryxnpTableMask;
extern const host::TResStringRec _sryxnpNotAutoForm;
extern const host::TResStringRec _sryxnpClassPrefix;
extern const host::TResStringRec _sryxnpSearch;
extern const host::TResStringRec _sryxnpSearching;
extern const host::TResStringRec _sryxnpBmkGoTo;
extern const host::TResStringRec _sryxnpBmkAdd;
extern const host::TResStringRec _sryxnpBmkRemove;
extern const host::TResStringRec _sryxnpBmkRemoveAll;
extern const host::TResStringRec _sryxnpBmk;
extern const host::TResStringRec _sryxnpBmkSep;
extern const host::TResStringRec _sryxnpBmkDummy1;
extern const host::TResStringRec _sryxnpBmkDummy2;
extern const host::TResStringRec _sryxnpBmkSub;
extern const host::TResStringRec _sryxnpBmkSubAdd;
extern const host::TResStringRec _sryxnpBmkSubRemove;
extern const host::TResStringRec _sryxnpBmkSubRemoveAll;
extern const host::TResStringRec _sryxnpBmkPopup;
extern const host::TResStringRec _sryxnpIdxSep1;
extern const host::TResStringRec _sryxnpIdxSep2;
extern const host::TResStringRec _sryxnpRangeSep;
extern const host::TResStringRec _sryxnpFltEquals;
extern const host::TResStringRec _sryxnpFltNot;

// ---- name tables ----
// Arrays of catalogue strings indexed by the ordinal of an enumeration of the
// framework: Boolean (False, True), TAlignment (taLeftJustify, taRightJustify,
// taCenter), TDataSetState (dsInactive ... dsOpening) and TFieldType (ftUnknown
// ... ftGuid, plain and padded).
inline constexpr int ryxnpBooleanNameCount = 2;
inline constexpr int ryxnpAlignmentNameCount = 3;
inline constexpr int ryxnpDSStateNameCount = 13;
inline constexpr int ryxnpFieldTypeNameCount = 36;
extern const host::TResStringRec* const ryxnpiBooleanNames[ryxnpBooleanNameCount];
extern const host::TResStringRec* const ryxnpiAlignmentNames[ryxnpAlignmentNameCount];
extern const host::TResStringRec* const ryxnpiDSStateNames[ryxnpDSStateNameCount];
extern const host::TResStringRec* const ryxnpiFieldTypeNames[ryxnpFieldTypeNameCount];
extern const host::TResStringRec* const ryxnpiPaddedFieldTypeNames[ryxnpFieldTypeNameCount];

// Start-up and shut-down of the unit. The first call of ryxnpconInitNameTables
// copies the texts in force of the five tables into strings; later calls only
// count. ryxnpconFreeNameTables undoes one call and releases the strings when
// the count comes back to zero; with nothing started it does nothing.
void ryxnpconInitNameTables();
void ryxnpconFreeNameTables();
bool ryxnpconNameTablesFilled();

// The name of a value: the copy made at start-up, or the text in force while
// the tables are not filled. An ordinal outside the table raises ERangeError.
std::string ryxnpBooleanName(bool Value);
std::string ryxnpAlignmentName(int Ordinal);
std::string ryxnpDSStateName(int Ordinal);
std::string ryxnpFieldTypeName(int Ordinal);
std::string ryxnpPaddedFieldTypeName(int Ordinal);

}  // namespace ryx
