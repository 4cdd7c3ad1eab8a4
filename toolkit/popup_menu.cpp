// Menus of the toolkit: the Windows menu and its node tree, item states kept in Windows, and the
// owner's handler that turns a chosen command into the item handler's call.
#include "popup_menu.h"

#include "menu_template.h"
#include "message_loop.h"

#include <cstddef>
#include <cstring>

// The 32-bit program hands Windows 95 and NT 4 the record as it was before hbmpItem was added.
static_assert(sizeof(void*) != 4 || sizeof(MENUITEMINFOA) == 48, "MENUITEMINFOA is 48 bytes on 32 bits");
static_assert(sizeof(void*) != 4 || offsetof(MENUITEMINFOA, hbmpItem) == 44, "hbmpItem ends the 32-bit record");

UINT NextMenuItemId = kFirstMenuItemId;

namespace {
// Every field an item is built with: state, identifier, sub-menu, type with text, and item data.
constexpr UINT kBuildMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;
static_assert(kBuildMask == 0x37, "items are inserted with state, id, sub-menu, type and data");
// Item data marks check items, and radio items among them; nothing reads it back, but it says what the item is.
constexpr ULONG_PTR kCheckItemData = 0x40000000;
constexpr ULONG_PTR kRadioItemData = 0x80000000;
constexpr UINT kAppendPosition = 0xFFFFFFFF;
constexpr const char* kSeparatorText = "-";
// HIWORD(wParam) of a WM_COMMAND: 0 from a menu, 1 from an accelerator; anything else is a control's.
constexpr WORD kCommandFromMenu = 0;
constexpr WORD kCommandFromAccelerator = 1;

MENUITEMINFOA StartItemInfo(UINT mask)
{
    MENUITEMINFOA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = MenuItemInfoSize(GetWindowsVersion());
    info.fMask = mask;
    return info;
}

// The Windows menu that holds the item, or none for the root.
HMENU ContainingMenu(const MenuNode* item)
{
    return item->ParentItem == nullptr ? nullptr : item->ParentItem->MenuHandle;
}

MenuNode* RootOf(MenuNode* node)
{
    while (node->ParentItem != nullptr)
        node = node->ParentItem;
    return node;
}

// Visits the tree in pre-order, numbering nodes from `index` on; stops at the first visit that returns true.
template <typename Visit>
MenuNode* VisitDepthFirst(MenuNode* node, int& index, Visit& visit)
{
    if (visit(node, index))
        return node;
    ObjectList<MenuNode*>* items = node->Items;
    if (items == nullptr)
        return nullptr;
    for (int i = 0; i < items->Count(); ++i) {
        ++index;
        if (MenuNode* found = VisitDepthFirst((*items)[i], index, visit))
            return found;
    }
    return nullptr;
}

template <typename Visit>
MenuNode* FindDepthFirst(MenuNode* root, Visit visit)
{
    if (root == nullptr)
        return nullptr;
    int index = kRootItemIndex;
    return VisitDepthFirst(root, index, visit);
}

// Reads the item's state record from Windows; false when the item has no Windows menu or Windows cannot say.
bool ReadStateRecord(const MenuNode* item, MENUITEMINFOA& info)
{
    HMENU menu = ContainingMenu(item);
    info = StartItemInfo(MIIM_STATE);
    return menu != nullptr && ::GetMenuItemInfoA(menu, item->CommandId, FALSE, &info);
}

// State is only a cache of what Windows holds; a failed read leaves it as it was.
void RefreshState(MenuNode* item)
{
    MENUITEMINFOA info;
    if (ReadStateRecord(item, info))
        item->State = info.fState;
}

// Builds the nodes and the Windows items as the template walk meets them.
class MenuBuilder final : public MenuTemplateSink
{
public:
    void* AddMenuEntry(void* parentContext, const MenuEntry& entry) override
    {
        MenuNode* parent = static_cast<MenuNode*>(parentContext);
        MenuNode* node = CreateObject<MenuNode>();
        if (node == nullptr)
            return nullptr;
        node->Items = CreateList<MenuNode*>();
        node->ParentItem = parent;
        if (parent->Items == nullptr || node->Items == nullptr || !parent->Items->Add(node)) {
            node->ParentItem = nullptr;
            Release(node);
            return nullptr;
        }

        MENUITEMINFOA info = StartItemInfo(kBuildMask);
        const char* text = entry.Text;
        switch (entry.Kind) {
        case MenuEntryKind::Separator:
            info.fType = MFT_SEPARATOR;
            info.fState = MFS_DISABLED;
            text = kSeparatorText;
            break;
        case MenuEntryKind::Radio:
            info.fType = MFT_RADIOCHECK;
            info.dwItemData = kRadioItemData;
            [[fallthrough]];
        case MenuEntryKind::Check:
            node->CheckItem = true;
            info.dwItemData |= kCheckItemData;
            if (entry.Checked)
                info.fState |= MFS_CHECKED;
            break;
        case MenuEntryKind::Plain:
            break;
        }
        node->RadioGroup = entry.RadioGroup;
        node->State = info.fState;

        node->CommandId = NextMenuItemId++;
        info.wID = node->CommandId;
        if (entry.OpensSubMenu)
            node->MenuHandle = ::CreatePopupMenu();
        info.hSubMenu = node->MenuHandle;
        info.dwTypeData = const_cast<char*>(text);
        info.cch = static_cast<UINT>(std::strlen(text));
        ::InsertMenuItemA(parent->MenuHandle, kAppendPosition, TRUE, &info);
        return node;
    }
};

// Takes a menu that goes while its owner stays out of the owner's links, so that the owner neither
// releases it a second time nor reaches it through FirstMenu or NextMenu afterwards.
void DetachFromOwner(MenuNode* menu)
{
    WindowObject* owner = menu->Owner;
    if (owner->FirstMenu == menu) {
        owner->FirstMenu = nullptr;
        // Finds nothing while the owner itself is releasing the menu: its entry is off the list by then.
        RemoveOwned(owner, menu);
        return;
    }
    for (MenuNode* previous = owner->FirstMenu; previous != nullptr; previous = previous->NextMenu) {
        if (previous->NextMenu == menu) {
            previous->NextMenu = menu->NextMenu;
            menu->NextMenu = nullptr;
            return;
        }
    }
}
} // namespace

