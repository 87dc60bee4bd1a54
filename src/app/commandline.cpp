#include "commandline.h"

#include <unistd.h>

#include <QList>
#include <QString>
#include <cstdio>
#include <cstring>
#include <utility>

namespace pelmar {

namespace {

// Every option and file of the program; its manual page is checked against this text.
constexpr const char* kUsage = "usage: PelmarEntry [--version | --help]\n";
constexpr const char* kHelp =
    "Enters property advertisements from newspapers into a database: three entry\n"
    "windows for a listing, four editors of the lookup tables, Listings to find and\n"
    "correct stored listings, Export to an Excel 97 workbook.\n"
    "\n"
    "  --version  print the version and end\n"
    "  --help     print this text and end\n"
    "\n"
    "Files, in the desk folder (usually ~/Documents/PelmarEntry):\n"
    "  Pelmar.mdb        the database, an SQLite file\n"
    "  Pelmar.ini        names a PostgreSQL server instead ([Database] Server=)\n"
    "  Unconfirmed.json  a listing whose storing on the server is not yet confirmed\n"
    "  Data.xls          the workbook that Export writes\n"
    "  Pelmar-YYYY-MM-DD.mdb  what Master, Back Up Database... writes by default\n"
    "  head1.jpg, head2.jpg   the windows' header pictures, if the desk has its own\n"
    "and for every desk of the machine:\n"
    "  /etc/pelmarentry/Pelmar.ini  the office's setting, which a desk's own overrides\n"
    "\n"
    "See man PelmarEntry.\n";

// A message of Qt's, held back; the names it points to are Qt's static texts.
struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

// What Qt said while the display was being reached (a message handler is a plain
// function, so this is the one place it can be kept).
struct Held {
    QtMessageHandler previous = nullptr;
    QList<HeldMessage> messages;
};

Held& held() {
    static Held state;
    return state;
}

void holdOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // Qt gives up on the platform with a fatal message and then aborts the process.
        const char* sentence =
            "PelmarEntry: there is no display to open its window on (no desktop session, "
            "or DISPLAY and WAYLAND_DISPLAY name none that answers); start it from a "
            "desktop, where it opens as usual.\n";
        ssize_t written = ::write(STDERR_FILENO, sentence, std::strlen(sentence));
        (void)written;
        ::_exit(1);
    }
    held().messages.append(
        {type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

std::optional<int> answerCommandLine(int argc, char** argv) {
    if (argc <= 1)
        return std::nullopt;
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("PelmarEntry %s\n", PELMAR_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("%s\n%s", kUsage, kHelp);
        return 0;
    }
    std::fprintf(stderr, "PelmarEntry: %s is not an option of the program.\n%s", argv[1], kUsage);
    return 2;
}

DisplayGuard::DisplayGuard() {
    held().previous = qInstallMessageHandler(holdOrEnd);
}

DisplayGuard::~DisplayGuard() {
    qInstallMessageHandler(held().previous);
    const QList<HeldMessage> messages = std::exchange(held().messages, {});
    for (const HeldMessage& message : messages)
        qt_message_output(
            message.type,
            QMessageLogContext(message.file, message.line, message.function, message.category),
            message.text);
}

}  // namespace pelmar
