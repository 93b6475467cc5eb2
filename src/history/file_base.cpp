#include "history/file_base.h"

#include <windows.h>

#include "history/history_naming.h"
#include "history/natural_compare.h"
#include "history/sorted_names.h"
#include "imaging/temporary_name.h"
#include "tessel/format.h"
#include "win/path_exists.h"
#include "win/path_text.h"
#include "win/scoped_win.h"
#include "win/shell_helpers.h"
#include "win/show_message.h"
#include "win/win_text.h"

namespace {

// Whether the process runs; one we may not open runs all the same.
bool ProcessRuns(uint32_t processId) {
    const ScopedHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    return WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

bool IsOlderThanADay(const FILETIME& written) {
    constexpr uint64_t kDay = uint64_t{24} * 60 * 60 * 10000000;  // in 100 ns units
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const uint64_t nowTicks = (uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    const uint64_t writtenTicks = (uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    return nowTicks > writtenTicks && nowTicks - writtenTicks > kDay;
}

}  // namespace

void CFileBase::Init(const Tessel::String& folder, const Tessel::String& pattern,
                     const Tessel::String& format, int32_t maxFiles) {
    historyFolder = folder;
    searchPattern = pattern;
    nameFormat = format;
    maxHistory = maxFiles;
    stale = true;
    if (!historyFolder.IsEmpty()) {
        RemoveLeftovers();
    }
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
    Tessel::String name;
    Tessel::String candidate;
    if (!ChooseName(name, candidate)) {
        return false;
    }
    // A taken path means the list is behind the folder. Catch up before listing the new name,
    // so that the trim counts both the files on disk and the one about to be written.
    Refresh();
    const int position = FindSortedInsertPosition(files, name);
    files.InsertAt(position, name);
    path = candidate;
    Trim(position);
    return true;
}

bool CFileBase::PlaceCapture(const Tessel::String& temporary, Tessel::String& path) {
    const Tessel::WString from = ToWide(temporary);
    // Each try loses only to a process that renamed its own capture into the very name chosen
    // since the folder was read; the bound is for a folder that never stops changing.
    constexpr int kTries = 16;
    for (int i = 0; i < kTries; ++i) {
        // The name chosen last was taken behind the store's back: read the folder again.
        stale = true;
        Refresh();
        Tessel::String name;
        Tessel::String candidate;
        if (!ChooseName(name, candidate)) {
            break;
        }
        files.InsertAt(FindSortedInsertPosition(files, name), name);
        // Never replace: the file there is another capture.
        if (MoveFileExW(WStr(from), WStr(ToWide(candidate)), MOVEFILE_WRITE_THROUGH)) {
            path = candidate;
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            break;
        }
    }
    DeleteFileW(WStr(from));
    return false;
}

bool CFileBase::ChooseName(Tessel::String& name, Tessel::String& path) {
    int32_t number = 0;
    if (!ChooseHistoryNumber(files, nameFormat.CStr(), nextNumber, number)) {
        return false;
    }
    for (;;) {
        nextNumber = number + 1;
        name = Tessel::Format(nameFormat.CStr(), number);
        path = JoinPath(historyFolder, name);
        // Another process may have written this file since the list was read, or a folder
        // may carry the name: never hand out a path that is taken.
        if (!PathExists(path)) {
            return true;
        }
        stale = true;
        if (nextNumber == INT32_MAX) {
            return false;
        }
        ++number;
    }
}

void CFileBase::Trim(int older) {
    const int excess = TrimCount(files.Count(), maxHistory, older);
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

void CFileBase::RemoveLeftovers() {
    // "~Glimpser *.*.tmp": what the image writer leaves of a capture when its process dies.
    const Tessel::String extension = GetExtension(nameFormat);
    const Tessel::String pattern = Tessel::Format(
        "~%s.*.tmp",
        searchPattern.Substring(0, searchPattern.Length() - GetExtension(searchPattern).Length())
            .CStr());
    WIN32_FIND_DATAW found;
    ScopedFind find(FindFirstFileW(WStr(ToWide(JoinPath(historyFolder, pattern))), &found));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.Get(), &found)) {
        const Tessel::String name = ToUtf8(found.cFileName);
        Tessel::String stem;
        uint32_t writer = 0;
        // The search also matches short 8.3 names and names of other shapes: only our own
        // pattern, around a name this store would give, is ever touched.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            !ParseTemporaryFileName(name, stem, writer) ||
            !IsHistoryName(Tessel::Format("%s%s", stem.CStr(), extension.CStr()).CStr(),
                           nameFormat.CStr())) {
            continue;
        }
        // A process id comes back in time; a day-old write is no write in progress.
        if (!ProcessRuns(writer) || IsOlderThanADay(found.ftLastWriteTime)) {
            DeleteFileW(WStr(ToWide(JoinPath(historyFolder, name))));
        }
    }
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
