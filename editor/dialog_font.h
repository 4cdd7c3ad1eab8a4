// A dialog template with another font: the dialog manager then builds the dialog, its dialog units and every
// control's font from it, as if the template had named it.
#pragma once

#include <cstddef>
#include <vector>

struct DialogFont
{
    int pointSize;
    int weight;
    bool italic;
    int charset;
    const char16_t* face;
};

// A copy of the extended dialog template (DLGTEMPLATEEX with DS_SETFONT) with its font replaced; empty when
// `source` is not such a template or ends too early.
std::vector<unsigned char> WithDialogFont(const unsigned char* source, size_t size, const DialogFont& font);

// The point size of a font `height` pixels high (negative: the character height, as the system reports its
// fonts) at `dpi`, rounded; 0 when the height is not a character height.
int PointSizeOf(int height, int dpi);
