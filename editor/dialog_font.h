// A dialog template with another font: the dialog manager then builds the dialog, its dialog units and every
// control's font from it, as if the template had named it.
#pragma once

#include <cstddef>

struct DialogFont
{
    int pointSize;
    int weight;
    bool italic;
    int charset;
    const char16_t* face;
};

// Writes into `out` a copy of the extended dialog template (DLGTEMPLATEEX with DS_SETFONT) with its font
// replaced, and returns its size; 0 when `source` is not such a template, ends too early, or `out` (of
// `outSize` bytes) is too small. Room for `size` bytes and 2 per character of the face, plus 6, suffices.
size_t WithDialogFont(const unsigned char* source, size_t size, const DialogFont& font, unsigned char* out,
                      size_t outSize);

// The point size of a font `height` pixels high (negative: the character height, as the system reports its
// fonts) at `dpi`, rounded; 0 when the height is not a character height.
int PointSizeOf(int height, int dpi);
