// File, colour and font dialogs: answered by responders, checked against their options, and driven as forms.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "apptest.h"
#include "host/app/dialogs.h"
#include "host/app/sysdialogs.h"
#include "host/controls/controls.h"
#include "host/controls/edits.h"
#include "host/controls/forms.h"
#include "host/controls/lists.h"
#include "host/rtl/typinfo.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"
#include "host/windows/wintest.h"

namespace {

using namespace host;

class SysDialogsTest : public apptest::TAppFixture {
protected:
    std::string Dir;
    void SetUp() override {
        TAppFixture::SetUp();
        Dir = "/tmp/ryx_sysdlg_" + std::to_string(::getpid());
        ForceDirectories(Dir + "/sub");
        WriteFileAtomic(Dir + "/a.txt", "a");
        WriteFileAtomic(Dir + "/B.TXT", "b");
        WriteFileAtomic(Dir + "/c.log", "c");
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + Dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        TAppFixture::TearDown();
    }
    template <class T>
    static T* Find(TDialogInfo& Info, const std::string& Name) {
        return dynamic_cast<T*>(Info.Form->FindComponent(Name));
    }
    // The entries a list on the dialog shows, as comma text.
    static std::string ListText(TDialogInfo& Info, const std::string& Name) {
        auto* items = dynamic_cast<TStrings*>(GetObjectProp(Info.Form->FindComponent(Name), "Items"));
        return items != nullptr ? items->CommaText() : "<none>";
    }
};

TEST_F(SysDialogsTest, FileDialogsTakeTheResponderNamesThroughTheirChecks) {
    TOpenDialog dlg(nullptr);
    dlg.SetFilter("Text files (*.txt)|*.txt|All files (*.*)|*.*");
    dlg.SetInitialDir(Dir);
    dlg.SetDefaultExt(".txt");
    EXPECT_EQ(dlg.FilterPairs().size(), 2u);
    {
        TDialogResponder r;
        r.Expect(dkOpenDialog, "Open", [&](TDialogInfo& Info) {
            EXPECT_EQ(Info.Object, &dlg);
            EXPECT_TRUE(Info.Values->empty());
            // Folders first, then only the files of the chosen filter.
            EXPECT_EQ(ListText(Info, "FileList"), "[sub],a.txt,B.TXT");
            Info.Values->assign({"notes"});
            return mrOk;
        });
        EXPECT_TRUE(dlg.Execute());
    }
    EXPECT_EQ(dlg.FileName(), Dir + "/notes.txt");
    EXPECT_EQ(dlg.Files()->Count(), 1);

    // A missing file with ofFileMustExist: a warning, and nothing changes.
    dlg.SetOptions({ofFileMustExist});
    {
        TDialogResponder r;
        r.Expect(dkOpenDialog, "Open", [&](TDialogInfo& Info) {
            EXPECT_EQ(Info.Values->at(0), Dir + "/notes.txt");
            Info.Values->assign({"missing.txt"});
            return mrOk;
        });
        r.Expect(dkMessageDialog, "File not found", mrOk);
        EXPECT_FALSE(dlg.Execute());
        EXPECT_EQ(r.Pending(), 0);
    }
    EXPECT_EQ(dlg.FileName(), Dir + "/notes.txt");
    {
        TDialogResponder r;
        r.Answer(mrCancel);
        EXPECT_FALSE(dlg.Execute());
    }
    // Several files at once, and OnCanClose may refuse them.
    dlg.SetOptions({ofAllowMultiSelect, ofFileMustExist});
    int asked = 0;
    dlg.OnCanClose = TCloseQueryEvent([&](TObject*, bool& CanClose) {
        ++asked;
        CanClose = dlg.Files()->Count() == 2;
    });
    {
        TDialogResponder r;
        r.Then([&](TDialogInfo& Info) {
            Info.Values->assign({"a.txt", Dir + "/B.TXT"});
            return mrOk;
        });
        r.Then([&](TDialogInfo& Info) {
            Info.Values->assign({"a.txt"});
            return mrOk;
        });
        EXPECT_TRUE(dlg.Execute());
        EXPECT_EQ(dlg.Files()->Count(), 2);
        EXPECT_EQ(dlg.Files()->Strings(1), Dir + "/B.TXT");
        EXPECT_FALSE(dlg.Execute());
        EXPECT_EQ(dlg.Files()->Count(), 2);
        EXPECT_EQ(asked, 2);
    }

    // Saving over an existing file asks first.
    TSaveDialog save(nullptr);
    save.SetInitialDir(Dir);
    save.SetOptions({ofOverwritePrompt});
    {
        TDialogResponder r;
        r.Expect(dkSaveDialog, "Save As", [](TDialogInfo& Info) {
            Info.Values->assign({"a.txt"});
            return mrOk;
        });
        r.Expect(dkMessageDialog, "already exists", mrNo);
        r.Expect(dkSaveDialog, "Save As", [](TDialogInfo& Info) {
            Info.Values->assign({"a.txt"});
            return mrOk;
        });
        r.Expect(dkMessageDialog, "already exists", mrYes);
        EXPECT_FALSE(save.Execute());
        EXPECT_TRUE(save.FileName().empty());
        EXPECT_TRUE(save.Execute());
        EXPECT_EQ(save.FileName(), Dir + "/a.txt");
    }

    // The published properties stream.
    RegisterDialogClasses();
    TForm root(nullptr, 0);
    root.SetName("Root");
    auto* d = new TSaveDialog(&root);
    d->SetName("Saver");
    d->SetFilter("Logs|*.log");
    d->SetFilterIndex(2);
    d->SetOptions({ofOverwritePrompt, ofHideReadOnly});
    TStringStream out("");
    out.WriteComponent(&root);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("Filter = 'Logs|*.log'"), std::string::npos) << text;
    EXPECT_NE(text.find("Options = [ofOverwritePrompt, ofHideReadOnly]"), std::string::npos) << text;
    EXPECT_NE(text.find("FilterIndex = 2"), std::string::npos) << text;
}

