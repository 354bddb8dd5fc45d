// Unit Ryxutil: small non-visual helpers built on the general routines; so far the persistent date and time records.
#pragma once

#include <cstdint>

#include "host/rtl/dates.h"
#include "host/rtl/events.h"
#include "host/rtl/persistent.h"
#include "host/rtl/typinfo.h"

namespace ryx {

// A calendar date kept as its parts (each 1 by default), published so that a
// component can store one in its form file. A part outside its range (day 1-31,
// month 1-12, year 1-9999) is refused with ERangeError and the old value stays;
// GetDate raises EConvertError for a combination that is no date (30 February).
class TryxDateNum : public host::TPersistent {
    HOST_CLASS(TryxDateNum, host::TPersistent)
public:
    TryxDateNum() = default;
    void Assign(host::TPersistent* Source) override;

    int Day() const { return FDay; }
    void SetDay(int Value);
    int Month() const { return FMonth; }
    void SetMonth(int Value);
    int Year() const { return FYear; }
    void SetYear(int Value);
    host::TDateTime GetDate() const;
    // The date part of Value; one OnChange for the whole change.
    void SetDate(host::TDateTime Value);

    host::TNotifyEvent OnChange;

private:
    int FDay = 1, FMonth = 1, FYear = 1;
    void Put(int& Field, int Value, int Low, int High, const char* Name);
    HOST_PUBLISHED(prop("Day", &TryxDateNum::Day, &TryxDateNum::SetDay).def(1),
                   prop("Month", &TryxDateNum::Month, &TryxDateNum::SetMonth).def(1),
                   prop("Year", &TryxDateNum::Year, &TryxDateNum::SetYear).def(1))
};

// A time of day kept as its parts (each 0 by default): hour 0-23, minute and
// second 0-59, millisecond 0-999; parts outside are refused with ERangeError.
class TryxTimeNum : public host::TPersistent {
    HOST_CLASS(TryxTimeNum, host::TPersistent)
public:
    TryxTimeNum() = default;
    void Assign(host::TPersistent* Source) override;

    int Hour() const { return FHour; }
    void SetHour(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Sec() const { return FSec; }
    void SetSec(int Value);
    int MSec() const { return FMSec; }
    void SetMSec(int Value);
    host::TDateTime GetTime() const;
    // The time-of-day part of Value; one OnChange for the whole change.
    void SetTime(host::TDateTime Value);

    host::TNotifyEvent OnChange;

private:
    int FHour = 0, FMin = 0, FSec = 0, FMSec = 0;
    void Put(int& Field, int Value, int Low, int High, const char* Name);
    HOST_PUBLISHED(prop("Hour", &TryxTimeNum::Hour, &TryxTimeNum::SetHour).def(0),
                   prop("Min", &TryxTimeNum::Min, &TryxTimeNum::SetMin).def(0),
                   prop("Sec", &TryxTimeNum::Sec, &TryxTimeNum::SetSec).def(0),
                   prop("MSec", &TryxTimeNum::MSec, &TryxTimeNum::SetMSec).def(0))
};

}  // namespace ryx
