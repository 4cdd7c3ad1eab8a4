// The built program's resources: its three icons, one 32-bit image each, and its version.
#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace e2e;

namespace {

#pragma pack(push, 2)
// An icon group resource: a header and one entry per image.
struct GroupIconHeader
{
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry
{
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
#pragma pack(pop)

constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;

struct Pixels
{
    int side = 0;
    std::vector<RGBQUAD> bgra;
};

class ProgramResources : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Ready());
        module = ::LoadLibraryExA(folder.ProgramPath().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override
    {
        if (module != nullptr)
            ::FreeLibrary(module);
    }

    const void* Resource(LPCSTR name, LPCSTR type, DWORD* size = nullptr)
    {
        HRSRC found = ::FindResourceA(module, name, type);
        if (found == nullptr)
            return nullptr;
        if (size != nullptr)
            *size = ::SizeofResource(module, found);
        return ::LockResource(::LoadResource(module, found));
    }

    // The one image of the named icon; fails the test unless the group holds exactly one 32-bit image.
    Pixels OnlyImage(const char* name)
    {
        Pixels pixels;
        auto* header = static_cast<const GroupIconHeader*>(Resource(name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */));
        EXPECT_NE(header, nullptr) << name;
        if (header == nullptr)
            return pixels;
        EXPECT_EQ(header->count, 1) << name;
        auto* entry = reinterpret_cast<const GroupIconEntry*>(header + 1);
        EXPECT_EQ(entry->bitCount, 32) << name;
        DWORD size = 0;
        auto* image = static_cast<const BITMAPINFOHEADER*>(
            Resource(MAKEINTRESOURCEA(entry->id), MAKEINTRESOURCEA(3) /* RT_ICON */, &size));
        EXPECT_NE(image, nullptr) << name;
        if (image == nullptr)
            return pixels;
        EXPECT_EQ(image->biSize, sizeof(BITMAPINFOHEADER)) << name;
        EXPECT_EQ(image->biBitCount, 32) << name;
        EXPECT_EQ(image->biHeight, 2 * image->biWidth) << name << ": the height counts the mask too";
        EXPECT_EQ(entry->width, image->biWidth % 256) << name;
        pixels.side = image->biWidth;
        size_t colourBytes = static_cast<size_t>(pixels.side) * pixels.side * 4;
        size_t maskBytes = static_cast<size_t>((pixels.side + 31) / 32 * 4) * pixels.side;
        EXPECT_EQ(size, sizeof(BITMAPINFOHEADER) + colourBytes + maskBytes) << name;
        if (size < sizeof(BITMAPINFOHEADER) + colourBytes)
            return pixels;
        pixels.bgra.resize(static_cast<size_t>(pixels.side) * pixels.side);
        std::memcpy(pixels.bgra.data(), image + 1, colourBytes);
        return pixels;
    }

    ProgramFolder folder;
    HMODULE module = nullptr;
};

bool IsGrey(const RGBQUAD& p) { return p.rgbRed == p.rgbGreen && p.rgbGreen == p.rgbBlue; }

TEST_F(ProgramResources, IconsHaveOneImageOfTheirSizeWithTransparentEdgesAndAnOpaqueMouse)
{
    struct Case
    {
        const char* name;
        int side;
    };
    for (const Case& c : {Case{"MAINICON", 48}, Case{"RXICONENABLED", 16}, Case{"RXICONDISABLED", 16}}) {
        Pixels pixels = OnlyImage(c.name);
        ASSERT_EQ(pixels.side, c.side) << c.name;
        int transparent = 0, opaque = 0;
        for (const RGBQUAD& p : pixels.bgra) {
            transparent += p.rgbReserved == 0;
            opaque += p.rgbReserved == 255;
        }
        EXPECT_GT(transparent, c.side * c.side / 8) << c.name;
        EXPECT_GT(opaque, c.side * c.side / 4) << c.name;
        // The bottom-up rows put the top-left corner at the start of the last row; corners stay clear.
        EXPECT_EQ(pixels.bgra[static_cast<size_t>(c.side) * (c.side - 1)].rgbReserved, 0) << c.name;
    }
}

TEST_F(ProgramResources, DisabledIconIsTheEnabledMouseInGrey)
{
    Pixels enabled = OnlyImage("RXICONENABLED");
    Pixels disabled = OnlyImage("RXICONDISABLED");
    ASSERT_EQ(enabled.bgra.size(), disabled.bgra.size());
    int colouredEnabled = 0, colouredDisabled = 0, sameShape = 0;
    for (size_t i = 0; i < enabled.bgra.size(); ++i) {
        colouredEnabled += enabled.bgra[i].rgbReserved > 0 && !IsGrey(enabled.bgra[i]);
        colouredDisabled += disabled.bgra[i].rgbReserved > 0 && !IsGrey(disabled.bgra[i]);
        sameShape += (enabled.bgra[i].rgbReserved == 0) == (disabled.bgra[i].rgbReserved == 0);
    }
    EXPECT_GT(colouredEnabled, 0);
    EXPECT_EQ(colouredDisabled, 0);
    EXPECT_EQ(sameShape, static_cast<int>(enabled.bgra.size()));
}

TEST_F(ProgramResources, VersionIs1_7_0_3)
{
    DWORD size = 0;
    auto* bytes = static_cast<const BYTE*>(Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16) /* RT_VERSION */, &size));
    ASSERT_NE(bytes, nullptr);
    const VS_FIXEDFILEINFO* info = nullptr;
    for (DWORD offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += 4) {
        DWORD signature;
        std::memcpy(&signature, bytes + offset, sizeof signature);
        if (signature == kFixedFileInfoSignature) {
            info = reinterpret_cast<const VS_FIXEDFILEINFO*>(bytes + offset);
            break;
        }
    }
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->dwFileVersionMS, MAKELONG(7, 1));
    EXPECT_EQ(info->dwFileVersionLS, MAKELONG(3, 0));
    EXPECT_EQ(info->dwProductVersionMS, MAKELONG(7, 1));
    EXPECT_EQ(info->dwProductVersionLS, MAKELONG(3, 0));
}

} // namespace
