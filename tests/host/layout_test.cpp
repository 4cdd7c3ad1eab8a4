// Placement of aligned children: passes, margins and who takes part.
#include "layout.h"

#include <gtest/gtest.h>

namespace {

bool Same(const LayoutRect& a, const LayoutRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(LayoutTest, ClientChildFillsTheAreaLessTheMargin)
{
    LayoutItem item{5, true, {0, 0, 64, 64}};
    LayoutAlignedItems({0, 0, 300, 200}, 2, &item, 1);
    EXPECT_TRUE(Same(item.bounds, {2, 2, 298, 198}));
}

TEST(LayoutTest, TopAndBottomGoBeforeLeftRightAndClientWhateverTheListOrder)
{
    LayoutItem items[] = {
        {5, true, {0, 0, 10, 10}},  // client
        {1, true, {0, 0, 30, 10}},  // left, width 30
        {2, true, {0, 0, 10, 20}},  // top, height 20
        {4, true, {0, 0, 10, 15}},  // bottom, height 15
        {3, true, {0, 0, 40, 10}},  // right, width 40
        {0, true, {7, 8, 9, 10}},   // none keeps its place
    };
    LayoutAlignedItems({0, 0, 200, 100}, 2, items, 6);
    EXPECT_TRUE(Same(items[2].bounds, {2, 2, 198, 22}));
    EXPECT_TRUE(Same(items[3].bounds, {2, 83, 198, 98}));
    // Remaining after top and bottom: top 22, bottom 83.
    EXPECT_TRUE(Same(items[1].bounds, {2, 24, 32, 81}));
    EXPECT_TRUE(Same(items[4].bounds, {158, 24, 198, 81}));
    // Remaining: left 32, right 158.
    EXPECT_TRUE(Same(items[0].bounds, {34, 24, 156, 81}));
    EXPECT_TRUE(Same(items[5].bounds, {7, 8, 9, 10}));
}

TEST(LayoutTest, HiddenChildrenTakeNoSpace)
{
    LayoutItem items[] = {{2, false, {0, 0, 10, 50}}, {5, true, {0, 0, 1, 1}}};
    LayoutAlignedItems({0, 0, 100, 100}, 0, items, 2);
    EXPECT_TRUE(Same(items[0].bounds, {0, 0, 10, 50}));
    EXPECT_TRUE(Same(items[1].bounds, {0, 0, 100, 100}));
}

} // namespace
