// Replacing the font of an extended dialog template. The font sits between the title and the first item,
// and items start on a 4-byte boundary, so everything after the font moves to the next boundary.
#include "dialog_font.h"

namespace {

// DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy; then the menu.
constexpr size_t kStyleOffset = 12;
constexpr size_t kMenuOffset = 26;
constexpr unsigned kSetFontStyle = 0x40; // DS_SETFONT, also part of DS_SHELLFONT
constexpr unsigned kOrdinalMark = 0xFFFF;
constexpr size_t kItemAlignment = 4;

unsigned Word(const unsigned char* at)
{
    return static_cast<unsigned>(at[0] | (at[1] << 8));
}

void PutWord(std::vector<unsigned char>& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

// Skips a null-terminated UTF-16 string at `offset`; false when it runs past the end.
bool SkipString(const unsigned char* source, size_t size, size_t& offset)
{
    for (; offset + 2 <= size; offset += 2) {
        if (Word(source + offset) == 0) {
            offset += 2;
            return true;
        }
    }
    return false;
}

// Skips a menu or class field: nothing (0), an ordinal (0xFFFF and a number) or a string.
bool SkipNameOrOrdinal(const unsigned char* source, size_t size, size_t& offset)
{
    if (offset + 2 > size) {
        return false;
    }
    const unsigned first = Word(source + offset);
    if (first == 0) {
        offset += 2;
        return true;
    }
    if (first == kOrdinalMark) {
        offset += 4;
        return offset <= size;
    }
    return SkipString(source, size, offset);
}

size_t Aligned(size_t offset)
{
    return (offset + kItemAlignment - 1) / kItemAlignment * kItemAlignment;
}

} // namespace

std::vector<unsigned char> WithDialogFont(const unsigned char* source, size_t size, const DialogFont& font)
{
    std::vector<unsigned char> out;
    if (size < kMenuOffset || Word(source) != 1 || Word(source + 2) != kOrdinalMark ||
        (Word(source + kStyleOffset) & kSetFontStyle) == 0) {
        return out;
    }
    size_t offset = kMenuOffset;
    if (!SkipNameOrOrdinal(source, size, offset) || !SkipNameOrOrdinal(source, size, offset) ||
        !SkipString(source, size, offset)) {
        return out;
    }
    const size_t fontOffset = offset;
    offset += 6; // point size, weight, italic, character set
    if (offset > size || !SkipString(source, size, offset)) {
        return out;
    }
    const size_t itemsOffset = Aligned(offset);
    if (itemsOffset > size) {
        return out;
    }

    out.assign(source, source + fontOffset);
    PutWord(out, static_cast<unsigned>(font.pointSize));
    PutWord(out, static_cast<unsigned>(font.weight));
    out.push_back(font.italic ? 1 : 0);
    out.push_back(static_cast<unsigned char>(font.charset));
    for (const char16_t* c = font.face; *c != 0; ++c) {
        PutWord(out, *c);
    }
    PutWord(out, 0);
    out.resize(Aligned(out.size()), 0);
    out.insert(out.end(), source + itemsOffset, source + size);
    return out;
}

int PointSizeOf(int height, int dpi)
{
    if (height >= 0 || dpi <= 0) {
        return 0;
    }
    constexpr int kPointsPerInch = 72;
    return (-height * kPointsPerInch + dpi / 2) / dpi;
}
