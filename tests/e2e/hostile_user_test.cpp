// Settings edited by hand into every bad shape, history folders that cannot take a capture, and
// history files no capture looks like: the real program neither crashes nor hangs, never loses
// a capture without a word, and touches no file that is not a history file.
#include <cstdlib>
#include <functional>
#include <optional>

#include "e2e/e2e_fixture.h"
#include "support/content_types.h"
#include "support/png_bytes.h"
#include "support/temp_folder.h"
#include "win/command_ids.h"

namespace {
// One run of the program on bad input, and what it must leave.
struct Case {
    std::string name;
    const wchar_t* arguments;  // nullptr: "/open", walked back through the history
    std::wstring message;      // what the one message must hold; empty: no message
    std::wstring files;        // the files named like history files afterwards, "|" between
    std::wstring folder;       // where they are looked for; empty: the history folder
    std::wstring untouched;    // a file that must keep its one byte
};

// Runs the program on the case's input: a capture of a 400 × 300 region, its one message (if
// any) answered with No, or a viewer walked back through the history.
void RunCase(const Case& c, const std::function<void()>& setUp) {
    SCOPED_TRACE(c.name);
    ResetUserState();
    setUp();
    PatternWindow pattern;
    GlimpserProcess glimpser(c.arguments ? c.arguments : L"/open");
    if (c.arguments) {
        ASSERT_NE(WaitForOverlay(glimpser), nullptr);
        Drag(100, 100, 499, 399);
    }
    const HWND viewer = WaitForViewer(glimpser);
    ASSERT_NE(viewer, nullptr);
    for (int i = 0; !c.arguments && i < 4; ++i)
        SendMessageTimeoutW(viewer, WM_COMMAND, ID_PREVIOUS, 0, SMTO_BLOCK, kWait, nullptr);
    const auto messageBox = [&] { return FindProcessWindow(glimpser.Id(), L"", false, L"#32770"); };
    wchar_t text[1024] = L"";
    if (const HWND box = WaitFor(messageBox, c.message.empty() ? 1000 : kWait)) {
        GetDlgItemTextW(box, 0xFFFF, text, 1024);  // the message box's text control
        PostMessageW(box, WM_COMMAND, IDNO, 0);
        WaitFor([&] { return !IsWindow(box); }, kWait);
        // One failure, one message.
        EXPECT_EQ(WaitFor(messageBox, 1000), nullptr);
    }
    const std::wstring message = text;
    EXPECT_EQ(message.empty(), c.message.empty()) << message;
    EXPECT_NE(message.find(c.message), std::wstring::npos);
    EXPECT_EQ(message.find(L"format"), std::wstring::npos);
    EXPECT_TRUE(message.empty() || message.ends_with(L"Save it elsewhere?"));
    RECT client{};
    GetClientRect(viewer, &client);
    EXPECT_TRUE(!c.arguments || (client.right == 400 && client.bottom == 300))
        << "the viewer shows the capture at 100%: " << client.right << " x " << client.bottom;
    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
    std::wstring files;
    for (const std::wstring& name :
         FilesMatching((c.folder.empty() ? HistoryFolder() : c.folder) + L"\\*Glimpser*"))
        files += (files.empty() ? L"" : L"|") + name;
    EXPECT_EQ(files, c.files);
    if (!c.untouched.empty()) {
        EXPECT_EQ(ReadFileBytes(c.untouched).size(), 1u);
    }
}
}  // namespace

// Run by unwritable_history.sh with a folder that is really read-only and one on a full disk.
TEST_F(EndToEnd, UnwritableHistoryKeepsTheCaptureAndNamesTheFile) {
    const char* folders = std::getenv("GLIMPSER_UNWRITABLE_FOLDERS");
    if (folders == nullptr)
        GTEST_SKIP() << "needs the folders that unwritable_history.sh makes";
    const std::string list = folders;
    for (size_t start = 0, end = 0; start < list.size(); start = end + 1) {
        end = std::min(list.find(';', start), list.size());
        const std::wstring folder(list.begin() + start, list.begin() + end);
        // Neither a cut history file nor the temporary one is left behind.
        RunCase({list.substr(start, end - start), L"/capture:region",
                 L"'" + folder + L"\\Glimpser 1.png' could not be written.", L"", folder, L""},
                [&] { WriteSettingString(L"HistoryFolder", folder); });
    }
}

