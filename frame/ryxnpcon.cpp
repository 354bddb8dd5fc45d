// The navigator's resource strings (unit Ryxnpcon) and its name tables.
#include "frame/ryxnpcon.h"

#include <array>

#include "host/rtl/exceptions.h"

namespace ryx {

// Record counter and dataset state labels: masks, placeholders and state texts.
const host::TResStringRec _sryxnpiMask{"_sryxnpiMask", 65120, "Record #R of #N"};
const host::TResStringRec _sryxnpiDisabled{"_sryxnpiDisabled", 65121, "Disabled"};
const host::TResStringRec _sryxnpiRecMarker{"_sryxnpiRecMarker", 65122, "#R"};
const host::TResStringRec _sryxnpiCountMarker{"_sryxnpiCountMarker", 65123, "#N"};
const host::TResStringRec _sryxnpiInactive{"_sryxnpiInactive", 65124, "Inactive"};
const host::TResStringRec _sryxnpiBrowse{"_sryxnpiBrowse", 65125, "Browse"};
const host::TResStringRec _sryxnpiEdit{"_sryxnpiEdit", 65126, "Edit"};
const host::TResStringRec _sryxnpiInsert{"_sryxnpiInsert", 65127, "Insert"};
const host::TResStringRec _sryxnpiSetKey{"_sryxnpiSetKey", 65128, "Set Key"};
const host::TResStringRec _sryxnpiCalcFields{"_sryxnpiCalcFields", 65129, "Calculating Fields"};
const host::TResStringRec _sryxnpiDSMask{"_sryxnpiDSMask", 65130, "#D #S"};
const host::TResStringRec _sryxnpiDSNameMarker{"_sryxnpiDSNameMarker", 65131, "#D"};
const host::TResStringRec _sryxnpiDSStateMarker{"_sryxnpiDSStateMarker", 65132, "#S"};

// Value names: Boolean, dataset states, isolation levels, table types, update modes, bind modes.
const host::TResStringRec _sryxnpiBooleanFalse{"_sryxnpiBooleanFalse", 65133, "False"};
const host::TResStringRec _sryxnpiBooleanTrue{"_sryxnpiBooleanTrue", 65134, "True"};
const host::TResStringRec _sryxnpiDSStatesInactive{"_sryxnpiDSStatesInactive", 65135, "dsInactive"};
const host::TResStringRec _sryxnpiDSStatesBrowse{"_sryxnpiDSStatesBrowse", 65136, "dsBrowse"};
const host::TResStringRec _sryxnpiDSStatesEdit{"_sryxnpiDSStatesEdit", 65137, "dsEdit"};
const host::TResStringRec _sryxnpiDSStatesInsert{"_sryxnpiDSStatesInsert", 65138, "dsInsert"};
const host::TResStringRec _sryxnpiDSStatesSetKey{"_sryxnpiDSStatesSetKey", 65139, "dsSetKey"};
const host::TResStringRec _sryxnpiDSStatesCalcFields{"_sryxnpiDSStatesCalcFields", 65140, "dsCalcFields"};
const host::TResStringRec _sryxnpiDSStatesFilter{"_sryxnpiDSStatesFilter", 65141, "dsFilter"};
const host::TResStringRec _sryxnpiDSStatesNewValue{"_sryxnpiDSStatesNewValue", 65142, "dsNewValue"};
const host::TResStringRec _sryxnpiDSStatesOldValue{"_sryxnpiDSStatesOldValue", 65143, "dsOldValue"};
const host::TResStringRec _sryxnpiDSStatesCurValue{"_sryxnpiDSStatesCurValue", 65144, "dsCurValue"};
const host::TResStringRec _sryxnpiDSStatesBlockRead{"_sryxnpiDSStatesBlockRead", 65145, "dsBlockRead"};
const host::TResStringRec _sryxnpiDSStatesInternalCalc{"_sryxnpiDSStatesInternalCalc", 65146, "dsInternalCalc"};
const host::TResStringRec _sryxnpiDSStatesOpening{"_sryxnpiDSStatesOpening", 65147, "dsOpening"};
const host::TResStringRec _sryxnpiDirtyRead{"_sryxnpiDirtyRead", 65148, "tiDirtyRead"};
const host::TResStringRec _sryxnpiReadCommitted{"_sryxnpiReadCommitted", 65149, "tiReadCommitted"};
const host::TResStringRec _sryxnpiRepeatableRead{"_sryxnpiRepeatableRead", 65150, "tiRepeatableRead"};
const host::TResStringRec _sryxnpittDefault{"_sryxnpittDefault", 65151, "ttDefault"};
const host::TResStringRec _sryxnpittParadox{"_sryxnpittParadox", 65152, "ttParadox"};
const host::TResStringRec _sryxnpittDBase{"_sryxnpittDBase", 65153, "ttDBase"};
const host::TResStringRec _sryxnpittASCII{"_sryxnpittASCII", 65154, "ttASCII"};
const host::TResStringRec _sryxnpittFoxPro{"_sryxnpittFoxPro", 65155, "ttFoxPro"};
const host::TResStringRec _sryxnpiupWhereAll{"_sryxnpiupWhereAll", 65156, "upWhereAll"};
const host::TResStringRec _sryxnpiupWhereChanged{"_sryxnpiupWhereChanged", 65157, "upWhereChanged"};
const host::TResStringRec _sryxnpiupWhereKeyOnly{"_sryxnpiupWhereKeyOnly", 65158, "upWhereKeyOnly"};
const host::TResStringRec _sryxnpipbByName{"_sryxnpipbByName", 65159, "pbByName"};
const host::TResStringRec _sryxnpipbByNumber{"_sryxnpipbByNumber", 65160, "pbByNumber"};

// Field type names, one per field type.
const host::TResStringRec _sryxnpiftUnknown{"_sryxnpiftUnknown", 65161, "ftUnknown"};
const host::TResStringRec _sryxnpiftString{"_sryxnpiftString", 65162, "ftString"};
const host::TResStringRec _sryxnpiftSmallint{"_sryxnpiftSmallint", 65163, "ftSmallint"};
const host::TResStringRec _sryxnpiftInteger{"_sryxnpiftInteger", 65164, "ftInteger"};
const host::TResStringRec _sryxnpiftWord{"_sryxnpiftWord", 65165, "ftWord"};
const host::TResStringRec _sryxnpiftBoolean{"_sryxnpiftBoolean", 65166, "ftBoolean"};
const host::TResStringRec _sryxnpiftFloat{"_sryxnpiftFloat", 65167, "ftFloat"};
const host::TResStringRec _sryxnpiftCurrency{"_sryxnpiftCurrency", 65168, "ftCurrency"};
const host::TResStringRec _sryxnpiftBCD{"_sryxnpiftBCD", 65169, "ftBCD"};
const host::TResStringRec _sryxnpiftDate{"_sryxnpiftDate", 65170, "ftDate"};
const host::TResStringRec _sryxnpiftTime{"_sryxnpiftTime", 65171, "ftTime"};
const host::TResStringRec _sryxnpiftDateTime{"_sryxnpiftDateTime", 65172, "ftDateTime"};
const host::TResStringRec _sryxnpiftBytes{"_sryxnpiftBytes", 65173, "ftBytes"};
const host::TResStringRec _sryxnpiftVarBytes{"_sryxnpiftVarBytes", 65174, "ftVarBytes"};
const host::TResStringRec _sryxnpiftAutoInc{"_sryxnpiftAutoInc", 65175, "ftAutoInc"};
const host::TResStringRec _sryxnpiftBlob{"_sryxnpiftBlob", 65176, "ftBlob"};
const host::TResStringRec _sryxnpiftMemo{"_sryxnpiftMemo", 65177, "ftMemo"};
const host::TResStringRec _sryxnpiftGraphic{"_sryxnpiftGraphic", 65178, "ftGraphic"};
const host::TResStringRec _sryxnpiftFmtMemo{"_sryxnpiftFmtMemo", 65179, "ftFmtMemo"};
const host::TResStringRec _sryxnpiftParadoxOle{"_sryxnpiftParadoxOle", 65180, "ftParadoxOle"};
const host::TResStringRec _sryxnpiftDBaseOle{"_sryxnpiftDBaseOle", 65181, "ftDBaseOle"};
const host::TResStringRec _sryxnpiftTypedBinary{"_sryxnpiftTypedBinary", 65182, "ftTypedBinary"};
const host::TResStringRec _sryxnpiftCursor{"_sryxnpiftCursor", 65183, "ftCursor"};
const host::TResStringRec _sryxnpiftFixedChar{"_sryxnpiftFixedChar", 65184, "ftFixedChar"};
const host::TResStringRec _sryxnpiftWideString{"_sryxnpiftWideString", 65185, "ftWideString"};
const host::TResStringRec _sryxnpiftLargeint{"_sryxnpiftLargeint", 65186, "ftLargeint"};
const host::TResStringRec _sryxnpiftADT{"_sryxnpiftADT", 65187, "ftADT"};
const host::TResStringRec _sryxnpiftArray{"_sryxnpiftArray", 65188, "ftArray"};
const host::TResStringRec _sryxnpiftReference{"_sryxnpiftReference", 65189, "ftReference"};
const host::TResStringRec _sryxnpiftDataSet{"_sryxnpiftDataSet", 65190, "ftDataSet"};
const host::TResStringRec _sryxnpiftOraBlob{"_sryxnpiftOraBlob", 65191, "ftOraBlob"};
const host::TResStringRec _sryxnpiftOraClob{"_sryxnpiftOraClob", 65192, "ftOraClob"};
const host::TResStringRec _sryxnpiftVariant{"_sryxnpiftVariant", 65193, "ftVariant"};
const host::TResStringRec _sryxnpiftInterface{"_sryxnpiftInterface", 65194, "ftInterface"};
const host::TResStringRec _sryxnpiftIDispatch{"_sryxnpiftIDispatch", 65195, "ftIDispatch"};
const host::TResStringRec _sryxnpiftGuid{"_sryxnpiftGuid", 65196, "ftGuid"};

// Field type names without "ft", padded with blanks to 11 characters.
const host::TResStringRec _sryxnpifftUnknown{"_sryxnpifftUnknown", 65197, "Unknown    "};
const host::TResStringRec _sryxnpifftString{"_sryxnpifftString", 65198, "String     "};
const host::TResStringRec _sryxnpifftSmallint{"_sryxnpifftSmallint", 65199, "Smallint   "};
const host::TResStringRec _sryxnpifftInteger{"_sryxnpifftInteger", 65200, "Integer    "};
const host::TResStringRec _sryxnpifftWord{"_sryxnpifftWord", 65201, "Word       "};
const host::TResStringRec _sryxnpifftBoolean{"_sryxnpifftBoolean", 65202, "Boolean    "};
const host::TResStringRec _sryxnpifftFloat{"_sryxnpifftFloat", 65203, "Float      "};
const host::TResStringRec _sryxnpifftCurrency{"_sryxnpifftCurrency", 65204, "Currency   "};
const host::TResStringRec _sryxnpifftBCD{"_sryxnpifftBCD", 65205, "BCD        "};
const host::TResStringRec _sryxnpifftDate{"_sryxnpifftDate", 65206, "Date       "};
const host::TResStringRec _sryxnpifftTime{"_sryxnpifftTime", 65207, "Time       "};
const host::TResStringRec _sryxnpifftDateTime{"_sryxnpifftDateTime", 65208, "DateTime   "};
const host::TResStringRec _sryxnpifftBytes{"_sryxnpifftBytes", 65209, "Bytes      "};
const host::TResStringRec _sryxnpifftVarBytes{"_sryxnpifftVarBytes", 65210, "VarBytes   "};
const host::TResStringRec _sryxnpifftAutoInc{"_sryxnpifftAutoInc", 65211, "AutoInc    "};
const host::TResStringRec _sryxnpifftBlob{"_sryxnpifftBlob", 65212, "Blob       "};
const host::TResStringRec _sryxnpifftMemo{"_sryxnpifftMemo", 65213, "Memo       "};
const host::TResStringRec _sryxnpifftGraphic{"_sryxnpifftGraphic", 65214, "Graphic    "};
const host::TResStringRec _sryxnpifftFmtMemo{"_sryxnpifftFmtMemo", 65215, "FmtMemo    "};
const host::TResStringRec _sryxnpifftParadoxOle{"_sryxnpifftParadoxOle", 65216, "ParadoxOle "};
const host::TResStringRec _sryxnpifftDBaseOle{"_sryxnpifftDBaseOle", 65217, "DBaseOle   "};
const host::TResStringRec _sryxnpifftTypedBinary{"_sryxnpifftTypedBinary", 65218, "TypedBinary"};
const host::TResStringRec _sryxnpifftCursor{"_sryxnpifftCursor", 65219, "Cursor     "};
const host::TResStringRec _sryxnpifftFixedChar{"_sryxnpifftFixedChar", 65220, "FixedChar  "};
const host::TResStringRec _sryxnpifftWideString{"_sryxnpifftWideString", 65221, "WideString "};
const host::TResStringRec _sryxnpifftLargeint{"_sryxnpifftLargeint", 65222, "Largeint   "};
const host::TResStringRec _sryxnpifftADT{"_sryxnpifftADT", 65223, "ADT        "};
const host::TResStringRec _sryxnpifftArray{"_sryxnpifftArray", 65224, "Array      "};
const host::TResStringRec _sryxnpifftReference{"_sryxnpifftReference", 65225, "Reference  "};
const host::TResStringRec _sryxnpifftDataSet{"_sryxnpifftDataSet", 65226, "DataSet    "};
const host::TResStringRec _sryxnpifftOraBlob{"_sryxnpifftOraBlob", 65227, "OraBlob    "};
const host::TResStringRec _sryxnpifftOraClob{"_sryxnpifftOraClob", 65228, "OraClob    "};
const host::TResStringRec _sryxnpifftVariant{"_sryxnpifftVariant", 65229, "Variant    "};
const host::TResStringRec _sryxnpifftInterface{"_sryxnpifftInterface", 65230, "Interface  "};
const host::TResStringRec _sryxnpifftIDispatch{"_sryxnpifftIDispatch", 65231, "IDispatch  "};
const host::TResStringRec _sryxnpifftGuid{"_sryxnpifftGuid", 65232, "Guid       "};

// Value names: alignments and parameter types.
const host::TResStringRec _sryxnpitaLeftJustify{"_sryxnpitaLeftJustify", 65233, "taLeftJustify"};
const host::TResStringRec _sryxnpitaRightJustify{"_sryxnpitaRightJustify", 65234, "taRightJustify"};
const host::TResStringRec _sryxnpitaCenter{"_sryxnpitaCenter", 65235, "taCenter"};
const host::TResStringRec _sryxnpiptUnknown{"_sryxnpiptUnknown", 65236, "ptUnknown"};
const host::TResStringRec _sryxnpiptInput{"_sryxnpiptInput", 65237, "ptInput"};
const host::TResStringRec _sryxnpiptOutput{"_sryxnpiptOutput", 65238, "ptOutput"};
const host::TResStringRec _sryxnpiptInputOutput{"_sryxnpiptInputOutput", 65239, "ptInputOutput"};
const host::TResStringRec _sryxnpiptResult{"_sryxnpiptResult", 65240, "ptResult"};

// Information reports: indentation and the component report.
const host::TResStringRec _sryxnpiIndent{"_sryxnpiIndent", 65241, "  "};
const host::TResStringRec _sryxnpiComp{"_sryxnpiComp", 65242, "Component:"};
const host::TResStringRec _sryxnpiNameEq{"_sryxnpiNameEq", 65243, "Name = "};
const host::TResStringRec _sryxnpiOCNameEq{"_sryxnpiOCNameEq", 65244, "Owner.ClassName = "};
const host::TResStringRec _sryxnpiParentEq{"_sryxnpiParentEq", 65245, "Parent = "};
const host::TResStringRec _sryxnpiParentClassEq{"_sryxnpiParentClassEq", 65246, "Parent.ClassName = "};
const host::TResStringRec _sryxnpiParentDSNil{"_sryxnpiParentDSNil", 65247, "Parent.DataSource = nil"};
const host::TResStringRec _sryxnpiParentDSEq{"_sryxnpiParentDSEq", 65248, "Parent.DataSource = "};
const host::TResStringRec _sryxnpiParentDSAuto{"_sryxnpiParentDSAuto", 65249, "Parent.DataSource.AutoEdit = "};
const host::TResStringRec _sryxnpiParentDSEnabled{"_sryxnpiParentDSEnabled", 65250, "Parent.DataSource.Enabled = "};
const host::TResStringRec _sryxnpiParentDSState{"_sryxnpiParentDSState", 65251, "Parent.DataSource.State = "};
const host::TResStringRec _sryxnpiParentDSDSNil{"_sryxnpiParentDSDSNil", 65252, "Parent.DataSource.DataSet = nil"};
const host::TResStringRec _sryxnpiParentDSDSEq{"_sryxnpiParentDSDSEq", 65253, "Parent.DataSource.DataSet.Name = "};

// Database report.
const host::TResStringRec _sryxnpiNull{"_sryxnpiNull", 65254, "nil"};
const host::TResStringRec _sryxnpiDatabase{"_sryxnpiDatabase", 65255, "Database"};
const host::TResStringRec _sryxnpiDBCompName{"_sryxnpiDBCompName", 65256, "TDatabase Component Name = "};
const host::TResStringRec _sryxnpiDBName{"_sryxnpiDBName", 65257, "DatabaseName = "};
const host::TResStringRec _sryxnpiAlias{"_sryxnpiAlias", 65258, "AliasName = "};
const host::TResStringRec _sryxnpiConnected{"_sryxnpiConnected", 65259, "Connected = "};
const host::TResStringRec _sryxnpiDSCount{"_sryxnpiDSCount", 65260, "DatasetCount = "};
const host::TResStringRec _sryxnpiDriver{"_sryxnpiDriver", 65261, "DriverName = "};
const host::TResStringRec _sryxnpiSQLBased{"_sryxnpiSQLBased", 65262, "IsSQLBased = "};
const host::TResStringRec _sryxnpiKeepConn{"_sryxnpiKeepConn", 65263, "KeepConnection = "};
const host::TResStringRec _sryxnpiLogin{"_sryxnpiLogin", 65264, "LoginPrompt = "};
const host::TResStringRec _sryxnpiTemp{"_sryxnpiTemp", 65265, "Temporary = "};
const host::TResStringRec _sryxnpiTransIsol{"_sryxnpiTransIsol", 65266, "TransIsolation = "};
const host::TResStringRec _sryxnpiParams{"_sryxnpiParams", 65267, "Params:"};
const host::TResStringRec _sryxnpiParamsEmpty{"_sryxnpiParamsEmpty", 65268, "List is empty."};
const host::TResStringRec _sryxnpiTBNames{"_sryxnpiTBNames", 65269, "Table Names:"};
const host::TResStringRec _sryxnpiSPNames{"_sryxnpiSPNames", 65270, "Stored Procedure Names:"};
const host::TResStringRec _sryxnpiNotSupported{"_sryxnpiNotSupported", 65271, "Capability not supported"};
const host::TResStringRec _sryxnpiAliasParams{"_sryxnpiAliasParams", 65272, "Alias Params:"};
const host::TResStringRec _sryxnpiException{"_sryxnpiException", 65273, "Exception: "};
const host::TResStringRec _sryxnpiDriverParams{"_sryxnpiDriverParams", 65274, "Driver Params:"};
const host::TResStringRec _sryxnpiDBNil{"_sryxnpiDBNil", 65275, "Database is nil."};

// Dataset report and field summary.
const host::TResStringRec _sryxnpiDS{"_sryxnpiDS", 65276, "Dataset:"};
const host::TResStringRec _sryxnpiClassNameEq{"_sryxnpiClassNameEq", 65277, "ClassName = "};
const host::TResStringRec _sryxnpiActive{"_sryxnpiActive", 65278, "Active = "};
const host::TResStringRec _sryxnpiAutoCalc{"_sryxnpiAutoCalc", 65279, "AutoCalcFields = "};
const host::TResStringRec _sryxnpiBOF{"_sryxnpiBOF", 65280, "BOF = "};
const host::TResStringRec _sryxnpiEOF{"_sryxnpiEOF", 65281, "EOF = "};
const host::TResStringRec _sryxnpiCanModify{"_sryxnpiCanModify", 65282, "CanModify = "};
const host::TResStringRec _sryxnpiDSNil{"_sryxnpiDSNil", 65283, "DataSource = nil"};
const host::TResStringRec _sryxnpiDSEq{"_sryxnpiDSEq", 65284, "DataSource = "};
const host::TResStringRec _sryxnpiDefaultFields{"_sryxnpiDefaultFields", 65285, "DefaultFields = "};
const host::TResStringRec _sryxnpiFieldCount{"_sryxnpiFieldCount", 65286, "FieldCount = "};
const host::TResStringRec _sryxnpiModified{"_sryxnpiModified", 65287, "Modified = "};
const host::TResStringRec _sryxnpiRecordCount{"_sryxnpiRecordCount", 65288, "RecordCount = "};
const host::TResStringRec _sryxnpiRecordSize{"_sryxnpiRecordSize", 65289, "RecordSize = "};
const host::TResStringRec _sryxnpiState{"_sryxnpiState", 65290, "State = "};
const host::TResStringRec _sryxnpiFieldSummary{"_sryxnpiFieldSummary", 65291, "Field Summary:"};
const host::TResStringRec _sryxnpiSpace{"_sryxnpiSpace", 65292, " "};
const host::TResStringRec _sryxnpiReqd{"_sryxnpiReqd", 65293, " REQD"};
const host::TResStringRec _sryxnpiNotReqd{"_sryxnpiNotReqd", 65294, "     "};
const host::TResStringRec _sryxnpiRO{"_sryxnpiRO", 65295, " RO"};
const host::TResStringRec _sryxnpiNotRO{"_sryxnpiNotRO", 65296, "   "};
const host::TResStringRec _sryxnpiIndexed{"_sryxnpiIndexed", 65297, " Indexed"};

// Table, query and stored procedure sections.
const host::TResStringRec _sryxnpiTableProps{"_sryxnpiTableProps", 65298, "Table Properties:"};
const host::TResStringRec _sryxnpiTBName{"_sryxnpiTBName", 65299, "TableName = "};
const host::TResStringRec _sryxnpiTBType{"_sryxnpiTBType", 65300, "TableType = "};
const host::TResStringRec _sryxnpiIxFieldCount{"_sryxnpiIxFieldCount", 65301, "IndexFieldCount = "};
const host::TResStringRec _sryxnpiKeyExcl{"_sryxnpiKeyExcl", 65302, "KeyExclusive = "};
const host::TResStringRec _sryxnpiKeyFieldCount{"_sryxnpiKeyFieldCount", 65303, "KeyFieldCount = "};
const host::TResStringRec _sryxnpiNoKeyExcl{"_sryxnpiNoKeyExcl", 65304, "KeyExclusive  cannot be read in current State."};
const host::TResStringRec _sryxnpiNoKeyFieldCount{"_sryxnpiNoKeyFieldCount", 65305, "KeyFieldCount cannot be read in current State."};
const host::TResStringRec _sryxnpiExcl{"_sryxnpiExcl", 65306, "Exclusive = "};
const host::TResStringRec _sryxnpiIndexFieldNames{"_sryxnpiIndexFieldNames", 65307, "IndexFieldNames = "};
const host::TResStringRec _sryxnpiIndexName{"_sryxnpiIndexName", 65308, "IndexName = "};
const host::TResStringRec _sryxnpiMasterFields{"_sryxnpiMasterFields", 65309, "MasterFields = "};
const host::TResStringRec _sryxnpiMasterSourceNil{"_sryxnpiMasterSourceNil", 65310, "MasterSource = nil"};
const host::TResStringRec _sryxnpiMasterSource{"_sryxnpiMasterSource", 65311, "MasterSource = "};
const host::TResStringRec _sryxnpiReadOnly{"_sryxnpiReadOnly", 65312, "ReadOnly = "};
const host::TResStringRec _sryxnpiUpdateMode{"_sryxnpiUpdateMode", 65313, "UpdateMode = "};
const host::TResStringRec _sryxnpiQueryProps{"_sryxnpiQueryProps", 65314, "Query Properties:"};
const host::TResStringRec _sryxnpiSQL{"_sryxnpiSQL", 65315, "SQL:"};
const host::TResStringRec _sryxnpiSQLText{"_sryxnpiSQLText", 65316, "Text property, actual SQL passed to BDE:"};
const host::TResStringRec _sryxnpiTextEmpty{"_sryxnpiTextEmpty", 65317, "Text is empty."};
const host::TResStringRec _sryxnpiLocal{"_sryxnpiLocal", 65318, "Local = "};
const host::TResStringRec _sryxnpiParamCount{"_sryxnpiParamCount", 65319, "ParamCount = "};
const host::TResStringRec _sryxnpiPrepared{"_sryxnpiPrepared", 65320, "Prepared = "};
const host::TResStringRec _sryxnpiRequestLive{"_sryxnpiRequestLive", 65321, "RequestLive = "};
const host::TResStringRec _sryxnpiUniDirectional{"_sryxnpiUniDirectional", 65322, "UniDirectional = "};
const host::TResStringRec _sryxnpiTableInfo{"_sryxnpiTableInfo", 65323, "Table Information:"};
const host::TResStringRec _sryxnpiSPProps{"_sryxnpiSPProps", 65324, "Stored Procedure Properties:"};
const host::TResStringRec _sryxnpiSPName{"_sryxnpiSPName", 65325, "StoredProcName = "};
const host::TResStringRec _sryxnpiDescAvail{"_sryxnpiDescAvail", 65326, "DescriptionsAvailable = "};
const host::TResStringRec _sryxnpiOverload{"_sryxnpiOverload", 65327, "Overload = "};
const host::TResStringRec _sryxnpiParamBindMode{"_sryxnpiParamBindMode", 65328, "ParamBindMode = "};

// Engine report.
const host::TResStringRec _sryxnpiBDE{"_sryxnpiBDE", 65329, "BDE Engine:"};
const host::TResStringRec _sryxnpiSysInfo{"_sryxnpiSysInfo", 65330, "System Info:"};
const host::TResStringRec _sryxnpiBufferSpace{"_sryxnpiBufferSpace", 65331, "BufferSpace = "};
const host::TResStringRec _sryxnpiHeapSpace{"_sryxnpiHeapSpace", 65332, "HeapSpace = "};
const host::TResStringRec _sryxnpiDrivers{"_sryxnpiDrivers", 65333, "Drivers = "};
const host::TResStringRec _sryxnpiClients{"_sryxnpiClients", 65334, "Clients = "};
const host::TResStringRec _sryxnpiSessions{"_sryxnpiSessions", 65335, "Sessions = "};
const host::TResStringRec _sryxnpiDatabases{"_sryxnpiDatabases", 65336, "Databases = "};
const host::TResStringRec _sryxnpiCursors{"_sryxnpiCursors", 65337, "Cursors = "};
const host::TResStringRec _sryxnpiDBIErrStatus{"_sryxnpiDBIErrStatus", 65338, "Error retrieving system status.  DBIERR = "};
const host::TResStringRec _sryxnpiClientInfo{"_sryxnpiClientInfo", 65339, "Client Info:"};
const host::TResStringRec _sryxnpiQueryInfo{"_sryxnpiQueryInfo", 65340, "Query Information:"};
const host::TResStringRec _sryxnpiWorkDir{"_sryxnpiWorkDir", 65341, "WorkDir = "};
const host::TResStringRec _sryxnpiLang{"_sryxnpiLang", 65342, "Lang = "};
const host::TResStringRec _sryxnpiDBIErrClientStatus{"_sryxnpiDBIErrClientStatus", 65343, "Error retrieving client status.  DBIERR = "};
const host::TResStringRec _sryxnpiConfigInfo{"_sryxnpiConfigInfo", 65344, "Config Info:"};
const host::TResStringRec _sryxnpiLocalShare{"_sryxnpiLocalShare", 65345, "LocalShare = "};
const host::TResStringRec _sryxnpiNetProtocol{"_sryxnpiNetProtocol", 65346, "NetProtocol = "};
const host::TResStringRec _sryxnpiNetShare{"_sryxnpiNetShare", 65347, "NetShare = "};
const host::TResStringRec _sryxnpiNetType{"_sryxnpiNetType", 65348, "NetType = "};
const host::TResStringRec _sryxnpiUserName{"_sryxnpiUserName", 65349, "UserName = "};
const host::TResStringRec _sryxnpiIniFile{"_sryxnpiIniFile", 65350, "IniFile = "};
const host::TResStringRec _sryxnpiLangDriver{"_sryxnpiLangDriver", 65351, "LangDriver = "};
const host::TResStringRec _sryxnpiDBIErrConfig{"_sryxnpiDBIErrConfig", 65352, "Error retrieving system config.  DBIERR = "};
const host::TResStringRec _sryxnpiVersionInfo{"_sryxnpiVersionInfo", 65353, "Version Info:"};
const host::TResStringRec _sryxnpiEngineversion{"_sryxnpiEngineversion", 65354, "Engine version = "};
const host::TResStringRec _sryxnpiClientInterfacelevel{"_sryxnpiClientInterfacelevel", 65355, "Client Interface level = "};
const host::TResStringRec _sryxnpiVersiondate{"_sryxnpiVersiondate", 65356, "Version date = "};
const host::TResStringRec _sryxnpiVersiontime{"_sryxnpiVersiontime", 65357, "Version time = "};
const host::TResStringRec _sryxnpiDBIErrSysVersion{"_sryxnpiDBIErrSysVersion", 65358, "Error retrieving system version.  DBIERR = "};

// Field report.
const host::TResStringRec _sryxnpiFields{"_sryxnpiFields", 65359, "Fields:"};
const host::TResStringRec _sryxnpiAsterisk{"_sryxnpiAsterisk", 65360, "*"};
const host::TResStringRec _sryxnpiAsFieldName{"_sryxnpiAsFieldName", 65361, "* FieldName = "};
const host::TResStringRec _sryxnpiAsFieldNo{"_sryxnpiAsFieldNo", 65362, "* FieldNo = "};
const host::TResStringRec _sryxnpiAsDataType{"_sryxnpiAsDataType", 65363, "* DataType = "};
const host::TResStringRec _sryxnpiAsClass{"_sryxnpiAsClass", 65364, "* ClassName = "};
const host::TResStringRec _sryxnpiAsSize{"_sryxnpiAsSize", 65365, "* Size = "};
const host::TResStringRec _sryxnpiAlignment{"_sryxnpiAlignment", 65366, "Alignment = "};
const host::TResStringRec _sryxnpiCalculated{"_sryxnpiCalculated", 65367, "Calculated = "};
const host::TResStringRec _sryxnpiSPInfo{"_sryxnpiSPInfo", 65368, "Stored Procedure Information:"};
const host::TResStringRec _sryxnpiDataSize{"_sryxnpiDataSize", 65369, "DataSize = "};
const host::TResStringRec _sryxnpiDisplayLabel{"_sryxnpiDisplayLabel", 65370, "DisplayLabel = "};
const host::TResStringRec _sryxnpiDisplayName{"_sryxnpiDisplayName", 65371, "DisplayName = "};
const host::TResStringRec _sryxnpiDisplayText{"_sryxnpiDisplayText", 65372, "DisplayText = "};
const host::TResStringRec _sryxnpiDisplayWidth{"_sryxnpiDisplayWidth", 65373, "DisplayWidth = "};
const host::TResStringRec _sryxnpiEditMask{"_sryxnpiEditMask", 65374, "EditMask = "};
const host::TResStringRec _sryxnpiIndex{"_sryxnpiIndex", 65375, "Index = "};
const host::TResStringRec _sryxnpiIsIndexField{"_sryxnpiIsIndexField", 65376, "IsIndexField = "};
const host::TResStringRec _sryxnpiDSInfo{"_sryxnpiDSInfo", 65377, "Dataset information"};
const host::TResStringRec _sryxnpiRequired{"_sryxnpiRequired", 65378, "Required = "};
const host::TResStringRec _sryxnpiVisible{"_sryxnpiVisible", 65379, "Visible = "};

// Index report.
const host::TResStringRec _sryxnpiIndexes{"_sryxnpiIndexes", 65380, "Indexes"};
const host::TResStringRec _sryxnpiCurrentIndexName{"_sryxnpiCurrentIndexName", 65381, "Current IndexName = "};
const host::TResStringRec _sryxnpiCurrentIndexFieldNames{"_sryxnpiCurrentIndexFieldNames", 65382, "Current IndexFieldNames = "};
const host::TResStringRec _sryxnpiCurrentIndexDefs{"_sryxnpiCurrentIndexDefs", 65383, "Current IndexDefs:"};
const host::TResStringRec _sryxnpiExpression{"_sryxnpiExpression", 65384, "Expression = "};
const host::TResStringRec _sryxnpiFieldsEq{"_sryxnpiFieldsEq", 65385, "Fields = "};
const host::TResStringRec _sryxnpiSep{"_sryxnpiSep", 65386, ", "};
const host::TResStringRec _sryxnpiixPrimary{"_sryxnpiixPrimary", 65387, "ixPrimary"};
const host::TResStringRec _sryxnpiixUnique{"_sryxnpiixUnique", 65388, "ixUnique"};
const host::TResStringRec _sryxnpiixDescending{"_sryxnpiixDescending", 65389, "ixDescending"};
const host::TResStringRec _sryxnpiixCaseInsensitive{"_sryxnpiixCaseInsensitive", 65390, "ixCaseInsensitive"};
const host::TResStringRec _sryxnpiixExpression{"_sryxnpiixExpression", 65391, "ixExpression"};
const host::TResStringRec _sryxnpiLeftBr{"_sryxnpiLeftBr", 65392, "["};
const host::TResStringRec _sryxnpiRightBr{"_sryxnpiRightBr", 65393, "]"};
const host::TResStringRec _sryxnpiOptions{"_sryxnpiOptions", 65394, "Options = "};
const host::TResStringRec _sryxnpiNoIndexDefs{"_sryxnpiNoIndexDefs", 65395, "no indexdefs available."};
const host::TResStringRec _sryxnpiNotTable{"_sryxnpiNotTable", 65396, "DataSet is not a TTable."};

// Parameter and session reports.
const host::TResStringRec _sryxnpiDataType{"_sryxnpiDataType", 65397, "DataType = "};
const host::TResStringRec _sryxnpiBound{"_sryxnpiBound", 65398, "Bound = "};
const host::TResStringRec _sryxnpiIsNull{"_sryxnpiIsNull", 65399, "IsNull = "};
const host::TResStringRec _sryxnpiParamType{"_sryxnpiParamType", 65400, "ParamType = "};
const host::TResStringRec _sryxnpiText{"_sryxnpiText", 65401, "Text = "};
const host::TResStringRec _sryxnpifor{"_sryxnpifor", 65402, " for "};
const host::TResStringRec _sryxnpiNoTableParams{"_sryxnpiNoTableParams", 65403, "Tables have no parameters."};
const host::TResStringRec _sryxnpiSession{"_sryxnpiSession", 65404, "Session:"};
const host::TResStringRec _sryxnpiDatabaseCount{"_sryxnpiDatabaseCount", 65405, "DatabaseCount = "};
const host::TResStringRec _sryxnpiDatabaseNames{"_sryxnpiDatabaseNames", 65406, "Database Names:"};
const host::TResStringRec _sryxnpiKeepConnections{"_sryxnpiKeepConnections", 65407, "KeepConnections = "};
const host::TResStringRec _sryxnpiNetFileDir{"_sryxnpiNetFileDir", 65408, "NetFileDir = "};
const host::TResStringRec _sryxnpiPrivateDir{"_sryxnpiPrivateDir", 65409, "PrivateDir = "};
const host::TResStringRec _sryxnpiBDEDriverNames{"_sryxnpiBDEDriverNames", 65410, "BDE Driver Names:"};

// Navigator messages, property names, captions, bookmarks, index and filter tokens.
const host::TResStringRec _sryxnpiDataSetNil{"_sryxnpiDataSetNil", 65411, "DataSet is nil."};
const host::TResStringRec _sryxnpDataSourceNil{"_sryxnpDataSourceNil", 65412, "datasource nil"};
const host::TResStringRec _sryxnpDataSetNil{"_sryxnpDataSetNil", 65413, "dataset nil"};
const host::TResStringRec _sryxnpDataSetInactive{"_sryxnpDataSetInactive", 65414, "dataset inactive"};
const host::TResStringRec _sryxnpInvalidReadOnly{"_sryxnpInvalidReadOnly", 65415, "Invalid action for read only view of dataset"};
const host::TResStringRec _sryxnpOnColEnter{"_sryxnpOnColEnter", 65416, "OnColEnter"};
const host::TResStringRec _sryxnpGridHookOnColEnter{"_sryxnpGridHookOnColEnter", 65417, "GridHookOnColEnter"};
const host::TResStringRec _sryxnpOnRowEnter{"_sryxnpOnRowEnter", 65418, "OnRowEnter"};
const host::TResStringRec _sryxnpDataSource{"_sryxnpDataSource", 65419, "DataSource"};
const host::TResStringRec _sryxnpDataField{"_sryxnpDataField", 65420, "DataField"};
const host::TResStringRec _sryxnpCapDSSep{"_sryxnpCapDSSep", 65421, " - "};
const host::TResStringRec _sryxnpCapDSNil{"_sryxnpCapDSNil", 65422, "Nil DataSource"};
const host::TResStringRec _sryxnpWarnEmptyTable{"_sryxnpWarnEmptyTable", 65423, "This will delete all records from %t. Are you sure you want to continue?"};
const host::TResStringRec _sryxnpTableMask{"_sryxnpTableMask", 65424, "%t"};
const host::TResStringRec _sryxnpNotAutoForm{"_sryxnpNotAutoForm", 65425, "FormClass is not TryxnpAutoForm"};
const host::TResStringRec _sryxnpClassPrefix{"_sryxnpClassPrefix", 65426, "T"};
const host::TResStringRec _sryxnpSearch{"_sryxnpSearch", 65427, "Searching: "};
const host::TResStringRec _sryxnpSearching{"_sryxnpSearching", 65428, "Searching: %d"};
const host::TResStringRec _sryxnpBmkGoTo{"_sryxnpBmkGoTo", 65429, "Go To"};
const host::TResStringRec _sryxnpBmkAdd{"_sryxnpBmkAdd", 65430, "Add"};
const host::TResStringRec _sryxnpBmkRemove{"_sryxnpBmkRemove", 65431, "Remove"};
const host::TResStringRec _sryxnpBmkRemoveAll{"_sryxnpBmkRemoveAll", 65432, "Remove All"};
const host::TResStringRec _sryxnpBmk{"_sryxnpBmk", 65433, "Bookmark "};
const host::TResStringRec _sryxnpBmkSep{"_sryxnpBmkSep", 65434, ";"};
const host::TResStringRec _sryxnpBmkDummy1{"_sryxnpBmkDummy1", 65435, "DummyItem1"};
const host::TResStringRec _sryxnpBmkDummy2{"_sryxnpBmkDummy2", 65436, "DummyItem2"};
const host::TResStringRec _sryxnpBmkSub{"_sryxnpBmkSub", 65437, "miGotoBmkSubMenu"};
const host::TResStringRec _sryxnpBmkSubAdd{"_sryxnpBmkSubAdd", 65438, "miAddBmk"};
const host::TResStringRec _sryxnpBmkSubRemove{"_sryxnpBmkSubRemove", 65439, "miRemoveBmkSubMenu"};
const host::TResStringRec _sryxnpBmkSubRemoveAll{"_sryxnpBmkSubRemoveAll", 65440, "miRemoveAll"};
const host::TResStringRec _sryxnpBmkPopup{"_sryxnpBmkPopup", 65441, "Popup"};
const host::TResStringRec _sryxnpIdxSep1{"_sryxnpIdxSep1", 65442, ";"};
const host::TResStringRec _sryxnpIdxSep2{"_sryxnpIdxSep2", 65443, ";0"};
const host::TResStringRec _sryxnpRangeSep{"_sryxnpRangeSep", 65444, "-"};
const host::TResStringRec _sryxnpFltEquals{"_sryxnpFltEquals", 65445, " = "};
const host::TResStringRec _sryxnpFltNot{"_sryxnpFltNot", 65446, "NOT "};

// ---- name tables ----

const host::TResStringRec* const ryxnpiBooleanNames[ryxnpBooleanNameCount] = {
    &_sryxnpiBooleanFalse,
    &_sryxnpiBooleanTrue,
};
const host::TResStringRec* const ryxnpiAlignmentNames[ryxnpAlignmentNameCount] = {
    &_sryxnpitaLeftJustify,
    &_sryxnpitaRightJustify,
    &_sryxnpitaCenter,
};
const host::TResStringRec* const ryxnpiDSStateNames[ryxnpDSStateNameCount] = {
    &_sryxnpiDSStatesInactive,
    &_sryxnpiDSStatesBrowse,
    &_sryxnpiDSStatesEdit,
    &_sryxnpiDSStatesInsert,
    &_sryxnpiDSStatesSetKey,
    &_sryxnpiDSStatesCalcFields,
    &_sryxnpiDSStatesFilter,
    &_sryxnpiDSStatesNewValue,
    &_sryxnpiDSStatesOldValue,
    &_sryxnpiDSStatesCurValue,
    &_sryxnpiDSStatesBlockRead,
    &_sryxnpiDSStatesInternalCalc,
    &_sryxnpiDSStatesOpening,
};
const host::TResStringRec* const ryxnpiFieldTypeNames[ryxnpFieldTypeNameCount] = {
    &_sryxnpiftUnknown,
    &_sryxnpiftString,
    &_sryxnpiftSmallint,
    &_sryxnpiftInteger,
    &_sryxnpiftWord,
    &_sryxnpiftBoolean,
    &_sryxnpiftFloat,
    &_sryxnpiftCurrency,
    &_sryxnpiftBCD,
    &_sryxnpiftDate,
    &_sryxnpiftTime,
    &_sryxnpiftDateTime,
    &_sryxnpiftBytes,
    &_sryxnpiftVarBytes,
    &_sryxnpiftAutoInc,
    &_sryxnpiftBlob,
    &_sryxnpiftMemo,
    &_sryxnpiftGraphic,
    &_sryxnpiftFmtMemo,
    &_sryxnpiftParadoxOle,
    &_sryxnpiftDBaseOle,
    &_sryxnpiftTypedBinary,
    &_sryxnpiftCursor,
    &_sryxnpiftFixedChar,
    &_sryxnpiftWideString,
    &_sryxnpiftLargeint,
    &_sryxnpiftADT,
    &_sryxnpiftArray,
    &_sryxnpiftReference,
    &_sryxnpiftDataSet,
    &_sryxnpiftOraBlob,
    &_sryxnpiftOraClob,
    &_sryxnpiftVariant,
    &_sryxnpiftInterface,
    &_sryxnpiftIDispatch,
    &_sryxnpiftGuid,
};
const host::TResStringRec* const ryxnpiPaddedFieldTypeNames[ryxnpFieldTypeNameCount] = {
    &_sryxnpifftUnknown,
    &_sryxnpifftString,
    &_sryxnpifftSmallint,
    &_sryxnpifftInteger,
    &_sryxnpifftWord,
    &_sryxnpifftBoolean,
    &_sryxnpifftFloat,
    &_sryxnpifftCurrency,
    &_sryxnpifftBCD,
    &_sryxnpifftDate,
    &_sryxnpifftTime,
    &_sryxnpifftDateTime,
    &_sryxnpifftBytes,
    &_sryxnpifftVarBytes,
    &_sryxnpifftAutoInc,
    &_sryxnpifftBlob,
    &_sryxnpifftMemo,
    &_sryxnpifftGraphic,
    &_sryxnpifftFmtMemo,
    &_sryxnpifftParadoxOle,
    &_sryxnpifftDBaseOle,
    &_sryxnpifftTypedBinary,
    &_sryxnpifftCursor,
    &_sryxnpifftFixedChar,
    &_sryxnpifftWideString,
    &_sryxnpifftLargeint,
    &_sryxnpifftADT,
    &_sryxnpifftArray,
    &_sryxnpifftReference,
    &_sryxnpifftDataSet,
    &_sryxnpifftOraBlob,
    &_sryxnpifftOraClob,
    &_sryxnpifftVariant,
    &_sryxnpifftInterface,
    &_sryxnpifftIDispatch,
    &_sryxnpifftGuid,
};

namespace {

// The copies made at start-up, and the number of start-ups not yet undone.
struct TNameTables {
    std::array<std::string, ryxnpBooleanNameCount> Booleans;
    std::array<std::string, ryxnpAlignmentNameCount> Alignments;
    std::array<std::string, ryxnpDSStateNameCount> DSStates;
    std::array<std::string, ryxnpFieldTypeNameCount> FieldTypes;
    std::array<std::string, ryxnpFieldTypeNameCount> PaddedFieldTypes;
    int StartCount = 0;
};

TNameTables& Tables() {
    static TNameTables tables;
    return tables;
}

template <size_t N>
void Fill(std::array<std::string, N>& To, const host::TResStringRec* const (&From)[N]) {
    for (size_t i = 0; i < N; ++i) To[i] = host::LoadResString(*From[i]);
}

template <size_t N>
void Release(std::array<std::string, N>& Table) {
    for (std::string& s : Table) std::string().swap(s);
}

template <size_t N>
std::string NameOf(const char* What, const std::array<std::string, N>& Table,
                   const host::TResStringRec* const (&Recs)[N], int Ordinal) {
    if (Ordinal < 0 || Ordinal >= int(N))
        throw host::ERangeError(std::string(What) + " ordinal " + std::to_string(Ordinal) +
                                " is out of range 0.." + std::to_string(int(N) - 1));
    if (Tables().StartCount > 0) return Table[size_t(Ordinal)];
    return host::LoadResString(*Recs[Ordinal]);
}

}  // namespace

void ryxnpconInitNameTables() {
    TNameTables& t = Tables();
    if (t.StartCount++ > 0) return;
    Fill(t.Booleans, ryxnpiBooleanNames);
    Fill(t.Alignments, ryxnpiAlignmentNames);
    Fill(t.DSStates, ryxnpiDSStateNames);
    Fill(t.FieldTypes, ryxnpiFieldTypeNames);
    Fill(t.PaddedFieldTypes, ryxnpiPaddedFieldTypeNames);
}

void ryxnpconFreeNameTables() {
    TNameTables& t = Tables();
    if (t.StartCount == 0 || --t.StartCount > 0) return;
    Release(t.Booleans);
    Release(t.Alignments);
    Release(t.DSStates);
    Release(t.FieldTypes);
    Release(t.PaddedFieldTypes);
}

bool ryxnpconNameTablesFilled() { return Tables().StartCount > 0; }

std::string ryxnpBooleanName(bool Value) {
    return NameOf("Boolean", Tables().Booleans, ryxnpiBooleanNames, Value ? 1 : 0);
}

std::string ryxnpAlignmentName(int Ordinal) {
    return NameOf("Alignment", Tables().Alignments, ryxnpiAlignmentNames, Ordinal);
}

std::string ryxnpDSStateName(int Ordinal) {
    return NameOf("Dataset state", Tables().DSStates, ryxnpiDSStateNames, Ordinal);
}

std::string ryxnpFieldTypeName(int Ordinal) {
    return NameOf("Field type", Tables().FieldTypes, ryxnpiFieldTypeNames, Ordinal);
}

std::string ryxnpPaddedFieldTypeName(int Ordinal) {
    return NameOf("Field type", Tables().PaddedFieldTypes, ryxnpiPaddedFieldTypeNames, Ordinal);
}

}  // namespace ryx
