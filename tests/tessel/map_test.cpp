#include "tessel/map.h"

#include <gtest/gtest.h>

#include <string>

#include "tessel/budget_alloc.h"
#include "tessel/counted_object.h"
#include "tessel/owned_ptr.h"

namespace Tessel {
namespace {

using CommandSet = Map<String, bool, SCaseI>;

std::string Keys(CommandSet& map, bool forward = true) {
    std::string keys;
    CommandSet::Iterator it(map, forward);
    while (it.Next()) {
        keys += it.key->CStr();
        keys += ' ';
    }
    return keys;
}

TEST(SCaseI, HashIsFnv1aOverAsciiFoldedBytes) {
    struct Case {
        const char* key;
        uint32_t hash;
    } cases[] = {
        {"abc", 0x1A47E90Bu}, {"ABC", 0x1A47E90Bu},      {"", 0x811C9DC5u},
        {"a", 0xE40C292Cu},   {"\xC3\x89", 0x3E9E1B21u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SCaseI::Hash(String(c.key)), c.hash) << c.key;
    }
    EXPECT_EQ(SCaseI::Hash(String()), 0x811C9DC5u);
}

TEST(SCaseI, EqualityFoldsOnlyAsciiLetters) {
    struct Case {
        String a, b;
        bool equal;
    } cases[] = {
        {String("Notepad"), String("NOTEPAD"), true},
        {String("a1_"), String("A1_"), true},
        {String("\xC3\xA9"), String("\xC3\x89"), false},  // é and É differ beyond ASCII
        {String("@"), String("`"), false},                // neighbours of the letter ranges
        {String("["), String("{"), false},
        {String("ab"), String("abc"), false},
        {String(), String(), true},
        {String(), String(""), false},
        {String(""), String(""), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SCaseI::Equals(c.a, c.b), c.equal) << c.a.CStr() << "|" << c.b.CStr();
    }
}

TEST(Map, FirstSpellingStaysUnlessReplaced) {
    CommandSet kept;
    EXPECT_TRUE(kept.Set(String("Notepad"), true, false));
    EXPECT_FALSE(kept.Set(String("NOTEPAD"), false, false));
    EXPECT_EQ(kept.Count(), 1);
    EXPECT_EQ(Keys(kept), "Notepad ");
    EXPECT_TRUE(*kept.Find(String("notepad")));

    CommandSet replaced;
    replaced.Set(String("Notepad"), true, false);
    EXPECT_TRUE(replaced.Set(String("NOTEPAD"), false, true));
    EXPECT_EQ(replaced.Count(), 1);
    EXPECT_EQ(Keys(replaced), "NOTEPAD ");
    EXPECT_FALSE(*replaced.Find(String("Notepad")));
}

TEST(Map, GrowsThroughTheTablePrimes) {
    CommandSet map;
    EXPECT_EQ(map.BucketCount(), 0);
    const int expected[] = {3, 3, 3, 7, 7, 7, 7, 17, 17, 17};
    for (int i = 0; i < 10; ++i) {
        map.Set(String(std::to_string(i).c_str()), true, false);
        EXPECT_EQ(map.BucketCount(), expected[i]) << i + 1 << " keys";
    }
    for (int i = 10; i < 5000; ++i) {
        map.Set(String(std::to_string(i).c_str()), true, false);
    }
    EXPECT_EQ(map.Count(), 5000);
    EXPECT_EQ(map.BucketCount(), 8419);  // 3 7 17 37 89 197 431 919 1931 4049 8419
    for (int i = 0; i < 5000; ++i) {
        ASSERT_NE(map.Find(String(std::to_string(i).c_str())), nullptr) << i;
    }
    EXPECT_EQ(map.Find(String("5000")), nullptr);
}

TEST(NextTablePrime, UsesTheTableThenSearchesOddPrimes) {
    struct Case {
        int64_t atLeast;
        int32_t prime;
    } cases[] = {
        {0, 3},
        {1, 3},
        {4, 7},
        {7, 7},
        {18, 23},
        {7199369, 7199369},
        {7199370, 7199371},
        {14398738, 14398753},
        {2147483646, 0},
        {0x7FFFFFFF, 0},
        {INT64_MAX, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextTablePrime(c.atLeast), c.prime) << c.atLeast;
    }
}

TEST(Map, IteratesInInsertionOrderBothWays) {
    CommandSet map;
    for (const char* key : {"b", "a", "c"}) {
        map.Set(String(key), true, false);
    }
    EXPECT_EQ(Keys(map), "b a c ");
    EXPECT_EQ(Keys(map, false), "c a b ");
    CommandSet empty;
    EXPECT_EQ(Keys(empty), "");
    EXPECT_EQ(Keys(empty, false), "");
}

TEST(Map, RemovedSlotsAreReusedAndSkipped) {
    CommandSet map;
    for (const char* key : {"a", "b", "c", "d"}) {
        map.Set(String(key), true, false);
    }
    EXPECT_TRUE(map.Remove(String("B")));
    EXPECT_FALSE(map.Remove(String("b")));
    EXPECT_FALSE(map.Remove(String("zz")));
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(Keys(map), "a c d ");
    EXPECT_EQ(Keys(map, false), "d c a ");
    EXPECT_EQ(map.Find(String("b")), nullptr);
    map.Set(String("e"), true, false);
    EXPECT_EQ(Keys(map), "a e c d ");  // the freed slot is taken first
    map.Set(String("f"), true, false);
    EXPECT_EQ(map.BucketCount(), 7);
    EXPECT_EQ(Keys(map), "a e c d f ");
}

TEST(Map, ClearKeepsTheStorageAndReleasesTheKeys) {
    CommandSet map;
    String shared("shared");
    const char* text = shared.Text();
    for (int i = 0; i < 8; ++i) {
        map.Set(String(std::to_string(i).c_str()), true, false);
    }
    map.Set(shared, true, false);
    map.Clear();
    EXPECT_EQ(map.Count(), 0);
    EXPECT_EQ(map.BucketCount(), 17);
    EXPECT_EQ(Keys(map), "");
    EXPECT_EQ(map.Find(String("1")), nullptr);
    map.Set(String("x"), true, false);
    EXPECT_EQ(Keys(map), "x ");
    EXPECT_EQ(shared.Text(), text);
}

TEST(Map, OwnedValuesAreDestroyedWithTheirEntry) {
    int destroyed = 0;
    {
        Map<String, OwnedPtr<CountedObject>, SCaseI> map;
        map.Set(String("one"), MakeOwned<CountedObject>(&destroyed), false);
        map.Set(String("ONE"), MakeOwned<CountedObject>(&destroyed), false);
        EXPECT_EQ(destroyed, 1);  // the refused value
        map.Set(String("One"), MakeOwned<CountedObject>(&destroyed), true);
        EXPECT_EQ(destroyed, 2);  // the replaced value
        map.Set(String("two"), MakeOwned<CountedObject>(&destroyed), false);
        map.Remove(String("TWO"));
        EXPECT_EQ(destroyed, 3);
    }
    EXPECT_EQ(destroyed, 4);
}

TEST(Map, AFailedGrowthKeepsEveryEntry) {
    BudgetAlloc::grants = 0;
    Map<String, bool, SCaseI, BudgetAlloc> map;
    EXPECT_FALSE(map.Set(String("a"), true, false));
    EXPECT_EQ(map.Count(), 0);
    BudgetAlloc::grants = 1;
    for (const char* key : {"a", "b", "c"}) {
        EXPECT_TRUE(map.Set(String(key), true, false));
    }
    EXPECT_FALSE(map.Set(String("d"), true, false));
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(map.BucketCount(), 3);
    EXPECT_EQ(map.Find(String("d")), nullptr);
    BudgetAlloc::grants = 1;
    EXPECT_TRUE(map.Set(String("d"), true, false));
    for (const char* key : {"a", "b", "c", "d"}) {
        EXPECT_NE(map.Find(String(key)), nullptr) << key;
    }
}

}  // namespace
}  // namespace Tessel