UINT MenuItemInfoSize(WindowsVersion version)
{
    switch (version) {
    case Win32sOrOlder:
    case Win95:
    case WinNT4:
        return offsetof(MENUITEMINFOA, hbmpItem);
    default:
        return sizeof(MENUITEMINFOA);
    }
}

void MenuNode::Destroy()
{
    if (Items != nullptr) {
        // Last first; each item's destructor takes it out of this list.
        for (int i = Items->Count() - 1; i >= 0; --i)
            Release((*Items)[i]);
        // Items that someone still holds no longer belong to a menu.
        for (int i = 0; i < Items->Count(); ++i)
            (*Items)[i]->ParentItem = nullptr;
        Items->Clear();
    }

    if (MenuNode* parent = ParentItem) {
        ::RemoveMenu(parent->MenuHandle, CommandId, MF_BYCOMMAND);
        if (parent->Items != nullptr)
            parent->Items->Delete(parent->Items->IndexOf(this));
        ParentItem = nullptr;
        RedrawMenuBar(parent);
    }

    if (Owner != nullptr) {
        if (MenuHandle != nullptr && Owner->ControlId == reinterpret_cast<UINT_PTR>(MenuHandle)) {
            if (!Owner->HasFlag(kWindowDestroyStarted))
                ::SetMenu(Owner->Handle, nullptr);
            Owner->ControlId = 0;
        }
        DetachFromOwner(this);
        Owner = nullptr;
    }

    if (MenuHandle != nullptr) {
        ::DestroyMenu(MenuHandle);
        MenuHandle = nullptr;
    }

    Release(Items);
    Items = nullptr;
    // Releasing an owner's first menu releases all of that owner's menus.
    MenuNode* next = NextMenu;
    NextMenu = nullptr;
    Release(next);

    ToolkitObject::Destroy();
}

