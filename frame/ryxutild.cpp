// Unit Ryxutild: the dataset routines.
#include "frame/ryxutild.h"

#include "data/ryxdabde.h"
#include "frame/ryxutilf.h"
#include "host/rtl/dates.h"
#include "host/rtl/lists.h"

namespace ryx {

using namespace host;

bool ryxDataSetReadOnly(TDataSet* DataSet) {
    if (DataSet == nullptr) return true;
    if (DataSet->Active()) return !DataSet->CanModify();
    if (auto* table = dynamic_cast<TTable*>(DataSet)) return table->ReadOnly();
    if (auto* query = dynamic_cast<TQuery*>(DataSet)) return !query->RequestLive();
    if (dynamic_cast<TStoredProc*>(DataSet) != nullptr) return true;
    return false;
}

std::string ryxMaxFieldType(TFieldType FieldType) {
    switch (FieldType) {
        case ftString:
        case ftFixedChar:
        case ftWideString:
        case ftMemo:
        case ftFmtMemo: return std::string(255, '\xFF');
        case ftSmallint: return "32767";
        case ftInteger:
        case ftAutoInc: return "2147483647";
        case ftWord: return "65535";
        case ftBoolean: return "1";
        case ftLargeint: return "9223372036854775807";
        case ftFloat:
        case ftCurrency:
        case ftBCD: return "1.7E308";
        case ftDate: return DateToStr(EncodeDate(9999, 12, 31));
        case ftTime: return TimeToStr(EncodeTime(23, 59, 59, 999));
        case ftDateTime: return DateTimeToStr(EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 999));
        default: return std::string();
    }
}

std::string ryxGetDataSetDesc(TDataSet* DataSet) {
    if (DataSet == nullptr) return std::string();
    if (auto* table = dynamic_cast<TTable*>(DataSet))
        return ryx_UseTableComponentNames || table->TableName().empty() ? table->Name() : table->TableName();
    if (auto* proc = dynamic_cast<TStoredProc*>(DataSet))
        return proc->StoredProcName().empty() ? proc->Name() : proc->StoredProcName();
    if (auto* query = dynamic_cast<TQuery*>(DataSet)) {
        std::string text;
        for (int i = 0; i < query->SQL()->Count(); ++i) {
            std::string line = ryxLRTrim(query->SQL()->Strings(i));
            if (line.empty()) continue;
            if (!text.empty()) text += ' ';
            text += line;
        }
        return text.empty() ? query->Name() : text;
    }
    return DataSet->Name();
}

std::string ryxGetTableTypeMask(TTableType TableType) {
    switch (TableType) {
        case ttParadox: return "*.db";
        case ttDBase:
        case ttFoxPro: return "*.dbf";
        case ttASCII: return "*.txt";
        default: return "*.db;*.dbf;*.txt";
    }
}

}  // namespace ryx
