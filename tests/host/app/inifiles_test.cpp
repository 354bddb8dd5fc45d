// Ini files and profile strings: bytes on disk after writes, look-ups, typed values, bad input.
#include "host/app/inifiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/rtl/lists.h"
#include "support/tempdir.h"

using namespace host;

namespace {

std::string Slurp(const std::string& Path) {
    std::ifstream f(Path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void Put(const std::string& Path, const std::string& Bytes) {
    std::ofstream f(Path, std::ios::binary | std::ios::trunc);
    f << Bytes;
}

int FileCount(const std::string& Dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(Dir)) n += e.is_regular_file() ? 1 : 0;
    return n;
}

std::string Joined(TStrings& S) {
    std::string out;
    for (int i = 0; i < S.Count(); ++i) out += (i ? "|" : "") + S.Strings(i);
    return out;
}

}  // namespace

TEST(IniFile, WritesKeepCommentsOrderAndLineEnds) {
    testsupport::TTempDir dir;
    const std::string path = dir.File("app.ini");
    Put(path, "; settings\r\n[Window]\r\nLeft = 10\r\n; after\r\n\r\n[Tips]\r\nTip1=Hello\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("window", "LEFT", 0), 10);        // names ignore case, values trimmed
    ini.WriteInteger("Window", "left", 20);                      // in place, keeping the key's spelling
    ini.WriteString("Window", "Top", "5");                       // after the section's last key
    ini.WriteBool("New", "Flag", true);                          // a new section at the end
    EXPECT_EQ(Slurp(path),
              "; settings\r\n[Window]\r\nLeft=20\r\nTop=5\r\n; after\r\n\r\n[Tips]\r\nTip1=Hello\r\n"
              "\r\n[New]\r\nFlag=1\r\n");
    EXPECT_EQ(FileCount(dir.Path()), 1);  // no temporary file left behind

    ini.DeleteKey("Window", "Top");
    ini.EraseSection("Tips");
    EXPECT_EQ(Slurp(path), "; settings\r\n[Window]\r\nLeft=20\r\n; after\r\n\r\n[New]\r\nFlag=1\r\n");

    // A missing file (and folder) is created by the first write, with plain line ends.
    TIniFile fresh(dir.File("sub/dir/new.ini"));
    EXPECT_EQ(fresh.ReadString("S", "K", "def"), "def");
    fresh.WriteString("S", "K", "v");
    EXPECT_EQ(Slurp(dir.File("sub/dir/new.ini")), "[S]\nK=v\n");
}

TEST(IniFile, TypedValuesAndListings) {
    testsupport::TTempDir dir;
    const std::string path = dir.File("t.ini");
    Put(path, "[N]\nhex=$1F\nox=0x10\nbad=12abc\nneg=-7\nf=2.5\nb0=0\nb2=2\nsp=  padded  \n[M]\n[n]\nhidden=1\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "ox", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "bad", 99), 99);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -7);
    EXPECT_EQ(ini.ReadInteger("N", "missing", 42), 42);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("N", "f", 0), 2.5);
    EXPECT_FALSE(ini.ReadBool("N", "b0", true));
    EXPECT_TRUE(ini.ReadBool("N", "b2", false));
    EXPECT_EQ(ini.ReadString("N", "sp", ""), "padded");
    // The first of two sections with one name counts.
    EXPECT_EQ(ini.ReadString("N", "hidden", "none"), "none");

    TStringList l;
    ini.ReadSections(&l);
    EXPECT_EQ(Joined(l), "N|M");
    ini.ReadSection("N", &l);
    EXPECT_EQ(l.Count(), 8);
    ini.ReadSectionValues("n", &l);
    EXPECT_EQ(l.Strings(0), "hex=$1F");
    EXPECT_TRUE(ini.SectionExists("m"));
    EXPECT_FALSE(ini.SectionExists("Q"));
    EXPECT_TRUE(ini.ValueExists("N", "F"));
    EXPECT_FALSE(ini.ValueExists("N", "g"));

    ini.WriteDate("D", "When", 45000.0);
    EXPECT_DOUBLE_EQ(ini.ReadDate("D", "When", 0), 45000.0);
    EXPECT_DOUBLE_EQ(ini.ReadDate("N", "bad", 1.0), 1.0);
}

TEST(IniFile, ObjectsSeeEachOthersWritesAndMemFilesWriteOnUpdate) {
    testsupport::TTempDir dir;
    const std::string path = dir.File("shared.ini");
    TIniFile a(path), b(path);
    a.WriteString("S", "K", "1");
    EXPECT_EQ(b.ReadString("S", "K", ""), "1");
    b.WriteString("S", "K", "2");
    EXPECT_EQ(a.ReadString("S", "K", ""), "2");

    TMemIniFile m(path);
    m.WriteString("S", "Other", "x");
    EXPECT_EQ(a.ReadString("S", "Other", "-"), "-");
    m.UpdateFile();
    EXPECT_EQ(a.ReadString("S", "Other", "-"), "x");
    EXPECT_EQ(Slurp(path), "[S]\nK=2\nOther=x\n");

    TStringList lines;
    m.GetStrings(&lines);
    EXPECT_EQ(Joined(lines), "[S]|K=2|Other=x");
    lines.Clear();
    lines.Add("[Z]");
    lines.Add("a=b");
    m.SetStrings(&lines);
    EXPECT_EQ(m.ReadString("Z", "A", ""), "b");
    EXPECT_EQ(m.ReadString("S", "K", "gone"), "gone");
}

TEST(IniFile, BadInputLoadsWhatIsReadableAndKeepsTheRest) {
    testsupport::TTempDir dir;
    const std::string path = dir.File("junk.ini");
    const std::string junk = std::string("junk\x01\x02 before\n[Good]\nk=v\n[Broken\nno equals here\n=no key\n") +
                             std::string("\0\xff\xfe", 3) + "\n[Good2]\nx=1";
    Put(path, junk);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Good", "k", ""), "v");
    EXPECT_EQ(ini.ReadString("Good2", "x", ""), "1");
    ini.WriteString("Good", "k", "w");
    std::string expect = junk + "\n";
    expect.replace(expect.find("k=v"), 3, "k=w");
    EXPECT_EQ(Slurp(path), expect);

    // Names and values that would break the file's lines are refused; nothing changes.
    const std::string before = Slurp(path);
    EXPECT_THROW(ini.WriteString("Good", "a=b", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("Good", "k", "two\nlines"), EIniFileException);
    EXPECT_THROW(ini.WriteString("Se]ct", "k", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("", "k", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("Good", "[k", "v"), EIniFileException);
    EXPECT_EQ(Slurp(path), before);
    EXPECT_EQ(ini.ReadString("Good", "k", ""), "w");

    // A file that cannot be written raises and keeps what it had.
    if (::geteuid() != 0) {
        ::chmod(dir.Path().c_str(), 0500);
        EXPECT_THROW(ini.WriteString("Good", "k", "lost"), EIniFileException);
        ::chmod(dir.Path().c_str(), 0700);
        EXPECT_EQ(Slurp(path), before);
        EXPECT_EQ(ini.ReadString("Good", "k", ""), "w");
    }
}

TEST(IniFile, ProfileCalls) {
    testsupport::TTempDir dir;
    ::setenv("RYX_PROFILE_DIR", dir.Path().c_str(), 1);
    EXPECT_EQ(ProfileFileName(), dir.File("win.ini"));
    char buf[64];
    EXPECT_EQ(GetProfileStringA("mci extensions", "WAV", "", buf, sizeof buf), 9u);
    EXPECT_STREQ(buf, "waveaudio");
    EXPECT_EQ(GetProfileStringA("mci extensions", "mp9", "none", buf, sizeof buf), 4u);

    EXPECT_TRUE(WriteProfileStringA("Desktop", "Wallpaper", "\"tiles.bmp\""));
    EXPECT_TRUE(WriteProfileStringA("Desktop", "Tile", "1"));
    EXPECT_TRUE(WriteProfileStringA("Other", "Count", "12 apples"));
    EXPECT_EQ(GetProfileStringA("desktop", "wallpaper", "", buf, sizeof buf), 9u);
    EXPECT_STREQ(buf, "tiles.bmp");  // enclosing quotes are removed
    EXPECT_EQ(GetProfileIntA("Other", "Count", 0), 12u);
    EXPECT_EQ(GetProfileIntA("Other", "None", 7), 7u);

    // Lists: NUL-separated with a final NUL; cut lists end in two NULs.
    const uint32_t n = GetProfileStringA(nullptr, nullptr, "", buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n), std::string("Desktop\0Other\0", 14));
    EXPECT_EQ(GetProfileStringA("Desktop", nullptr, "", buf, 8), 6u);
    EXPECT_EQ(std::string(buf, 8), std::string("Wallpa\0\0", 8));
    EXPECT_EQ(GetProfileStringA("Desktop", "Wallpaper", "", buf, 4), 3u);
    EXPECT_STREQ(buf, "til");

    EXPECT_TRUE(WriteProfileStringA("Desktop", "Tile", nullptr));
    EXPECT_TRUE(WriteProfileStringA("Other", nullptr, nullptr));
    EXPECT_EQ(Slurp(dir.File("win.ini")), "[Desktop]\nWallpaper=\"tiles.bmp\"\n\n");

    // A bare name lives in the profile directory.
    TIniFile bare("bare.ini");
    bare.WriteString("A", "B", "C");
    EXPECT_EQ(Slurp(dir.File("bare.ini")), "[A]\nB=C\n");
    EXPECT_EQ(GetPrivateProfileIntA("A", "B", 3, "bare.ini"), 3u);
    ::unsetenv("RYX_PROFILE_DIR");
}