TEST_F(SysDialogsTest, TheFileFormWorksWithTheKeyboard) {
    TOpenDialog dlg(nullptr);
    dlg.SetFilter("Text files (*.txt)|*.txt|Logs (*.log)|*.log");
    dlg.SetFilterIndex(2);
    dlg.SetInitialDir(Dir);
    dlg.SetDefaultExt("log");
    TDialogResponder r;
    // The dialog's own loop runs: type a folder name and Enter (the folder opens),
    // then a file name and Enter.
    r.Then([&](TDialogInfo& Info) {
        EXPECT_EQ(ListText(Info, "FileList"), "[sub],c.log");
        Input::Type("sub");
        Input::Key(VK_RETURN);
        Input::Type("today");
        Input::Key(VK_RETURN);
        return mrNone;
    });
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), Dir + "/sub/today.log");
    EXPECT_EQ(dlg.FilterIndex(), 2);
    // The next time it opens where it left off; a typed mask filters the list.
    r.Then([&](TDialogInfo& Info) {
        EXPECT_EQ(ListText(Info, "FileList"), "");
        auto* edit = Find<TEdit>(Info, "FileNameEdit");
        edit->SetText("../*.TXT");
        Info.Click("Open");
        EXPECT_EQ(ListText(Info, "FileList"), "[sub],a.txt,B.TXT");
        return mrCancel;
    });
    dlg.SetInitialDir("");
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), Dir + "/sub/today.log");
}

TEST_F(SysDialogsTest, TheFileFormBrowsesWithTheMouseAndKeys) {
    WriteFileAtomic(Dir + "/sub/inner.txt", "i");
    TOpenDialog dlg(nullptr);
    dlg.SetFilter("Text files (*.txt)|*.txt|Logs (*.log)|*.log");
    dlg.SetInitialDir(Dir);
    TDialogResponder r;
    r.Then([&](TDialogInfo& Info) {
        auto* list = Find<TListBox>(Info, "FileList");
        auto* folders = Find<TComboBox>(Info, "FolderCombo");
        auto* types = Find<TComboBox>(Info, "FileTypeCombo");
        EXPECT_EQ(folders->Text(), Dir);
        EXPECT_EQ(folders->Items()->Strings(0), "/");  // the folder's parents, the root first
        EXPECT_EQ(types->Text(), "Text files (*.txt)");
        // The type combo filters the list.
        Input::Call([this, &Info, list, folders, types] { types->SetFocus(); });
        Input::Key(VK_DOWN);
        Input::Call([this, &Info, list, folders, types] { EXPECT_EQ(ListText(Info, "FileList"), "[sub],c.log"); });
        Input::Key(VK_UP);
        // A double click on a folder enters it; Backspace in the list goes up again,
        // with the folder left chosen, so Enter goes back in.
        TPoint first = list->ClientToScreen(TPoint{30, 6});
        Input::DoubleClick(first.x, first.y);
        Input::Call([this, &Info, list, folders, types] {
            EXPECT_EQ(ListText(Info, "FileList"), "inner.txt");
            EXPECT_EQ(folders->Text(), Dir + "/sub");
        });
        Input::Key(VK_BACK);
        Input::Call([this, &Info, list, folders, types] {
            EXPECT_EQ(ListText(Info, "FileList"), "[sub],a.txt,B.TXT");
            EXPECT_EQ(list->ItemIndex(), 0);
        });
        Input::Key(VK_RETURN);
        Input::Call([this, &Info, list, folders, types] { EXPECT_EQ(folders->Text(), Dir + "/sub"); });
        // A click on a file names it; Enter opens it.
        Input::Wait(1000);  // not a double click
        Input::Click(first.x, first.y);
        Input::Call([this, &Info, list, folders, types] { EXPECT_EQ(Find<TEdit>(Info, "FileNameEdit")->Text(), "inner.txt"); });
        Input::Key(VK_RETURN);
        return mrNone;
    });
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), Dir + "/sub/inner.txt");
    EXPECT_EQ(dlg.FilterIndex(), 1);
}

