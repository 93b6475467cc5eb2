#include "imaging/temporary_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The name a leftover is recognised by is exactly the name the writer gives: any other name in
// the history folder must never be taken for a leftover.
TEST(TemporaryFileName, ReadsBackOnlyWhatTheWriterWrites) {
    EXPECT_STREQ(TemporaryFileName(Tessel::String("Glimpser 12.png"), 0x1a2c).CStr(),
                 "~Glimpser 12.1a2c.tmp");
    EXPECT_STREQ(TemporaryFileName(Tessel::String("a.b"), 0xFFFFFFFF).CStr(), "~a.ffffffff.tmp");
    const struct {
        const char* name;
        const char* stem;  // nullptr: not a temporary name
        uint32_t processId = 0;
    } cases[] = {
        {"~Glimpser 12.1a2c.tmp", "Glimpser 12", 0x1a2c},
        {"~a.b.0.tmp", "a.b", 0},
        {"~x.ffffffff.tmp", "x", 0xFFFFFFFF},
        {"~x.1ffffffff.tmp", nullptr},  // more than 32 bits
        {"~x.01.tmp", nullptr},         // %x writes no leading zero
        {"~x.1A.tmp", nullptr},         // nor capitals
        {"~x.1g.tmp", nullptr},
        {"~x..tmp", nullptr},
        {"~.1a.tmp", nullptr},
        {"~x1a.tmp", nullptr},
        {"Glimpser 12.1a.tmp", nullptr},
        {"~Glimpser 12.1a.TMP", nullptr},
        {"~Glimpser 12.1a.tmp.bak", nullptr},
        {"~.tmp", nullptr},
    };
    for (const auto& c : cases) {
        Tessel::String stem("unchanged");
        uint32_t processId = 7;
        EXPECT_EQ(ParseTemporaryFileName(Tessel::String(c.name), stem, processId),
                  c.stem != nullptr)
            << c.name;
        EXPECT_STREQ(stem.CStr(), c.stem ? c.stem : "unchanged") << c.name;
        EXPECT_EQ(processId, c.stem ? c.processId : 7) << c.name;
    }
}

}  // namespace