MenuNode* MakeMenu(WindowObject* owner, const char* const* texts, int lastIndex, MenuItemHandler itemHandler)
{
    MenuNode* root = CreateObject<MenuNode>();
    if (root == nullptr)
        return nullptr;
    root->Items = CreateList<MenuNode*>();
    root->TrackFlags = 0;
    root->ItemHandler = itemHandler;

    bool ownerIsTopLevel = owner != nullptr && !owner->HasFlag(kWindowIsChild);
    if (texts != nullptr && lastIndex >= 0 && texts[0] != nullptr) {
        // The first menu of a top-level window becomes its menu bar; every other menu pops up.
        bool menuBar = ownerIsTopLevel && owner->FirstMenu == nullptr;
        root->MenuHandle = menuBar ? ::CreateMenu() : ::CreatePopupMenu();
        BuildMenuItems(root, 0, lastIndex, texts);
    }

    if (owner != nullptr) {
        root->Owner = owner;
        if (owner->FirstMenu != nullptr) {
            MenuNode* last = owner->FirstMenu;
            while (last->NextMenu != nullptr)
                last = last->NextMenu;
            last->NextMenu = root;
        } else {
            if (ownerIsTopLevel)
                SetWindowMenuBar(owner, root->MenuHandle);
            owner->FirstMenu = root;
            if (!Terminated)
                AttachHandler(owner, &MenuCommandHandler, false);
            AddOwned(owner, root);
        }
    }
    return root;
}

int BuildMenuItems(MenuNode* parent, int first, int lastIndex, const char* const* texts)
{
    MenuBuilder builder;
    return WalkMenuTemplate(texts, first, lastIndex, parent, builder);
}

MenuNode* FindMenuItem(MenuNode* root, int value)
{
    bool byCommand = value >= static_cast<int>(kFirstMenuItemId);
    return FindDepthFirst(root, [&](MenuNode* node, int index) {
        return index == value || (byCommand && node->CommandId == static_cast<UINT>(value));
    });
}

int MenuItemIndex(MenuNode* root, MenuNode* node)
{
    int found = kNoItemIndex;
    FindDepthFirst(root, [&](MenuNode* visited, int index) {
        if (visited != node)
            return false;
        found = index;
        return true;
    });
    return found;
}

bool GetItemState(MenuNode* item, UINT bit)
{
    if (item == nullptr)
        return false;
    RefreshState(item);
    return (item->State & bit) != 0;
}

void SetItemState(MenuNode* item, UINT bit, bool value)
{
    // The root and a missing item have no Windows item to change.
    if (item == nullptr || item->ParentItem == nullptr)
        return;
    RefreshState(item);
    item->State = value ? (item->State | bit) : (item->State & ~bit);
    MENUITEMINFOA info;
    if (!ReadStateRecord(item, info))
        return;
    info.fState = item->State;
    if (::SetMenuItemInfoA(ContainingMenu(item), item->CommandId, FALSE, &info) &&
        item->ParentItem->ParentItem == nullptr)
        RedrawMenuBar(item);
}

bool GetItemChecked(MenuNode* root, int index)
{
    return GetItemState(FindMenuItem(root, index), MFS_CHECKED);
}

void SetItemChecked(MenuNode* root, int index, bool value)
{
    SetItemState(FindMenuItem(root, index), MFS_CHECKED, value);
}

