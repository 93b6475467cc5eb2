#include "tessel/list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tessel/map.h"
#include "tessel/owned_ptr.h"
#include "tessel/string_core.h"

namespace Tessel {
namespace {

// Grants a set number of allocations and then fails, as an exhausted heap does.
struct BudgetAlloc {
    static inline int grants = 0;
    static void* Alloc(size_t size) { return Grant() ? std::malloc(size) : nullptr; }
    static void* Realloc(void* block, size_t size) {
        return Grant() ? std::realloc(block, size) : nullptr;
    }
    static void Free(void* block) { std::free(block); }
    static bool Grant() { return grants > 0 && grants-- > 0; }
};

struct Shape {
    virtual ~Shape() = default;
};

// Counts its own destruction, to show when an owner frees it: the lists and maps below hold
// OwnedPtrs of it, which they move in, move over one another and destroy.
struct Counted final : Shape {
    explicit Counted(int* destroyed) : destroyed(destroyed) {}
    ~Counted() override { ++*destroyed; }
    int* destroyed;
};

std::string Join(const List<String>& list) {
    std::string joined;
    for (const String& item : list) {
        joined += item.IsNull() ? "~" : item.CStr();
    }
    return joined;
}

template <class M>
std::string Keys(M& map, bool forward = true) {
    std::string keys;
    for (typename M::Iterator it(map, forward); it.Next();) {
        keys += it.key->CStr();
    }
    return keys;
}

TEST(List, GrowsTo16Then2CountPlus2AndAFailedGrowthChangesNothing) {
    int destroyed = 0;
    {
        List<OwnedPtr<Shape>, BudgetAlloc> list;
        BudgetAlloc::grants = 3;
        for (int n = 1; n <= 70; ++n) {
            EXPECT_EQ(list.Append(MakeOwned<Counted>(&destroyed)), n - 1);
            EXPECT_EQ(list.Capacity(), n <= 16 ? 16 : n <= 34 ? 34 : 70) << n;
        }
        EXPECT_EQ(list.Append(MakeOwned<Counted>(&destroyed)), -1);
        EXPECT_FALSE(list.InsertAt(0, MakeOwned<Counted>(&destroyed)));
        EXPECT_EQ(destroyed, 2);  // the refused elements are not leaked
        EXPECT_EQ(list.Count(), 70);
        BudgetAlloc::grants = 1;
        EXPECT_TRUE(list.InsertAt(70, MakeOwned<Counted>(&destroyed)));
        EXPECT_EQ(list.Capacity(), 142);
        list.RemoveRange(1, 3);
        EXPECT_EQ(destroyed, 5);
    }
    EXPECT_EQ(destroyed, 73);
}

TEST(List, SortsEditsAndSearchesWithinTheList) {
    List<String> list;
    for (char letter : std::string("qwertyuiopasdfghjklzxcvbnm")) {
        list.Append(String(&letter, 1));
    }
    // A comparator that is no consistent order must not lead the sort out of the array.
    list.Sort([](const String&, const String&) { return 1; });
    list.Sort([](const String& a, const String& b) { return std::strcmp(a.CStr(), b.CStr()); });
    EXPECT_EQ(Join(list), "abcdefghijklmnopqrstuvwxyz");
    list.RemoveRange(-1, 2);
    list.RemoveRange(3, 20);
    list.RemoveRange(4, 9);
    EXPECT_EQ(Join(list), "bcdy");  // ranges reaching outside the list are cut to it
    EXPECT_TRUE(list.InsertAt(0, String()));
    EXPECT_TRUE(list.InsertAt(5, String("e")));
    EXPECT_FALSE(list.InsertAt(7, String("q")) || list.InsertAt(-1, String("q")));
    EXPECT_EQ(Join(list), "~bcdye");
    EXPECT_EQ(list.IndexOf(String()), 0);  // null matches only null, text only exact text
    EXPECT_EQ(list.IndexOf(String("B")), -1);
    EXPECT_EQ(list.IndexOf(String("e"), -7), 5);
    EXPECT_EQ(list.IndexOf(String("b"), 1), -1);
}

TEST(SCaseI, HashIsFnv1aAndEqualityFoldsOnlyAsciiLetters) {
    EXPECT_EQ(SCaseI::Hash(String("ABC")), 0x1A47E90Bu);  // of "abc"
    EXPECT_EQ(SCaseI::Hash(String("\xC3\x89")), 0x3E9E1B21u);
    EXPECT_EQ(SCaseI::Hash(String()), 0x811C9DC5u);
    EXPECT_TRUE(SCaseI::Equals(String(), String()));
    const char* const unequal[][2] = {
        {"\xC3\xA9", "\xC3\x89"}, {"@", "`"}, {"[", "{"}, {"ab", "abc"}};
    for (const auto& pair : unequal) {
        EXPECT_FALSE(SCaseI::Equals(String(pair[0]), String(pair[1]))) << pair[0];
    }
    EXPECT_FALSE(SCaseI::Equals(String(), String("")));
}

TEST(Map, KeepsInsertionOrderAndTheFirstSpellingUnlessReplaced) {
    int destroyed = 0;
    Map<String, OwnedPtr<Counted>, SCaseI> map;
    for (const char* key : {"b", "a", "c", "d"}) {
        EXPECT_TRUE(map.Set(String(key), MakeOwned<Counted>(&destroyed), false));
    }
    EXPECT_FALSE(map.Set(String("B"), MakeOwned<Counted>(&destroyed), false));
    EXPECT_EQ(Keys(map, false), "dcab");
    OwnedPtr<Counted> latest = MakeOwned<Counted>(&destroyed);
    Counted* raw = latest.Get();
    EXPECT_TRUE(map.Set(String("C"), std::move(latest), true));
    EXPECT_EQ(map.Find(String("c"))->Get(), raw);
    EXPECT_EQ(destroyed, 2);  // the refused value and the replaced one
    EXPECT_TRUE(map.Remove(String("A")));
    EXPECT_FALSE(map.Remove(String("a")));
    EXPECT_EQ(destroyed, 3);
    map.Set(String("e"), MakeOwned<Counted>(&destroyed), false);
    map.Set(String("f"), MakeOwned<Counted>(&destroyed), false);
    EXPECT_EQ(Keys(map), "beCdf");  // the freed slot is taken first
    map.Clear();
    EXPECT_EQ(destroyed, 8);
}

TEST(Map, GrowsThroughTheTablePrimesAndAFailedGrowthKeepsEveryEntry) {
    Map<String, bool, SCaseI, BudgetAlloc> map;
    BudgetAlloc::grants = 1;
    for (int i = 0; i < 5000; ++i) {
        if (i == 3) {  // three keys fill the first table; the fourth needs a larger one
            EXPECT_FALSE(map.Set(String("3"), true, false));
            EXPECT_EQ(Keys(map), "012");
            EXPECT_EQ(map.BucketCount(), 3);
            BudgetAlloc::grants = 99;
        }
        EXPECT_TRUE(map.Set(String(std::to_string(i).c_str()), true, false));
    }
    EXPECT_EQ(map.BucketCount(), 8419);  // 3 7 17 37 89 197 431 919 1931 4049 8419
    for (int i = 0; i < 5000; ++i) {
        ASSERT_NE(map.Find(String(std::to_string(i).c_str())), nullptr) << i;
    }
    map.Clear();
    EXPECT_EQ(map.BucketCount(), 8419);
    // Past the table the primes are searched, and none past 2^31 - 1 is offered.
    EXPECT_EQ(NextTablePrime(7199370), 7199371);
    EXPECT_EQ(NextTablePrime(2147483646), 0);
}

}  // namespace
}  // namespace Tessel
