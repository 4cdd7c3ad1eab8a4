// Placement of aligned children inside their parent's client area.
#include "layout.h"

namespace {
constexpr uint8_t kLeft = 1;
constexpr uint8_t kTop = 2;
constexpr uint8_t kRight = 3;
constexpr uint8_t kBottom = 4;
constexpr uint8_t kClient = 5;

void Place(LayoutRect& remaining, int m, LayoutItem& item)
{
    LayoutRect& b = item.bounds;
    int height = b.bottom - b.top;
    int width = b.right - b.left;
    switch (item.align) {
    case kTop:
        b = LayoutRect{remaining.left + m, remaining.top + m, remaining.right - m, remaining.top + m + height};
        remaining.top += height + m;
        break;
    case kBottom:
        b = LayoutRect{remaining.left + m, remaining.bottom - m - height, remaining.right - m, remaining.bottom - m};
        remaining.bottom -= height + m;
        break;
    case kLeft:
        b = LayoutRect{remaining.left + m, remaining.top + m, remaining.left + m + width, remaining.bottom - m};
        remaining.left += width + m;
        break;
    case kRight:
        b = LayoutRect{remaining.right - m - width, remaining.top + m, remaining.right - m, remaining.bottom - m};
        remaining.right -= width + m;
        break;
    case kClient:
        b = LayoutRect{remaining.left + m, remaining.top + m, remaining.right - m, remaining.bottom - m};
        break;
    default:
        break;
    }
}
} // namespace

void LayoutAlignedItems(LayoutRect client, int margin, LayoutItem* items, int count)
{
    LayoutRect remaining = client;
    const uint8_t passes[3][2] = {{kTop, kBottom}, {kLeft, kRight}, {kClient, kClient}};
    for (const auto& pass : passes) {
        for (int i = 0; i < count; ++i) {
            LayoutItem& item = items[i];
            if (item.takesPart && (item.align == pass[0] || item.align == pass[1]))
                Place(remaining, margin, item);
        }
    }
}
