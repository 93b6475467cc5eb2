#include "win/shell_helpers.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "win/win_text.h"

namespace {

std::string Folder(int csidl, const char* relative) {
    return GetSpecialFolder(csidl, Tessel::String(relative)).CStr();
}

TEST(GetSpecialFolder, JoinsTheFolderWithTheRelativePath) {
    wchar_t documents[MAX_PATH] = L"";
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents),
              S_OK);
    const std::string expected = ToUtf8(documents).CStr();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Folder(CSIDL_PERSONAL, "My Glimpser Images"), expected + "\\My Glimpser Images");
    EXPECT_EQ(Folder(CSIDL_PERSONAL, "\\sub"), expected + "\\sub");
    // The control panel has no file-system path; 0x7F is no folder at all.
    EXPECT_EQ(Folder(CSIDL_CONTROLS, "My Glimpser Images"), "");
    EXPECT_EQ(Folder(0x7F, "My Glimpser Images"), "");
}

}  // namespace
