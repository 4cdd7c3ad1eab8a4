// Looking past what the pointer is over but cannot scroll, over a window tree of the test's own.
#include "target_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kVisible = WindowStyle::kVisible;
constexpr std::uint32_t kChild = WindowStyle::kChild | kVisible;
constexpr std::uint32_t kSeeThrough = WindowExStyle::kTransparent | WindowExStyle::kLayered;
constexpr std::uint32_t kOverlapped = 0x00CF0000 | kVisible;

// Windows by index; index 0 is "no window". Siblings are listed topmost first, as the Z-order runs.
class FakeTree
{
  public:
    using Handle = int;

    int Add(int parent, std::string className, std::uint32_t style, ScreenRect rect, std::uint32_t exStyle = 0)
    {
        m_windows.push_back({parent, std::move(className), style, exStyle, rect});
        return static_cast<int>(m_windows.size());
    }

    bool Probe(int window, WindowProbe& probe)
    {
        ++m_queries;
        const Window& w = At(window);
        probe = {w.m_className.c_str(), w.m_style, w.m_exStyle, w.m_cloaked};
        return !w.m_gone;
    }
    bool Rect(int window, ScreenRect& rect)
    {
        rect = At(window).m_rect;
        return !At(window).m_gone;
    }
    int Parent(int window) { return At(window).m_parent; }
    int FirstChild(int window) { return NextWithParent(window, 0); }
    int Next(int window) { return NextWithParent(At(window).m_parent, window); }

    void Remove(int window) { m_windows[static_cast<std::size_t>(window - 1)].m_gone = true; }
    void Cloak(int window) { m_windows[static_cast<std::size_t>(window - 1)].m_cloaked = true; }
    int m_queries = 0;

  private:
    struct Window
    {
        int m_parent;
        std::string m_className;
        std::uint32_t m_style;
        std::uint32_t m_exStyle;
        ScreenRect m_rect;
        bool m_gone = false;
        bool m_cloaked = false;
    };

    const Window& At(int window) const { return m_windows.at(static_cast<std::size_t>(window - 1)); }

    int NextWithParent(int parent, int after)
    {
        for (int i = after + 1; i <= static_cast<int>(m_windows.size()); ++i) {
            if (At(i).m_parent == parent) {
                return i;
            }
        }
        return 0;
    }

    std::vector<Window> m_windows;
};

int Find(FakeTree& tree, int pointed, int x, int y)
{
    TargetSearch<FakeTree> search(tree, x, y);
    return search.Find(pointed);
}

// A dialog whose group box was created before the list it frames, so it lies above the list in the Z-order.
struct Dialog
{
    FakeTree tree;
    int dialog = tree.Add(0, "#32770", 0x80000000 | kVisible, ScreenRect{100, 100, 500, 400});
    int groupBox = tree.Add(dialog, "Button", kChild | WindowStyle::kGroupBox, ScreenRect{110, 110, 490, 390});
    int disabledEdit = tree.Add(dialog, "Edit", kChild | WindowStyle::kDisabled, ScreenRect{120, 300, 300, 330});
    int list = tree.Add(dialog, "ListBox", kChild | WindowStyle::kVScroll, ScreenRect{120, 130, 300, 290});
    int hiddenList = tree.Add(dialog, "ListBox", WindowStyle::kChild, ScreenRect{320, 130, 480, 290});
    int transparentPanel =
        tree.Add(dialog, "Panel", kChild, ScreenRect{320, 130, 480, 290}, kSeeThrough);
    int button = tree.Add(dialog, "Button", kChild, ScreenRect{400, 340, 480, 380});
};

TEST(TargetSearch, AnOrdinaryWindowIsTheTargetAfterOneQuestion)
{
    Dialog d;
    EXPECT_EQ(Find(d.tree, d.list, 200, 200), d.list);
    EXPECT_EQ(d.tree.m_queries, 1);
}

TEST(TargetSearch, AGroupBoxGivesTheControlBeneathIt)
{
    Dialog d;
    EXPECT_EQ(Find(d.tree, d.groupBox, 200, 200), d.list);
}

TEST(TargetSearch, AGroupBoxOverNothingButItsDialogGivesTheDialog)
{
    Dialog d;
    // Beneath the box there: the hidden list and the transparent panel, which both let the pointer through.
    EXPECT_EQ(Find(d.tree, d.groupBox, 400, 200), d.dialog);
}

