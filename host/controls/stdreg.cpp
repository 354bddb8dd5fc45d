// Registration of every standard control class and of the data-access components.
#include "host/controls/stdreg.h"

#include "host/controls/buttons.h"
#include "host/controls/comctrls.h"
#include "host/controls/dbctrls.h"
#include "host/controls/dbgrids.h"
#include "host/controls/edits.h"
#include "host/controls/extctrls.h"
#include "host/controls/grids.h"
#include "host/controls/lists.h"
#include "host/controls/menus.h"
#include "host/controls/treeview.h"
#include "host/db/db.h"
#include "host/db/dbtables.h"

namespace host {

void RegisterStandardControls() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterExtClasses();
    RegisterEditClasses();
    RegisterButtonClasses();
    RegisterListClasses();
    RegisterComCtrlClasses();
    RegisterGridClasses();
    RegisterTreeViewClasses();
    RegisterMenuClasses();
    RegisterDBControlClasses();
    RegisterDBGridClasses();
    // The data-access components that data modules and forms hold beside the controls.
    RegisterClasses({TDataSource::StaticClass(), TTable::StaticClass(), TQuery::StaticClass(),
                     TStoredProc::StaticClass(), TDatabase::StaticClass(), TSession::StaticClass()});
}

}  // namespace host
