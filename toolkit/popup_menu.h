// Menus built from an item-text template, shown at a screen point, whose choices reach an item handler
// of the owner window with the chosen item's index.
#pragma once

#include "window_object.h"
#include "windows_version.h"

class MenuNode;
// Called with the menu (its root) and the depth-first index of the chosen item.
using MenuItemHandler = EventHandler<void, MenuNode*, int>;

// Command identifiers of menu items count up from here, process-wide, and are never reused.
constexpr UINT kFirstMenuItemId = 0x1000;
// Item indexes of the root itself, and of a node that is not in the menu.
constexpr int kRootItemIndex = -1;
constexpr int kNoItemIndex = -2;

// One record serves for a whole menu (the root) and for each of its items.
class MenuNode : public ToolkitObject
{
public:
    // Releases the items (last first), takes the node out of its menu and its owner, frees the Windows menu.
    void Destroy() override;

    // Root: the Windows menu (menu bar or popup). Item: the popup of its sub-menu, or none.
    HMENU MenuHandle;
    // Item: its command identifier; root: 0.
    UINT CommandId;
    // Root: the window that receives the menu's commands.
    WindowObject* Owner;
    // Root: the next menu made for the same owner.
    MenuNode* NextMenu;
    MenuItemHandler ItemHandler;
    UINT TrackFlags;
    // Item: the last known Windows state bits; refreshed before every read and write.
    UINT State;
    // Item: the node whose Items hold it; root: none.
    MenuNode* ParentItem;
    ObjectList<MenuNode*>* Items;
    // Item: 0 unless it is a radio item.
    int RadioGroup;
    // Item: its text began with "+" or "-" (a check item or a radio item).
    bool CheckItem;
};

extern UINT NextMenuItemId;

// MENUITEMINFOA's cbSize for a release: the record without hbmpItem on Windows 95, NT 4 and older, which
// reject the longer record; the whole record elsewhere.
UINT MenuItemInfoSize(WindowsVersion version);

// Builds the Windows menu and the node tree from texts[0..lastIndex] and hooks the owner (may be null).
MenuNode* MakeMenu(WindowObject* owner, const char* const* texts, int lastIndex, MenuItemHandler itemHandler);
// Adds the items of entries first..lastIndex under parent, into parent's Windows menu; returns the first
// entry not taken.
int BuildMenuItems(MenuNode* parent, int first, int lastIndex, const char* const* texts);
// The node whose depth-first index is the value (-1: the root) or, for values of 4096 and more, whose
// command identifier it is; null when there is none.
MenuNode* FindMenuItem(MenuNode* root, int value);
// Depth-first index of the node; kRootItemIndex for the root, kNoItemIndex when not in the menu.
int MenuItemIndex(MenuNode* root, MenuNode* node);

// One state bit (MFS_CHECKED, MFS_DEFAULT) of an item, as Windows has it. No item: false, nothing changes.
bool GetItemState(MenuNode* item, UINT bit);
void SetItemState(MenuNode* item, UINT bit, bool value);
bool GetItemChecked(MenuNode* root, int index);
void SetItemChecked(MenuNode* root, int index, bool value);
// Checks the item and unchecks the others of its radio group.
void CheckRadioItem(MenuNode* item);
// Redraws the owner's menu bar after an item of the menu changed, unless the program is terminating.
void RedrawMenuBar(MenuNode* node);
// Shows the menu at a screen point and tracks it until it closes; the choice arrives later as WM_COMMAND.
BOOL PopupMenuAt(MenuNode* root, int x, int y);
// Attached to a menu's owner: turns the menu's WM_COMMAND into a call of its item handler.
bool MenuCommandHandler(WindowObject* window, MessageRecord& message, LRESULT& result);
// Makes the menu the top-level window's menu bar, destroying the one it had.
void SetWindowMenuBar(WindowObject* window, HMENU menu);
