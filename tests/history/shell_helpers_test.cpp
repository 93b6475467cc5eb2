#include "history/shell_helpers.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "app/win_text.h"

namespace {

TEST(GetSpecialFolder, JoinsTheDocumentsFolderWithTheRelativePath) {
    wchar_t documents[MAX_PATH] = L"";
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents),
              S_OK);
    const std::string expected = ToUtf8(documents).CStr();
    ASSERT_FALSE(expected.empty());

    // Some shells end the bare folder in a separator; the path is the same folder.
    for (const Tessel::String& none : {Tessel::String(""), Tessel::String()}) {
        std::string folder = GetSpecialFolder(CSIDL_PERSONAL, none).CStr();
        if (folder.size() > expected.size() && folder.back() == '\\') {
            folder.pop_back();
        }
        EXPECT_EQ(folder, expected);
    }
    EXPECT_EQ(
        std::string(GetSpecialFolder(CSIDL_PERSONAL, Tessel::String("My Glimpser Images")).CStr()),
        expected + "\\My Glimpser Images");
    EXPECT_EQ(std::string(GetSpecialFolder(CSIDL_PERSONAL, Tessel::String("\\sub")).CStr()),
              expected + "\\sub");
}

TEST(GetSpecialFolder, UnresolvableFolderGivesEmptyPath) {
    // The control panel is a virtual folder with no file-system path; 0x7F is no folder at all.
    EXPECT_TRUE(GetSpecialFolder(CSIDL_CONTROLS, Tessel::String("My Glimpser Images")).IsEmpty());
    EXPECT_TRUE(GetSpecialFolder(0x7F, Tessel::String("My Glimpser Images")).IsEmpty());
}

}  // namespace
