// Settings edited by hand into every bad shape, history folders that cannot take a capture, and
// history files no capture looks like: the real program neither crashes nor hangs, never loses
// a capture without a word, and touches no file that is not a history file.
#include <cstdlib>
#include <cstring>
#include <functional>

#include "e2e/e2e_fixture.h"
#include "support/content_types.h"
#include "support/temp_folder.h"

namespace {
// Every capture here is of this region; a capture that cannot be stored is still shown.
const RECT kCaptured{100, 100, 500, 400};
}  // namespace

// Run by unwritable_history.sh with a folder that is really read-only, then with one on a full
// disk.
TEST_F(EndToEnd, UnwritableHistoryKeepsTheCaptureAndNamesTheFile) {
    const char* given = std::getenv("GLIMPSER_UNWRITABLE_FOLDER");
    if (given == nullptr)
        GTEST_SKIP() << "needs a folder that unwritable_history.sh makes";
    const std::wstring folder(given, given + std::strlen(given));
    WriteSettingString(L"HistoryFolder", folder);
    // Neither a cut history file nor the temporary one is left behind.
    RunProgram({given, L"/capture:region", Gesture::Drag, true, L"", &kCaptured, nullptr,
                L"'" + folder + L"\\Glimpser 1.png' could not be written.", folder});
}

// One run per kind of bad input.
TEST_F(EndToEnd, HostileSettingsAndFilesNeitherCrashNorTouchOtherFiles) {
    const TempFolder scratch;
    const std::wstring history = HistoryFolder(), other = history + L"\\notes.txt";
    const std::wstring folderFile = scratch / L"not a folder";
    std::optional<ScopedRegistryValue> documents;
    const std::pair<ProgramRun, std::function<void()>> runs[] = {
        {{"every setting of a wrong type or size", L"/capture:same", Gesture::Drag, true,
          L"Glimpser 1.png", &kCaptured},
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
        {{"a region of 10,000 characters and an empty history folder", L"/capture:same",
          Gesture::Drag, true, L"Glimpser 1.png", &kCaptured},
         [] {
             WriteSettingString(L"CaptureRegion", std::wstring(10000, L'9'));
             WriteSettingString(L"HistoryFolder", L" ");
         }},
        {{"a history folder that is a file", L"/capture:region", Gesture::Drag, true, L"",
          &kCaptured, nullptr, L"'" + folderFile + L"' is a file, not a folder.", L"", folderFile},
         [&] {
             WriteFileBytes(folderFile, {'x'});
             WriteSettingString(L"HistoryFolder", folderFile);
         }},
        {{"no history kept, beside a folder and a file that are not history files",
          L"/capture:region", Gesture::Drag, true, L"Glimpser 3.png", &kCaptured, nullptr, L"", L"",
          other},
         [&] {
             const DWORD none = 0;
             WriteSettingRaw(L"MaxHistory", REG_DWORD, &none, sizeof none);
             WriteFileBytes(history + L"\\Glimpser 1.png", {'p'});
             WriteFileBytes(history + L"\\Glimpser 2.png", {'p'});
             WriteFileBytes(other, {'n'});
             CreateDirectoryW((history + L"\\Glimpser 5.png").c_str(), nullptr);
         }},
        {{"history files of 0 bytes, 16 bits per channel and 30000 pixels square", L"/open",
          Gesture::WalkBack, true, L"Glimpser 1.png|Glimpser 2.png|Glimpser 3.png", nullptr},
         [&] {
             const PngImage deep{2, 2, 16, 2, {}, std::vector<uint8_t>(2 * 2 * 6, 0x80)};
             WriteFileBytes(history + L"\\Glimpser 1.png", EncodePng(deep));
             // One bit per pixel keeps the file at 112 MB; its sides are what matter.
             const PngImage huge{30000, 30000, 1, 0, {}, std::vector<uint8_t>(30000 * 3750, 0x5A)};
             WriteFileBytes(history + L"\\Glimpser 2.png", EncodePng(huge));
             WriteFileBytes(history + L"\\Glimpser 3.png", {});
             CreateDirectoryW((history + L"\\Glimpser 4.png").c_str(), nullptr);
         }},
        {{"PNG files cut short, with a wrong check sum, with fewer or more rows than their header "
          "says, and a 30000x30000 header over a few KB",
          L"/open", Gesture::WalkBack, true,
          L"Glimpser 1.png|Glimpser 2.png|Glimpser 3.png|Glimpser 4.png|Glimpser 5.png", nullptr},
         [&] {
             std::vector<uint8_t> noise(64 * 96 * 3);
             for (size_t i = 0; i < noise.size(); ++i)
                 noise[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
             const auto picture = [&](uint32_t rows, uint32_t declared, uint32_t width = 64) {
                 std::vector<uint8_t> file = EncodePng(
                     {64, rows, 8, 2, {}, {noise.begin(), noise.begin() + 64 * 3 * rows}});
                 PatchPngHeader(file, width, declared);
                 return file;
             };
             const std::vector<uint8_t> whole = picture(64, 64);
             std::vector<uint8_t> badCrc = whole;
             badCrc[badCrc.size() - 12 - 30] ^= 0x10;
             WriteFileBytes(history + L"\\Glimpser 1.png", {whole.begin(), whole.end() - 40});
             WriteFileBytes(history + L"\\Glimpser 2.png", badCrc);
             WriteFileBytes(history + L"\\Glimpser 3.png", picture(32, 64));
             WriteFileBytes(history + L"\\Glimpser 4.png", picture(96, 64));
             WriteFileBytes(history + L"\\Glimpser 5.png", picture(64, 30000, 30000));
         }},
        // With no documents folder and no usable "HistoryFolder" the capture is still shown.
        {{"no history folder at all", L"/capture:region", Gesture::Drag, true, L"", &kCaptured,
          nullptr, L"There is no history folder", history},
         [&] {
             documents.emplace(HKEY_CURRENT_USER,
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                               L"User Shell Folders",
                               L"Personal", L"Q:\\No Documents");
             WriteSettingString(L"HistoryFolder", L"");
         }},
    };
    for (const auto& [run, setUp] : runs) {
        ResetUserState();
        setUp();
        RunProgram(run);
    }
}
