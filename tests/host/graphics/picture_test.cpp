// Colours by name, icons, metafiles, pictures by file extension, and graphics in form files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "host/gdi/gdi.h"
#include "host/gdi/gditest.h"
#include "host/gdi/imagefile.h"
#include "host/graphics/graphics.h"
#include "host/rtl/component.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"

using namespace host;

namespace {

std::string Bytes(TMemoryStream& s) { return std::string(static_cast<const char*>(s.Memory()), size_t(s.Size())); }

struct TTempDir {
    std::filesystem::path Path;
    TTempDir() {
        Path = std::filesystem::temp_directory_path() /
               ("ryx_graphics_" + std::to_string(::getpid()) + "_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(Path);
    }
    ~TTempDir() { std::filesystem::remove_all(Path); }
    std::string File(const std::string& Name) const { return (Path / Name).string(); }
};

void WriteFile(const std::string& Name, const std::string& Bytes) {
    std::ofstream f(Name, std::ios::binary);
    f.write(Bytes.data(), std::streamsize(Bytes.size()));
}

// A 2 x 2 icon: red, transparent, blue, green.
std::string SampleIco() {
    TIconImage ii;
    ii.Image.Width = 2;
    ii.Image.Height = 2;
    ii.Image.BitsPerPixel = 32;
    ii.Image.HasAlpha = true;
    ii.Image.Pixels = {0xFFFF0000u, 0x00000000u, 0xFF0000FFu, 0xFF00FF00u};
    ii.Mask = {0, 1, 0, 0};
    return WriteIco({ii});
}

// A component with a colour, a font and a picture, as controls publish them.
class TGfxHolder : public TComponent {
    HOST_CLASS(TGfxHolder, TComponent)
public:
    explicit TGfxHolder(TComponent* AOwner) : TComponent(AOwner) {}
    TColor FColor = clWindow;
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }

private:
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
    HOST_PUBLISHED(prop("Color", &TGfxHolder::FColor, &TGfxHolder::FColor).def(clWindow),
                   prop("Font", &TGfxHolder::Font, &TGfxHolder::SetFont),
                   prop("Picture", &TGfxHolder::Picture, &TGfxHolder::SetPicture))
};

}  // namespace

TEST(GraphicsColors, NamesAndValues) {
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToString(clGray), "clGray");
    EXPECT_EQ(ColorToString(clDkGray), "clGray");
    EXPECT_EQ(ColorToString(static_cast<TColor>(0xFF00FF)), "clFuchsia");
    EXPECT_EQ(ColorToString(static_cast<TColor>(0x123456)), "$00123456");
    EXPECT_EQ(ColorToString(static_cast<TColor>(0x80000019)), "$80000019");
    EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
    EXPECT_EQ(StringToColor("clLtGray"), clSilver);
    EXPECT_EQ(StringToColor("$00123456"), static_cast<TColor>(0x123456));
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
    int32_t v = 0;
    EXPECT_TRUE(IdentToColor("clNone", v));
    EXPECT_EQ(v, 0x1FFFFFFF);
    std::string name;
    EXPECT_FALSE(ColorToIdent(0x123456, name));
    int count = 0;
    GetColorValues([&](const std::string&) { ++count; });
    EXPECT_EQ(count, 52);
}

TEST(GraphicsColors, ColorToRGBResolvesSystemColours) {
    EXPECT_EQ(ColorToRGB(clBtnFace), int32_t(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ColorToRGB(clWindowFrame), int32_t(GetSysColor(COLOR_WINDOWFRAME)));
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFF);
    EXPECT_EQ(ColorToRGB(clDefault), 0x20000000);
    const int idx = COLOR_BTNFACE;
    const COLORREF col = 0x00DEDEDE;
    SetSysColors(1, &idx, &col);
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xDEDEDE);
    ResetSysColors();
}

