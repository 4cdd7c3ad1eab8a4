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

unsigned ReadWord(const unsigned char* at)
{
    return static_cast<unsigned>(at[0] | (at[1] << 8));
}

// Appends to a buffer of fixed size; remembers when it ran out of room.
struct Writer
{
    unsigned char* out;
    size_t room;
    size_t size;
    bool overflow;

    void Byte(unsigned value)
    {
        if (size < room) {
            out[size] = static_cast<unsigned char>(value & 0xFF);
        } else {
            overflow = true;
        }
        ++size;
    }
    void Word(unsigned value)
    {
        Byte(value);
        Byte(value >> 8);
    }
};

// Skips a null-terminated UTF-16 string at `offset`; false when it runs past the end.
bool SkipString(const unsigned char* source, size_t size, size_t& offset)
{
    for (; offset + 2 <= size; offset += 2) {
        if (ReadWord(source + offset) == 0) {
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
    const unsigned first = ReadWord(source + offset);
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

size_t WithDialogFont(const unsigned char* source, size_t size, const DialogFont& font, unsigned char* out,
                      size_t outSize)
{
    if (size < kMenuOffset || ReadWord(source) != 1 || ReadWord(source + 2) != kOrdinalMark ||
        (ReadWord(source + kStyleOffset) & kSetFontStyle) == 0) {
        return 0;
    }
    size_t offset = kMenuOffset;
    if (!SkipNameOrOrdinal(source, size, offset) || !SkipNameOrOrdinal(source, size, offset) ||
        !SkipString(source, size, offset)) {
        return 0;
    }
    const size_t fontOffset = offset;
    offset += 6; // point size, weight, italic, character set
    if (offset > size || !SkipString(source, size, offset)) {
        return 0;
    }
    const size_t itemsOffset = Aligned(offset);
    if (itemsOffset > size) {
        return 0;
    }

    Writer writer = {out, outSize, 0, false};
    for (size_t i = 0; i < fontOffset; ++i) {
        writer.Byte(source[i]);
    }
    writer.Word(static_cast<unsigned>(font.pointSize));
    writer.Word(static_cast<unsigned>(font.weight));
    writer.Byte(font.italic ? 1 : 0);
    writer.Byte(static_cast<unsigned>(font.charset));
    for (const char16_t* c = font.face; *c != 0; ++c) {
        writer.Word(*c);
    }
    writer.Word(0);
    while (writer.size % kItemAlignment != 0) {
        writer.Byte(0);
    }
    for (size_t i = itemsOffset; i < size; ++i) {
        writer.Byte(source[i]);
    }
    return writer.overflow ? 0 : writer.size;
}

int PointSizeOf(int height, int dpi)
{
    if (height >= 0 || dpi <= 0) {
        return 0;
    }
    constexpr int kPointsPerInch = 72;
    return (-height * kPointsPerInch + dpi / 2) / dpi;
}