void CheckRadioItem(MenuNode* item)
{
    if (item == nullptr)
        return;
    MenuNode* parent = item->ParentItem;
    int position = (parent == nullptr || parent->Items == nullptr) ? -1 : parent->Items->IndexOf(item);
    if (item->RadioGroup == 0 || position < 0) {
        SetItemState(item, MFS_CHECKED, true);
        return;
    }

    // CheckMenuRadioItem works on a range of neighbours, so the group is the run of equal numbers around the item.
    ObjectList<MenuNode*>& items = *parent->Items;
    int first = position;
    while (first > 0 && items[first - 1]->RadioGroup == item->RadioGroup)
        --first;
    int last = position;
    while (last + 1 < items.Count() && items[last + 1]->RadioGroup == item->RadioGroup)
        ++last;
    if (first == position && last == position) {
        SetItemState(item, MFS_CHECKED, true);
        return;
    }
    ::CheckMenuRadioItem(parent->MenuHandle, items[first]->CommandId, items[last]->CommandId, item->CommandId,
                         MF_BYCOMMAND);
}

void RedrawMenuBar(MenuNode* node)
{
    if (node == nullptr)
        return;
    MenuNode* root = RootOf(node);
    // Once the program is terminating its windows are going; redrawing them would only touch stale handles.
    if (!Terminated && root->Owner != nullptr && root->Owner->FirstMenu == root)
        ::DrawMenuBar(root->Owner->Handle);
}

BOOL PopupMenuAt(MenuNode* root, int x, int y)
{
    // Without an owner window there is nobody to send the choice to.
    if (root == nullptr || root->MenuHandle == nullptr || root->Owner == nullptr || root->Owner->Handle == nullptr)
        return FALSE;
    return ::TrackPopupMenu(root->MenuHandle, root->TrackFlags, x, y, 0, root->Owner->Handle, nullptr);
}

bool MenuCommandHandler(WindowObject* window, MessageRecord& message, LRESULT& result)
{
    WORD source = HIWORD(message.wParam);
    if (message.message != WM_COMMAND || message.lParam != 0 ||
        (source != kCommandFromMenu && source != kCommandFromAccelerator))
        return false;

    WindowObject* host = window;
    while (host != nullptr && host->FirstMenu == nullptr)
        host = host->Parent;
    if (host == nullptr)
        return false;

    // Only a command identifier names an item here: identifiers start at 4096, so a smaller number is some
    // other sender's command, never an item index of ours.
    UINT commandId = LOWORD(message.wParam);
    MenuNode* menu = host->FirstMenu;
    MenuNode* item = nullptr;
    for (; menu != nullptr; menu = menu->NextMenu) {
        item = FindDepthFirst(
            menu, [&](MenuNode* node, int index) { return index != kRootItemIndex && node->CommandId == commandId; });
        if (item != nullptr)
            break;
    }
    if (menu == nullptr)
        return false;

    result = 0;
    int index = MenuItemIndex(menu, item);
    if (item->RadioGroup != 0)
        CheckRadioItem(item);
    else if (item->CheckItem)
        SetItemState(item, MFS_CHECKED, !GetItemState(item, MFS_CHECKED));
    // Check marks change before the handler runs, so it reads the new state; plain items never change.
    if (menu->ItemHandler)
        menu->ItemHandler(menu, index);
    return true;
}

void SetWindowMenuBar(WindowObject* window, HMENU menu)
{
    if (window == nullptr || window->ControlId == reinterpret_cast<UINT_PTR>(menu))
        return;
    // The field is the menu argument of CreateWindowExA, so it holds the bar's handle as a number.
    if (window->ControlId != 0)
        ::DestroyMenu(reinterpret_cast<HMENU>(window->ControlId)); // NOLINT(performance-no-int-to-ptr)
    window->ControlId = reinterpret_cast<UINT_PTR>(menu);
    // A window made later gets the bar as the menu argument of CreateWindowExA.
    if (window->Handle != nullptr)
        ::SetMenu(window->Handle, menu);
}
