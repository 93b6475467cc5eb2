// The programs registered for PNG images, offered by the viewer's "Open &With" submenu.
#ifndef GLIMPSER_VIEWER_OPEN_WITH_H
#define GLIMPSER_VIEWER_OPEN_WITH_H

#include "tessel/list.h"
#include "tessel/owned_ptr.h"
#include "tessel/string_core.h"
#include "viewer/main_window.h"

// Empties `list` and fills it anew from the registry: one entry per distinct command (letter
// case ignored, first spelling kept), named and filtered by the open-with rules, sorted by name.
void BuildOpenWithList(Tessel::List<Tessel::OwnedPtr<CMainWindow::COpenWithInfo>>& list);

// The FileDescription of the program's first version translation; empty when it has none.
Tessel::String GetFileDescription(const Tessel::String& program);

#endif
