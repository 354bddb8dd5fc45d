// The sample database: customers, orders, items, parts and employees for tests and the demo.
#include "host/db/sampledb.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/db/dbiengine.h"
#include "host/graphics/graphics.h"
#include "host/rtl/dates.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

constexpr int kCustomers = 300, kOrders = 1500, kParts = 200, kEmployees = 50;

// A small deterministic generator, so that every run writes the same rows.
class TGen {
public:
    explicit TGen(uint32_t Seed) : FState(Seed) {}
    uint32_t Next() {
        FState = FState * 1664525u + 1013904223u;
        return FState >> 8;
    }
    int Range(int Lo, int Hi) { return Lo + int(Next() % uint32_t(Hi - Lo + 1)); }
    template <size_t N>
    const char* Pick(const char* const (&Items)[N]) {
        return Items[Next() % N];
    }

    // Words drawn in order and joined with spaces (the order of operands of + is
    // unspecified, so drawing inside one expression would differ between compilers).
    template <size_t N, size_t M>
    std::string Two(const char* const (&A)[N], const char* const (&B)[M]) {
        std::string r = Pick(A);
        r += ' ';
        r += Pick(B);
        return r;
    }

private:
    uint32_t FState;
};

const char* const kWords1[] = {"Blue", "Coral", "Deep", "Island", "Ocean", "Reef", "Sea", "Sun", "Tidal", "Wave",
                               "Harbor", "Lagoon", "Marine", "Pacific", "Sandy", "Shell", "Surf", "Wind"};
const char* const kWords2[] = {"Divers", "Sports", "Supply", "Outfitters", "Adventures", "Shop", "Center",
                               "Traders", "Club", "Works", "Gear", "Charters"};
const char* const kStreets[] = {"Main St", "Ocean Ave", "Harbor Rd", "Beach Blvd", "Palm Dr", "Bay St", "Pier Way",
                                "Coral Ln", "Dock St", "Cliff Rd"};
struct TPlace {
    const char* City;
    const char* State;
    const char* Country;
};
const TPlace kPlaces[] = {{"San Diego", "CA", "US"},  {"Los Angeles", "CA", "US"}, {"Monterey", "CA", "US"},
                          {"Miami", "FL", "US"},      {"Key West", "FL", "US"},    {"Honolulu", "HI", "US"},
                          {"Kailua", "HI", "US"},     {"Seattle", "WA", "US"},     {"Galveston", "TX", "US"},
                          {"Nassau", "", "Bahamas"},  {"Cairns", "QLD", "Australia"}, {"Freeport", "", "Bahamas"},
                          {"Kingston", "", "Jamaica"}, {"Bridgetown", "", "Barbados"}};
const char* const kFirst[] = {"Anna", "Ben", "Carla", "David", "Elena", "Frank", "Grace", "Henry", "Iris", "Jack",
                              "Kate", "Leo", "Maria", "Nick", "Olga", "Paul", "Rosa", "Sam", "Tina", "Victor"};
const char* const kLast[] = {"Adams", "Baker", "Clark", "Diaz", "Evans", "Fischer", "Garcia", "Hughes", "Ito",
                             "Jensen", "Klein", "Lopez", "Moreau", "Novak", "Olsen", "Price", "Quinn", "Rossi",
                             "Silva", "Turner", "Weber", "Young"};
const char* const kShipVia[] = {"UPS", "DHL", "FedEx", "Emery", "US Mail"};
const char* const kPayment[] = {"Cash", "Check", "Credit", "AmEx", "Visa", "MC"};
const char* const kPartWords1[] = {"Regulator", "Fins", "Mask", "Snorkel", "Wetsuit", "Tank", "Gauge", "Knife",
                                   "Light", "Compass", "Weight Belt", "Camera Housing", "Gloves", "Boots", "Hood"};
const char* const kPartWords2[] = {"Standard", "Pro", "Compact", "Deluxe", "Travel", "Junior", "Tech", "Classic"};


