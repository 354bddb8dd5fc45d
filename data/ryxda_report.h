// Report-line writer shared by the dataset adapters' information reports: catalogue labels with values at a current indent level.
#pragma once

#include <cstdint>
#include <string>

#include "data/ryxda.h"
#include "frame/ryxnpcon.h"
#include "host/rtl/resstrings.h"
#include "host/rtl/sysutils.h"

namespace ryx::report {

// Appends lines through TryxDatasetAdapter::AddStrIndent at a level that the
// report raises and lowers; a value line is the label's text followed by the
// value's text.
class TReportLines {
public:
    explicit TReportLines(host::TStrings* List, int Level = 0) : FList(List), FLevel(Level) {}
    void Line(const std::string& Text) { TryxDatasetAdapter::AddStrIndent(Text, FLevel, FList); }
    void Line(const host::TResStringRec& Label) { Line(host::LoadResString(Label)); }
    void Value(const host::TResStringRec& Label, const std::string& Text) { Line(host::LoadResString(Label) + Text); }
    void Value(const host::TResStringRec& Label, const char* Text) { Value(Label, std::string(Text)); }
    void Value(const host::TResStringRec& Label, bool Flag) { Value(Label, ryxnpBooleanName(Flag)); }
    void Value(const host::TResStringRec& Label, int Number) { Value(Label, host::IntToStr(Number)); }
    void Value(const host::TResStringRec& Label, int64_t Number) { Value(Label, host::IntToStr(Number)); }
    // A blank line is always unindented.
    void Blank() { TryxDatasetAdapter::AddStrIndent("", 0, FList); }
    void SetLevel(int Level) { FLevel = Level; }

private:
    host::TStrings* FList;
    int FLevel;
};

}  // namespace ryx::report
