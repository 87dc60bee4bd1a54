#include "pelmar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>

#include "aboutbox.h"
#include "appicon.h"
#include "backupcommand.h"
#include "db/dberror.h"
#include "db/engineversions.h"
#include "entry/entrywindows.h"
#include "entry/settle.h"
#include "export/exportcommand.h"
#include "listings/listingswindows.h"
#include "lookup/lookupwindows.h"
#include "shell/action.h"
#include "shell/desk.h"
#include "shell/deskfolder.h"
#include "shell/framefit.h"
#include "shell/messages.h"
#include "shell/programfolder.h"
#include "shell/readonlycheck.h"
#include "shell/texts.h"
#include "shell/windows.h"

namespace {

struct MenuItem {
    const char* name;
    const char* caption;
    const char* parent;  // nullptr: on the menu bar itself
    void (Pelmar::*handler)();
};

// The menu tree in display order. No item has an access key or a shortcut.
constexpr MenuItem kMenu[] = {
    {"nMaster", "Master", nullptr, nullptr},
    {"nState", "State", "nMaster", &Pelmar::nState_Click},
    {"mStreet", "Street", "nMaster", &Pelmar::mStreet_Click},
    {"nPropType", "Property Type", "nMaster", &Pelmar::nPropType_Click},
    {"nPubName", "Publication Name", "nMaster", &Pelmar::nPubName_Click},
    {"nBackup", "Back Up Database…", "nMaster", &Pelmar::nBackup_Click},
    {"nDe", "Data Entry", nullptr, &Pelmar::nDe_Click},
    {"nListings", "Listings", nullptr, &Pelmar::nListings_Click},
    {"nExport", "Export", nullptr, &Pelmar::nExport_Click},
    {"nEx", "Exit", nullptr, &Pelmar::nEx_Click},
    {"nHelp", "Help", nullptr, nullptr},
    {"nAbout", "About PelmarEntry", "nHelp", &Pelmar::nAbout_Click},
};

}  // namespace

Pelmar::Pelmar(shell::Desk& desk)
    : workArea_(new QMdiArea(this)),
      windows_(this, workArea_, desk),
      exit_([] { QCoreApplication::exit(0); }) {
    setObjectName(QStringLiteral("Pelmar"));
    setWindowTitle(QString::fromLatin1(shell::kBanner));
    setWindowIcon(pelmar::appIcon());
    workArea_->setObjectName(QStringLiteral("workArea"));
    workArea_->setBackground(palette().brush(QPalette::Dark));
    // The details window is taller than most screens: its Submit must stay reachable.
    workArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    workArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(workArea_);
    createMenus();

    lookup::defineWindows(windows_);
    entry::defineWindows(windows_);
    listings::defineWindows(windows_);
    MDIForm_Load();
}

Pelmar::~Pelmar() {
    windows_.closeAll();
}

void Pelmar::openWindow(const char* name) {
    shell::runAction(windows_.desk().messages(),
                     [this, name] { windows_.open(QString::fromLatin1(name)); });
}

void Pelmar::createMenus() {
    QHash<QString, QMenu*> menus;
    for (const MenuItem& item : kMenu) {
        const QString name = QString::fromLatin1(item.name);
        const QString caption = QString::fromUtf8(item.caption);
        QMenuBar* bar = menuBar();
        QWidget* parent = item.parent
                              ? static_cast<QWidget*>(menus.value(QString::fromLatin1(item.parent)))
                              : static_cast<QWidget*>(bar);
        if (!item.handler) {
            QMenu* menu = bar->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            menus.insert(name, menu);
            continue;
        }
        auto* action = new QAction(caption, parent);
        action->setObjectName(name);
        parent->addAction(action);
        connect(action, &QAction::triggered, this, [this, handler = item.handler] {
            closeMenus();
            (this->*handler)();
        });
    }
}

void Pelmar::closeMenus() {
    // A screen reader presses a menu item without closing its menu: the menu would stay
    // drawn over the windows and take the next clicks for itself.
    for (QWidget* popup = QApplication::activePopupWidget(); popup;) {
        popup->close();
        QWidget* next = QApplication::activePopupWidget();
        popup = next == popup ? nullptr : next;
    }
}

void Pelmar::MDIForm_Load() {
    // The whole frame, title bar and borders included, covers the screen less its
    // panels; otherwise the foot of the work area lies below the screen's edge.
    fittedFrame_ = shell::coverAvailableArea(this);
}

void Pelmar::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window manager draws the frame only once the window is shown: fit it again
    // as soon as the frame is known.
    if (windowState() == Qt::WindowNoState && shell::frameMargins(this) != fittedFrame_)
        MDIForm_Load();
}

void Pelmar::nState_Click() {
    openWindow("State");
}
void Pelmar::mStreet_Click() {
    openWindow("Street");
}
void Pelmar::nPropType_Click() {
    openWindow("PropType");
}
void Pelmar::nPubName_Click() {
    openWindow("PubName");
}
void Pelmar::nDe_Click() {
    // One listing at a time: while one is on its way, its window comes to the front.
    openWindow(entry::listingWindow(windows_));
}
void Pelmar::nListings_Click() {
    openWindow("Listings");
}
void Pelmar::nExport_Click() {
    shell::runAction(windows_.desk().messages(),
                     [this] { exporter::runExport(this, windows_.desk()); });
}
void Pelmar::nEx_Click() {
    // A correction still pending in a window is stored first; one that cannot be keeps
    // its window, and the program, open.
    if (windows_.mayCloseAll())
        exit_();
}
void Pelmar::nBackup_Click() {
    shell::Desk& desk = windows_.desk();
    pelmar::backUpDatabase(this, desk.messages(), desk.store().isServer(), desk.dbPath(),
                           desk.folder(), pelmar::saveDialog(this));
}
void Pelmar::nAbout_Click() {
    pelmar::showAbout(
        windows_.desk().messages(),
        {QStringLiteral(PELMAR_VERSION),
         pelmar::databaseInUse(windows_.desk().store(), windows_.desk().dbPath()),
         windows_.desk().folder(),
         QStringLiteral("Qt %1, ").arg(QString::fromLatin1(qVersion())) + db::engineVersions(),
         QStringLiteral(PELMAR_LICENCE)});
}

void Pelmar::closeEvent(QCloseEvent* event) {
    if (!windows_.mayCloseAll()) {
        event->ignore();
        return;
    }
    windows_.closeAll();
    workArea_->closeAllSubWindows();
    event->accept();
}

namespace pelmar {

int run() {
    // The program's one way to the operator: handed to the desk and by it to every window.
    shell::ScreenMessages messages;
    try {
        const QString folder = shell::programFolder();
        return run(folder, messages, shell::systemSettingPath(folder));
    } catch (const db::DbError& error) {
        messages.inform(error.text(), shell::Icon::Critical);
        return 1;
    }
}

int run(const QString& folder, shell::MessageSink& messages, const QString& systemSetting) {
    std::unique_ptr<shell::Desk> desk;
    try {
        desk = shell::Desk::startUp(folder, messages, systemSetting);
    } catch (const db::DbError& error) {
        messages.inform(error.text(), shell::Icon::Critical);
        return 1;
    }
    if (!desk->store().isServer()) {
        const QString warning = shell::readOnlyWarning(desk->dbPath());
        if (!warning.isEmpty())
            messages.inform(warning, shell::Icon::Exclamation);
    }
    Pelmar frame(*desk);
    frame.setWindowTitle(pelmar::frameTitle(frame.windowTitle(), desk->store()));
    frame.show();
    entry::settleUnconfirmed(*desk);
    return QApplication::exec();
}

}  // namespace pelmar