// One run per kind of bad input.
TEST_F(EndToEnd, HostileSettingsAndFilesNeitherCrashNorTouchOtherFiles) {
    const TempFolder scratch;
    const std::wstring history = HistoryFolder(), other = history + L"\\notes.txt";
    const std::wstring folderFile = scratch / L"not a folder";
    std::optional<ScopedRegistryValue> documents;
    const std::pair<Case, std::function<void()>> cases[] = {
        {{"every setting of a wrong type or size", L"/capture:same", L"", L"Glimpser 1.png", L"",
          L""},
         [] {
             const DWORD one = 1;
             const uint64_t wide = 7;
             WriteSettingRaw(L"IncludeCursor", REG_SZ, L"0", 4);
             WriteSettingRaw(L"SmoothStretch", REG_BINARY, &one, 4);
             WriteSettingRaw(L"LastSaveType", REG_QWORD, &wide, 8);
             WriteSettingRaw(L"HistoryFolder", REG_DWORD, &one, 4);
             WriteSettingRaw(L"ArchiveFolder", REG_MULTI_SZ, L"a\0", 6);
             WriteSettingRaw(L"MaxHistory", REG_SZ, L"0", 4);
             WriteSettingRaw(L"CaptureRegion", REG_DWORD_BIG_ENDIAN, &one, 4);
         }},
        {{"a region of 10,000 characters and an empty history folder", L"/capture:same", L"",
          L"Glimpser 1.png", L"", L""},
         [] {
             WriteSettingString(L"CaptureRegion", std::wstring(10000, L'9'));
             WriteSettingString(L"HistoryFolder", L" ");
         }},
        {{"a history folder that is a file", L"/capture:region",
          L"does not exist and could not be created.", L"", L"", folderFile},
         [&] {
             WriteFileBytes(folderFile, {'x'});
             WriteSettingString(L"HistoryFolder", folderFile);
         }},
        {{"no history kept, beside a folder and a file that are not history files",
          L"/capture:region", L"", L"Glimpser 3.png", L"", other},
         [&] {
             WriteSettingDword(L"MaxHistory", 0);
             WriteFileBytes(history + L"\\Glimpser 1.png", {'p'});
             WriteFileBytes(history + L"\\Glimpser 2.png", {'p'});
             WriteFileBytes(other, {'n'});
             CreateDirectoryW((history + L"\\Glimpser 5.png").c_str(), nullptr);
         }},
        {{"history files of 0 bytes, 16 bits per channel and 30000 pixels square", nullptr, L"",
          L"Glimpser 1.png|Glimpser 2.png|Glimpser 3.png", L"", L""},
         [&] {
             const PngImage deep{2, 2, 16, 2, {}, {}, std::vector<uint8_t>(2 * 2 * 6, 0x80)};
             WriteFileBytes(history + L"\\Glimpser 1.png", EncodePng(deep));
             // One bit per pixel keeps the file at 112 MB; its sides are what matter.
             const PngImage huge{
                 30000, 30000, 1, 0, {}, {}, std::vector<uint8_t>(30000 * 3750, 0x5A)};
             WriteFileBytes(history + L"\\Glimpser 2.png", EncodePng(huge));
             WriteFileBytes(history + L"\\Glimpser 3.png", {});
             CreateDirectoryW((history + L"\\Glimpser 4.png").c_str(), nullptr);
         }},
        // With no documents folder and no usable "HistoryFolder" the capture is still shown.
        {{"no history folder at all", L"/capture:region", L"There is no history folder", L"",
          history, L""},
         [&] {
             documents.emplace(HKEY_CURRENT_USER,
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                               L"User Shell Folders",
                               L"Personal", L"Q:\\No Documents");
             WriteSettingString(L"HistoryFolder", L"");
         }},
    };
    for (const auto& [c, setUp] : cases)
        RunCase(c, setUp);
}
