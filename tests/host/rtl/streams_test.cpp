// Tests of the streams: buffered transfers, memory, file (open modes, errors, locks), string and resource streams.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "host/rtl/exceptions.h"
#include "host/rtl/resources.h"
#include "host/rtl/streams.h"

using namespace host;

namespace {

template <class E, class F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return "<no exception>";
}

std::string Contents(TCustomMemoryStream& s) {
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

// A stream that hands out at most a few bytes per Read, as a pipe may.
class TTrickleStream : public TStream {
public:
    explicit TTrickleStream(std::string Data) : FData(std::move(Data)) {}
    int64_t Read(void* Buffer, int64_t Count) override {
        int64_t n = std::min<int64_t>({Count, 3, static_cast<int64_t>(FData.size()) - FPos});
        if (n <= 0) return 0;
        std::memcpy(Buffer, FData.data() + FPos, static_cast<size_t>(n));
        FPos += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
        FPos = Origin == soBeginning ? Offset
                                       : Origin == soCurrent ? FPos + Offset
                                                             : static_cast<int64_t>(FData.size()) + Offset;
        return FPos;
    }

private:
    std::string FData;
    int64_t FPos = 0;
};

class StreamFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ryx-streams-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        FDir = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    std::string Path(const std::string& Name) const { return FDir + "/" + Name; }
    static std::string ReadRaw(const std::string& Path) {
        std::ifstream in(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteRaw(const std::string& Path, const std::string& Bytes) {
        std::ofstream(Path, std::ios::binary) << Bytes;
    }
    std::string FDir;
};

}  // namespace

// ---- the buffered operations of TStream ----

TEST(StreamTest, ReadBufferRaisesWhenShortAndCollectsPartialReads) {
    TTrickleStream trickle("0123456789");
    char buf[11] = {};
    trickle.ReadBuffer(buf, 8);  // several short Reads make up the count
    EXPECT_STREQ(buf, "01234567");
    EXPECT_EQ(MessageOf<EReadError>([&] { trickle.ReadBuffer(buf, 3); }), "Stream read error");

    TMemoryStream mem;
    mem.WriteBuffer("abc", 3);
    mem.SetPosition(1);
    EXPECT_THROW(mem.ReadBuffer(buf, 3), EReadError);
    EXPECT_EQ(trickle.Size(), 10);  // the default Size seeks to the end and back
    EXPECT_EQ(trickle.Position(), 10);
}

TEST(StreamTest, CopyFromCopiesCountOrTheWholeSource) {
    TStringStream source("hello, world");
    source.SetPosition(7);
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(&source, 0), 12);  // 0: everything, from the start
    EXPECT_EQ(Contents(dest), "hello, world");
    source.SetPosition(7);
    EXPECT_EQ(dest.CopyFrom(&source, 5), 5);
    EXPECT_EQ(Contents(dest), "hello, worldworld");
    EXPECT_THROW(dest.CopyFrom(&source, 1), EReadError);

    // Larger than the copy buffer, from a memory stream and from a slow stream.
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    TMemoryStream bigMem;
    bigMem.WriteBuffer(big.data(), static_cast<int64_t>(big.size()));
    TStringStream out;
    out.CopyFrom(&bigMem, 0);
    EXPECT_EQ(out.DataString(), big);
    TTrickleStream slow(big);
    TMemoryStream fromSlow;
    fromSlow.CopyFrom(&slow, static_cast<int64_t>(big.size()));
    EXPECT_EQ(Contents(fromSlow), big);
}

// ---- TMemoryStream ----

TEST(MemoryStreamTest, ReadReturnsWhatIsThere) {
    TMemoryStream s;
    EXPECT_EQ(s.Write("abcdef", 6), 6);
    EXPECT_EQ(s.Position(), 6);
    s.SetPosition(4);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 2);
    EXPECT_STREQ(buf, "ef");
    EXPECT_EQ(s.Read(buf, 8), 0);
    s.Seek(-3, soEnd);
    EXPECT_EQ(s.Read(buf, 1), 1);
    EXPECT_EQ(buf[0], 'd');
    s.SetPosition(-2);
    EXPECT_EQ(s.Read(buf, 1), 0);
    EXPECT_EQ(s.Write("x", 1), 0);
}

