// The base dataset adapter's information reports: the dataset report with its field summary, and the field report.
#include <algorithm>
#include <string>

#include "data/ryxda.h"
#include "data/ryxda_report.h"
#include "frame/ryxnpcon.h"
#include "host/db/db.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"

namespace ryx {

namespace {

using host::LoadResString;
using report::TReportLines;

// Text padded on the right with blanks to Width characters.
std::string PadRight(const std::string& Text, int Width) {
    std::string Result = Text;
    const std::string Space = LoadResString(_sryxnpiSpace);
    for (int n = host::Utf8Length(Text); n < Width; ++n) Result += Space;
    return Result;
}

// One line of the field summary: name, type, size and the required,
// read-only and indexed marks.
std::string SummaryLine(const host::TField* Field, int NameWidth) {
    std::string Line = PadRight(Field->FieldName(), NameWidth) + LoadResString(_sryxnpiSpace);
    Line += ryxnpPaddedFieldTypeName(int(Field->DataType()));
    Line += host::Format("%7d", {Field->Size()});
    Line += LoadResString(Field->Required() ? _sryxnpiReqd : _sryxnpiNotReqd);
    Line += LoadResString(Field->ReadOnly() ? _sryxnpiRO : _sryxnpiNotRO);
    if (Field->IsIndexField()) Line += LoadResString(_sryxnpiIndexed);
    return Line;
}

}  // namespace

void TryxDatasetAdapter::GetDatasetInfo(host::TStrings* List) {
    host::TDataSet* ds = Dataset();
    TReportLines r(List);
    r.Line(_sryxnpiDS);
    r.SetLevel(1);
    r.Value(_sryxnpiNameEq, ds->Name());
    r.Value(_sryxnpiClassNameEq, ds->ClassName());
    r.Value(_sryxnpiActive, ds->Active());
    r.Value(_sryxnpiAutoCalc, ds->AutoCalcFields());
    r.Value(_sryxnpiBOF, ds->Bof());
    r.Value(_sryxnpiEOF, ds->Eof());
    r.Value(_sryxnpiCanModify, ds->CanModify());
    if (host::TDataSource* src = ds->DataSource())
        r.Value(_sryxnpiDSEq, src->Name());
    else
        r.Line(_sryxnpiDSNil);
    r.Value(_sryxnpiDefaultFields, ds->DefaultFields());
    r.Value(_sryxnpiFieldCount, ds->FieldCount());
    r.Value(_sryxnpiModified, ds->Modified());
    // A closed dataset has no count to give (engine datasets raise when asked):
    // report the framework's "no count" instead of breaking off the report.
    r.Value(_sryxnpiRecordCount, ds->Active() ? ds->RecordCount() : -1);
    r.Value(_sryxnpiRecordSize, ds->RecordSize());
    r.Value(_sryxnpiState, ryxnpDSStateName(int(ds->State())));
    r.Blank();
    if (ds->FieldCount() <= 0) return;

    r.Line(_sryxnpiFieldSummary);
    r.SetLevel(2);
    int width = 0;
    for (int i = 0; i < ds->FieldCount(); ++i) width = std::max(width, host::Utf8Length(ds->Fields(i)->FieldName()));
    for (int i = 0; i < ds->FieldCount(); ++i) r.Line(SummaryLine(ds->Fields(i), width));
    r.Blank();
    r.Blank();
}

void TryxDatasetAdapter::GetFieldInfo(host::TStrings* List) {
    host::TDataSet* ds = Dataset();
    TReportLines r(List);
    r.Line(_sryxnpiFields);
    r.Blank();
    r.SetLevel(1);
    r.Value(_sryxnpiFieldCount, ds->FieldCount());
    r.Blank();
    for (int i = 0; i < ds->FieldCount(); ++i) {
        const host::TField* f = ds->Fields(i);
        r.SetLevel(2);
        r.Line(_sryxnpiAsterisk);
        r.Value(_sryxnpiAsFieldName, f->FieldName());
        r.Value(_sryxnpiAsFieldNo, f->FieldNo());
        r.Value(_sryxnpiAsDataType, ryxnpFieldTypeName(int(f->DataType())));
        r.Value(_sryxnpiAsClass, f->ClassName());
        r.Value(_sryxnpiAsSize, f->Size());
        r.Line(_sryxnpiAsterisk);
        r.SetLevel(3);
        r.Value(_sryxnpiAlignment, ryxnpAlignmentName(int(f->Alignment())));
        r.Value(_sryxnpiCalculated, f->Calculated());
        r.Value(_sryxnpiCanModify, f->CanModify());
        r.Value(_sryxnpiDataSize, f->DataSize());
        r.Value(_sryxnpiDisplayLabel, f->DisplayLabel());
        r.Value(_sryxnpiDisplayName, f->DisplayName());
        r.Value(_sryxnpiDisplayText, f->DisplayText());
        r.Value(_sryxnpiDisplayWidth, f->DisplayWidth());
        r.Value(_sryxnpiEditMask, f->EditMask());
        r.Value(_sryxnpiIndex, f->Index());
        r.Value(_sryxnpiIsIndexField, f->IsIndexField());
        r.Value(_sryxnpiReadOnly, f->ReadOnly());
        r.Value(_sryxnpiRequired, f->Required());
        r.Value(_sryxnpiVisible, f->Visible());
        r.Blank();
    }
    r.Blank();
}

}  // namespace ryx
