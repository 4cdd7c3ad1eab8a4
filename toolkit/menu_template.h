// The item-text template of a menu: what each entry means, and the depth-first walk that turns the
// entries into items. No Windows calls, so the rules are checked on any platform.
#pragma once

#include <cstdint>

enum class MenuEntryKind : uint8_t
{
    Plain,
    Separator,
    Check,
    Radio,
};

// One item of a template as the walk meets it.
struct MenuEntry
{
    MenuEntryKind Kind;
    bool Checked;
    // The displayed text: the entry past its prefix characters (points into the entry itself).
    const char* Text;
    // 0 unless the item is a radio item.
    int RadioGroup;
    // The entry that follows this one is "(": the items up to the matching ")" form its sub-menu.
    bool OpensSubMenu;
    // Position of the entry in the template.
    int EntryIndex;
    // Depth-first index among all items of the menu; the first item is 0.
    int ItemIndex;
    // 0 on the top level, one more on each sub-menu level.
    int Depth;
};

// Meaning of one entry taken alone: kind, initial check, displayed text and, for a radio item, its group
// given the radio group of the item just before it on the same level (0 when that is no radio item).
MenuEntry ClassifyMenuEntry(const char* text, int previousRadioGroup);
// A null or empty entry ends the menu.
bool IsMenuEnd(const char* text);
bool IsSubMenuStart(const char* text);
bool IsSubMenuEnd(const char* text);

// Receives the items of a template in menu order.
class MenuTemplateSink
{
public:
    // Adds the item under `parent`; returns what the items of the item's sub-menu go under
    // (only asked for when the item opens one). A null parent means the parent could not be made.
    virtual void* AddMenuEntry(void* parent, const MenuEntry& entry) = 0;

protected:
    ~MenuTemplateSink() = default;
};

// Walks entries first..last of texts for one menu level and, through the sub-menus, the levels below it.
// Returns the index of the first entry that it did not take.
int WalkMenuTemplate(const char* const* texts, int first, int last, void* parent, MenuTemplateSink& sink);
