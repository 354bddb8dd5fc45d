// Unit Ryxdbacc: local database components (a table, a query and a database in the application's directory) and the idle-time engine flush.
#pragma once

#include <string>

#include "host/app/app.h"
#include "host/db/dbtables.h"

namespace ryx {

// The application directory without its trailing delimiter: the directory of
// Application's ExeName at run time; for a component being designed
// (csDesigning) the directory of the design environment's current project.
std::string ryxApplicationDirectory(const host::TComponent* Component);
// The design environment's current project file (set by a designer host; "" none).
void ryxSetDesignProjectFile(const std::string& FileName);
const std::string& ryxDesignProjectFile();

namespace detail {
// The LocalPath behaviour shared by the local table and query: while LocalPath
// is true the dataset's database is the application's directory; naming
// another database turns LocalPath off. DatabaseName is stored in a form only
// while LocalPath is false.
template <class TDataSetBase>
class TLocalPathDataSet : public TDataSetBase {
public:
    explicit TLocalPathDataSet(host::TComponent* AOwner) : TDataSetBase(AOwner) { SetLocalPath(true); }

    const std::string& DatabaseName() const { return TDataSetBase::DatabaseName(); }
    void SetDatabaseName(const std::string& Value) {
        if (Value == DatabaseName()) return;
        TDataSetBase::SetDatabaseName(Value);
        FLocalPath = false;
    }
    bool LocalPath() const { return FLocalPath; }
    void SetLocalPath(bool Value) {
        if (Value == FLocalPath) return;
        if (Value) TDataSetBase::SetDatabaseName(ryxApplicationDirectory(this));
        FLocalPath = Value;
    }

protected:
    bool FLocalPath = false;
    std::string DatabaseNameProp() const { return DatabaseName(); }
    void SetDatabaseNameProp(std::string Value) { SetDatabaseName(Value); }
    bool DatabaseNameStored() const { return !FLocalPath; }
};
}  // namespace detail

// A table in the application's directory while LocalPath is true.
class TryxLocalTable : public detail::TLocalPathDataSet<host::TTable> {
    HOST_CLASS(TryxLocalTable, host::TTable)
public:
    explicit TryxLocalTable(host::TComponent* AOwner) : TLocalPathDataSet(AOwner) {}

private:
    HOST_PUBLISHED(prop("DatabaseName", &TryxLocalTable::DatabaseNameProp, &TryxLocalTable::SetDatabaseNameProp)
                       .stored(&TryxLocalTable::DatabaseNameStored),
                   prop("LocalPath", &TryxLocalTable::FLocalPath, &TryxLocalTable::SetLocalPath).def(true))
};

// A query over the application's directory while LocalPath is true.
class TryxLocalQuery : public detail::TLocalPathDataSet<host::TQuery> {
    HOST_CLASS(TryxLocalQuery, host::TQuery)
public:
    explicit TryxLocalQuery(host::TComponent* AOwner) : TLocalPathDataSet(AOwner) {}

private:
    HOST_PUBLISHED(prop("DatabaseName", &TryxLocalQuery::DatabaseNameProp, &TryxLocalQuery::SetDatabaseNameProp)
                       .stored(&TryxLocalQuery::DatabaseNameStored),
                   prop("LocalPath", &TryxLocalQuery::FLocalPath, &TryxLocalQuery::SetLocalPath).def(true))
};

// A database on the "STANDARD" driver whose Path is the application's
// directory while LocalPath is true. Loaded sets the path before the inherited
// Loaded connects a database streamed as connected.
class TryxLocalDatabase : public host::TDatabase {
    HOST_CLASS(TryxLocalDatabase, host::TDatabase)
public:
    explicit TryxLocalDatabase(host::TComponent* AOwner);

    bool LocalPath() const { return FLocalPath; }
    void SetLocalPath(bool Value);

    void Loaded() override;

private:
    bool FLocalPath = false;
    void ApplyLocalPath();

    HOST_PUBLISHED(prop("LocalPath", &TryxLocalDatabase::FLocalPath, &TryxLocalDatabase::SetLocalPath).def(true))
};

// On each idle call of the application: asks the engine to write what every
// modifiable open dataset of every database of every session holds, then
// calls OnIdle.
class TryxDBIdleTime : public host::TComponent {
    HOST_CLASS(TryxDBIdleTime, host::TComponent)
public:
    explicit TryxDBIdleTime(host::TComponent* AOwner);
    ~TryxDBIdleTime() override;

    host::TIdleEvent OnIdle;

    // The handler registered with the application events.
    void DoIdle(host::TObject* Sender, bool& Done);

private:
    HOST_PUBLISHED(prop("OnIdle", &TryxDBIdleTime::OnIdle, &TryxDBIdleTime::OnIdle))
};

}  // namespace ryx
