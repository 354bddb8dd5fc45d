// Ryxmem: the persistent byte block (loads, validation, events, form files, resources, clipboard) and the resource-data description.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "frame/ryxmem.h"
#include "host/app/clipbrd.h"
#include "host/os/modules.h"
#include "host/rtl/component.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/formtext.h"
#include "host/rtl/lists.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"
#include "host/windows/clipboard.h"
#include "support/pe_builder.h"
#include "support/tempdir.h"

using namespace host;
using namespace ryx;

namespace {

// Accepts only blocks that start with "RIFF", as a wave image does.
class TRiffBlock : public TryxPersistentMemory {
    HOST_CLASS(TRiffBlock, TryxPersistentMemory)
protected:
    void ValidateDataFormat(TMemoryStream* Stream) override {
        if (Stream->Size() < 4 || std::memcmp(Stream->Memory(), "RIFF", 4) != 0)
            throw EInvalidOperation("Not a RIFF image");
    }
};

class TMemHolder : public TComponent {
    HOST_CLASS(TMemHolder, TComponent)
public:
    explicit TMemHolder(TComponent* AOwner) : TComponent(AOwner) {}
    TryxPersistentMemory* Sound() const { return FSound.get(); }
    void SetSound(TryxPersistentMemory* V) { FSound->Assign(V); }
    TryxResourceData* Media() const { return FMedia.get(); }
    void SetMedia(TryxResourceData* V) { FMedia->Assign(V); }
    HOST_PUBLISHED(prop("Sound", &TMemHolder::Sound, &TMemHolder::SetSound),
                   prop("Media", &TMemHolder::Media, &TMemHolder::SetMedia))
private:
    std::unique_ptr<TryxPersistentMemory> FSound = std::make_unique<TryxPersistentMemory>();
    std::unique_ptr<TryxResourceData> FMedia = std::make_unique<TryxResourceData>();
};

std::string Bytes(const TryxPersistentMemory& M) {
    return std::string(static_cast<const char*>(M.GetMemory()), size_t(M.GetSize()));
}

struct TEventLog {
    std::string Text;
    void Hook(TryxPersistentMemory& M) {
        M.OnChanging = [this](TObject*) { Text += "<"; };
        M.OnChange = [this](TObject*) { Text += ">"; };
    }
};

std::string FormText(TComponent* C) {
    TMemoryStream bin;
    bin.WriteComponent(C);
    bin.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(&bin, &text);
    return text.DataString();
}

}  // namespace

TEST(RyxMemTest, LoadsValidateBeforeTheyChangeAnything) {
    TRiffBlock block;
    TEventLog log;
    log.Hook(block);
    block.ReadBuffer("RIFFdata", 8);
    EXPECT_EQ(Bytes(block), "RIFFdata");
    EXPECT_EQ(log.Text, "<>");
    EXPECT_TRUE(block.Modified());
    block.SetModified(false);

    EXPECT_THROW(block.ReadBuffer("WAVEdata", 8), EInvalidOperation);
    EXPECT_EQ(Bytes(block), "RIFFdata");
    EXPECT_EQ(log.Text, "<>");
    EXPECT_FALSE(block.Modified());

    // From the stream's position to its end.
    TStringStream s("xxRIFF1234");
    s.SetPosition(2);
    block.LoadFromStream(&s);
    EXPECT_EQ(Bytes(block), "RIFF1234");
    TStringStream out;
    block.SaveToStream(&out);
    EXPECT_EQ(out.DataString(), "RIFF1234");

    // A count beyond the stream's end is refused before anything changes.
    TStringStream shortStream(std::string("\xFF\xFF\xFF\x7F" "RIFF", 8));
    EXPECT_THROW(block.ReadData(&shortStream), EReadError);
    EXPECT_EQ(Bytes(block), "RIFF1234");

    block.Assign(nullptr);
    EXPECT_TRUE(block.GetEmpty());
    EXPECT_EQ(log.Text, "<><><>");
    block.SetModified(true);
    EXPECT_EQ(log.Text, "<><><><>");
    EXPECT_TRUE(block.GetEmpty());

    TryxPersistentMemory plain;
    plain.ReadBuffer("abc", 3);
    EXPECT_THROW(block.Assign(&plain), EInvalidOperation);
    TStringList notABlock;
    EXPECT_THROW(block.Assign(&notABlock), EConvertError);
}

TEST(RyxMemTest, FormFilesCarryTheCountedDataProperty) {
    RegisterClass(TMemHolder::StaticClass());
    TMemHolder holder(nullptr);
    holder.SetName("Holder");
    EXPECT_EQ(FormText(&holder).find("Sound.Data"), std::string::npos);

    holder.Sound()->ReadBuffer("hello", 5);
    holder.Media()->SetResourceName("CHIME");
    std::string text = FormText(&holder);
    EXPECT_NE(text.find("Sound.Data = {0500000068656C6C6F}"), std::string::npos) << text;
    EXPECT_NE(text.find("Media.ResourceName = 'CHIME'"), std::string::npos) << text;

    TMemoryStream bin;
    bin.WriteComponent(&holder);
    bin.SetPosition(0);
    TMemHolder copy(nullptr);
    bin.ReadComponent(&copy);
    EXPECT_EQ(Bytes(*copy.Sound()), "hello");
    EXPECT_EQ(copy.Media()->ResourceName(), "CHIME");
}