// The engine's native day number of a date (see the record layout in dbiengine.h).
int64_t NativeDate(int Y, int M, int D) { return int64_t(std::llround(EncodeDate(Y, M, D))) + 693594; }

using TRow = std::vector<DBIValue>;

FLDDesc Fld(const char* Name, uint16_t Type, int32_t Units = 0, uint16_t SubType = fldstNONE, bool Required = false) {
    FLDDesc f;
    f.szName = Name;
    f.iFldType = Type;
    f.iSubType = SubType;
    f.iUnits1 = Units;
    f.bRequired = Required;
    return f;
}

IDXDesc Idx(const char* Name, const char* Fields, bool Primary = false, bool Unique = false,
            bool CaseInsensitive = false) {
    IDXDesc x;
    x.szName = Name;
    x.szKeyFields = Fields;
    x.bPrimary = Primary;
    x.bUnique = Unique || Primary;
    x.bCaseInsensitive = CaseInsensitive;
    return x;
}

// A small picture for a customer's Logo: a coloured badge with waves, as BMP bytes.
std::string DrawLogo(int CustNo) {
    TBitmap bmp(32, 24);
    bmp.SetPixelFormat(pf24bit);
    TCanvas* c = bmp.Canvas();
    const int hue = (CustNo * 37) % 256;
    c->Brush()->SetColor(TColor(0x00FFFFFF));
    c->FillRect(TRect{0, 0, 32, 24});
    c->Brush()->SetColor(TColor(hue | ((255 - hue) << 8) | (((CustNo * 91) % 256) << 16)));
    c->Pen()->SetColor(TColor(0x00000080));
    c->Ellipse(2, 2, 22, 22);
    c->Brush()->SetColor(TColor(0x00C08040));
    c->Rectangle(14, 12 + CustNo % 6, 30, 22);
    c->Pen()->SetColor(TColor(0x00FF0000));
    for (int x = 0; x < 32; x += 4) {
        c->MoveTo(x, 20 - (x / 4) % 2 * 2);
        c->LineTo(x + 4, 20 - (x / 4 + 1) % 2 * 2);
    }
    TMemoryStream s;
    bmp.SaveToStream(&s);
    return std::string(static_cast<const char*>(s.Memory()), size_t(s.Size()));
}

struct TSampleTable {
    CRTblDesc Desc;
    std::vector<TRow> Rows;
};

