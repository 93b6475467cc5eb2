#include "viewer/open_with.h"

#include <windows.h>

#include <memory>
#include <new>

#include "tessel/format.h"
#include "tessel/map.h"
#include "viewer/open_with_rules.h"
#include "win/registry_readers.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

using OpenWithInfo = CMainWindow::COpenWithInfo;
// Commands already met, compared ignoring ASCII case; iteration keeps the order of insertion.
using CommandSet = Tessel::Map<Tessel::String, bool, Tessel::SCaseI>;

const char kUserFileExts[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.png";

void AddCommand(CommandSet& commands, const Tessel::String& command) {
    if (!command.IsEmpty()) {
        commands.Set(command, true, false);
    }
}

// The default value of HKEY_CLASSES_ROOT\path; empty when missing or unreadable.
Tessel::String ReadClassesDefault(const Tessel::String& path) {
    Tessel::String value;
    ReadRegistryString(HKEY_CLASSES_ROOT, path, nullptr, value);
    return value;
}

void AddProgIdCommands(CommandSet& commands, HKEY root, const Tessel::String& progIdsKey) {
    Tessel::List<Tessel::String> progIds;
    EnumRegistryValueNames(root, progIdsKey, progIds);
    for (const Tessel::String& progId : progIds) {
        AddCommand(commands,
                   ReadClassesDefault(Tessel::Format("%s\\shell\\open\\command", progId.CStr())));
    }
}

void AddApplicationCommand(CommandSet& commands, const Tessel::String& executable) {
    AddCommand(commands, ReadClassesDefault(Tessel::Format("Applications\\%s\\shell\\open\\command",
                                                           executable.CStr())));
}

// Every verb of the type's own ProgID but those a double click or a printer dialog covers.
void AddDefaultProgIdVerbs(CommandSet& commands) {
    const Tessel::String progId = ReadClassesDefault(Tessel::String(".png"));
    if (progId.IsEmpty()) {
        return;
    }
    Tessel::List<Tessel::String> verbs;
    EnumRegistrySubkeys(HKEY_CLASSES_ROOT, Tessel::Format("%s\\shell", progId.CStr()), verbs);
    for (const Tessel::String& verb : verbs) {
        if (!IsSkippedVerb(verb)) {
            AddCommand(commands, ReadClassesDefault(Tessel::Format("%s\\shell\\%s\\command",
                                                                   progId.CStr(), verb.CStr())));
        }
    }
}

void GatherCommands(CommandSet& commands) {
    AddProgIdCommands(commands, HKEY_CLASSES_ROOT, Tessel::String(".png\\OpenWithProgids"));
    AddProgIdCommands(commands, HKEY_CURRENT_USER,
                      Tessel::Format("%s\\OpenWithProgids", kUserFileExts));

    Tessel::List<Tessel::String> applications;
    EnumRegistrySubkeys(HKEY_CLASSES_ROOT, Tessel::String(".png\\OpenWithList"), applications);
    for (const Tessel::String& executable : applications) {
        AddApplicationCommand(commands, executable);
    }

    // The shell's own list keeps executables as value data ("a", "b", ... and "MRUList").
    const Tessel::String userList = Tessel::Format("%s\\OpenWithList", kUserFileExts);
    Tessel::List<Tessel::String> valueNames;
    EnumRegistryValueNames(HKEY_CURRENT_USER, userList, valueNames);
    for (const Tessel::String& valueName : valueNames) {
        Tessel::String executable;
        ReadRegistryString(HKEY_CURRENT_USER, userList, valueName.CStr(), executable);
        if (!executable.IsEmpty()) {
            AddApplicationCommand(commands, executable);
        }
    }

    AddDefaultProgIdVerbs(commands);
}

int CompareEntries(const Tessel::OwnedPtr<OpenWithInfo>& a,
                   const Tessel::OwnedPtr<OpenWithInfo>& b) {
    return CompareOpenWithNames(a->name, b->name);
}

}  // namespace

void BuildOpenWithList(Tessel::List<Tessel::OwnedPtr<OpenWithInfo>>& list) {
    list.RemoveAll();
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L".png", 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return;
    }
    ScopedKey pngKey(opened);
    CommandSet commands;
    GatherCommands(commands);
    CommandSet::Iterator entry(commands);
    while (entry.Next()) {
        Tessel::String name;
        if (NameOpenWithCommand(*entry.key, GetFileDescription, name)) {
            list.Append(Tessel::MakeOwned<OpenWithInfo>(name, *entry.key));
        }
    }
    list.Sort(CompareEntries);
}

Tessel::String GetFileDescription(const Tessel::String& program) {
    const Tessel::WString path = ToWide(program);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(WStr(path), &ignored);
    if (size == 0) {
        return Tessel::String();
    }
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[size]);
    if (!block || !GetFileVersionInfoW(WStr(path), 0, size, block.get())) {
        return Tessel::String();
    }
    void* translations = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueW(block.get(), L"\\VarFileInfo\\Translation", &translations,
                        &translationBytes) ||
        translationBytes < 4) {
        return Tessel::String();
    }
    // Only the first translation is tried: language in the low word, code page in the high.
    const WORD* pair = static_cast<const WORD*>(translations);
    const Tessel::String subBlock =
        Tessel::Format("\\StringFileInfo\\%04X%04X\\%s", static_cast<unsigned>(pair[0]),
                       static_cast<unsigned>(pair[1]), "FileDescription");
    void* text = nullptr;
    UINT units = 0;
    if (!VerQueryValueW(block.get(), WStr(ToWide(subBlock)), &text, &units) || text == nullptr) {
        return Tessel::String();
    }
    // The length counts the terminator when there is one; never read past it either way.
    const char16_t* description = static_cast<const char16_t*>(text);
    int length = static_cast<int>(units);
    while (length > 0 && description[length - 1] == u'\0') {
        --length;
    }
    return Tessel::WideToUtf8(Tessel::WString(description, length).CStr());
}
