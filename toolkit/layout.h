// Placement of aligned children inside their parent's client area.
#pragma once

#include <cstdint>

struct LayoutRect
{
    int left;
    int top;
    int right;
    int bottom;
};

struct LayoutItem
{
    uint8_t align;  // 0 none, 1 left, 2 top, 3 right, 4 bottom, 5 client
    bool takesPart; // visible, or to be shown once created
    LayoutRect bounds;
};

// Top and bottom children first, then left and right, then client; each pass in list order.
// Each placed child keeps its height (top, bottom) or width (left, right) and is inset by the margin.
void LayoutAlignedItems(LayoutRect client, int margin, LayoutItem* items, int count);
