// The demo's main form: the customers of the sample database in a grid, the current record in edits, a menu and a status line.
#pragma once

#include <string>

#include "host/controls/forms.h"

namespace host {
class TTable;
class TDataSource;
class TDBGrid;
class TDBEdit;
class TStatusBar;
class TMainMenu;
}  // namespace host

namespace ryxdemo {

// Where the demo keeps its data: $RYX_DEMO_DATA, else $XDG_DATA_HOME/ryxdemo, else
// ~/.local/share/ryxdemo.
std::string DemoDataDir();
// The sample database file in Dir, made on first start (Made tells whether it was).
std::string EnsureSampleDatabase(const std::string& Dir, bool& Made);

class TMainForm : public host::TForm {
    HOST_CLASS(TMainForm, host::TForm)
public:
    explicit TMainForm(host::TComponent* AOwner);

    // Opens the customers of the database file and shows them.
    void OpenDatabase(const std::string& DatabaseFile);

    host::TTable* Customers() const { return FCustomers; }
    host::TDataSource* Source() const { return FSource; }
    host::TDBGrid* Grid() const { return FGrid; }
    host::TStatusBar* Status() const { return FStatus; }
    // The edit of a field of the current record (nullptr for a field without one).
    host::TDBEdit* EditOf(const std::string& FieldName) const;

    // The Edit menu's commands.
    void InsertRecord();
    void DeleteRecord();
    void PostRecord();
    void CancelRecord();

private:
    host::TTable* FCustomers = nullptr;
    host::TDataSource* FSource = nullptr;
    host::TDBGrid* FGrid = nullptr;
    host::TStatusBar* FStatus = nullptr;
    std::string FDatabase;

    host::TMainMenu* BuildMenu();
    void BuildEdits();
    void UpdateStatus();
    void FormClose(host::TObject* Sender, host::TCloseAction& Action);
};

}  // namespace ryxdemo
