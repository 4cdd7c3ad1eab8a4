// A growable list of entries; the toolkit's lists (owned objects, handlers, children, icons) are all of this kind.
#pragma once

#include "object.h"

#include <cstdlib>
#include <cstring>
#include <type_traits>

// Capacity grows by the growth step when an append finds the list full.
int NextListCapacity(int count, int growthStep);

template <typename T>
class ObjectList : public ToolkitObject
{
    static_assert(std::is_trivially_copyable_v<T>, "list entries are moved with memmove");

public:
    static constexpr int kDefaultGrowthStep = 4;

    ~ObjectList() override { std::free(m_items); }
    void Destroy() override
    {
        Clear();
        ToolkitObject::Destroy();
    }

    int Count() const { return m_count; }
    int Capacity() const { return m_capacity; }
    int GrowthStep() const { return m_growthStep; }
    void SetGrowthStep(int step) { m_growthStep = step; }
    T& operator[](int index) { return m_items[index]; }
    const T& operator[](int index) const { return m_items[index]; }

    // Returns false when memory for the entry cannot be had; the list is unchanged then.
    bool Add(const T& item)
    {
        if (m_count == m_capacity && !Grow())
            return false;
        m_items[m_count++] = item;
        return true;
    }

    // Appends and moves the tail up by one.
    bool Insert(int index, const T& item)
    {
        if (index < 0 || index > m_count || !Add(item))
            return false;
        std::memmove(&m_items[index + 1], &m_items[index], sizeof(T) * static_cast<size_t>(m_count - 1 - index));
        m_items[index] = item;
        return true;
    }

    // Deletes up to n entries at index; n of 0 or less does nothing.
    void Delete(int index, int n = 1)
    {
        if (index < 0 || index >= m_count || n <= 0)
            return;
        if (n > m_count - index)
            n = m_count - index;
        std::memmove(&m_items[index], &m_items[index + n], sizeof(T) * static_cast<size_t>(m_count - index - n));
        m_count -= n;
    }

    template <typename Pred>
    int IndexWhere(Pred pred) const
    {
        for (int i = 0; i < m_count; ++i)
            if (pred(m_items[i]))
                return i;
        return -1;
    }

    int IndexOf(const T& item) const
    {
        return IndexWhere([&](const T& entry) { return std::memcmp(&entry, &item, sizeof(T)) == 0; });
    }

    void Clear()
    {
        std::free(m_items);
        m_items = nullptr;
        m_count = 0;
        m_capacity = 0;
    }

private:
    bool Grow()
    {
        int capacity = NextListCapacity(m_count, m_growthStep);
        void* items = std::realloc(m_items, sizeof(T) * static_cast<size_t>(capacity));
        if (items == nullptr)
            return false;
        m_items = static_cast<T*>(items);
        m_capacity = capacity;
        return true;
    }

    T* m_items = nullptr;
    int m_count = 0;
    int m_capacity = 0;
    int m_growthStep = kDefaultGrowthStep;
};

// Makes an empty list with the toolkit's growth step; null when memory is short.
template <typename T>
ObjectList<T>* CreateList()
{
    return CreateObject<ObjectList<T>>();
}
