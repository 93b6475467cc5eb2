#include "tessel/list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tessel/budget_alloc.h"
#include "tessel/counted_object.h"
#include "tessel/owned_ptr.h"
#include "tessel/string_core.h"

namespace Tessel {
namespace {

std::string Join(const List<String>& list) {
    std::string joined;
    for (const String& item : list) {
        joined += item.IsNull() ? "~" : item.CStr();
        joined += ' ';
    }
    return joined;
}

List<String> Letters(const char* letters) {
    List<String> list;
    for (; *letters; ++letters) {
        list.Append(String(letters, 1));
    }
    return list;
}

TEST(List, GrowsTo16Then2CountPlus2) {
    List<String> list;
    EXPECT_EQ(list.Capacity(), 0);
    struct Step {
        int appended, capacity;
    } steps[] = {{1, 16}, {16, 16}, {17, 34}, {34, 34}, {35, 70}, {71, 142}};
    int count = 0;
    for (const Step& step : steps) {
        while (count < step.appended) {
            EXPECT_EQ(list.Append(String("x")), count);
            ++count;
        }
        EXPECT_EQ(list.Capacity(), step.capacity) << step.appended;
    }
    EXPECT_EQ(list.Count(), 71);
}

TEST(List, InsertAtPutsTheElementBeforeTheIndex) {
    List<String> list = Letters("abc");
    EXPECT_TRUE(list.InsertAt(0, String("z")));
    EXPECT_EQ(Join(list), "z a b c ");
    EXPECT_TRUE(list.InsertAt(4, String("e")));
    EXPECT_TRUE(list.InsertAt(2, String()));
    EXPECT_EQ(Join(list), "z a ~ b c e ");
    EXPECT_FALSE(list.InsertAt(7, String("q")));
    EXPECT_FALSE(list.InsertAt(-1, String("q")));
    EXPECT_EQ(list.Count(), 6);
}

TEST(List, RemoveRangeClosesTheGapAndClampsToTheList) {
    struct Case {
        int start, n;
        const char* left;
    } cases[] = {
        {1, 2, "a d e "},     {0, 5, ""},           {3, 9, "a b c "},      {-1, 2, "b c d e "},
        {5, 1, "a b c d e "}, {2, 0, "a b c d e "}, {2, -3, "a b c d e "},
    };
    for (const Case& c : cases) {
        List<String> list = Letters("abcde");
        list.RemoveRange(c.start, c.n);
        EXPECT_EQ(Join(list), c.left) << c.start << "," << c.n;
        EXPECT_EQ(list.Capacity(), 16);
    }
}

TEST(List, IndexOfSearchesAfterThePositionByExactText) {
    List<String> list = Letters("abab");
    list.Append(String());
    struct Case {
        String probe;
        int after, expected;
    } cases[] = {
        {String("a"), -1, 0},  {String("a"), 0, 2}, {String("b"), 2, 3},  {String("a"), 2, -1},
        {String("A"), -1, -1}, {String(), -1, 4},   {String(""), -1, -1}, {String("b"), -7, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list.IndexOf(c.probe, c.after), c.expected) << c.probe.CStr() << c.after;
    }
}

int CompareText(const String& a, const String& b) {
    return std::strcmp(a.CStr(), b.CStr());
}

// Claims every pair is out of order; a sort that trusts the order to bound its indexes fails.
int Inconsistent(const String&, const String&) {
    return 1;
}

TEST(List, SortOrdersByTheComparatorAndSurvivesAnInconsistentOne) {
    List<String> list = Letters("qwertyuiopasdfghjklzxcvbnm");
    list.Sort(CompareText);
    EXPECT_EQ(Join(list), "a b c d e f g h i j k l m n o p q r s t u v w x y z ");
    list.Sort(Inconsistent);
    EXPECT_EQ(list.Count(), 26);
    List<String> empty;
    empty.Sort(CompareText);
    EXPECT_EQ(empty.Count(), 0);
}

TEST(List, OwnedElementsAreDestroyedWithTheirSlot) {
    int destroyed = 0;
    {
        List<OwnedPtr<CountedObject>> list;
        for (int i = 0; i < 20; ++i) {
            list.Append(MakeOwned<CountedObject>(&destroyed));
        }
        OwnedPtr<CountedObject> first = MakeOwned<CountedObject>(&destroyed);
        CountedObject* raw = first.Get();
        EXPECT_TRUE(list.InsertAt(0, std::move(first)));
        EXPECT_EQ(list[0].Get(), raw);
        list.RemoveRange(1, 3);
        EXPECT_EQ(destroyed, 3);
        EXPECT_EQ(list.Count(), 18);
    }
    EXPECT_EQ(destroyed, 21);
}

TEST(List, AFailedGrowthLeavesTheListAsItWas) {
    int destroyed = 0;
    BudgetAlloc::grants = 0;
    List<OwnedPtr<CountedObject>, BudgetAlloc> list;
    EXPECT_EQ(list.Append(MakeOwned<CountedObject>(&destroyed)), -1);
    EXPECT_EQ(destroyed, 1);  // the refused element is not leaked
    BudgetAlloc::grants = 1;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(list.Append(MakeOwned<CountedObject>(&destroyed)), i);
    }
    EXPECT_FALSE(list.InsertAt(0, MakeOwned<CountedObject>(&destroyed)));
    EXPECT_EQ(list.Append(MakeOwned<CountedObject>(&destroyed)), -1);
    EXPECT_EQ(destroyed, 3);
    EXPECT_EQ(list.Count(), 16);
    EXPECT_EQ(list.Capacity(), 16);
    BudgetAlloc::grants = 1;
    EXPECT_TRUE(list.InsertAt(16, MakeOwned<CountedObject>(&destroyed)));
    EXPECT_EQ(list.Capacity(), 34);
}

TEST(OwnedPtr, ResetReleaseAndMoveKeepOneOwner) {
    int destroyed = 0;
    OwnedPtr<CountedObject> owner = MakeOwned<CountedObject>(&destroyed);
    OwnedPtr<CountedObject> next(std::move(owner));
    EXPECT_FALSE(owner);
    EXPECT_TRUE(next);
    CountedObject* released = next.Release();
    EXPECT_FALSE(next);
    EXPECT_EQ(destroyed, 0);
    next.Reset(released);
    next = MakeOwned<CountedObject>(&destroyed);
    EXPECT_EQ(destroyed, 1);
    next.Reset();
    EXPECT_EQ(destroyed, 2);
}

struct Shape {
    virtual ~Shape() = default;
};

struct CountedShape : Shape {
    explicit CountedShape(int* destroyed) : counted(destroyed) {}
    CountedObject counted;
};

TEST(OwnedPtr, ABaseOwnerDestroysTheDerivedObject) {
    int destroyed = 0;
    {
        List<OwnedPtr<Shape>> shapes;
        shapes.Append(MakeOwned<CountedShape>(&destroyed));
        OwnedPtr<Shape> single = MakeOwned<CountedShape>(&destroyed);
        EXPECT_TRUE(single);
    }
    EXPECT_EQ(destroyed, 2);
}

}  // namespace
}  // namespace Tessel
