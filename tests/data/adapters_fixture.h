// Shared set-up of the dataset adapter tests: a temporary engine folder and a small PEOPLE table with indexes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host/db/db_fixture.h"
#include "host/db/dbtables.h"

namespace adtest {

struct TPerson {
    std::string Name;
    int Age;
};

class TAdapterTest : public dbtest::TDbTemp {
protected:
    // PEOPLE (Id primary, Name, Age) in Db with indexes ByName (Name) and
    // ByNameAge (Name, Age), rows numbered from 1; open on Index ("" = primary).
    std::unique_ptr<host::TTable> People(const std::string& Db, const std::vector<TPerson>& Rows,
                                         const std::string& Index = "") {
        auto t = std::make_unique<host::TTable>(nullptr);
        t->SetDatabaseName(Db);
        t->SetTableName("PEOPLE");
        t->FieldDefs()->Add("Id", host::ftInteger, 0, true);
        t->FieldDefs()->Add("Name", host::ftString, 20);
        t->FieldDefs()->Add("Age", host::ftInteger);
        t->IndexDefs()->Add("", "Id", {host::ixPrimary});
        t->IndexDefs()->Add("ByName", "Name", {});
        t->IndexDefs()->Add("ByNameAge", "Name;Age", {});
        t->CreateTable();
        if (!Index.empty()) t->SetIndexName(Index);
        t->Open();
        int id = 1;
        for (const auto& r : Rows) {
            t->Append();
            t->FieldByName("Id")->SetAsInteger(id++);
            t->FieldByName("Name")->SetAsString(r.Name);
            t->FieldByName("Age")->SetAsInteger(r.Age);
            t->Post();
        }
        t->First();
        return t;
    }

    static std::vector<TPerson> Crowd() {
        return {{"Ann", 30}, {"Bob", 40}, {"Bob", 25}, {"Cid", 51}, {"Dan", 19}, {"Eve", 33}};
    }

    // The number of rows of a table as the database file holds them.
    int CountRows(const std::string& Db, const std::string& Table) {
        host::TQuery q(nullptr);
        q.SetDatabaseName(Db);
        q.SQL()->SetText("select count(*) from " + Table);
        q.Open();
        return q.Fields(0)->AsInteger();
    }
};

}  // namespace adtest
