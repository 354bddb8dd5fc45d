// The PNG printer: page files, sizes, job states, aborting and unsafe titles.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <string>

#include "host/app/printers.h"
#include "host/gdi/imagefile.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"

namespace {

using namespace host;

class PrinterTest : public ::testing::Test {
protected:
    std::string Dir;
    void SetUp() override {
        Dir = "/tmp/ryx_printer_test_" + std::to_string(::getpid());
        ::setenv("RYX_PRINT_DIR", Dir.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("RYX_PRINT_DIR");
        std::string cmd = "rm -rf '" + Dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    // The pixel (0x00RRGGBB) of a written page.
    static uint32_t FilePixel(const std::string& File, int X, int Y) {
        std::string bytes;
        EXPECT_TRUE(ReadFileBytes(File, bytes));
        TPixelImage img = ReadImageAuto(bytes);
        return img.Pixels[static_cast<size_t>(Y) * img.Width + X] & 0xFFFFFF;
    }
};

TEST_F(PrinterTest, PagesBecomePngFilesInThePrintFolder) {
    TPrinter printer;
    EXPECT_EQ(printer.Printers()->Count(), 1);
    EXPECT_EQ(printer.Printers()->Strings(0), "PNG printer");
    EXPECT_EQ(TPrinter::PrintFolder(), Dir);
    EXPECT_EQ(printer.PageWidth(), 2480);
    EXPECT_EQ(printer.PageHeight(), 3508);
    printer.SetResolution(30);
    EXPECT_EQ(printer.PageWidth(), 248);
    EXPECT_EQ(printer.PageHeight(), 351);
    printer.SetOrientation(poLandscape);
    EXPECT_EQ(printer.PageWidth(), 351);
    printer.SetOrientation(poPortrait);

    // Calls out of order raise and change nothing.
    EXPECT_THROW(printer.NewPage(), EPrinter);
    EXPECT_THROW(printer.EndDoc(), EPrinter);
    EXPECT_THROW(printer.SetPrinterIndex(1), EPrinter);

    printer.SetTitle("Report");
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    EXPECT_EQ(printer.PageNumber(), 1);
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    EXPECT_THROW(printer.SetResolution(300), EPrinter);
    printer.Canvas()->Brush()->SetColor(clRed);
    printer.Canvas()->FillRect(TRect{10, 10, 20, 20});
    printer.NewPage();
    EXPECT_EQ(printer.PageNumber(), 2);
    // The first page is already on disk; the second starts white.
    EXPECT_TRUE(FileExists(Dir + "/Report-1.png"));
    EXPECT_EQ(printer.Canvas()->Pixels(15, 15), clWhite);
    printer.Canvas()->Brush()->SetColor(clBlue);
    printer.Canvas()->FillRect(TRect{0, 0, 5, 5});
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(printer.PageFiles().size(), 2u);
    EXPECT_EQ(FilePixel(Dir + "/Report-1.png", 15, 15), 0xFF0000u);
    EXPECT_EQ(FilePixel(Dir + "/Report-1.png", 5, 5), 0xFFFFFFu);
    EXPECT_EQ(FilePixel(Dir + "/Report-2.png", 2, 2), 0x0000FFu);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(Dir + "/Report-2.png", bytes));
    TPixelImage page = ReadImageAuto(bytes);
    EXPECT_EQ(page.Width, 248);
    EXPECT_EQ(page.Height, 351);
    // No temporary files are left behind.
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(Dir)) ++files;
    EXPECT_EQ(files, 2);
}

TEST_F(PrinterTest, AbortKeepsFinishedPagesAndTitlesStayInTheFolder) {
    TPrinter printer;
    printer.SetResolution(20);
    printer.SetTitle("../../escape/Job");
    printer.BeginDoc();
    printer.NewPage();
    printer.Canvas()->TextOut(5, 5, "never written");
    printer.Abort();
    EXPECT_TRUE(printer.Aborted());
    EXPECT_FALSE(printer.Printing());
    ASSERT_EQ(printer.PageFiles().size(), 1u);
    EXPECT_EQ(ExtractFilePath(printer.PageFiles()[0]), Dir + "/");
    EXPECT_TRUE(FileExists(printer.PageFiles()[0]));
    EXPECT_FALSE(FileExists(Dir + "/.._.._escape_Job-2.png"));
    EXPECT_THROW(printer.Abort(), EPrinter);

    // A folder that cannot be made gives a clear error, not a half-started job.
    ::setenv("RYX_PRINT_DIR", "/proc/no/such/place", 1);
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    EXPECT_FALSE(printer.Printing());

    // The global printer is made once and can be replaced.
    TPrinter* global = Printer();
    EXPECT_EQ(Printer(), global);
    TPrinter* old = SetPrinter(new TPrinter);
    EXPECT_EQ(old, global);
    delete old;
    EXPECT_NE(Printer(), nullptr);
}

}  // namespace
