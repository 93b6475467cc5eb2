#include "imaging/temporary_name.h"

#include <gtest/gtest.h>

namespace {

// The name a leftover is recognised by is exactly the name the writer gives: any other name in
// the history folder must never be taken for a leftover.
TEST(TemporaryFileName, ReadsBackOnlyWhatTheWriterWrites) {
    const struct {
        const char* finalName;
        uint32_t processId;
        const char* name;
        const char* stem;
    } written[] = {{"Glimpser 12.png", 0x1a2c, "~Glimpser 12.1a2c.tmp", "Glimpser 12"},
                   {"a.b.c", 0, "~a.b.0.tmp", "a.b"},
                   {"x", 0xFFFFFFFF, "~x.ffffffff.tmp", "x"}};
    for (const auto& c : written) {
        EXPECT_STREQ(TemporaryFileName(Tessel::String(c.finalName), c.processId).CStr(), c.name);
        Tessel::String stem;
        uint32_t processId = 7;
        EXPECT_TRUE(ParseTemporaryFileName(Tessel::String(c.name), stem, processId)) << c.name;
        EXPECT_STREQ(stem.CStr(), c.stem);
        EXPECT_EQ(processId, c.processId);
    }
    // More than 32 bits, a leading zero or capitals (%x writes neither), no digits, no stem, no
    // dot, no tilde, another suffix.
    for (const char* name : {"~x.1ffffffff.tmp", "~x.01.tmp", "~x.1A.tmp", "~x.1g.tmp", "~x..tmp",
                             "~.1a.tmp", "~x1a.tmp", "Glimpser 12.1a.tmp", "~Glimpser 12.1a.TMP",
                             "~Glimpser 12.1a.tmp.bak", "~.tmp"}) {
        Tessel::String stem;
        uint32_t processId = 0;
        EXPECT_FALSE(ParseTemporaryFileName(Tessel::String(name), stem, processId)) << name;
    }
}

}  // namespace
