#include "win/shell_helpers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/png_bytes.h"
#include "support/temp_folder.h"
#include "support/trash.h"
#include "win/win_text.h"

namespace {

// Each row starts from the same folder: two plain files, a read-only one and a folder named like
// a file. What the shell would take whole, what DeleteFileW would refuse and a wildcard stay out
// of its hands; a name that is not there does not stop the rest.
TEST(RecycleFiles, SendsOnlyWhatDeleteFileWouldRemoveToTheRecycleBin) {
    const struct {
        std::vector<std::wstring> given;
        bool allGone;
        std::vector<std::wstring> trashed;
    } rows[] = {
        {{L"missing.png", L"a.png", L"b.png"}, true, {L"a.png", L"b.png"}},
        {{L"a.png", L"read-only.png"}, false, {L"a.png"}},
        {{L"folder.png"}, false, {}},
        {{L"*.png"}, true, {}},
        {{}, true, {}},
    };
    const wchar_t* const files[] = {L"a.png", L"b.png", L"read-only.png",
                                    L"folder.png\\inside.png"};
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        EmptyTrash();
        const TempFolder folder;
        CreateDirectoryW((folder / L"folder.png").c_str(), nullptr);
        for (const wchar_t* name : files)
            ASSERT_TRUE(WriteFileBytes(folder / name, {'p'}));
        SetFileAttributesW((folder / L"read-only.png").c_str(), FILE_ATTRIBUTE_READONLY);
        Tessel::List<Tessel::String> paths;
        for (const std::wstring& name : row.given)
            paths.Append(ToUtf8((folder / name).c_str()));
        EXPECT_EQ(RecycleFiles(paths), row.allGone);
        for (const wchar_t* name : files) {
            const bool trashed = std::ranges::count(row.trashed, name) > 0;
            EXPECT_EQ(GetFileAttributesW((folder / name).c_str()) == INVALID_FILE_ATTRIBUTES,
                      trashed)
                << ToUtf8(name).CStr();
            EXPECT_EQ(InTrash(name), trashed) << ToUtf8(name).CStr();
        }
    }
}

}  // namespace
