// Reference counting, ownership and release order of toolkit objects; the list growth rule.
#include "object.h"
#include "object_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int>* g_destroyed = nullptr;

class Tracked : public ToolkitObject
{
public:
    int tag = 0;
    void Destroy() override
    {
        if (g_destroyed != nullptr)
            g_destroyed->push_back(tag);
        ToolkitObject::Destroy();
    }
};

Tracked* MakeTracked(int tag)
{
    Tracked* object = CreateObject<Tracked>();
    object->tag = tag;
    return object;
}

class ObjectTest : public ::testing::Test
{
protected:
    void SetUp() override { g_destroyed = &destroyed; }
    void TearDown() override { g_destroyed = nullptr; }
    std::vector<int> destroyed;
};

TEST_F(ObjectTest, NeverAddRefdObjectGoesWithFirstRelease)
{
    Tracked* object = MakeTracked(1);
    Release(object);
    EXPECT_EQ(destroyed, std::vector<int>{1});
}

TEST_F(ObjectTest, ReleaseOfNullDoesNothing)
{
    Release(nullptr);
    EXPECT_TRUE(destroyed.empty());
}

TEST_F(ObjectTest, EachAddRefNeedsOneMoreRelease)
{
    Tracked* object = MakeTracked(1);
    AddRef(object);
    AddRef(object);
    EXPECT_EQ(object->RefCount, 4);
    Release(object);
    Release(object);
    EXPECT_TRUE(destroyed.empty());
    EXPECT_EQ(object->RefCount, 0);
    Release(object);
    EXPECT_EQ(destroyed, std::vector<int>{1});
}

TEST_F(ObjectTest, OwnedObjectsAreReleasedOldestFirst)
{
    Tracked* owner = MakeTracked(0);
    AddOwned(owner, MakeTracked(1));
    AddOwned(owner, MakeTracked(2));
    AddOwned(owner, MakeTracked(3));
    Release(owner);
    EXPECT_EQ(destroyed, (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(ObjectTest, OnDestroyRunsBeforeOwnedObjectsAndOnlyOnce)
{
    Tracked* owner = MakeTracked(0);
    AddOwned(owner, MakeTracked(1));
    static int calls;
    calls = 0;
    owner->OnDestroy.routine = [](void*, ToolkitObject*) {
        ++calls;
        g_destroyed->push_back(-1);
    };
    Release(owner);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(destroyed, (std::vector<int>{0, -1, 1}));
}

TEST_F(ObjectTest, RemovedObjectIsNotReleasedWithItsOwner)
{
    Tracked* owner = MakeTracked(0);
    Tracked* kept = MakeTracked(1);
    AddOwned(owner, kept);
    AddOwned(owner, MakeTracked(2));
    RemoveOwned(owner, kept);
    Release(owner);
    EXPECT_EQ(destroyed, (std::vector<int>{0, 2}));
    Release(kept);
    EXPECT_EQ(destroyed, (std::vector<int>{0, 2, 1}));
}

TEST_F(ObjectTest, RemovingTheLastOwnedObjectDropsTheList)
{
    Tracked* owner = MakeTracked(0);
    Tracked* kept = MakeTracked(1);
    AddOwned(owner, kept);
    RemoveOwned(owner, kept);
    EXPECT_EQ(owner->OwnedList, nullptr);
    Release(owner);
    Release(kept);
}

// A dependant that leaves its owner while the owner is being finalized must not pull the list away.
TEST_F(ObjectTest, DependantLeavingDuringFinalizeIsSafe)
{
    static Tracked* owner;
    owner = MakeTracked(0);
    Tracked* leaver = MakeTracked(1);
    Tracked* other = MakeTracked(2);
    AddOwned(owner, other);
    AddOwned(owner, leaver);
    leaver->OnDestroy.routine = [](void*, ToolkitObject* self) { RemoveOwned(owner, self); };
    other->OnDestroy.routine = [](void*, ToolkitObject*) {};
    Release(owner);
    EXPECT_EQ(destroyed, (std::vector<int>{0, 2, 1}));
}

TEST_F(ObjectTest, OwnedRoutineGetsItsArgument)
{
    Tracked* owner = MakeTracked(0);
    static void* seen;
    seen = nullptr;
    int marker = 7;
    AddOwnedRoutine(owner, [](void* argument) { seen = argument; }, &marker);
    Release(owner);
    EXPECT_EQ(seen, &marker);
}

TEST(ObjectListTest, GrowthFollowsTheStep)
{
    EXPECT_EQ(NextListCapacity(0, 4), 4);
    EXPECT_EQ(NextListCapacity(4, 4), 8);
    EXPECT_EQ(NextListCapacity(0, 0), 1);
    EXPECT_EQ(NextListCapacity(8, -1), 11);
    EXPECT_EQ(NextListCapacity(100000, 0), 101000);
}

TEST(ObjectListTest, InsertDeleteAndIndexOf)
{
    ObjectList<int>* list = CreateList<int>();
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(list->Add(i));
    EXPECT_EQ(list->Capacity(), 8);
    list->Insert(0, 42);
    EXPECT_EQ((*list)[0], 42);
    EXPECT_EQ((*list)[6], 5);
    EXPECT_EQ(list->IndexOf(3), 4);
    EXPECT_EQ(list->IndexOf(99), -1);
    list->Delete(1, 2);
    EXPECT_EQ(list->Count(), 5);
    EXPECT_EQ((*list)[1], 2);
    list->Delete(3, 100);
    EXPECT_EQ(list->Count(), 3);
    list->Delete(0, 0);
    EXPECT_EQ(list->Count(), 3);
    Release(list);
}

} // namespace
