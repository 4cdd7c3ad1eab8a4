// Reference-counted toolkit objects that take their dependants with them when they go.
#pragma once

#include "event_handler.h"

#include <cstdlib>
#include <cstring>
#include <new>

template <typename T>
class ObjectList;
class ToolkitObject;

using DestroyHandler = EventHandler<void, ToolkitObject*>;

// One entry of an owner's OwnedList: a routine and the argument it is called with at destruction.
struct OwnedEntry
{
    void (*routine)(void* argument);
    void* argument;
};

class ToolkitObject
{
public:
    ToolkitObject() = default;
    ToolkitObject(const ToolkitObject&) = delete;
    ToolkitObject& operator=(const ToolkitObject&) = delete;

    // Runs right after allocation; empty for plain objects.
    virtual void Init() {}
    // Frees everything the object holds, then the object's memory. Kinds that hold more override it
    // and end by calling this one.
    virtual void Destroy();

    int RefCount = 0;
    DestroyHandler OnDestroy;
    ObjectList<OwnedEntry>* OwnedList = nullptr;

protected:
    virtual ~ToolkitObject() = default;
    template <typename T>
    friend T* AllocateObject();
};

// Allocates the kind's record zero-filled without running Init; null when memory is short.
template <typename T>
T* AllocateObject()
{
    void* memory = std::malloc(sizeof(T));
    if (memory == nullptr)
        return nullptr;
    std::memset(memory, 0, sizeof(T));
    return new (memory) T();
}

// Allocates the kind's record zero-filled and runs Init; null when memory is short.
template <typename T>
T* CreateObject()
{
    T* object = AllocateObject<T>();
    if (object != nullptr)
        object->Init();
    return object;
}

void AddRef(ToolkitObject* object);
// Destroys the object once its count goes below zero: an object nobody AddRef'd goes with its first Release.
void Release(ToolkitObject* object);

// The owner releases the object when it is destroyed; dependants go oldest first.
void AddOwned(ToolkitObject* owner, ToolkitObject* object);
// The owner calls the routine with the argument when it is destroyed.
void AddOwnedRoutine(ToolkitObject* owner, void (*routine)(void*), void* argument);
void RemoveOwned(ToolkitObject* owner, ToolkitObject* object);
// Runs OnDestroy, then the owned entries oldest first, then drops the OwnedList.
void FinalizeObject(ToolkitObject* object);
