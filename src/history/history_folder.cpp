#include "history/history_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "tessel/format.h"
#include "win/path_exists.h"
#include "win/path_text.h"
#include "win/settings.h"
#include "win/shell_helpers.h"
#include "win/show_message.h"
#include "win/win_text.h"

namespace {

// One level only; whether it worked is seen by looking again. A file of that name is no
// folder and is left alone.
bool EnsureFolder(const Tessel::String& path) {
    if (!PathExists(path)) {
        CreateDirectoryW(WStr(ToWide(path)), nullptr);
    }
    return FolderExists(path);
}

bool IsBlank(const Tessel::String& text) {
    for (const char* p = text.CStr(); p != nullptr && *p != 0; ++p) {
        if (*p != ' ' && *p != '\t') {
            return false;
        }
    }
    return true;
}

}  // namespace

Tessel::String GetHistoryFolder() {
    // An empty or blank value would make every capture a relative path, or none at all.
    const Tessel::String setting = GetSettingString("Settings", "HistoryFolder", Tessel::String());
    if (!IsBlank(setting)) {
        return setting;
    }
    return GetSpecialFolder(CSIDL_PERSONAL, Tessel::String("My Glimpser Images"));
}

Tessel::String DescribeHistoryFolderProblem(const Tessel::String& folder) {
    if (folder.IsEmpty()) {
        return Tessel::String(
            "There is no history folder: the Documents folder cannot be found and the "
            "HistoryFolder setting names no other.");
    }
    const char* text = nullptr;
    if (PathExists(folder) && !FolderExists(folder)) {
        text =
            "The history folder '%s' is a file, not a folder.  Rename that file or change the "
            "HistoryFolder setting.";
    } else if (const Tessel::String root = GetPathRoot(folder);
               !root.IsEmpty() && GetDriveTypeW(WStr(ToWide(root))) == DRIVE_NO_ROOT_DIR) {
        text =
            "The history folder '%s' is on a drive that is not there.  Connect the drive or "
            "change the HistoryFolder setting.";
    } else if (!FolderExists(folder)) {
        text =
            "The history folder '%s' does not exist and could not be created.  Create it or "
            "change the HistoryFolder setting.";
    } else {
        text = "No file number is left in the history folder '%s'.";
    }
    return Tessel::Format(text, folder.CStr());
}

bool ConfigureHistory(CFileBase& history) {
    const Tessel::String folder = GetHistoryFolder();
    const Tessel::String archiveSetting =
        GetSettingString("Settings", "ArchiveFolder", Tessel::String());
    const int32_t maxHistory = GetSettingInt("Settings", "MaxHistory", 100);
    // With no folder at all there is no history; a relative name would land in whatever
    // directory the process happened to start in.
    const bool haveFolder = !folder.IsEmpty() && EnsureFolder(folder);
    history.Init(folder, Tessel::String("Glimpser *.png"), Tessel::String("Glimpser %i.png"),
                 maxHistory);
    if (folder.IsEmpty() || archiveSetting.IsEmpty()) {
        return haveFolder;
    }
    const Tessel::String archive = JoinPath(folder, archiveSetting);
    if (!EnsureFolder(archive)) {
        ShowMessage(Tessel::Format("Archive folder '%s' not found and couldn't be created.  "
                                   "Archiving disabled.",
                                   archive.CStr()),
                    MB_ICONERROR);
        history.SetMaxHistory(-1);
        return false;
    }
    history.SetArchiveFolder(archive);
    return haveFolder;
}
