#include "lookupwindows.h"

#include "app/shell/windows.h"
#include "editorspec.h"
#include "lookupeditor.h"

namespace lookup {

void defineWindows(shell::Windows& windows) {
    for (const EditorSpec& spec : editorSpecs())
        windows.define(spec.window, [&spec] { return new LookupEditor(spec); });
}

}  // namespace lookup
