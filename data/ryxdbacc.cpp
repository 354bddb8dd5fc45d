// Unit Ryxdbacc: the local table, query and database bound to the application's directory, and the idle-time engine flush.
#include "data/ryxdbacc.h"

#include "host/db/dbierrors.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"
#include "services/ryxapp.h"

namespace ryx {

using namespace host;

namespace {
std::string& DesignProjectFile() {
    static std::string file;
    return file;
}
}  // namespace

void ryxSetDesignProjectFile(const std::string& FileName) { DesignProjectFile() = FileName; }
const std::string& ryxDesignProjectFile() { return DesignProjectFile(); }

std::string ryxApplicationDirectory(const TComponent* Component) {
    std::string file;
    if (Component && Component->ComponentState().Contains(csDesigning)) file = DesignProjectFile();
    else if (Application) file = Application->ExeName();
    return ExcludeTrailingPathDelimiter(ExtractFilePath(file));
}

// ---------------------------------------------------------------------------
// TryxLocalDatabase

TryxLocalDatabase::TryxLocalDatabase(TComponent* AOwner) : TDatabase(AOwner) { SetLocalPath(true); }

// The driver goes first: on a connected database it raises before anything changed.
void TryxLocalDatabase::ApplyLocalPath() {
    SetDriverName("STANDARD");
    Params()->Clear();
    Params()->Add("Path=" + ryxApplicationDirectory(this));
}

void TryxLocalDatabase::SetLocalPath(bool Value) {
    if (Value == FLocalPath) return;
    if (Value) ApplyLocalPath();
    FLocalPath = Value;
}

void TryxLocalDatabase::Loaded() {
    // The path must stand before the inherited Loaded opens a database that
    // was streamed as connected.
    if (FLocalPath) ApplyLocalPath();
    TDatabase::Loaded();
}

// ---------------------------------------------------------------------------
// TryxDBIdleTime

TryxDBIdleTime::TryxDBIdleTime(TComponent* AOwner) : TComponent(AOwner) {
    ryxApplicationEvents()->RegisterOnIdle(TIdleEvent(this, &TryxDBIdleTime::DoIdle));
}

TryxDBIdleTime::~TryxDBIdleTime() {
    if (TryxApplicationEvents* events = ryxFindApplicationEvents())
        events->UnRegisterOnIdle(TIdleEvent(this, &TryxDBIdleTime::DoIdle));
}

void TryxDBIdleTime::DoIdle(TObject* Sender, bool& Done) {
    // Every modifiable dataset is flushed even when one of them fails; the
    // first failure is raised afterwards.
    DBIResult failure = DBIERR_NONE;
    for (int s = 0; s < Sessions->Count(); ++s) {
        TSession* session = Sessions->Sessions(s);
        for (int d = 0; d < session->DatabaseCount(); ++d) {
            TDatabase* database = session->Databases(d);
            for (int k = 0; k < database->DataSetCount(); ++k) {
                TDBDataSet* dataset = database->DataSets(k);
                if (dataset->Handle() == nullptr || !dataset->CanModify()) continue;
                const DBIResult rc = DbiSaveChanges(dataset->Handle());
                if (failure == DBIERR_NONE) failure = rc;
            }
        }
    }
    Check(failure);
    OnIdle(Sender, Done);
}

}  // namespace ryx
