#pragma once

#include <QString>

class QWidget;

namespace shell {
class MessageSink;
}

namespace listings {

class ExportTarget;
class ListingsModel;

// "Export…" of the window "Listings": asks for the file, then writes the listings the
// window shows, in its order (every listing, or a search's matches), with a progress
// bar over the frame once it takes long. The model reads the rest of its identities
// first, so that the table and the file hold the same listings. Failures are told to
// the operator through `messages`; the previous file stays whenever the export does not finish.
// Returns what the window's state line is to say of it: nothing when the operator
// gave up before anything was done.
QString exportShown(QWidget* window, shell::MessageSink& messages, ListingsModel& model,
                    ExportTarget& target);

}  // namespace listings
