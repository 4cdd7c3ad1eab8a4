// The shipped files' resources: the program's icons at every size Windows asks for, its manifest as Windows
// reads it, and the version resource that the program, the hook library and the editor share.
#include "e2e_harness.h"

#include "activation_context.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>

using namespace e2e;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

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
constexpr DWORD kIconFormatVersion = 0x00030000; // what CreateIconFromResourceEx expects of icon resources
const unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The notification area at 100% to 200% scaling and the large icons LoadIconA picks for those scales.
const std::vector<int> kTraySizes = {16, 20, 24, 32, 40, 48, 64};
// Those, and Explorer's views up to its largest.
const std::vector<int> kProgramSizes = {16, 20, 24, 32, 40, 48, 64, 256};

// One decoded image: straight BGRA pixels, rows from the top.
struct Pixels
{
    int side = 0;
    std::vector<RGBQUAD> bgra;
    const RGBQUAD& At(int x, int y) const { return bgra[static_cast<size_t>(y) * side + x]; }
};

bool IsGrey(const RGBQUAD& p)
{
    return p.rgbRed == p.rgbGreen && p.rgbGreen == p.rgbBlue;
}

// The pixels of an icon as the system decoded it; empty when it has no 32-bit colour image.
Pixels PixelsOf(HICON icon)
{
    Pixels pixels;
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info))
        return pixels;
    BITMAP bitmap{};
    ::GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = -bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> bgra(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    HDC screen = ::GetDC(nullptr);
    if (bitmap.bmWidth > 0 && ::GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bitmap.bmHeight), bgra.data(),
                                          &format, DIB_RGB_COLORS) == bitmap.bmHeight) {
        pixels.side = bitmap.bmWidth;
        pixels.bgra = std::move(bgra);
    }
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return pixels;
}

const void* FindData(HMODULE module, LPCSTR name, LPCSTR type, DWORD* size = nullptr)
{
    HRSRC found = ::FindResourceA(module, name, type);
    if (found == nullptr)
        return nullptr;
    if (size != nullptr)
        *size = ::SizeofResource(module, found);
    return ::LockResource(::LoadResource(module, found));
}

// A string of a version resource's one translation (US English, Unicode, as every shipped file has it).
std::string VersionText(std::vector<char>& info, const char* name)
{
    char* text = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    return ::VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) && length > 0
               ? text
               : "<missing>";
}

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

    // Every image of the named icon by its side, each decoded by the system on its own; checks the group's
    // entries against the images on the way.
    std::map<int, Pixels> Images(const char* name)
    {
        std::map<int, Pixels> images;
        DWORD groupSize = 0;
        auto* header = static_cast<const GroupIconHeader*>(FindData(module, name, RT_GROUP_ICON, &groupSize));
        EXPECT_NE(header, nullptr) << name;
        if (header == nullptr || groupSize < sizeof *header + header->count * sizeof(GroupIconEntry))
            return images;
        auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
        for (int i = 0; i < header->count; ++i) {
            const GroupIconEntry& entry = entries[i];
            int side = entry.width == 0 ? 256 : entry.width;
            EXPECT_EQ(entry.height, entry.width) << name;
            EXPECT_EQ(entry.bitCount, 32) << name << " " << side;
            DWORD size = 0;
            auto* bytes = static_cast<const BYTE*>(FindData(module, MAKEINTRESOURCEA(entry.id), RT_ICON, &size));
            EXPECT_NE(bytes, nullptr) << name << " " << side;
            if (bytes == nullptr)
                continue;
            EXPECT_EQ(size, entry.bytesInResource) << name << " " << side;
            // PNG (read by Windows from Vista on), and the image is of the size its entry says.
            EXPECT_TRUE(size > 24 && std::memcmp(bytes, kPngSignature, sizeof kPngSignature) == 0) << name << side;
            HICON icon = ::CreateIconFromResourceEx(const_cast<BYTE*>(bytes), size, TRUE, kIconFormatVersion, side,
                                                    side, LR_DEFAULTCOLOR);
            EXPECT_NE(icon, nullptr) << name << " " << side << ": the system cannot read the image";
            images[side] = PixelsOf(icon);
            EXPECT_EQ(images[side].side, side) << name;
            if (icon != nullptr)
                ::DestroyIcon(icon);
        }
        return images;
    }

    ProgramFolder folder;
    HMODULE module = nullptr;
};

std::vector<int> Sides(const std::map<int, Pixels>& images)
{
    std::vector<int> sides;
    for (const auto& image : images)
        sides.push_back(image.first);
    return sides;
}

TEST_F(ProgramResources, EachIconHoldsEverySizeWindowsAsksFor)
{
    EXPECT_THAT(Sides(Images("MAINICON")), ElementsAreArray(kProgramSizes));
    EXPECT_THAT(Sides(Images("RXICONENABLED")), ElementsAreArray(kTraySizes));
    EXPECT_THAT(Sides(Images("RXICONDISABLED")), ElementsAreArray(kTraySizes));

    // What LoadIconA and LoadImageA do at each scale: the image drawn for that size, not another one stretched.
    for (const char* name : {"MAINICON", "RXICONENABLED", "RXICONDISABLED"}) {
        const BYTE* group = static_cast<const BYTE*>(FindData(module, name, RT_GROUP_ICON));
        ASSERT_NE(group, nullptr) << name;
        auto* entries = reinterpret_cast<const GroupIconEntry*>(group + sizeof(GroupIconHeader));
        for (int i = 0; i < reinterpret_cast<const GroupIconHeader*>(group)->count; ++i) {
            int side = entries[i].width == 0 ? 256 : entries[i].width;
            EXPECT_EQ(::LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, side, side, LR_DEFAULTCOLOR),
                      entries[i].id)
                << name << " at " << side;
        }
    }
}

