// Reading a menu's item-text template: prefixes, separators, radio groups and bracketed sub-menus.
#include "menu_template.h"

#include <cstring>

namespace {
constexpr char kCheckedPrefix = '+';
constexpr char kUncheckedPrefix = '-';
constexpr char kRadioMark = '!';
constexpr const char* kSeparatorText = "-";
constexpr const char* kSubMenuStartText = "(";
constexpr const char* kSubMenuEndText = ")";
// A radio item joins group 1 when the item before it is no radio item.
constexpr int kFirstRadioGroup = 1;

bool Is(const char* text, const char* exact)
{
    return text != nullptr && std::strcmp(text, exact) == 0;
}

struct WalkState
{
    const char* const* texts;
    int last;
    int nextItemIndex;
    MenuTemplateSink* sink;
};

int WalkLevel(WalkState& state, int i, int depth, void* parent)
{
    // Starts afresh on every level, so the first radio items of a sub-menu form its group 1.
    int previousRadioGroup = 0;
    while (i <= state.last) {
        const char* text = state.texts[i];
        if (IsMenuEnd(text))
            return i;
        if (IsSubMenuEnd(text))
            return i + 1;

        MenuEntry entry = ClassifyMenuEntry(text, previousRadioGroup);
        entry.EntryIndex = i;
        entry.ItemIndex = state.nextItemIndex++;
        entry.Depth = depth;
        entry.OpensSubMenu = i < state.last && IsSubMenuStart(state.texts[i + 1]);

        void* node = parent == nullptr ? nullptr : state.sink->AddMenuEntry(parent, entry);
        i = entry.OpensSubMenu ? WalkLevel(state, i + 2, depth + 1, node) : i + 1;
        previousRadioGroup = entry.RadioGroup;
    }
    return i;
}
} // namespace

bool IsMenuEnd(const char* text)
{
    return text == nullptr || text[0] == '\0';
}

bool IsSubMenuStart(const char* text)
{
    return Is(text, kSubMenuStartText);
}

bool IsSubMenuEnd(const char* text)
{
    return Is(text, kSubMenuEndText);
}

MenuEntry ClassifyMenuEntry(const char* text, int previousRadioGroup)
{
    MenuEntry entry{};
    entry.Kind = MenuEntryKind::Plain;
    entry.Text = text == nullptr ? "" : text;
    if (Is(text, kSeparatorText)) {
        entry.Kind = MenuEntryKind::Separator;
        return entry;
    }
    if (text == nullptr || (text[0] != kCheckedPrefix && text[0] != kUncheckedPrefix))
        return entry;

    entry.Kind = MenuEntryKind::Check;
    entry.Checked = text[0] == kCheckedPrefix;
    const char* rest = text + 1;
    if (rest[0] == kRadioMark) {
        entry.Kind = MenuEntryKind::Radio;
        ++rest;
        entry.RadioGroup = previousRadioGroup != 0 ? previousRadioGroup : kFirstRadioGroup;
        if (rest[0] == kRadioMark) {
            ++rest;
            ++entry.RadioGroup;
        }
    }
    entry.Text = rest;
    return entry;
}

int WalkMenuTemplate(const char* const* texts, int first, int last, void* parent, MenuTemplateSink& sink)
{
    if (texts == nullptr)
        return first;
    WalkState state{texts, last, 0, &sink};
    return WalkLevel(state, first, 0, parent);
}
