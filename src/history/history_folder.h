// Where the history lives, from the settings "HistoryFolder", "ArchiveFolder" and
// "MaxHistory".
#ifndef GLIMPSER_HISTORY_HISTORY_FOLDER_H
#define GLIMPSER_HISTORY_HISTORY_FOLDER_H

#include "history/file_base.h"
#include "tessel/string_core.h"

// "My Glimpser Images" in the documents folder unless "HistoryFolder" names another (an empty
// or blank value names none); empty when neither can be had. Not created here.
Tessel::String GetHistoryFolder();

// Why the store refused a new capture in `folder`, in words for the user: there is none, it is
// a file, its drive is not there, it is missing and could not be made, or its numbers have run
// out. Each names the folder and, where changing it helps, the HistoryFolder setting.
Tessel::String DescribeHistoryFolderProblem(const Tessel::String& folder);

// Sets the store up for the viewer: creates a missing history folder (one level), and an
// archive folder inside it when "ArchiveFolder" is set. An archive that cannot be made is
// reported once and turns trimming off, so that nothing is deleted that should have been kept.
// False when the history or archive folder is missing afterwards.
bool ConfigureHistory(CFileBase& history);

#endif
