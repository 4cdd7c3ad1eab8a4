// Stacking of dialog rows: each shown row below the last, a group box around its shown rows.
#include "stack_layout.h"

int StackItems(const StackMetrics& metrics, StackItem* items, int count)
{
    int y = metrics.margin;
    StackItem* group = nullptr; // the open group box, while its rows are placed
    bool firstInGroup = false;
    bool anyRow = false;           // a shown row since the top or since the last group box closed
    StackItem* previous = nullptr; // the row a row beside it would stand next to
    for (int i = 0; i < count; ++i) {
        StackItem& item = items[i];
        item.box = StackBox{0, 0, 0, 0};
        switch (item.kind) {
        case kStackGroup:
            previous = nullptr;
            if (anyRow) {
                y += metrics.margin; // rows outside groups stand apart from a box below them
            }
            group = &item;
            item.box = StackBox{metrics.margin, y, metrics.width - 2 * metrics.margin, 0};
            y += metrics.groupTop;
            firstInGroup = true;
            break;
        case kStackGroupEnd:
            previous = nullptr;
            if (group != nullptr) {
                y += metrics.groupInset;
                group->box.height = y - group->box.top;
                y += metrics.margin;
                group = nullptr;
            }
            anyRow = false;
            break;
        case kStackRow: {
            if (!item.shown) {
                break;
            }
            if (item.beside && previous != nullptr) {
                // The row before gives up the right part of its width, less a gap, and its line grows to fit both.
                StackBox& left = previous->box;
                const int right = left.left + left.width;
                left.width = (left.width - metrics.rowGap) / 2;
                const int start = left.left + left.width + metrics.rowGap;
                item.box = StackBox{start, left.top, right - start, item.height};
                if (left.top + item.height > y) {
                    y = left.top + item.height;
                }
                previous = nullptr;
                break;
            }
            const bool inGroup = group != nullptr;
            if (inGroup ? !firstInGroup : anyRow) {
                y += metrics.rowGap;
            }
            const int edge = inGroup ? metrics.margin + metrics.groupInset : metrics.margin;
            const int left = edge + item.indent * metrics.indent;
            item.box = StackBox{left, y, metrics.width - edge - left, item.height};
            y += item.height;
            firstInGroup = false;
            anyRow = !inGroup;
            previous = &item;
            break;
        }
        }
    }
    return anyRow ? y + metrics.margin : y;
}