TEST(MemoryStreamTest, WritingBeyondTheEndZeroFillsTheGap) {
    TMemoryStream s;
    s.Write("ab", 2);
    EXPECT_EQ(s.Seek(5, soCurrent), 7);
    EXPECT_EQ(s.Size(), 2);  // seeking alone does not grow
    s.Write("z", 1);
    EXPECT_EQ(s.Size(), 8);
    EXPECT_EQ(Contents(s), std::string("ab\0\0\0\0\0z", 8));

    // Bytes left behind by a shrink must not come back when it grows again.
    s.SetSize(1);
    EXPECT_EQ(s.Position(), 1);  // the position was beyond the new end
    s.SetSize(4);
    EXPECT_EQ(Contents(s), std::string("a\0\0\0", 4));
    s.SetPosition(6);
    s.Write("q", 1);
    EXPECT_EQ(Contents(s), std::string("a\0\0\0\0\0q", 7));
}

TEST(MemoryStreamTest, GrowsThroughManySmallWritesAndClears) {
    TMemoryStream s;
    for (int i = 0; i < 100000; ++i) s.WriteBuffer(&i, sizeof i);
    EXPECT_EQ(s.Size(), 400000);
    EXPECT_GE(s.Capacity(), s.Size());
    const int* data = static_cast<const int*>(s.Memory());
    EXPECT_EQ(data[0], 0);
    EXPECT_EQ(data[99999], 99999);
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(s.Memory(), nullptr);
    EXPECT_THROW(s.SetSize(-1), EStreamError);
}

TEST_F(StreamFileTest, MemoryStreamSavesAndLoadsFiles) {
    TMemoryStream s;
    s.WriteBuffer("binary\0data", 11);
    s.SaveToFile(Path("m.bin"));
    EXPECT_EQ(ReadRaw(Path("m.bin")), std::string("binary\0data", 11));
    TMemoryStream back;
    back.WriteBuffer("old contents that are longer", 28);
    back.SetPosition(0);
    back.LoadFromFile(Path("m.bin"));
    EXPECT_EQ(Contents(back), std::string("binary\0data", 11));
    TStringStream copy;
    back.SaveToStream(&copy);
    EXPECT_EQ(copy.DataString(), std::string("binary\0data", 11));
}

// ---- TFileStream ----

TEST_F(StreamFileTest, FileStreamCreateOpenAndModes) {
    {
        TFileStream f(Path("a.dat"), fmCreate);
        f.WriteBuffer("0123456789", 10);
        EXPECT_EQ(f.Size(), 10);
        f.SetPosition(2);
        char c;
        f.ReadBuffer(&c, 1);  // fmCreate opens for reading too
        EXPECT_EQ(c, '2');
    }
    {
        TFileStream f(Path("a.dat"), fmOpenReadWrite);
        f.Seek(-2, soEnd);
        f.WriteBuffer("XY", 2);
        f.SetSize(6);
        EXPECT_EQ(f.Position(), 6);
    }
    EXPECT_EQ(ReadRaw(Path("a.dat")), "012345");
    {
        TFileStream f(Path("a.dat"), fmOpenRead);
        char buf[16];
        EXPECT_EQ(f.Read(buf, 16), 6);  // a short read at the end
        EXPECT_EQ(f.Write("z", 1), 0);  // opened for reading only
        EXPECT_GE(f.Handle(), 0);
    }
    {
        TFileStream f(Path("a.dat"), fmCreate);  // truncates
    }
    EXPECT_EQ(ReadRaw(Path("a.dat")), "");
}

TEST_F(StreamFileTest, FileStreamBackslashesAreSeparators) {
    std::filesystem::create_directory(Path("sub"));
    std::string name = FDir + "\\sub\\b.txt";
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("x", 1);
        EXPECT_EQ(f.FileName(), Path("sub/b.txt"));
    }
    EXPECT_EQ(ReadRaw(Path("sub/b.txt")), "x");
}

TEST_F(StreamFileTest, FileStreamErrorsNameTheFile) {
    std::string missing = Path("missing.dat");
    std::string msg = MessageOf<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); });
    EXPECT_EQ(msg, "Cannot open file \"" + missing + "\". No such file or directory");

    std::string nodir = Path("no/such/dir.dat");
    msg = MessageOf<EFCreateError>([&] { TFileStream f(nodir, fmCreate); });
    EXPECT_EQ(msg.rfind("Cannot create file \"" + nodir + "\". ", 0), 0u) << msg;

    msg = MessageOf<EFOpenError>([&] { TFileStream f(FDir, fmOpenRead); });
    EXPECT_NE(msg.find("Is a directory"), std::string::npos) << msg;
    EXPECT_THROW(TFileStream(FDir, fmCreate), EFCreateError);
    // Both derive from EStreamError.
    EXPECT_THROW(TFileStream(missing, fmOpenReadWrite), EStreamError);
}

