#include "lookupwindows.h"

#include "app/shell/windows.h"
#include "editordescription.h"
#include "lookupeditor.h"

namespace lookup {

void defineWindows(shell::Windows& windows) {
    for (const EditorDescription& description : editorDescriptions())
        windows.define(description.window,
                       [&description] { return new LookupEditor(description); });
}

}  // namespace lookup