TEST(TargetSearch, ADisabledControlGivesWhatLiesBeneathIt)
{
    Dialog d;
    EXPECT_EQ(Find(d.tree, d.disabledEdit, 200, 310), d.dialog);
}

TEST(TargetSearch, ATooltipGivesTheTopLevelWindowBeneathItAndItsDeepestChild)
{
    FakeTree tree;
    const int tooltip = tree.Add(0, "tooltips_class32", 0x80000000 | kVisible, ScreenRect{180, 180, 260, 200});
    tree.Add(0, "Notepad", 0x00CF0000 | kVisible, ScreenRect{600, 0, 900, 300}); // above, but elsewhere
    const int editor = tree.Add(0, "Notepad", 0x00CF0000 | kVisible, ScreenRect{100, 100, 500, 400});
    const int edit = tree.Add(editor, "Edit", kChild, ScreenRect{110, 130, 490, 390});
    const int inner = tree.Add(edit, "Inner", kChild, ScreenRect{150, 150, 250, 250});
    EXPECT_EQ(Find(tree, tooltip, 200, 190), inner);
    EXPECT_EQ(Find(tree, tooltip, 255, 190), edit);
}

TEST(TargetSearch, ATooltipOverNothingGivesNoWindow)
{
    FakeTree tree;
    const int tooltip = tree.Add(0, "tooltips_class32", 0x80000000 | kVisible, ScreenRect{180, 180, 260, 200});
    tree.Add(0, "Notepad", 0x00CF0000 | kVisible, ScreenRect{600, 0, 900, 300});
    EXPECT_EQ(Find(tree, tooltip, 200, 190), 0);
}

TEST(TargetSearch, AWindowGoneMeanwhileGivesNoWindow)
{
    Dialog d;
    d.tree.Remove(d.groupBox);
    EXPECT_EQ(Find(d.tree, d.groupBox, 200, 200), 0);
}

TEST(TargetSearch, ATreeOfObstaclesEndsWithinTheBound)
{
    FakeTree tree;
    int parent = tree.Add(0, "Panel", 0x80000000 | kVisible, ScreenRect{0, 0, 100, 100}, kSeeThrough);
    int deepest = parent;
    for (int depth = 0; depth < 400; ++depth) {
        deepest = tree.Add(deepest, "Panel", kChild, ScreenRect{0, 0, 100, 100}, kSeeThrough);
    }
    EXPECT_EQ(Find(tree, deepest, 50, 50), 0);
    EXPECT_LE(tree.m_queries, 2 * kMaxSearchSteps + 2);
}

// A program with a modal dialog open lies over a browser: its disabled window hides what lies beneath.
TEST(TargetSearch, NeverCrossesADisabledTopLevelWindowButSkipsCloakedOnes)
{
    FakeTree tree;
    const int tooltip = tree.Add(0, "tooltips_class32", 0x80000000 | kVisible, ScreenRect{180, 180, 260, 200});
    const int flyout = tree.Add(0, "Flyout", 0x80000000 | kVisible, ScreenRect{0, 0, 1000, 1000});
    const int program = tree.Add(0, "Notepad", kOverlapped | WindowStyle::kDisabled, ScreenRect{100, 100, 500, 400});
    const int edit = tree.Add(program, "Edit", kChild, ScreenRect{110, 130, 490, 390});
    const int group = tree.Add(program, "Button", kChild | WindowStyle::kGroupBox, ScreenRect{450, 110, 490, 125});
    const int browser = tree.Add(0, "Chrome_WidgetWin_1", kOverlapped, ScreenRect{0, 0, 1000, 1000});
    tree.Cloak(flyout);

    EXPECT_EQ(Find(tree, program, 105, 110), 0) << "pointed at the disabled window itself";
    EXPECT_EQ(Find(tree, group, 470, 120), 0) << "up from its group box";
    EXPECT_EQ(Find(tree, tooltip, 200, 190), 0) << "down from a tooltip over it";
    EXPECT_EQ(Find(tree, edit, 200, 190), edit) << "its enabled control: the decision sees the disabled top level";
    EXPECT_EQ(Find(tree, tooltip, 200, 690), browser) << "beside the disabled window, past the cloaked flyout";
    tree.Remove(program);
    EXPECT_EQ(Find(tree, tooltip, 200, 190), browser) << "once the program has gone";
}

} // namespace
