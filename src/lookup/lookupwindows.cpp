#include "lookupwindows.h"

#include "editordescription.h"
#include "lookupeditor.h"
#include "shell/windows.h"

namespace lookup {

void defineWindows(shell::Windows& windows) {
    for (const EditorDescription& description : editorDescriptions())
        windows.define(description.window,
                       [&description] { return new LookupEditor(description); });
}

}  // namespace lookup