TEST_F(SysDialogsTest, ColorAndFontDialogs) {
    TColorDialog colors(nullptr);
    EXPECT_EQ(colors.Color(), clBlack);
    colors.CustomColors()->Add("ColorA=0000FF");
    colors.CustomColors()->Add("ColorB=junk");
    EXPECT_EQ(colors.CustomColorValues()[0], clRed);
    EXPECT_EQ(colors.CustomColorValues()[1], clWhite);
    TDialogResponder r;
    r.Expect(dkSystemDialog, "Color", [](TDialogInfo& Info) {
        EXPECT_EQ(Info.Values->at(0), "clBlack");
        Info.Values->at(0) = "clRed";
        return mrOk;
    });
    EXPECT_TRUE(colors.Execute());
    EXPECT_EQ(colors.Color(), clRed);
    r.Then([](TDialogInfo& Info) {
        Info.Values->at(0) = "not a colour";
        return mrOk;
    });
    EXPECT_FALSE(colors.Execute());
    EXPECT_EQ(colors.Color(), clRed);
    // On the form: a click on a basic swatch and Enter.
    r.Then([](TDialogInfo& Info) {
        auto* grid = dynamic_cast<TWinControl*>(Info.Form->FindComponent("BasicColors"));
        TPoint p = grid->ClientToScreen(TPoint{26 * 4 + 10, 22 * 3 + 10});  // row 4, column 5: pure blue
        Input::Click(p.x, p.y);
        Input::Key(VK_RETURN);
        return mrNone;
    });
    EXPECT_TRUE(colors.Execute());
    EXPECT_EQ(colors.Color(), BasicColors[28]);
    EXPECT_EQ(ColorToRGB(colors.Color()), 0xFF0000);

    TFontDialog fonts(nullptr);
    fonts.Font()->SetName("Arial");
    fonts.Font()->SetSize(10);
    r.Expect(dkSystemDialog, "Font", [](TDialogInfo& Info) {
        EXPECT_EQ(*Info.Values, (std::vector<std::string>{"Arial", "10", "[]", "clWindowText"}));
        Info.Values->assign({"Courier New", "12", "[fsBold,fsItalic]", "clBlue"});
        return mrOk;
    });
    EXPECT_TRUE(fonts.Execute());
    EXPECT_EQ(fonts.Font()->Name(), "Courier New");
    EXPECT_EQ(fonts.Font()->Size(), 12);
    EXPECT_EQ(fonts.Font()->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(fonts.Font()->Color(), clBlue);
    // Sizes outside the limits are refused.
    fonts.SetOptions({fdLimitSize});
    fonts.SetMaxFontSize(20);
    r.Then([](TDialogInfo& Info) {
        Info.Values->at(1) = "30";
        return mrOk;
    });
    EXPECT_FALSE(fonts.Execute());
    EXPECT_EQ(fonts.Font()->Size(), 12);
    // On the form: a size typed into its edit and OK.
    r.Then([](TDialogInfo& Info) {
        dynamic_cast<TEdit*>(Info.Form->FindComponent("FontSizeEdit"))->SetText("16");
        Info.Click("OK");
        return mrNone;
    });
    EXPECT_TRUE(fonts.Execute());
    EXPECT_EQ(fonts.Font()->Size(), 16);
    EXPECT_EQ(fonts.Font()->Name(), "Courier New");
}

}  // namespace
