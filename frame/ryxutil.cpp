// Unit Ryxutil: the persistent date and time records.
#include "frame/ryxutil.h"

#include <string>

#include "host/rtl/exceptions.h"

namespace ryx {

using namespace host;

namespace {
// Stores Value in Field when it lies in [Low, High]; raises and keeps the old
// value otherwise. True when the value changed.
bool PutPart(int& Field, int Value, int Low, int High, const char* Name) {
    if (Value < Low || Value > High)
        throw ERangeError(std::string(Name) + " " + std::to_string(Value) + " is out of range " + std::to_string(Low) +
                          ".." + std::to_string(High));
    if (Field == Value) return false;
    Field = Value;
    return true;
}
}  // namespace

void TryxDateNum::Put(int& Field, int Value, int Low, int High, const char* Name) {
    if (PutPart(Field, Value, Low, High, Name)) OnChange(this);
}

void TryxDateNum::SetDay(int Value) { Put(FDay, Value, 1, 31, "Day"); }
void TryxDateNum::SetMonth(int Value) { Put(FMonth, Value, 1, 12, "Month"); }
void TryxDateNum::SetYear(int Value) { Put(FYear, Value, 1, 9999, "Year"); }

TDateTime TryxDateNum::GetDate() const { return EncodeDate(FYear, FMonth, FDay); }

void TryxDateNum::SetDate(TDateTime Value) {
    int y, m, d;
    DecodeDate(Value, y, m, d);
    if (y == 0) throw EConvertError("Invalid date");
    if (y == FYear && m == FMonth && d == FDay) return;
    FYear = y, FMonth = m, FDay = d;
    OnChange(this);
}

void TryxDateNum::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TryxDateNum*>(Source)) {
        if (s->FDay == FDay && s->FMonth == FMonth && s->FYear == FYear) return;
        FDay = s->FDay, FMonth = s->FMonth, FYear = s->FYear;
        OnChange(this);
        return;
    }
    TPersistent::Assign(Source);
}

void TryxTimeNum::Put(int& Field, int Value, int Low, int High, const char* Name) {
    if (PutPart(Field, Value, Low, High, Name)) OnChange(this);
}

void TryxTimeNum::SetHour(int Value) { Put(FHour, Value, 0, 23, "Hour"); }
void TryxTimeNum::SetMin(int Value) { Put(FMin, Value, 0, 59, "Min"); }
void TryxTimeNum::SetSec(int Value) { Put(FSec, Value, 0, 59, "Sec"); }
void TryxTimeNum::SetMSec(int Value) { Put(FMSec, Value, 0, 999, "MSec"); }

TDateTime TryxTimeNum::GetTime() const { return EncodeTime(FHour, FMin, FSec, FMSec); }

void TryxTimeNum::SetTime(TDateTime Value) {
    int h, mi, s, ms;
    DecodeTime(Value, h, mi, s, ms);
    if (h == FHour && mi == FMin && s == FSec && ms == FMSec) return;
    FHour = h, FMin = mi, FSec = s, FMSec = ms;
    OnChange(this);
}

void TryxTimeNum::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TryxTimeNum*>(Source)) {
        if (s->FHour == FHour && s->FMin == FMin && s->FSec == FSec && s->FMSec == FMSec) return;
        FHour = s->FHour, FMin = s->FMin, FSec = s->FSec, FMSec = s->FMSec;
        OnChange(this);
        return;
    }
    TPersistent::Assign(Source);
}

}  // namespace ryx
