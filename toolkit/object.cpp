// Reference counting and ownership of toolkit objects.
#include "object.h"

#include "object_list.h"

int NextListCapacity(int count, int growthStep)
{
    if (growthStep > 0)
        return count + growthStep;
    int step = count / 4 + 1;
    return count + (step < 1000 ? step : 1000);
}

void ToolkitObject::Destroy()
{
    FinalizeObject(this);
    this->~ToolkitObject();
    std::free(this);
}

void AddRef(ToolkitObject* object)
{
    object->RefCount += 2;
}

void Release(ToolkitObject* object)
{
    if (object == nullptr)
        return;
    object->RefCount -= 2;
    if (object->RefCount < 0)
        object->Destroy();
}

namespace {
void ReleaseOwned(void* object)
{
    Release(static_cast<ToolkitObject*>(object));
}

void InsertOwnedEntry(ToolkitObject* owner, OwnedEntry entry)
{
    if (owner->OwnedList == nullptr) {
        owner->OwnedList = CreateList<OwnedEntry>();
        if (owner->OwnedList == nullptr)
            return;
    }
    // Entries go in at the front and run from the back, so the first added goes first.
    owner->OwnedList->Insert(0, entry);
}
} // namespace

void AddOwned(ToolkitObject* owner, ToolkitObject* object)
{
    InsertOwnedEntry(owner, OwnedEntry{&ReleaseOwned, object});
}

void AddOwnedRoutine(ToolkitObject* owner, void (*routine)(void*), void* argument)
{
    InsertOwnedEntry(owner, OwnedEntry{routine, argument});
}

void RemoveOwned(ToolkitObject* owner, ToolkitObject* object)
{
    ObjectList<OwnedEntry>* list = owner->OwnedList;
    if (list == nullptr)
        return;
    int index = list->IndexWhere([&](const OwnedEntry& entry) { return entry.argument == object; });
    if (index < 0)
        return;
    list->Delete(index);
    if (list->Count() == 0) {
        owner->OwnedList = nullptr;
        Release(list);
    }
}

void FinalizeObject(ToolkitObject* object)
{
    DestroyHandler onDestroy = object->OnDestroy;
    object->OnDestroy.Clear();
    if (onDestroy)
        onDestroy(object);

    ObjectList<OwnedEntry>* list = object->OwnedList;
    if (list == nullptr)
        return;
    // An owned routine may remove entries (a child leaving its parent), which can drop the owner's
    // reference to the list; hold our own while walking it, and take one entry at a time from the back.
    AddRef(list);
    while (list->Count() > 0) {
        OwnedEntry entry = (*list)[list->Count() - 1];
        list->Delete(list->Count() - 1);
        entry.routine(entry.argument);
    }
    if (object->OwnedList == list) {
        object->OwnedList = nullptr;
        Release(list);
    }
    Release(list);
}