TEST(RyxMemTest, ResourcesFromTheOwnModuleAndFromLoadedFiles) {
    testsupport::TTempDir dir;
    testsupport::TPeBuilder pe;
    pe.Add("#10", "CHIME", "riff bytes");
    pe.Add("WAVE", "#7", "seven");
    std::vector<uint8_t> image = pe.Build();
    std::ofstream(dir.File("media.dll"), std::ios::binary).write(reinterpret_cast<const char*>(image.data()), long(image.size()));

    TryxPersistentMemory block;
    block.LoadFromResource(dir.File("media.dll"), "CHIME");
    EXPECT_EQ(Bytes(block), "riff bytes");
    EXPECT_EQ(GetModuleHandle(dir.File("media.dll")), HMODULE(0)) << "the module is freed after the load";
    block.LoadFromResource("", "");
    EXPECT_EQ(Bytes(block), "riff bytes");

    try {
        block.LoadFromResource(dir.File("media.dll"), "MISSING");
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource 'MISSING' of type RCDATA not found");
    }
    try {
        block.LoadFromResource(dir.File("absent.dll"), "CHIME");
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Error 0 loading DLL '" + dir.File("absent.dll") + "'");
    }
    SetResourceFault(8, rsfLock, 1);
    EXPECT_THROW(block.LoadFromResource(dir.File("media.dll"), "CHIME"), EResNotFound);
    ClearResourceFault();
    EXPECT_EQ(Bytes(block), "riff bytes");

    // A resource description finds its resource by number in a named module.
    TryxResourceData data;
    data.SetResourceModule(dir.File("media.dll"));
    data.SetResourceType("WAVE");
    data.SetResourceID(7);
    HGLOBAL h = data.GetResourceHandle();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(LockResource(h)), 5), "seven");
    EXPECT_EQ(data.GetResourceHandle(), h);
    data.SetResourceName("NOPE");
    EXPECT_THROW(data.GetResourceHandle(), EOSError);
    FreeLibrary(data.ModuleHandle());
}

TEST(RyxMemTest, ResourceDataSourcesExcludeEachOther) {
    TryxResourceData data;
    int changes = 0;
    data.OnChange = [&](TObject*) { ++changes; };
    data.SetResourceID(7);
    data.Data()->ReadBuffer("xyz", 3);
    data.SetFileName("/tmp/a.wav");
    EXPECT_EQ(data.ResourceID(), 0);
    EXPECT_TRUE(data.Data()->GetEmpty());
    EXPECT_FALSE(data.IsResource());
    EXPECT_FALSE(data.GetEmpty());
    data.SetFileName("/tmp/a.wav");
    EXPECT_EQ(changes, 2);
    data.SetResourceType("WAVE");
    data.SetResourceModule("x.dll");
    EXPECT_EQ(changes, 2);

    // Assign copies every source, and the data as it is.
    TryxResourceData other;
    other.Data()->ReadBuffer("old", 3);
    other.Assign(&data);
    EXPECT_EQ(other.FileName(), "/tmp/a.wav");
    EXPECT_EQ(other.ResourceModule(), "x.dll");
    EXPECT_EQ(other.ResourceType(), "");
    EXPECT_TRUE(other.Data()->GetEmpty());
    other.Assign(nullptr);
    EXPECT_TRUE(other.GetEmpty());
    EXPECT_EQ(other.ResourceModule(), "x.dll");

    // One temporary file at a time, removed with the object.
    std::string first, second;
    {
        TryxResourceData temp;
        EXPECT_EQ(temp.CopyDataToTempFile(), "");
        TStringStream s("bytes");
        temp.Data()->LoadFromStream(&s);
        first = temp.CopyDataToTempFile();
        second = temp.CopyDataToTempFile();
        EXPECT_FALSE(FileExists(first));
        std::ifstream f(second);
        std::string content((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        EXPECT_EQ(content, "bytes");
    }
    EXPECT_FALSE(FileExists(second));
}

TEST(RyxMemTest, ClipboardRoundTripThroughAGlobalBlock) {
    ResetClipboard();
    int blocks = GlobalBlockCount();
    UINT format = RegisterClipboardFormatA("RyxMem test bytes");
    TryxPersistentMemory block;
    block.CopyToClipboardFormat(uint16_t(format));  // empty: nothing
    EXPECT_FALSE(Clipboard()->HasFormat(format));
    block.ReadBuffer("clip", 4);
    block.CopyToClipboardFormat(uint16_t(format));
    EXPECT_TRUE(Clipboard()->HasFormat(format));

    TRiffBlock riff;
    riff.ReadBuffer("RIFFkeep", 8);
    EXPECT_THROW(riff.PasteFromClipboardFormat(uint16_t(format)), EInvalidOperation);
    EXPECT_EQ(Bytes(riff), "RIFFkeep");

    TryxPersistentMemory pasted;
    pasted.PasteFromClipboardFormat(uint16_t(format));
    EXPECT_EQ(Bytes(pasted), "clip");
    pasted.PasteFromClipboardFormat(uint16_t(format + 1));
    EXPECT_EQ(Bytes(pasted), "clip");
    ResetClipboard();
    EXPECT_EQ(GlobalBlockCount(), blocks);
}