TEST(GraphicsIcon, LoadDrawSaveAndHandOver) {
    const int before = gditest::LiveIcons();
    {
        TIcon icon;
        TMemoryStream s;
        const std::string ico = SampleIco();
        s.WriteBuffer(ico.data(), int64_t(ico.size()));
        s.SetPosition(0);
        icon.LoadFromStream(&s);
        EXPECT_EQ(icon.Width(), 2);
        EXPECT_EQ(icon.Height(), 2);
        EXPECT_TRUE(icon.Transparent());
        EXPECT_THROW(icon.SetWidth(3), EInvalidGraphicOperation);

        TBitmap dst(4, 4);
        dst.Canvas()->Brush()->SetColor(clYellow);
        dst.Canvas()->FillRect(TRect{0, 0, 4, 4});
        dst.Canvas()->Draw(1, 1, &icon);
        EXPECT_EQ(dst.Canvas()->Pixels(1, 1), clRed);
        EXPECT_EQ(dst.Canvas()->Pixels(2, 1), clYellow);
        EXPECT_EQ(dst.Canvas()->Pixels(1, 2), clBlue);
        EXPECT_EQ(dst.Canvas()->Pixels(2, 2), clLime);

        TMemoryStream out;
        icon.SaveToStream(&out);
        EXPECT_EQ(Bytes(out), ico);  // the file loaded goes back unchanged

        TIcon copy;
        copy.Assign(&icon);
        EXPECT_NE(copy.Handle(), icon.Handle());
        HICON h = copy.ReleaseHandle();
        EXPECT_TRUE(copy.Empty());
        TIcon other;
        other.SetHandle(h);  // owned now; freed with it
        TMemoryStream again;
        other.SaveToStream(&again);
        TIcon back;
        again.SetPosition(0);
        back.LoadFromStream(&again);
        EXPECT_EQ(back.Width(), 2);

        TBitmap asBitmap;
        asBitmap.Assign(&icon);
        EXPECT_EQ(asBitmap.Width(), 2);
        EXPECT_EQ(asBitmap.Canvas()->Pixels(1, 0), clWhite);
    }
    EXPECT_EQ(gditest::LiveIcons(), before);
}

