#include "testserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include "db/connection.h"
#include "db/dberror.h"

namespace {

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        qFatal("no free port");
    ::close(fd);
    return ntohs(address.sin_port);
}

QString serverBin() {
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    if (versions.isEmpty())
        qFatal("no PostgreSQL server installed (scripts/setup.sh --tests installs it)");
    return QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(versions.last());
}

}  // namespace

bool onServer() {
    return qEnvironmentVariable("PELMAR_TEST_ENGINE") == QLatin1String("server");
}

TestServer& TestServer::instance() {
    static TestServer server;
    return server;
}

TestServer::TestServer() : bin_(serverBin()), port_(freePort()) {
    if (!dir_.isValid())
        qFatal("no temporary folder for the server");
    if (::geteuid() == 0) {
        const passwd* user = ::getpwnam("postgres");
        if (!user || ::chown(qPrintable(dir_.path()), user->pw_uid, user->pw_gid) != 0)
            qFatal("cannot give the server's folder to the postgres user");
    }
    run({bin_ + QStringLiteral("initdb"), QStringLiteral("-D"),
         dir_.filePath(QStringLiteral("data")), QStringLiteral("-U"), QStringLiteral("pelmar"),
         QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
         QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")});
    // Loopback only; one role must give a password, every other is trusted.
    QFile hba(dir_.filePath(QStringLiteral("data/pg_hba.conf")));
    if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write pg_hba.conf");
    hba.write(QStringLiteral("host all %1 127.0.0.1/32 scram-sha-256\n"
                             "host all all 127.0.0.1/32 trust\n")
                  .arg(QLatin1String(kPasswordRole))
                  .toUtf8());
    hba.close();
    start();
    watch();
    exec(QStringLiteral("postgres"),
         QStringLiteral("CREATE ROLE %1 LOGIN SUPERUSER PASSWORD 'secret'")
             .arg(QLatin1String(kPasswordRole)));
}

TestServer::~TestServer() {
    stop();
}

namespace {

// The command as the server's user runs it: as root through runuser.
QStringList asServerUser(const QStringList& command) {
    if (::geteuid() != 0)
        return command;
    return QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"),
                       QStringLiteral("--")} +
           command;
}

}  // namespace

void TestServer::watch() const {
    // A test process that aborts runs no destructor: a watcher of its own stops the
    // server and removes its folder once the process is gone.
    QStringList command = asServerUser(
        {QStringLiteral("sh"), QStringLiteral("-c"),
         QStringLiteral(
             "while [ -d /proc/$0 ]; do sleep 1; done; "
             "\"$1pg_ctl\" -D \"$2/data\" -m immediate stop >/dev/null 2>&1; rm -rf \"$2\""),
         QString::number(QCoreApplication::applicationPid()), bin_, dir_.path()});
    const QString program = command.takeFirst();
    if (!QProcess::startDetached(program, command))
        qFatal("cannot start the server's watcher");
}

void TestServer::run(const QStringList& command) const {
    QStringList arguments = asServerUser(command);
    const QString program = arguments.takeFirst();
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(command.first()), process.readAll().constData());
}

void TestServer::start() {
    run({bin_ + QStringLiteral("pg_ctl"), QStringLiteral("-D"),
         dir_.filePath(QStringLiteral("data")), QStringLiteral("-l"),
         dir_.filePath(QStringLiteral("log")), QStringLiteral("-w"), QStringLiteral("-o"),
         QStringLiteral("-p %1 -c listen_addresses=127.0.0.1 -c unix_socket_directories='' "
                        "-c fsync=off -c full_page_writes=off -c max_connections=40")
             .arg(port_),
         QStringLiteral("start")});
    running_ = true;
}

QString TestServer::restartCommand() const {
    return asServerUser({bin_ + QStringLiteral("pg_ctl"), QStringLiteral("-D"), dataDir(),
                         QStringLiteral("-l"), dir_.filePath(QStringLiteral("log")),
                         QStringLiteral("-w"), QStringLiteral("restart")})
        .join(QLatin1Char(' '));
}

void TestServer::stop() {
    if (!running_)
        return;
    running_ = false;
    run({bin_ + QStringLiteral("pg_ctl"), QStringLiteral("-D"),
         dir_.filePath(QStringLiteral("data")), QStringLiteral("-m"), QStringLiteral("fast"),
         QStringLiteral("-w"), QStringLiteral("stop")});
}

QString TestServer::conninfo(const QString& database, const QString& role) const {
    return QStringLiteral("host=127.0.0.1 port=%1 dbname=%2 user=%3")
        .arg(port_)
        .arg(database, role.isEmpty() ? QStringLiteral("pelmar") : role);
}

void TestServer::exec(const QString& database, const QString& statements) const {
    try {
        db::Connection connection;
        connection.openServer(conninfo(database));
        connection.execute(statements);
    } catch (const db::DbError& error) {
        qFatal("%s", qPrintable(error.text()));
    }
}

QString TestServer::newDatabase() {
    const QString name = QStringLiteral("case%1").arg(++databases_);
    exec(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE ") + name);
    return conninfo(name);
}
