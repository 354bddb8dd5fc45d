// Tests of the package's message catalogue: completeness, identifiers, texts, name tables and language files.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "frame/ryxconst.h"
#include "frame/ryxnpcon.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/resstrings.h"
#include "services/ryxcurlb.h"
#include "toolbars/ryxtcnst.h"

namespace {

using host::TResStringRec;

std::vector<const TResStringRec*> PackageStrings() {
    std::vector<const TResStringRec*> result;
    for (const TResStringRec* rec : host::ResStringCatalogue())
        if (std::string(rec->Name).rfind("_sryx", 0) == 0) result.push_back(rec);
    return result;
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> parts(1);
    for (char c : s) {
        if (c == sep)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// One record of every unit, so that the linker keeps all four units in the test program.
const TResStringRec* const kUnitAnchors[] = {&ryx::_sryxnpiMask, &ryx::_sryxnpMsgCommit,
                                             &ryx::_sryxCurrUnits, &ryx::_sryxToolbarControlNotChild};

TEST(CatalogueTest, HoldsTheWholePackageTableWithUniqueNamesAndIdentifiers) {
    ASSERT_EQ(4u, std::size(kUnitAnchors));
    std::vector<const TResStringRec*> recs = PackageStrings();
    ASSERT_EQ(412u, recs.size());

    std::set<std::string> names;
    std::set<int> ids;
    for (const TResStringRec* rec : recs) {
        std::string upper = rec->Name;
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(names.insert(upper).second) << "name twice: " << rec->Name;
        EXPECT_TRUE(ids.insert(rec->Identifier).second) << "identifier twice: " << rec->Identifier;
        EXPECT_GE(rec->Identifier, 65120) << rec->Name;
        EXPECT_LE(rec->Identifier, 65535) << rec->Name;
        EXPECT_EQ(rec, host::FindResString(rec->Identifier)) << rec->Name;
        EXPECT_EQ(rec, host::FindResString(std::string(rec->Name))) << rec->Name;
    }
    // One run from 65120 with no gaps.
    EXPECT_EQ(65120, *ids.begin());
    EXPECT_EQ(65120 + 411, *ids.rbegin());
    for (const host::TResStringClash& clash : host::ResStringClashes())
        ADD_FAILURE() << clash.First->Name << " clashes with " << clash.Second->Name;
}

TEST(CatalogueTest, NumbersUnitsInStartUpOrderAndDeclarationOrder) {
    EXPECT_EQ(65120, ryx::_sryxnpiMask.Identifier);
    EXPECT_EQ(65120 + 326, ryx::_sryxnpFltNot.Identifier);
    EXPECT_EQ(65120 + 327, ryx::_sryxnpMsgCommit.Identifier);
    EXPECT_EQ(65120 + 393, ryx::_sryxDBTreeRecursive.Identifier);
    EXPECT_EQ(65120 + 394, ryx::_sryxCurrUnits.Identifier);
    EXPECT_EQ(65120 + 411, ryx::_sryxToolbarControlNotChild.Identifier);
    // The field type strings follow one another in the order of the enumeration.
    for (int i = 0; i < ryx::ryxnpFieldTypeNameCount; ++i) {
        EXPECT_EQ(ryx::_sryxnpiftUnknown.Identifier + i, ryx::ryxnpiFieldTypeNames[i]->Identifier);
        EXPECT_EQ(ryx::_sryxnpifftUnknown.Identifier + i, ryx::ryxnpiPaddedFieldTypeNames[i]->Identifier);
    }
}

struct TExpectedText {
    const TResStringRec* Rec;
    const char* Text;
};

const TExpectedText kConstTexts[] = {
    {&ryx::_sryxnpMsgCommit, "Commit all changes in this transaction?"},
    {&ryx::_sryxnpMsgRollback, "Undo all changes in this transaction?"},
    {&ryx::_sryxnpBmksErrMenuStrings, "Invalid number of strings for menu items - 4 strings expected"},
    {&ryx::_sryxnpPrimaryKeyText, "<Primary Key>"},
    {&ryx::_sryxnpErrItemFormat1, "';' not found in item '%s'.  Expected format 'ItemText;IndexNumber'"},
    {&ryx::_sryxnpErrItemFormat2, "ItemText not found in item '%s'.  Expected format 'ItemText;IndexNumber'"},
    {&ryx::_sryxnpErrItemFormat3, "Index number not found in item '%s'.  Expected format 'ItemText;IndexNumber'"},
    {&ryx::_sryxnperrTableRequired, "DataSet of class TTable required"},
    {&ryx::_sryxnpErrIndexRange, "Index number '%d' not found in DataSet.IndexDefs"},
    {&ryx::_sryxFilterBMPAll, "Bitmaps (*.BMP)|*.bmp|All Files (*.*)|*.*"},
    {&ryx::_sryxFilterICOAll, "Icons (*.ICO)|*.ico|All Files (*.*)|*.*"},
    {&ryx::_sryxFilterWMFAll, "Metafiles (*.WMF)|*.wmf|All Files (*.*)|*.*"},
    {&ryx::_sryxFilterTXTAll, "Text Files (*.TXT)|*.txt|All Files (*.*)|*.*"},
    {&ryx::_sryxFilterAll, "All Files (*.*)|*.*"},
    {&ryx::_sryxErrTableRequired, "Required table parameter is nil"},
    {&ryx::_sryxErrNoIndexFields, "Table has no index fields"},
    {&ryx::_sryxErrTableInactive, "Table must be active"},
    {&ryx::_sryxErrQueryRequired, "Required query parameter is nil"},
    {&ryx::_sryxErrQueryParams, "Query has no parameters"},
    {&ryx::_sryxnpErrReplaceReadOnly, "Cannot replace records in read only DataSet"},
    {&ryx::_sryxnpErrReplaceFieldNoModify, "Current field cannot be modified"},
    {&ryx::_sryxKeysErrFourExpected, "Four KeyState strings expected"},
    {&ryx::_sryxKeysErrLength, "KeyState strings cannot exceed 255 characters total length"},
    {&ryx::_sryxErrDataSourceRequired, "DataSource required"},
    {&ryx::_sryxErrDataSetRequired, "DataSet required"},
    {&ryx::_sryxErrDataSetInactive, "DataSet is not active"},
    {&ryx::_sryxErrFilterHandle, "Invalid filter handle.  Filter must be prepared before use"},
    {&ryx::_sryxErrFilterExprEmpty, "Filter expression is empty"},
    {&ryx::_sryxErrFltExprTermination, "Filter expression incorrectly terminated"},
    {&ryx::_sryxErrFltExprNameError, "Unterminated field name"},
    {&ryx::_sryxErrFltExprStringError, "Unterminated string constant"},
    {&ryx::_sryxErrFltExprInvalidChar, "Invalid filter expression character: '%s'"},
    {&ryx::_sryxErrFltExprNoRParen, "')' expected but %s found"},
    {&ryx::_sryxErrFltExprExpected, "Expression expected but %s found"},
    {&ryx::_sryxErrFltExprBadCompare, "Relational operators require a field and a constant"},
    {&ryx::_sryxErrFltExprBadField, "Field '%s' cannot be used in a filter expression"},
    {&ryx::_sryxErrFltExprBadNullTest, "NULL only allowed with '=' and '<>'"},
    {&ryx::_sryxErrFltExprRangeError, "Constant out of range"},
    {&ryx::_sryxErrFltExprNotBoolean, "Field '%s' is not of type Boolean"},
    {&ryx::_sryxErrFltExprIncorrect, "Incorrectly formed filter expression"},
    {&ryx::_sryxErrFltExprNothing, "nothing"},
    {&ryx::_sryxErrWaveData, "Error reading wave data"},
    {&ryx::_sryxErrWaveFormat, "Wave image is not a valid wave file format"},
    {&ryx::_sryxErrResDllLoad, "Error %d loading DLL '%s'"},
    {&ryx::_sryxErrRCDataResNotFound, "Resource '%s' of type RCDATA not found"},
    {&ryx::_sryxErrResLoad, "Unable to load resource '%s'"},
    {&ryx::_sryxErrResLock, "Unable to lock resource '%s'"},
    {&ryx::_sryxErrFormNameExpected, "FormName expected"},
    {&ryx::_sryxErrNoMCIData, "No MCIData to Open"},
    {&ryx::_sryxErrPathMustExist, "%s%sThis path does not exist.%sPlease enter a different path."},
    {&ryx::_sryxErrPathNotExist, "%s%sThis path already exists.%sPlease enter a different path."},
    {&ryx::_sryxConfirmPathCreate, "%s%sThis path does not exist.%sAre you sure you want to create this path?"},
    {&ryx::_sryxConfirmPathExists, "%s%sThis path already exists.%sAre you sure you want to use this path?"},
    {&ryx::_sryxErrInvalidDrive, "%s%sDrive does not exist.%sPlease choose a different drive."},
    {&ryx::_sryxErrInvalidFileName, "%s%sInvalid Filename.%sPlease enter a different path."},
    {&ryx::_sryxPaneIndexError, "%d is an invalid PaneIndex value.  PaneIndex must be between 0 and %d"},
    {&ryx::_sryxConfirmExcepTerminate, "Do you want to terminate this program?"},
    {&ryx::_sryxnpFindBOF, "First record reached.  Continue searching from last record?"},
    {&ryx::_sryxnpFindEOF, "Last record reached.  Continue searching from first record?"},
    {&ryx::_sryxnpFindNotFound, "'%s' not found."},
    {&ryx::_sryxnpFindNotFoundField, "'%s' not found in current field."},
    {&ryx::_sryxnpFindReplaceCount, "%d values replaced."},
    {&ryx::_sryxErrorOwnerSingleComponent, "An instance of %s is already owned by %s"},
    {&ryx::_sryxErrorOwnerFormExpected, "This component must be owned by a TForm"},
    {&ryx::_sryxErrorOwnerMDIFormExpected, "This component must be owned by an MDI Main Form"},
    {&ryx::_sryxErrorOwnerWelcomeTipsExpected, "This component must be owned by TryxCustomWelcomeTips"},
    {&ryx::_sryxDBTreeRecursive, "Cannot add more tree levels below a recursive datasource."},
};

TEST(CatalogueTest, GeneralStringsHaveTheirExactTexts) {
    ASSERT_EQ(67u, std::size(kConstTexts));
    std::set<int> ids;
    for (const TExpectedText& e : kConstTexts) {
        EXPECT_EQ(e.Text, host::LoadResString(*e.Rec)) << e.Rec->Name;
        ids.insert(e.Rec->Identifier);
    }
    // Ryxconst takes one block of 67 numbers.
    EXPECT_EQ(67u, ids.size());
    EXPECT_EQ(66, *ids.rbegin() - *ids.begin());
}

TEST(CatalogueTest, ValueNameStringsAreTheNamesOfTheirValues) {
    using namespace ryx;
    const char* const states[] = {"dsInactive",  "dsBrowse",   "dsEdit",     "dsInsert",   "dsSetKey",
                                  "dsCalcFields", "dsFilter",  "dsNewValue", "dsOldValue", "dsCurValue",
                                  "dsBlockRead", "dsInternalCalc", "dsOpening"};
    for (int i = 0; i < ryxnpDSStateNameCount; ++i) {
        EXPECT_EQ(states[i], ryxnpiDSStateNames[i]->Text());
        EXPECT_EQ(std::string("_sryxnpiDSStates") + (states[i] + 2), ryxnpiDSStateNames[i]->Name);
    }
    for (int i = 0; i < ryxnpFieldTypeNameCount; ++i) {
        const TResStringRec& plain = *ryxnpiFieldTypeNames[i];
        const TResStringRec& padded = *ryxnpiPaddedFieldTypeNames[i];
        // "_sryxnpiftString" holds "ftString"; "_sryxnpifftString" holds "String" padded to 11.
        EXPECT_EQ(std::string(plain.Name).substr(8), plain.Text());
        std::string bare = plain.Text().substr(2);
        ASSERT_LE(bare.size(), 11u) << plain.Name;
        EXPECT_EQ(bare + std::string(11 - bare.size(), ' '), padded.Text());
        EXPECT_EQ(std::string("_sryxnpifft") + bare, padded.Name);
    }
    EXPECT_EQ("ftUnknown", _sryxnpiftUnknown.Text());
    EXPECT_EQ("ftGuid", _sryxnpiftGuid.Text());
    EXPECT_EQ("TypedBinary", _sryxnpifftTypedBinary.Text());
    EXPECT_EQ("String     ", _sryxnpifftString.Text());

    EXPECT_EQ("tiDirtyRead", _sryxnpiDirtyRead.Text());
    EXPECT_EQ("tiReadCommitted", _sryxnpiReadCommitted.Text());
    EXPECT_EQ("tiRepeatableRead", _sryxnpiRepeatableRead.Text());
    const TResStringRec* const prefixed[] = {
        &_sryxnpittDefault, &_sryxnpittParadox, &_sryxnpittDBase, &_sryxnpittASCII, &_sryxnpittFoxPro,
        &_sryxnpiupWhereAll, &_sryxnpiupWhereChanged, &_sryxnpiupWhereKeyOnly, &_sryxnpipbByName,
        &_sryxnpipbByNumber, &_sryxnpitaLeftJustify, &_sryxnpitaRightJustify, &_sryxnpitaCenter,
        &_sryxnpiptUnknown, &_sryxnpiptInput, &_sryxnpiptOutput, &_sryxnpiptInputOutput, &_sryxnpiptResult,
        &_sryxnpiixPrimary, &_sryxnpiixUnique, &_sryxnpiixDescending, &_sryxnpiixCaseInsensitive,
        &_sryxnpiixExpression};
    for (const TResStringRec* rec : prefixed) EXPECT_EQ(std::string(rec->Name).substr(8), rec->Text());
    EXPECT_EQ("False", _sryxnpiBooleanFalse.Text());
    EXPECT_EQ("True", _sryxnpiBooleanTrue.Text());
}

TEST(CatalogueTest, ReportAndNavigatorTextsKeepTheirBlanks) {
    using namespace ryx;
    EXPECT_EQ("  ", _sryxnpiIndent.Text());
    EXPECT_EQ("     ", _sryxnpiNotReqd.Text());
    EXPECT_EQ("   ", _sryxnpiNotRO.Text());
    EXPECT_EQ("KeyExclusive  cannot be read in current State.", _sryxnpiNoKeyExcl.Text());
    EXPECT_EQ("Error retrieving system status.  DBIERR = ", _sryxnpiDBIErrStatus.Text());
    EXPECT_EQ("Record #R of #N", _sryxnpiMask.Text());
    EXPECT_EQ("#D #S", _sryxnpiDSMask.Text());
    EXPECT_EQ("Parent.DataSource.DataSet.Name = ", _sryxnpiParentDSDSEq.Text());
    EXPECT_EQ("This will delete all records from %t. Are you sure you want to continue?",
              _sryxnpWarnEmptyTable.Text());
    EXPECT_EQ(";0", _sryxnpIdxSep2.Text());
    EXPECT_EQ("NOT ", _sryxnpFltNot.Text());
    // Every label of the reports that takes a value ends in "= ".
    for (const TResStringRec* rec : {&_sryxnpiNameEq, &_sryxnpiDBCompName, &_sryxnpiEngineversion,
                                     &_sryxnpiAsFieldName, &_sryxnpiCurrentIndexFieldNames, &_sryxnpiText})
        EXPECT_TRUE(rec->Text().ends_with("= ")) << rec->Name;
}

TEST(CatalogueTest, NumberWordsSplitIntoThirtyThreeWords) {
    using namespace ryx;
    std::vector<std::string> units = Split(_sryxCurrUnits.Text(), ';');
    std::vector<std::string> teens = Split(_sryxCurrTeens.Text(), ';');
    std::vector<std::string> tens = Split(_sryxCurrTens.Text(), ';');
    std::vector<std::string> scales = Split(_sryxCurrScales.Text(), ';');
    EXPECT_EQ(10u, units.size());
    EXPECT_EQ(10u, teens.size());
    EXPECT_EQ(9u, tens.size());
    EXPECT_EQ(4u, scales.size());
    EXPECT_EQ("forteen", teens[4]);
    EXPECT_EQ("twenty", tens[1]);
    EXPECT_EQ("trillion", scales[3]);
    EXPECT_EQ("%.2d", _sryxCurrCentsFormat.Text());
    EXPECT_EQ("Control '%s' is not a child of the toolbar", _sryxToolbarControlNotChild.Text());
}

class CatalogueNameTablesTest : public ::testing::Test {
protected:
    void TearDown() override {
        while (ryx::ryxnpconNameTablesFilled()) ryx::ryxnpconFreeNameTables();
        host::UnloadLanguageFile();
        if (!FDir.empty()) std::filesystem::remove_all(FDir);
    }

    std::string WriteLanguageFile(const std::string& Text) {
        FDir = std::filesystem::temp_directory_path() /
               ("ryx_catalogue_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(FDir);
        std::filesystem::path file = FDir / "german.lng";
        std::ofstream(file) << Text;
        return file.string();
    }

    std::filesystem::path FDir;
};

TEST_F(CatalogueNameTablesTest, GiveTheNamesOfTheEnumerations) {
    using namespace ryx;
    ryxnpconInitNameTables();
    ASSERT_TRUE(ryxnpconNameTablesFilled());
    EXPECT_EQ("False", ryxnpBooleanName(false));
    EXPECT_EQ("True", ryxnpBooleanName(true));
    EXPECT_EQ("taLeftJustify", ryxnpAlignmentName(0));
    EXPECT_EQ("taCenter", ryxnpAlignmentName(2));
    EXPECT_EQ("dsInactive", ryxnpDSStateName(0));
    EXPECT_EQ("dsOpening", ryxnpDSStateName(12));
    EXPECT_EQ("ftString", ryxnpFieldTypeName(1));
    EXPECT_EQ("ftGuid", ryxnpFieldTypeName(35));
    EXPECT_EQ("String     ", ryxnpPaddedFieldTypeName(1));
    EXPECT_EQ("TypedBinary", ryxnpPaddedFieldTypeName(21));
    EXPECT_EQ("Guid       ", ryxnpPaddedFieldTypeName(35));

    EXPECT_THROW(ryxnpAlignmentName(3), host::ERangeError);
    EXPECT_THROW(ryxnpDSStateName(-1), host::ERangeError);
    EXPECT_THROW(ryxnpDSStateName(13), host::ERangeError);
    EXPECT_THROW(ryxnpFieldTypeName(36), host::ERangeError);
    EXPECT_THROW(ryxnpPaddedFieldTypeName(36), host::ERangeError);
}

TEST_F(CatalogueNameTablesTest, StartOnceAndStopWhenEveryStartIsUndone) {
    using namespace ryx;
    ryxnpconFreeNameTables();  // nothing started: nothing happens
    EXPECT_FALSE(ryxnpconNameTablesFilled());
    ryxnpconInitNameTables();
    ryxnpconInitNameTables();
    ryxnpconFreeNameTables();
    EXPECT_TRUE(ryxnpconNameTablesFilled());
    EXPECT_EQ("dsBrowse", ryxnpDSStateName(1));
    ryxnpconFreeNameTables();
    EXPECT_FALSE(ryxnpconNameTablesFilled());
    // Unfilled tables still answer, from the catalogue.
    EXPECT_EQ("dsBrowse", ryxnpDSStateName(1));
}

TEST_F(CatalogueNameTablesTest, LanguageFileReplacesTextsAndTablesCopyThemAtStartUp) {
    using namespace ryx;
    ryxnpconInitNameTables();  // copies the English names
    std::string file = WriteLanguageFile(
        "; German texts\n"
        "_sryxnpiBooleanTrue=Wahr\n" +
        std::to_string(_sryxnpMsgCommit.Identifier) + "=Alle Änderungen übernehmen?\n");
    EXPECT_EQ(2, host::LoadLanguageFile(file));

    EXPECT_EQ("Wahr", host::LoadResString(_sryxnpiBooleanTrue));
    EXPECT_EQ("Alle Änderungen übernehmen?", _sryxnpMsgCommit.Text());
    EXPECT_EQ("Undo all changes in this transaction?", _sryxnpMsgRollback.Text());
    // The tables keep the copy made at start-up until the unit starts again.
    EXPECT_EQ("True", ryxnpBooleanName(true));
    ryxnpconFreeNameTables();
    ryxnpconInitNameTables();
    EXPECT_EQ("Wahr", ryxnpBooleanName(true));
    EXPECT_EQ("False", ryxnpBooleanName(false));

    host::UnloadLanguageFile();
    EXPECT_EQ("True", _sryxnpiBooleanTrue.Text());
    EXPECT_EQ("Commit all changes in this transaction?", _sryxnpMsgCommit.Text());
}

}  // namespace