TEST_F(StreamFileTest, ExclusiveOpenRefusesASecondOpen) {
    std::string name = Path("locked.dat");
    WriteRaw(name, "data");
    auto first = std::make_unique<TFileStream>(name, fmOpenReadWrite | fmShareExclusive);

    std::string msg = MessageOf<EFOpenError>([&] { TFileStream f(name, fmOpenRead | fmShareExclusive); });
    EXPECT_EQ(msg.rfind("Cannot open file \"" + name + "\". ", 0), 0u) << msg;
    EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyWrite), EFOpenError);
    EXPECT_THROW(TFileStream(name, fmCreate), EFCreateError);
    EXPECT_EQ(ReadRaw(name), "data");  // the refused create did not truncate

    // Another process is refused too.
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        int code = 2;
        try {
            TFileStream f(name, fmOpenRead | fmShareExclusive);
            code = 0;
        } catch (const EFOpenError&) {
            code = 1;
        } catch (...) {
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);

    first.reset();  // closing releases the lock
    EXPECT_NO_THROW(TFileStream(name, fmOpenRead | fmShareExclusive));
}

TEST_F(StreamFileTest, DenyWriteSharesWithReadersOnly) {
    std::string name = Path("shared.dat");
    WriteRaw(name, "data");
    TFileStream a(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_NO_THROW(TFileStream(name, fmOpenRead | fmShareDenyWrite));
    EXPECT_NO_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone));
    EXPECT_THROW(TFileStream(name, fmOpenReadWrite | fmShareExclusive), EFOpenError);
}

// ---- TStringStream ----

TEST(StringStreamTest, ReadWriteAndSeekWithinTheString) {
    TStringStream s("hello world");
    EXPECT_EQ(s.ReadString(5), "hello");
    EXPECT_EQ(s.ReadString(100), " world");
    EXPECT_EQ(s.ReadString(1), "");
    s.SetPosition(6);
    s.WriteString("W");
    EXPECT_EQ(s.DataString(), "hello World");  // overwrites, keeps the rest
    s.Seek(0, soEnd);
    s.WriteString("!!");
    EXPECT_EQ(s.DataString(), "hello World!!");
    EXPECT_EQ(s.Seek(50, soBeginning), 13);  // clamped to the end
    EXPECT_EQ(s.Seek(-50, soCurrent), 0);
    s.SetSize(5);
    EXPECT_EQ(s.DataString(), "hello");
    EXPECT_EQ(s.Size(), 5);
}

// ---- TResourceStream ----

namespace {
const unsigned char BlobBytes[] = {'R', 'Y', 'X', 0, 1, 2};
const unsigned char NumberedBytes[] = {'n', 'o', '7'};

class TTestResources : public TResourceModule {
public:
    bool Find(const std::string& Type, const std::string& Name, TResourceBlob& Out) const override {
        if (Type != "RCDATA") return false;
        if (Name == "TESTBLOB") Out = TResourceBlob{BlobBytes, sizeof BlobBytes};
        else if (Name == "7") Out = TResourceBlob{NumberedBytes, sizeof NumberedBytes};
        else return false;
        return true;
    }
};
}  // namespace

TEST(ResourceStreamTest, MissingResourceRaisesEResNotFound) {
    EXPECT_EQ(MessageOf<EResNotFound>([] { TResourceStream s(HInstance, "NO_SUCH_RESOURCE_XYZ", "RCDATA"); }),
              "Resource NO_SUCH_RESOURCE_XYZ not found");
    EXPECT_EQ(MessageOf<EResNotFound>([] { TResourceStream::CreateFromID(HInstance, 31999, RT_RCDATA); }),
              "Resource #31999 not found");
}

TEST(ResourceStreamTest, ReadsAResourceAndRefusesWrites) {
    HMODULE module = RegisterResourceModule(std::make_unique<TTestResources>());
    {
        TResourceStream s(module, "testblob", "RCDATA");
        EXPECT_EQ(s.Size(), 6);
        char buf[8];
        EXPECT_EQ(s.Read(buf, 8), 6);
        EXPECT_EQ(std::string(buf, 3), "RYX");
        EXPECT_EQ(MessageOf<EStreamError>([&] { s.Write("x", 1); }), "Can't write to a read-only resource stream");
        EXPECT_THROW(s.SetSize(0), EStreamError);
        TMemoryStream copy;
        copy.CopyFrom(&s, 0);
        EXPECT_EQ(Contents(copy), std::string("RYX\0\1\2", 6));

        auto byId = TResourceStream::CreateFromID(module, 7, RT_RCDATA);
        EXPECT_EQ(Contents(*byId), "no7");
        TResourceStream byName(module, "#7", "RCDATA");
        EXPECT_EQ(byName.Size(), 3);
    }
    UnregisterResourceModule(module);
    EXPECT_THROW(TResourceStream(module, "TESTBLOB", "RCDATA"), EResNotFound);
}
