// Ryxutilw: registry strings, the browser, printing, the clipboard, control animation and look-ups, as an application uses them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "frame/ryxutilw.h"
#include "host/app/clipbrd.h"
#include "host/app/printers.h"
#include "host/controls/extctrls.h"
#include "host/os/winreg.h"
#include "host/rtl/lists.h"
#include "support/tempdir.h"
#include "../host/controls/test_controls.h"

using namespace host;
using namespace ryx;

namespace {
class RyxUtilWTest : public ctltest::ControlsTest {};
}  // namespace

TEST(RyxUtilWRegistryTest, DefaultValuesOfKeys) {
    testsupport::TTempDir dir;
    regstore::SetFileName(dir.File("registry"));
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".htm", &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("htmlfile"), 9), ERROR_SUCCESS);
    RegSetValueExA(key, "Content Type", 0, REG_SZ, reinterpret_cast<const BYTE*>("text/html"), 10);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Numbers", &key), ERROR_SUCCESS);
    DWORD n = 5;
    RegSetValueExA(key, "", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), 4);
    RegCloseKey(key);

    EXPECT_EQ(ryxGetRegString(HKEY_CLASSES_ROOT, ".htm"), "htmlfile");
    EXPECT_EQ(ryxGetRegString(HKEY_CLASSES_ROOT, ".HTM"), "htmlfile");
    EXPECT_EQ(ryxGetRegString(HKEY_CLASSES_ROOT, ".nothing"), "");
    EXPECT_EQ(ryxGetRegString(HKEY_CURRENT_USER, "Software\\Numbers"), "");  // not a string
    EXPECT_EQ(ryxGetRegString(0x12345, "x"), "");                           // no such root
    regstore::SetFileName("");
}

TEST(RyxUtilWBrowserTest, TheAddressIsOneArgument) {
    testsupport::TTempDir dir;
    const std::string opener = dir.File("xdg-open"), out = dir.File("args");
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"" << out << ".part\"; mv \"" << out
                          << ".part\" \"" << out << "\"\n";
    ::chmod(opener.c_str(), 0755);
    const std::string oldPath = std::getenv("PATH");
    ::setenv("PATH", (dir.Path() + ":" + oldPath).c_str(), 1);
    const std::string url = "https://host/p?q=a b&c=\"d\";exit 1|x";
    EXPECT_TRUE(ryxLaunchBrowserAtURL(url, rswShowMaximized));
    for (int i = 0; i < 500 && ::access(out.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    std::string count, arg;
    std::getline(in, count);
    std::getline(in, arg);
    EXPECT_EQ(count, "1");
    EXPECT_EQ(arg, url);
    ::setenv("PATH", oldPath.c_str(), 1);
}

TEST_F(RyxUtilWTest, PrintsListsAndControlImagesAndCopiesText) {
    testsupport::TTempDir dir;
    ::setenv("RYX_PRINT_DIR", dir.Path().c_str(), 1);
    std::unique_ptr<TPrinter> printer(SetPrinter(new TPrinter()));
    printer.reset();
    TStringList lines;
    for (int i = 1; i <= 150; ++i) lines.Add("Line " + std::to_string(i));
    const int pages = ryxPrintStringsFormat(&lines, nullptr, "ryxlist", 20, true);
    EXPECT_GE(pages, 2);
    EXPECT_EQ(static_cast<int>(Printer()->PageFiles().size()), pages);
    for (const std::string& f : Printer()->PageFiles()) EXPECT_TRUE(std::filesystem::exists(f)) << f;
    TStringList none;
    EXPECT_EQ(ryxPrintStrings(&none), 1);
    EXPECT_THROW(ryxPrintStrings(nullptr), EInvalidOperation);
    EXPECT_FALSE(Printer()->Printing());

    auto* form = new TForm(Application, 0);
    form->SetBounds(0, 0, 200, 120);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 80, 40);
    panel->SetColor(clRed);
    form->Show();
    auto image = ryxGetControlBitmap(panel);
    EXPECT_EQ(image->Width(), 80);
    EXPECT_EQ(image->Height(), 40);
    EXPECT_EQ(ColorToRGB(image->Canvas()->Pixels(40, 20)), ColorToRGB(clRed));
    ryxPrintControlImage(panel, "panel");
    ASSERT_EQ(Printer()->PageFiles().size(), 1u);

    ryxStrToClip("copied text");
    EXPECT_EQ(Clipboard()->AsText(), "copied text");
    ::unsetenv("RYX_PRINT_DIR");
}

TEST_F(RyxUtilWTest, AnimatesCentresAndFindsParents) {
    auto* form = new TForm(Application, 0);
    form->SetBounds(0, 0, 300, 200);
    auto* frame = new TFrame(form);
    frame->SetParent(form);
    frame->SetBounds(0, 0, 200, 150);
    auto* panel = new TPanel(form);
    panel->SetParent(frame);
    panel->SetBounds(10, 20, 60, 40);
    form->Show();

    EXPECT_EQ(ryxFirstFormParentOf(panel), form);
    EXPECT_EQ(ryxParentFormorFrameOf(panel), frame);
    EXPECT_EQ(ryxParentFormorFrameOf(frame), frame);
    EXPECT_EQ(ryxFirstFormParentOf(nullptr), nullptr);

    ryxCenterInParent(panel);
    EXPECT_EQ(panel->Left(), (frame->ClientWidth() - 60) / 2);
    EXPECT_EQ(panel->Top(), (frame->ClientHeight() - 40) / 2);

    // Hiding rolls the control up and leaves it hidden at its own bounds; showing
    // takes the host clock's time and ends visible.
    const TRect bounds = panel->BoundsRect();
    const uint32_t t0 = GetTickCount();
    ryxAnimateControl(panel, rasRollTopToBottom, true, 150);
    EXPECT_FALSE(panel->Visible());
    EXPECT_EQ(panel->BoundsRect(), bounds);
    ryxAnimateControl(panel, rasCenter, false, 150);
    EXPECT_TRUE(panel->Visible());
    EXPECT_EQ(panel->BoundsRect(), bounds);
    EXPECT_GE(TickDiff(GetTickCount(), t0), 300);

    ryxTimedResizeControl(panel, 100, 10, 90);
    EXPECT_EQ(panel->Width(), 100);
    EXPECT_EQ(panel->Height(), 10);
    EXPECT_EQ(panel->Left(), bounds.left);

    TFont plain;
    EXPECT_FALSE(ryxIsFontStored(&plain));
    plain.SetStyle({fsBold});
    EXPECT_TRUE(ryxIsFontStored(&plain));
    TFont other;
    other.SetCharset(0);
    EXPECT_TRUE(ryxIsFontStored(&other));

    int modified = 0;
    auto old = ryxSetDesignerHook([&](TComponent* Root) {
        EXPECT_EQ(Root, form);
        ++modified;
    });
    EXPECT_FALSE(ryxDesignerModified(panel));  // not being designed
    form->SetDesigning(true);
    EXPECT_TRUE(ryxDesignerModified(panel));
    EXPECT_EQ(modified, 1);
    form->SetDesigning(false);
    ryxSetDesignerHook(old);
}