TEST(GraphicsPicture, LoadFromFileByExtension) {
    TTempDir dir;
    TBitmap bmp(3, 2);
    bmp.Canvas()->SetPixels(0, 0, clRed);
    bmp.SaveToFile(dir.File("a.bmp"));
    WriteFile(dir.File("b.ICO"), SampleIco());
    TPixelImage png;
    png.Width = 1;
    png.Height = 1;
    png.Pixels = {0xFF00FF00u};
    WriteFile(dir.File("c.png"), WritePng(png));
    WriteFile(dir.File("d.xyz"), "whatever");
    WriteFile(dir.File("e.bmp"), "BM broken");

    TPicture p;
    int changes = 0;
    p.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    p.LoadFromFile(dir.File("a.bmp"));
    ASSERT_NE(p.Graphic(), nullptr);
    EXPECT_TRUE(p.Graphic()->Is<TBitmap>());
    EXPECT_EQ(p.Width(), 3);
    EXPECT_EQ(p.Bitmap()->Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(changes, 1);
    p.LoadFromFile(dir.File("b.ICO"));
    EXPECT_TRUE(p.Graphic()->Is<TIcon>());
    p.LoadFromFile(dir.File("c.png"));
    EXPECT_TRUE(p.Graphic()->Is<TBitmap>());
    EXPECT_EQ(p.Bitmap()->Canvas()->Pixels(0, 0), clLime);

    TGraphic* kept = p.Graphic();
    try {
        p.LoadFromFile(dir.File("d.xyz"));
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
    }
    EXPECT_THROW(p.LoadFromFile(dir.File("e.bmp")), EInvalidGraphic);
    EXPECT_THROW(p.LoadFromFile(dir.File("missing.bmp")), EFOpenError);
    EXPECT_EQ(p.Graphic(), kept);
    EXPECT_EQ(p.Bitmap()->Canvas()->Pixels(0, 0), clLime);

    p.SaveToFile(dir.File("out.bmp"));
    TPicture q;
    q.LoadFromFile(dir.File("out.bmp"));
    EXPECT_EQ(q.Bitmap()->Canvas()->Pixels(0, 0), clLime);

    EXPECT_EQ(TPicture::FileFormatClass(".BMP"), TBitmap::StaticClass());
    EXPECT_EQ(GraphicExtension(TIcon::StaticClass()), "ico");
    EXPECT_NE(GraphicFilter(TGraphic::StaticClass()).find("Icons (*.ico)|*.ico"), std::string::npos);
    EXPECT_EQ(GraphicFileMask(TBitmap::StaticClass()), "*.bmp;*.png");
}

TEST(GraphicsPicture, AccessorsAssignAndMetafiles) {
    TPicture p;
    EXPECT_EQ(p.Graphic(), nullptr);
    EXPECT_EQ(p.Width(), 0);
    p.Bitmap()->SetSize(5, 4);
    EXPECT_EQ(p.Width(), 5);
    EXPECT_EQ(p.Height(), 4);
    // Asking for another kind replaces the graphic with an empty one of that kind.
    TIcon* icon = p.Icon();
    EXPECT_TRUE(icon->Empty());
    EXPECT_TRUE(p.Graphic()->Is<TIcon>());

    TBitmap b(2, 2);
    b.Canvas()->SetPixels(1, 1, clRed);
    p.SetBitmap(&b);
    EXPECT_NE(p.Graphic(), &b);
    EXPECT_EQ(p.Bitmap()->Canvas()->Pixels(1, 1), clRed);
    TPicture q;
    q.Assign(&p);
    EXPECT_EQ(q.Bitmap()->Canvas()->Pixels(1, 1), clRed);
    TBitmap c;
    c.Assign(&q);  // a picture of a bitmap assigns to a bitmap
    EXPECT_EQ(c.Canvas()->Pixels(1, 1), clRed);
    q.Assign(nullptr);
    EXPECT_EQ(q.Graphic(), nullptr);

    TMetafile* mf = p.Metafile();
    EXPECT_TRUE(mf->Empty());
    TMemoryStream s;
    try {
        mf->LoadFromStream(&s);
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Metafiles are not supported");
    }
}

TEST(GraphicsPicture, FormFilesWriteColoursByNameAndPicturesAsData) {
    RegisterClass(TGfxHolder::StaticClass());
    TGfxHolder h(nullptr);
    h.SetName("Holder");
    h.FColor = clBtnFace;
    h.Font()->SetStyle({fsBold});
    h.Font()->SetColor(static_cast<TColor>(0x123456));
    h.Picture()->Bitmap()->SetSize(3, 2);
    h.Picture()->Bitmap()->Canvas()->SetPixels(2, 1, clRed);
    TMemoryStream s;
    s.WriteComponent(&h);
    const std::string text = ObjectBinaryToTextString(Bytes(s));
    EXPECT_NE(text.find("Color = clBtnFace"), std::string::npos) << text;
    EXPECT_NE(text.find("Font.Charset = DEFAULT_CHARSET"), std::string::npos) << text;
    EXPECT_NE(text.find("Font.Color = 1193046"), std::string::npos) << text;
    EXPECT_NE(text.find("Font.Style = [fsBold]"), std::string::npos) << text;
    EXPECT_NE(text.find("Font.Name = 'MS Sans Serif'"), std::string::npos) << text;
    EXPECT_EQ(text.find("Font.Size"), std::string::npos) << text;
    EXPECT_NE(text.find("Picture.Data = {"), std::string::npos) << text;
    EXPECT_NE(text.find("07544269746D6170"), std::string::npos) << text;  // "\7TBitmap"

    TGfxHolder back(nullptr);
    const std::string binary = ObjectTextToBinaryString(text);
    TMemoryStream in;
    in.WriteBuffer(binary.data(), int64_t(binary.size()));
    in.SetPosition(0);
    in.ReadComponent(&back);
    EXPECT_EQ(back.FColor, clBtnFace);
    EXPECT_EQ(back.Font()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(back.Font()->Color(), static_cast<TColor>(0x123456));
    ASSERT_NE(back.Picture()->Graphic(), nullptr);
    EXPECT_EQ(back.Picture()->Width(), 3);
    EXPECT_EQ(back.Picture()->Bitmap()->Canvas()->Pixels(2, 1), clRed);

    // An empty picture writes nothing.
    TGfxHolder empty(nullptr);
    TMemoryStream e;
    e.WriteComponent(&empty);
    EXPECT_EQ(ObjectBinaryToTextString(Bytes(e)).find("Picture.Data"), std::string::npos);
    UnRegisterClass(TGfxHolder::StaticClass());
}