std::vector<TSampleTable> MakeTables() {
    std::vector<TSampleTable> t(5);
    TGen g(20240601u);

    // EMPLOYEE
    t[0].Desc.szTblName = "EMPLOYEE";
    t[0].Desc.Fields = {Fld("EmpNo", fldINT32, 0, fldstNONE, true), Fld("LastName", fldZSTRING, 20),
                        Fld("FirstName", fldZSTRING, 15), Fld("PhoneExt", fldZSTRING, 4),
                        Fld("HireDate", fldDATE), Fld("Salary", fldFLOAT)};
    t[0].Desc.Indexes = {Idx("", "EmpNo", true), Idx("ByName", "LastName;FirstName")};
    for (int i = 0; i < kEmployees; ++i) {
        t[0].Rows.push_back({DBIValue::Int(100 + i), DBIValue::Text(g.Pick(kLast)), DBIValue::Text(g.Pick(kFirst)),
                             DBIValue::Text(std::to_string(200 + g.Range(0, 799))),
                             DBIValue::Int(NativeDate(1988 + i % 30, 1 + i % 12, 1 + (i * 7) % 28)),
                             DBIValue::Float(double(25000 + 500 * g.Range(0, 100)))});
    }

    // PARTS
    t[1].Desc.szTblName = "PARTS";
    t[1].Desc.Fields = {Fld("PartNo", fldINT32, 0, fldstNONE, true), Fld("VendorNo", fldINT32),
                        Fld("Description", fldZSTRING, 30), Fld("OnHand", fldINT32), Fld("OnOrder", fldINT32),
                        Fld("Cost", fldFLOAT, 0, fldstMONEY), Fld("ListPrice", fldFLOAT, 0, fldstMONEY)};
    t[1].Desc.Indexes = {Idx("", "PartNo", true), Idx("ByDescription", "Description")};
    std::vector<double> listPrice(kParts);
    for (int i = 0; i < kParts; ++i) {
        const double cost = 5 + g.Range(0, 4000) / 10.0;
        listPrice[size_t(i)] = std::round(cost * 1.6 * 100) / 100;
        t[1].Rows.push_back({DBIValue::Int(1000 + i), DBIValue::Int(5000 + g.Range(0, 19)),
                             DBIValue::Text(g.Two(kPartWords1, kPartWords2) + " " + std::to_string(i)),
                             DBIValue::Int(g.Range(0, 500)), DBIValue::Int(g.Range(0, 50) * (i % 3 == 0)),
                             DBIValue::Float(cost), DBIValue::Float(listPrice[size_t(i)])});
    }

    // CUSTOMER
    t[2].Desc.szTblName = "CUSTOMER";
    t[2].Desc.Fields = {Fld("CustNo", fldINT32, 0, fldstNONE, true), Fld("Company", fldZSTRING, 30, fldstNONE, true),
                        Fld("Addr1", fldZSTRING, 30), Fld("City", fldZSTRING, 15), Fld("State", fldZSTRING, 3),
                        Fld("Zip", fldZSTRING, 10), Fld("Country", fldZSTRING, 20), Fld("Phone", fldZSTRING, 15),
                        Fld("Contact", fldZSTRING, 20), Fld("Notes", fldBLOB, 0, fldstMEMO),
                        Fld("Logo", fldBLOB, 0, fldstGRAPHIC)};
    t[2].Desc.Indexes = {Idx("", "CustNo", true), Idx("ByCompany", "Company", false, false, true),
                         Idx("ByState", "State;City")};
    for (int i = 0; i < kCustomers; ++i) {
        const int custNo = 1001 + i;
        const TPlace& p = kPlaces[g.Next() % (sizeof kPlaces / sizeof kPlaces[0])];
        const std::string company = g.Two(kWords1, kWords2) + " " + std::to_string(custNo);
        const std::string contact = g.Two(kFirst, kLast);
        std::string notes = company + " buys from us since " + std::to_string(1990 + i % 30) + ".";
        if (i % 4 == 0) notes += "\nPrefers delivery by " + std::string(kShipVia[i % 5]) + ".";
        const int houseNo = g.Range(1, 999);
        const std::string addr = std::to_string(houseNo) + " " + g.Pick(kStreets);
        t[2].Rows.push_back({DBIValue::Int(custNo), DBIValue::Text(company), DBIValue::Text(addr),
                             DBIValue::Text(p.City), p.State[0] ? DBIValue::Text(p.State) : DBIValue::Null(),
                             DBIValue::Text(std::to_string(g.Range(10000, 99999))), DBIValue::Text(p.Country),
                             DBIValue::Text(Format("%d-%d-%d", {g.Range(200, 999), g.Range(200, 999), g.Range(1000, 9999)})),
                             DBIValue::Text(contact), i % 10 == 9 ? DBIValue::Null() : DBIValue::Text(notes),
                             i % 3 == 2 ? DBIValue::Null() : DBIValue::Bytes(DrawLogo(custNo))});
    }

    // ORDERS and ITEMS: ItemsTotal is the sum of the order's items.
    t[3].Desc.szTblName = "ORDERS";
    t[3].Desc.Fields = {Fld("OrderNo", fldINT32, 0, fldstNONE, true), Fld("CustNo", fldINT32, 0, fldstNONE, true),
                        Fld("EmpNo", fldINT32), Fld("SaleDate", fldDATE), Fld("ShipDate", fldTIMESTAMP),
                        Fld("ShipVia", fldZSTRING, 7), Fld("PaymentMethod", fldZSTRING, 7),
                        Fld("ItemsTotal", fldFLOAT, 0, fldstMONEY), Fld("TaxRate", fldFLOAT),
                        Fld("AmountPaid", fldFLOAT, 0, fldstMONEY)};
    t[3].Desc.Indexes = {Idx("", "OrderNo", true), Idx("ByCustNo", "CustNo")};
    t[4].Desc.szTblName = "ITEMS";
    t[4].Desc.Fields = {Fld("OrderNo", fldINT32, 0, fldstNONE, true), Fld("ItemNo", fldINT32, 0, fldstNONE, true),
                        Fld("PartNo", fldINT32), Fld("Qty", fldINT32), Fld("Discount", fldFLOAT)};
    t[4].Desc.Indexes = {Idx("", "OrderNo;ItemNo", true), Idx("ByPartNo", "PartNo")};
    for (int i = 0; i < kOrders; ++i) {
        const int orderNo = 1001 + i;
        // Every tenth customer has no orders; the others get several.
        int custIndex = g.Range(0, kCustomers - 1);
        if (custIndex % 10 == 7) --custIndex;
        const int items = 1 + int(g.Next() % 5);
        double total = 0;
        for (int k = 1; k <= items; ++k) {
            const int part = g.Range(0, kParts - 1);
            const int qty = g.Range(1, 10);
            const double discount = (k % 4 == 0) ? 10 : 0;
            total += listPrice[size_t(part)] * qty * (100 - discount) / 100;
            t[4].Rows.push_back({DBIValue::Int(orderNo), DBIValue::Int(k), DBIValue::Int(1000 + part),
                                 DBIValue::Int(qty), DBIValue::Float(discount)});
        }
        total = std::round(total * 100) / 100;
        const int64_t sale = NativeDate(2020 + i / 400, 1 + (i / 33) % 12, 1 + (i * 11) % 28);
        const double ship = (double(sale) + 2 + i % 5) * 86400000.0 + 3600000.0 * (8 + i % 9);
        const double tax = (i % 3 == 0) ? 8.25 : 0;
        t[3].Rows.push_back({DBIValue::Int(orderNo), DBIValue::Int(1001 + custIndex),
                             DBIValue::Int(100 + g.Range(0, kEmployees - 1)), DBIValue::Int(sale),
                             i % 50 == 49 ? DBIValue::Null() : DBIValue::Float(ship),
                             DBIValue::Text(g.Pick(kShipVia)), DBIValue::Text(g.Pick(kPayment)),
                             DBIValue::Float(total), DBIValue::Float(tax),
                             DBIValue::Float(i % 7 == 0 ? 0 : std::round(total * (1 + tax / 100) * 100) / 100)});
    }
    return t;
}

