// The capture history: one folder of numbered PNG files, its order, its limit and its archive.
#ifndef GLIMPSER_HISTORY_FILE_BASE_H
#define GLIMPSER_HISTORY_FILE_BASE_H

#include <cstdint>

#include "tessel/list.h"
#include "tessel/string_core.h"

// Paths and names are UTF-8. The store never writes image data: it hands out the path of a
// new capture and the viewer writes it. Several processes may share the folder without locks;
// the list is re-read whenever it is marked stale.
class CFileBase {
public:
    CFileBase() = default;
    CFileBase(const CFileBase&) = delete;
    CFileBase& operator=(const CFileBase&) = delete;
    virtual ~CFileBase() = default;

    // An empty folder means there is no history: nothing is listed and no capture is stored.
    // Removes what dead writers left in the folder.
    void Init(const Tessel::String& folder, const Tessel::String& pattern,
              const Tessel::String& format, int32_t maxFiles);
    // Where trimmed files go; empty deletes them.
    void SetArchiveFolder(const Tessel::String& path);
    // Negative keeps every file.
    void SetMaxHistory(int32_t maxFiles);
    void MarkStale();
    // Re-reads the folder when the list is stale.
    void Refresh();

    // Chooses the next numbered name above every numbered file, lists it and trims the history
    // (never a file that sorts after it) before the caller writes the file at `path`. False,
    // with `path` untouched, when the history folder is not an existing folder or no number is
    // left.
    bool AddCapture(Tessel::String& path);
    // For a capture written completely at `temporary` whose name, `path`, another process took
    // meanwhile: re-reads the folder and renames the file to the next free number, never
    // replacing a file, a bounded number of times. Then `path` is where it lies; false when it
    // could not be placed, and the temporary file is removed.
    bool PlaceCapture(const Tessel::String& temporary, Tessel::String& path);
    // The existing file `step` places away from the one at `current` (or, without a listed
    // current file, the oldest for a positive step and the newest otherwise). Vanished files
    // are skipped; there is no wrap-around. False leaves `path` untouched.
    bool Navigate(const Tessel::String& current, int step, Tessel::String& path);
    // Moves the file, wherever it lies, to the Recycle Bin and drops its name from the list.
    void DeleteHistoryFile(const Tessel::String& path);
    // Moves every history file in the folder to the Recycle Bin; one message tells of any that
    // stayed. Trimming, by contrast, deletes for good, so that the Recycle Bin does not fill
    // with every old capture.
    void DeleteAllHistory();

    const Tessel::String& Folder() const { return historyFolder; }

private:
    // The first free name above every listed numbered name, with its full path.
    bool ChooseName(Tessel::String& name, Tessel::String& path);
    // `older`: how many listed names sort before the new capture's.
    void Trim(int older);
    // Temporary files of processes that are gone, or of a day ago.
    void RemoveLeftovers();

    Tessel::String historyFolder;
    Tessel::String archiveFolder;
    Tessel::String searchPattern;
    Tessel::String nameFormat;
    bool stale = false;
    Tessel::List<Tessel::String> files;
    int32_t maxHistory = -1;
    int32_t nextNumber = 1;
};

#endif
