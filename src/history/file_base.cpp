#include "history/file_base.h"

#include <windows.h>

#include "history/history_naming.h"
#include "history/natural_compare.h"
#include "history/sorted_names.h"
#include "tessel/format.h"
#include "win/path_exists.h"
#include "win/path_text.h"
#include "win/scoped_win.h"
#include "win/shell_helpers.h"
#include "win/show_message.h"
#include "win/win_text.h"

void CFileBase::Init(const Tessel::String& folder, const Tessel::String& pattern,
                     const Tessel::String& format, int32_t maxFiles) {
    historyFolder = folder;
    searchPattern = pattern;
    nameFormat = format;
    maxHistory = maxFiles;
    stale = true;
}

void CFileBase::SetArchiveFolder(const Tessel::String& path) {
    archiveFolder = path;
}

void CFileBase::SetMaxHistory(int32_t maxFiles) {
    maxHistory = maxFiles;
    stale = true;
}

void CFileBase::MarkStale() {
    stale = true;
}

void CFileBase::Refresh() {
    if (!stale) {
        return;
    }
    stale = false;
    files.RemoveAll();
    // Without a folder the pattern alone would search the current directory.
    if (historyFolder.IsEmpty()) {
        return;
    }
    WIN32_FIND_DATAW found;
    ScopedFind find(FindFirstFileW(WStr(ToWide(JoinPath(historyFolder, searchPattern))), &found));
    if (!find) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            files.Append(ToUtf8(found.cFileName));
        }
    } while (FindNextFileW(find.Get(), &found));
    files.Sort(NaturalCompare);
}

bool CFileBase::AddCapture(Tessel::String& path) {
    // A path in a folder that is missing or is a file can only fail to be written.
    if (historyFolder.IsEmpty() || !FolderExists(historyFolder)) {
        return false;
    }
    Refresh();
    int32_t number = 0;
    if (!ChooseHistoryNumber(files, nameFormat.CStr(), nextNumber, number)) {
        return false;
    }
    Tessel::String name;
    Tessel::String candidate;
    for (;;) {
        nextNumber = number + 1;
        name = Tessel::Format(nameFormat.CStr(), number);
        candidate = JoinPath(historyFolder, name);
        // Another process may have written this file since the list was read, or a folder
        // may carry the name: never hand out a path that is taken.
        if (!PathExists(candidate)) {
            break;
        }
        stale = true;
        if (nextNumber == INT32_MAX) {
            return false;
        }
        ++number;
    }
    // A taken path means the list is behind the folder. Catch up before listing the new name,
    // so that the trim counts both the files on disk and the one about to be written.
    Refresh();
    files.InsertAt(FindSortedInsertPosition(files, name), name);
    path = candidate;
    Trim();
    return true;
}

void CFileBase::Trim() {
    if (maxHistory < 0) {
        return;
    }
    Refresh();
    const int excess = TrimCount(files.Count(), maxHistory);
    for (int i = 0; i < excess; ++i) {
        const Tessel::String source = JoinPath(historyFolder, files[i]);
        if (archiveFolder.IsEmpty()) {
            DeleteFileW(WStr(ToWide(source)));
        } else {
            // Never replace: an archived file of the same name is worth more than the move.
            MoveFileExW(WStr(ToWide(source)), WStr(ToWide(JoinPath(archiveFolder, files[i]))),
                        MOVEFILE_COPY_ALLOWED);
        }
    }
    // A file that stayed comes back with the next re-read.
    files.RemoveRange(0, excess);
}

bool CFileBase::Navigate(const Tessel::String& current, int step, Tessel::String& path) {
    Refresh();
    if (step == 0) {
        return false;
    }
    int64_t index = step > 0 ? 0 : files.Count() - 1;
    const Tessel::String currentName = GetFileNamePart(current);
    if (!currentName.IsEmpty()) {
        const int found = FindSortedName(files, currentName);
        if (found >= 0) {
            index = static_cast<int64_t>(found) + step;
        }
    }
    for (; index >= 0 && index < files.Count(); index += step) {
        Tessel::String candidate = JoinPath(historyFolder, files[static_cast<int>(index)]);
        if (PathExists(candidate)) {
            path = candidate;
            return true;
        }
        stale = true;
    }
    return false;
}

void CFileBase::DeleteHistoryFile(const Tessel::String& path) {
    Tessel::List<Tessel::String> victim;
    victim.Append(path);
    RecycleFiles(victim);
    const int found = FindSortedName(files, GetFileNamePart(path));
    if (found >= 0) {
        files.RemoveRange(found, 1);
    }
}

void CFileBase::DeleteAllHistory() {
    MarkStale();
    Refresh();
    Tessel::List<Tessel::String> paths;
    for (const Tessel::String& name : files) {
        paths.Append(JoinPath(historyFolder, name));
    }
    files.RemoveAll();
    if (!RecycleFiles(paths)) {
        ShowMessage(Tessel::String("Failed to delete one or more files"), MB_ICONERROR);
    }
}