// Writes one value into field F of the record buffer (blobs through the blob calls).
void PutValue(hDBICur Cur, uint8_t* Rec, const FLDDesc& F, const DBIValue& V) {
    if (V.bNull) {
        Check(DbiPutField(Cur, F.iFldNum, Rec, nullptr));
        return;
    }
    if (F.iFldType == fldBLOB) {
        Check(DbiPutBlob(Cur, Rec, F.iFldNum, 0, int64_t(V.sVal.size()), V.sVal.data()));
        return;
    }
    std::vector<uint8_t> buf(F.iLen + 1, 0);
    switch (F.iFldType) {
    case fldZSTRING: std::memcpy(buf.data(), V.sVal.data(), std::min<size_t>(V.sVal.size(), F.iLen - 1)); break;
    case fldINT32: case fldDATE: {
        const int32_t x = int32_t(V.iVal);
        std::memcpy(buf.data(), &x, 4);
        break;
    }
    case fldFLOAT: case fldTIMESTAMP: std::memcpy(buf.data(), &V.fVal, 8); break;
    default: throw EDatabaseError("The sample database has a field of an unexpected type: " + F.szName);
    }
    Check(DbiPutField(Cur, F.iFldNum, Rec, buf.data()));
}

// Writes the rows of T through an open cursor on its table.
void WriteRows(hDBICur Cur, const TSampleTable& T) {
    CURProps props;
    Check(DbiGetCursorProps(Cur, props));
    std::vector<FLDDesc> fields;
    Check(DbiGetFieldDescs(Cur, fields));
    std::vector<uint8_t> rec(props.iRecBufSize);
    for (const TRow& row : T.Rows) {
        Check(DbiInitRecord(Cur, rec.data()));
        for (size_t i = 0; i < fields.size() && i < row.size(); ++i) PutValue(Cur, rec.data(), fields[i], row[i]);
        Check(DbiInsertRecord(Cur, rec.data()));
    }
}

