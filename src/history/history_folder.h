// Where the history lives, from the settings "HistoryFolder", "ArchiveFolder" and
// "MaxHistory".
#ifndef GLIMPSER_HISTORY_HISTORY_FOLDER_H
#define GLIMPSER_HISTORY_HISTORY_FOLDER_H

#include "history/file_base.h"
#include "tessel/string_core.h"

// "My Glimpser Images" in the documents folder unless "HistoryFolder" names another; empty
// when neither can be had. Not created here.
Tessel::String GetHistoryFolder();

// Sets the store up for the viewer: creates a missing history folder (one level), and an
// archive folder inside it when "ArchiveFolder" is set. An archive that cannot be made is
// reported once and turns trimming off, so that nothing is deleted that should have been kept.
// False when the history or archive folder is missing afterwards.
bool ConfigureHistory(CFileBase& history);

#endif
