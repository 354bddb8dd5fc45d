// Modules: PE files loaded as resource containers, reference counts, names and the last-error exception.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "host/os/modules.h"
#include "host/rtl/exceptions.h"
#include "support/pe_builder.h"
#include "support/tempdir.h"

using namespace host;

namespace {

void WriteFile(const std::string& Path, const std::vector<uint8_t>& Bytes) {
    std::ofstream f(Path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

std::string ResourceText(HMODULE M, const std::string& Name, const std::string& Type) {
    HRSRC r = FindResourceA(M, Name, Type);
    if (!r) return "<none>";
    HGLOBAL g = LoadResource(M, r);
    const char* p = static_cast<const char*>(LockResource(g));
    return std::string(p, SizeofResource(M, r));
}

std::vector<uint8_t> SampleImage() {
    testsupport::TPeBuilder b;
    b.Add("#10", "CHIME", "riff bytes");
    b.Add("#10", "#7", "seven");
    b.Add("WAVE", "Ding", "ding!");
    return b.Build();
}

}  // namespace

TEST(ModulesTest, LoadedFileResourcesAreFoundUntilTheLastFree) {
    testsupport::TTempDir dir;
    std::string path = dir.File("sounds.dll");
    WriteFile(path, SampleImage());

    HMODULE m = LoadLibraryA(path);
    ASSERT_GE(m, HMODULE(32));
    EXPECT_EQ(ResourceText(m, "CHIME", "#10"), "riff bytes");
    EXPECT_EQ(ResourceText(m, "chime", "RCDATA"), "riff bytes");
    EXPECT_EQ(ResourceText(m, "#7", "#10"), "seven");
    EXPECT_EQ(ResourceText(m, "DING", "wave"), "ding!");
    EXPECT_EQ(FindResourceA(m, "MISSING", "#10"), HRSRC(0));
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(FindResourceA(m, "CHIME", RT_BITMAP), HRSRC(0));
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);

    // The same file again (by another spelling, without the extension) is the same module.
    EXPECT_EQ(LoadLibraryA(dir.File("sounds")), m);
    EXPECT_EQ(GetModuleHandle("SOUNDS.DLL"), m);
    EXPECT_EQ(GetModuleFileName(m), path);
    EXPECT_NE(GetModuleFileName(0), "");

    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_EQ(ResourceText(m, "CHIME", "#10"), "riff bytes");
    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_EQ(FindResourceA(m, "CHIME", "#10"), HRSRC(0));
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_FALSE(FreeLibrary(m));
    EXPECT_FALSE(FreeLibrary(0));
    EXPECT_FALSE(FreeLibrary(HInstance));
}

TEST(ModulesTest, BadFilesFailWithTheirErrorCodes) {
    testsupport::TTempDir dir;
    EXPECT_EQ(LoadLibraryA(dir.File("absent.dll")), HMODULE(0));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    WriteFile(dir.File("text.dll"), {'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(LoadLibraryA(dir.File("text.dll")), HMODULE(0));
    EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);

    // Every truncation of a valid image is refused or read within bounds.
    std::vector<uint8_t> image = SampleImage();
    for (size_t n = 0; n < image.size(); n += 7) {
        std::vector<pe::TPeResource> found;
        if (pe::ReadResources(image.data(), n, found)) {
            for (const auto& r : found) EXPECT_LE(r.Offset + r.Size, n);
        }
    }
    // A directory entry pointing outside the section is refused.
    std::vector<uint8_t> bad = image;
    bad[0x200 + 16 + 4] = 0xFF;
    bad[0x200 + 16 + 5] = 0xFF;
    std::vector<pe::TPeResource> found;
    EXPECT_FALSE(pe::ReadResources(bad.data(), bad.size(), found));
}

TEST(ModulesTest, RaiseLastWin32ErrorNamesTheCode) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    try {
        RaiseLastWin32Error();
        FAIL();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.Message(), "System Error.  Code: 126.\nThe specified module could not be found.");
    }
}
