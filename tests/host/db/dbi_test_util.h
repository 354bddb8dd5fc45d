// Helpers for the engine tests: temporary folders, a sample table, record buffers by field name.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/db/dbiengine.h"

#include "support/tempdir.h"

namespace dbitest {

using namespace host;

// The shared temporary directory, with its path as a plain member.
struct TempDir : testsupport::TTempDir {
    const std::string Path = testsupport::TTempDir::Path();
};

inline FLDDesc Fld(const std::string& Name, uint16_t Type, int32_t Size = 0, uint16_t Sub = fldstNONE) {
    FLDDesc F;
    F.szName = Name;
    F.iFldType = Type;
    F.iUnits1 = Size;
    F.iSubType = Sub;
    return F;
}

inline IDXDesc Idx(const std::string& Name, const std::string& Fields, bool Primary = false, bool CaseIns = false,
                   bool Desc = false) {
    IDXDesc X;
    X.szName = Name;
    X.szKeyFields = Fields;
    X.bPrimary = Primary;
    X.bUnique = Primary;
    X.bCaseInsensitive = CaseIns;
    X.bDescending = Desc;
    return X;
}

// Opens a database of the driver in Dir (SQLITE: Dir/data.sqlite).
inline hDBIDb OpenDb(const std::string& Driver, const std::string& Dir) {
    hDBIDb Db = nullptr;
    const std::string Path = Driver == "SQLITE" ? Dir + "/data.sqlite" : Dir;
    Check(DbiOpenDatabase(Driver, {{"PATH", Path}}, Db));
    return Db;
}

// A record buffer of a cursor, read and written by field name.
class Rec {
public:
    explicit Rec(hDBICur C) : FCur(C) {
        CURProps P;
        Check(DbiGetCursorProps(C, P));
        Check(DbiGetFieldDescs(C, FFields));
        FBuf.assign(P.iRecBufSize, 0);
        Check(DbiInitRecord(C, FBuf.data()));
    }
    uint8_t* Buf() { return FBuf.data(); }
    const FLDDesc& Field(const std::string& Name) const {
        for (const auto& F : FFields)
            if (F.szName == Name) return F;
        ADD_FAILURE() << "no field " << Name;
        return FFields.front();
    }
    Rec& Set(const std::string& Name, const DBIValue& V) {
        const FLDDesc& F = Field(Name);
        if (V.bNull) {
            Check(DbiPutField(FCur, F.iFldNum, FBuf.data(), nullptr));
            return *this;
        }
        std::vector<uint8_t> Native(F.iLen);
        EXPECT_TRUE(DbiValueToNative(F, V, Native.data())) << Name;
        Check(DbiPutField(FCur, F.iFldNum, FBuf.data(), Native.data()));
        return *this;
    }
    Rec& SetInt(const std::string& N, int64_t V) { return Set(N, DBIValue::Int(V)); }
    Rec& SetText(const std::string& N, const std::string& V) { return Set(N, DBIValue::Text(V)); }
    DBIValue Get(const std::string& Name) {
        const FLDDesc& F = Field(Name);
        std::vector<uint8_t> Native(F.iLen + 1);
        bool Blank = false;
        Check(DbiGetField(FCur, F.iFldNum, FBuf.data(), Native.data(), Blank));
        if (Blank) return DBIValue::Null();
        return DbiValueFromNative(F, Native.data());
    }
    int64_t Int(const std::string& N) { return Get(N).iVal; }
    std::string Text(const std::string& N) { return Get(N).sVal; }
    void Insert() {
        Check(DbiInsertRecord(FCur, FBuf.data()));
        Check(DbiInitRecord(FCur, FBuf.data()));
    }

private:
    hDBICur FCur;
    std::vector<FLDDesc> FFields;
    std::vector<uint8_t> FBuf;
};

// Reads Field of every visible record from the start, in order.
inline std::vector<std::string> Walk(hDBICur C, const std::string& Field, int Dir = 1) {
    Rec R(C);
    std::vector<std::string> Out;
    Check(Dir > 0 ? DbiSetToBegin(C) : DbiSetToEnd(C));
    for (;;) {
        const DBIResult Rc = Dir > 0 ? DbiGetNextRecord(C, R.Buf(), nullptr) : DbiGetPriorRecord(C, R.Buf(), nullptr);
        if (Rc == DBIERR_EOF || Rc == DBIERR_BOF) break;
        Check(Rc);
        const DBIValue V = R.Get(Field);
        Out.push_back(V.bNull ? "<null>" : V.iFldType == fldZSTRING ? V.sVal : std::to_string(V.iVal));
    }
    return Out;
}

// PEOPLE: ID (primary), NAME (index ByName, case-insensitive), CITY;NAME (index ByCity), AMOUNT, ACTIVE.
inline void CreatePeople(hDBIDb Db, const std::string& Name = "PEOPLE") {
    CRTblDesc T;
    T.szTblName = Name;
    T.szTblType = "PARADOX";
    T.Fields = {Fld("ID", fldINT32), Fld("NAME", fldZSTRING, 20), Fld("CITY", fldZSTRING, 20), Fld("AMOUNT", fldFLOAT),
                Fld("ACTIVE", fldBOOL)};
    T.Fields[0].bRequired = true;
    T.Indexes = {Idx("", "ID", true), Idx("ByName", "NAME", false, true), Idx("ByCity", "CITY;NAME")};
    Check(DbiCreateTable(Db, false, T));
}

inline void AddPerson(hDBICur C, int Id, const char* Name, const char* City, double Amount, bool Active) {
    Rec R(C);
    R.SetInt("ID", Id);
    if (Name) R.SetText("NAME", Name);
    if (City) R.SetText("CITY", City);
    R.Set("AMOUNT", DBIValue::Float(Amount)).SetInt("ACTIVE", Active);
    R.Insert();
}

// Ten people with varied names, cities, amounts; one without a name.
inline void FillPeople(hDBICur C) {
    AddPerson(C, 5, "Smith", "Boston", 120, true);
    AddPerson(C, 1, "adams", "Austin", 80, false);
    AddPerson(C, 3, "Baker", "Boston", 300, true);
    AddPerson(C, 9, "Smithers", "Chicago", 15.5, true);
    AddPerson(C, 2, nullptr, "Austin", 0, false);
    AddPerson(C, 7, "Young", "Denver", 999, true);
    AddPerson(C, 4, "Clark", "Chicago", 101, false);
    AddPerson(C, 8, "smyth", "Boston", 100, true);
    AddPerson(C, 6, "Evans", nullptr, 250, true);
    AddPerson(C, 10, "Baker", "Austin", 42, false);
}

}  // namespace dbitest
