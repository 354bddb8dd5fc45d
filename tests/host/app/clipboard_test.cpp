// Tests of the clipboard: the system calls, global blocks, and the Clipboard object with text, bitmaps and registered formats.
#include <cstring>
#include <string>

#include "apptest.h"
#include "host/app/clipbrd.h"
#include "host/gdi/gdi.h"
#include "host/graphics/graphics.h"
#include "host/rtl/lists.h"
#include "host/windows/windows.h"

using namespace host;

namespace {

class ClipboardTest : public apptest::TAppFixture {};

TEST_F(ClipboardTest, GlobalBlocksLockAndFree) {
    int live = GlobalBlockCount();
    HGLOBAL h = GlobalAlloc(GHND, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 16u);
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    EXPECT_EQ(p[15], 0);
    std::memcpy(p, "hello", 6);
    EXPECT_EQ(GlobalLock(h), p);  // locks nest
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_FALSE(GlobalUnlock(h));  // not locked any more
    ASSERT_EQ(GlobalReAlloc(h, 32, GMEM_MOVEABLE), h);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "hello");
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h);  // already gone
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalBlockCount(), live);
}

TEST_F(ClipboardTest, SystemCallsKeepTheRulesOfOwnership) {
    int live = GlobalBlockCount();
    HGLOBAL text = GlobalAlloc(GHND, 4);
    std::memcpy(GlobalLock(text), "abc", 4);
    GlobalUnlock(text);
    EXPECT_EQ(SetClipboardData(CF_TEXT, text), nullptr);  // not open
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));  // open already
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_TEXT, text), text);
    EXPECT_EQ(SetClipboardData(CF_BITMAP, reinterpret_cast<HANDLE>(text)), nullptr);  // not a bitmap
    DWORD seq = GetClipboardSequenceNumber();
    CloseClipboard();

    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));  // made on request
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);  // not open
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto unicode = static_cast<HGLOBAL>(GetClipboardData(CF_UNICODETEXT));
    ASSERT_NE(unicode, nullptr);
    EXPECT_EQ(GlobalSize(unicode), 8u);  // "abc" and a NUL in UTF-16
    EXPECT_EQ(static_cast<const char*>(GlobalLock(unicode))[2], 'b');
    GlobalUnlock(unicode);
    EXPECT_EQ(EnumClipboardFormats(0), CF_TEXT);
    EXPECT_EQ(EnumClipboardFormats(CF_TEXT), 0u);
    EXPECT_EQ(CountClipboardFormats(), 1);
    EXPECT_EQ(GetClipboardSequenceNumber(), seq);
    EmptyClipboard();  // frees the text and what was made from it
    CloseClipboard();
    EXPECT_EQ(GlobalBlockCount(), live);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(ClipboardTest, TextRoundTripsThroughTheClipboardObject) {
    Clipboard()->SetAsText("Größe: 42");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "Größe: 42");
    char buf[6];
    EXPECT_EQ(Clipboard()->GetTextBuf(buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "Gr\xC3\xB6\xC3");
    // Unicode text put by another program reads back as UTF-8.
    const char16_t wide[] = u"\u00e9t\u00e9";
    HGLOBAL h = GlobalAlloc(GHND, sizeof wide);
    std::memcpy(GlobalLock(h), wide, sizeof wide);
    GlobalUnlock(h);
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, h);
    CloseClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "été");
    Clipboard()->Clear();
    EXPECT_EQ(Clipboard()->AsText(), "");
    EXPECT_EQ(Clipboard()->FormatCount(), 0);

    TStringList lines;
    lines.Add("one");
    lines.Add("two");
    Clipboard()->Assign(&lines);
    TStringList back;
    back.Assign(Clipboard());
    EXPECT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Strings(1), "two");
}

TEST_F(ClipboardTest, PicturesRoundTripAsBitmaps) {
    TBitmap bmp;
    bmp.SetSize(20, 10);
    bmp.Canvas()->Brush()->SetColor(clRed);
    bmp.Canvas()->FillRect(TRect{0, 0, 20, 10});
    bmp.Canvas()->SetPixels(3, 4, clBlue);
    Clipboard()->Assign(&bmp);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));

    TPicture pic;
    pic.Assign(Clipboard());
    ASSERT_EQ(pic.Width(), 20);
    ASSERT_EQ(pic.Height(), 10);
    EXPECT_EQ(pic.Bitmap()->Canvas()->Pixels(3, 4), clBlue);
    EXPECT_EQ(pic.Bitmap()->Canvas()->Pixels(0, 0), clRed);
    // The clipboard keeps its own copy: changing the source changes nothing.
    bmp.Canvas()->SetPixels(0, 0, clLime);
    TBitmap again;
    again.Assign(Clipboard());
    EXPECT_EQ(again.Canvas()->Pixels(0, 0), clRed);

    // The handle itself, owned by the clipboard.
    auto handle = static_cast<HBITMAP>(Clipboard()->GetAsHandle(CF_BITMAP));
    BITMAP info{};
    ASSERT_NE(GetObjectA(handle, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 20);

    // A bitmap handle handed over with SetAsHandle.
    TBitmap small(4, 3);
    Clipboard()->SetAsHandle(CF_BITMAP, small.ReleaseHandle());
    again.Assign(Clipboard());
    EXPECT_EQ(again.Width(), 4);
    Clipboard()->Clear();
    EXPECT_THROW(pic.Assign(Clipboard()), EInvalidGraphic);
    EXPECT_EQ(pic.Width(), 20);  // unchanged
}

TEST_F(ClipboardTest, RegisteredFormatsCarryBytes) {
    UINT fmt = RegisterClipboardFormatA("Ledger Rows");
    EXPECT_GE(fmt, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("LEDGER ROWS"), fmt);
    char name[32];
    EXPECT_EQ(GetClipboardFormatNameA(fmt, name, sizeof name), 11);
    EXPECT_STREQ(name, "Ledger Rows");
    EXPECT_EQ(GetClipboardFormatNameA(CF_TEXT, name, sizeof name), 0);

    // Several formats set between Open and Close make one content.
    Clipboard()->SetAsText("old");
    Clipboard()->Open();
    Clipboard()->SetBuffer(fmt, "\x01\x00\x02", 3);
    Clipboard()->SetAsText("row 1");
    Clipboard()->Close();
    EXPECT_EQ(Clipboard()->FormatCount(), 2);
    EXPECT_EQ(Clipboard()->Formats(0), fmt);
    EXPECT_EQ(Clipboard()->Formats(1), CF_TEXT);
    EXPECT_THROW(Clipboard()->Formats(2), EListError);
    EXPECT_EQ(Clipboard()->GetBuffer(fmt), std::string("\x01\x00\x02", 3));
    EXPECT_EQ(Clipboard()->AsText(), "row 1");

    // Another window holding the clipboard open: the object reports it.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_THROW(Clipboard()->AsText(), EOSError);
    CloseClipboard();
}

}  // namespace
