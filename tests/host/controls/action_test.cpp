// Actions and action lists: execution order, updates, links that carry properties to controls, shortcuts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/controls/actnlist.h"
#include "host/controls/controls.h"
#include "host/os/keyboard.h"

namespace {

using namespace host;

TEST(Action, ListSeesActionsFirstAndLinksCarryProperties) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* list = new TActionList(owner.get());
    auto* save = new TAction(owner.get());
    save->SetActionList(list);
    save->SetCaption("&Save");
    save->SetHint("Save the file");
    std::vector<std::string> log;
    save->OnExecute = [&](TObject*) { log.push_back("save"); };
    list->OnExecute = [&](TBasicAction* A, bool& Handled) {
        log.push_back("list");
        Handled = A->Tag() == 1;
    };
    EXPECT_EQ(list->ActionCount(), 1);
    EXPECT_EQ(save->Index(), 0);

    auto* ctl = new TGraphicControl(owner.get());
    ctl->SetAction(save);
    EXPECT_EQ(ctl->Caption(), "&Save");
    EXPECT_EQ(ctl->Hint(), "Save the file");
    ctl->Click();
    EXPECT_EQ(log, (std::vector<std::string>{"list", "save"}));
    save->SetTag(1);  // the list handles it now
    log.clear();
    ctl->Click();
    EXPECT_EQ(log, (std::vector<std::string>{"list"}));

    // Changing the action changes its clients.
    save->SetEnabled(false);
    EXPECT_FALSE(ctl->Enabled());
    save->SetEnabled(true);
    save->SetCaption("Save &As");
    EXPECT_EQ(ctl->Caption(), "Save &As");
    save->SetVisible(false);
    EXPECT_FALSE(ctl->Visible());

    // An action without any handler disables itself on update.
    auto* orphan = new TAction(owner.get());
    list->OnExecute = nullptr;
    orphan->SetActionList(list);
    orphan->Update();
    EXPECT_FALSE(orphan->Enabled());
    EXPECT_FALSE(orphan->Execute());

    // Shortcuts run the matching enabled action.
    save->SetTag(0);
    save->SetShortCut(ShortCut('S', false, true, false));
    EXPECT_EQ(ShortCutToText(save->ShortCut()), "Ctrl+S");
    EXPECT_EQ(TextToShortCut("Ctrl+S"), save->ShortCut());
    EXPECT_EQ(TextToShortCut("Shift+F5"), ShortCut(VK_F5, true, false, false));
    log.clear();
    EXPECT_TRUE(list->IsShortCut(save->ShortCut()));
    EXPECT_FALSE(list->IsShortCut(ShortCut('Q', false, true, false)));
    EXPECT_EQ(log, (std::vector<std::string>{"save"}));

    // Freeing the action leaves the control without one; freeing the list leaves the
    // actions outside it.
    delete save;
    EXPECT_EQ(ctl->Action(), nullptr);
    EXPECT_EQ(list->ActionCount(), 1);
    delete list;
    EXPECT_EQ(orphan->ActionList(), nullptr);
}

}  // namespace