// Open cursors, closed on every way out.
struct TCursors {
    std::vector<hDBICur> List;
    ~TCursors() {
        for (hDBICur& c : List) DbiCloseCursor(c);
    }
};

}  // namespace

TSampleDbCounts SampleDatabaseCounts() {
    TSampleDbCounts c;
    c.Customers = kCustomers;
    c.Orders = kOrders;
    c.Parts = kParts;
    c.Employees = kEmployees;
    // Items depend on the generator; count them once.
    static const int items = [] { return int(MakeTables()[4].Rows.size()); }();
    c.Items = items;
    return c;
}

TSampleDbCounts CreateSampleDatabase(const std::string& Target) {
    if (Target.empty()) throw EDatabaseError("No place was given for the sample database");
    const bool file = !ExtractFileExt(Target).empty();
    if (!file && !ForceDirectories(Target))
        throw EDatabaseError("Cannot create the sample database folder " + Target);
    const auto tables = MakeTables();
    hDBIDb db = nullptr;
    Check(DbiOpenDatabase(file ? "SQLITE" : "STANDARD", {{"PATH", Target}}, db));
    struct TDbCloser {
        hDBIDb& D;
        ~TDbCloser() { DbiCloseDatabase(D); }
    } dbCloser{db};
    // Tables are made first: SQLite cannot attach a local table's file inside a transaction.
    TCursors cursors;
    for (const auto& t : tables) {
        Check(DbiCreateTable(db, true, t.Desc));
        hDBICur cur = nullptr;
        Check(DbiOpenTable(db, t.Desc.szTblName, "", "", dbiREADWRITE, dbiOPENSHARED, cur));
        cursors.List.push_back(cur);
    }
    hDBIXact x = nullptr;
    Check(DbiBeginTran(db, xilDIRTYREAD, x));
    try {
        for (size_t i = 0; i < tables.size(); ++i) WriteRows(cursors.List[i], tables[i]);
        if (file) {
            SPDesc sp;
            sp.szName = "CUSTOMER_TOTALS";
            sp.szSQL = "SELECT COUNT(*) AS OrderCount, COALESCE(SUM(ItemsTotal), 0) AS Total "
                       "FROM ORDERS WHERE CustNo = :CustNo";
            sp.Params = {{"CustNo", fldINT32, fldstNONE, 0, 0, paramIN},
                         {"OrderCount", fldINT32, fldstNONE, 0, 0, paramOUT},
                         {"Total", fldFLOAT, fldstMONEY, 0, 0, paramOUT}};
            Check(DbiCreateSP(db, sp, true));
        }
        Check(DbiEndTran(db, x, xendCOMMIT));
    } catch (...) {
        DbiEndTran(db, x, xendABORT);
        throw;
    }
    TSampleDbCounts c;
    c.Employees = int(tables[0].Rows.size());
    c.Parts = int(tables[1].Rows.size());
    c.Customers = int(tables[2].Rows.size());
    c.Orders = int(tables[3].Rows.size());
    c.Items = int(tables[4].Rows.size());
    return c;
}

}  // namespace host