TEST_F(ProgramResources, EverySizeIsAnOpaqueMouseWithSmoothEdgesOnClearCorners)
{
    for (const char* name : {"MAINICON", "RXICONENABLED", "RXICONDISABLED"}) {
        for (const auto& image : Images(name)) {
            const Pixels& pixels = image.second;
            const int side = image.first;
            ASSERT_EQ(pixels.side, side) << name;
            int transparent = 0, opaque = 0, partial = 0;
            for (const RGBQUAD& p : pixels.bgra) {
                transparent += p.rgbReserved == 0;
                opaque += p.rgbReserved == 255;
                partial += p.rgbReserved > 0 && p.rgbReserved < 255;
            }
            EXPECT_GT(transparent, side * side / 8) << name << " " << side;
            EXPECT_GT(opaque, side * side / 4) << name << " " << side;
            EXPECT_GT(partial, 0) << name << " " << side << ": the edges are not smoothed";
            for (int corner : {0, side - 1})
                EXPECT_EQ(pixels.At(corner, side - 1).rgbReserved, 0) << name << " " << side;
        }
    }
}

TEST_F(ProgramResources, DisabledIconIsTheEnabledMouseInGreyAtEverySize)
{
    std::map<int, Pixels> enabled = Images("RXICONENABLED");
    std::map<int, Pixels> disabled = Images("RXICONDISABLED");
    ASSERT_EQ(Sides(enabled), Sides(disabled));
    for (const auto& image : enabled) {
        const std::vector<RGBQUAD>& on = image.second.bgra;
        const std::vector<RGBQUAD>& off = disabled[image.first].bgra;
        ASSERT_EQ(on.size(), off.size()) << image.first;
        int colouredOn = 0, colouredOff = 0, sameShape = 0;
        for (size_t i = 0; i < on.size(); ++i) {
            colouredOn += on[i].rgbReserved > 0 && !IsGrey(on[i]);
            colouredOff += off[i].rgbReserved > 0 && !IsGrey(off[i]);
            sameShape += (on[i].rgbReserved == 0) == (off[i].rgbReserved == 0);
        }
        EXPECT_GT(colouredOn, 0) << image.first;
        EXPECT_EQ(colouredOff, 0) << image.first;
        EXPECT_EQ(sameShape, static_cast<int>(on.size())) << image.first;
    }
}

TEST_F(ProgramResources, ManifestAsksForNoElevationCommonControls6AndDpiAwareness)
{
    DWORD size = 0;
    auto* text = static_cast<const char*>(FindData(module, MAKEINTRESOURCEA(1), RT_MANIFEST, &size));
    ASSERT_NE(text, nullptr) << "the program carries no manifest";
    // What the system makes of it.
    ActivationContextFacts facts = ReadActivationContext(folder.ProgramPath());
    ASSERT_TRUE(facts.created) << "the system refuses the manifest: error " << facts.error;
    EXPECT_EQ(facts.runLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_FALSE(facts.uiAccess);
    EXPECT_THAT(facts.assemblies, ::testing::Contains(HasSubstr("Microsoft.Windows.Common-Controls")));
    EXPECT_EQ(facts.dpiAware, L"true");
    EXPECT_EQ(facts.dpiAwareness, L"PerMonitorV2, System");
    // Windows Vista, 7, 8, 8.1, and 10 and 11, each by its identifier.
    const std::string manifest(text, size);
    for (const char* os : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_THAT(manifest, HasSubstr(os));
}

TEST(ReleaseFiles, CarryTheSameVersionFieldsAndOperatingSystem)
{
    struct File
    {
        const char* path;
        DWORD type;
        const char* description;
    };
    const File files[] = {{ROLLIX_RELEASE_PROGRAM, VFT_APP, "Rollix Portable"},
                          {ROLLIX_RELEASE_HOOK_LIBRARY, VFT_DLL, "Rollix Portable mouse hook"},
                          {ROLLIX_RELEASE_EDITOR, VFT_APP, "Rollix Portable settings"}};
    for (const File& file : files) {
        std::string path = WindowsPath(file.path);
        DWORD ignored = 0;
        std::vector<char> info(::GetFileVersionInfoSizeA(path.c_str(), &ignored));
        ASSERT_TRUE(!info.empty() && ::GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()),
                                                           info.data()))
            << path << " has no version resource";
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) << path;
        EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(7, 1)) << path;
        EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(3, 0)) << path;
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS) << path;
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS) << path;
        EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32)) << path;
        EXPECT_EQ(fixed->dwFileType, file.type) << path;
        EXPECT_EQ(VersionText(info, "CompanyName"), "Rollix Portable") << path;
        EXPECT_EQ(VersionText(info, "LegalCopyright"), "Copyright (C) 2026 Rollix Portable") << path;
        EXPECT_EQ(VersionText(info, "FileDescription"), file.description) << path;
        EXPECT_EQ(VersionText(info, "ProductVersion"), "1.7.0.3") << path;
        EXPECT_EQ(VersionText(info, "OriginalFilename"), path.substr(path.find_last_of('\\') + 1)) << path;
    }
}

} // namespace
