#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of the test process's own, on loopback at a free port in a
// temporary folder, started on first use and stopped when the process ends. initdb
// refuses root: as root the server runs as the system's postgres user.
class TestServer {
public:
    static TestServer& instance();
    ~TestServer();

    // A fresh, empty database; its libpq connection text for the superuser.
    QString newDatabase();
    // The connection text of a database for a role ("" for the superuser).
    QString conninfo(const QString& database, const QString& role = {}) const;
    // Runs statements as the superuser in a database; fails the process on error.
    void exec(const QString& database, const QString& statements) const;

    // Stops and starts the server in the middle of a session.
    void stop();
    void start();

    // What a set-up written for Debian's own cluster needs instead of it: the
    // server's data folder (its configuration files), its port, the folder of its
    // programs, and a shell command that restarts it as its user, with the options
    // it was started with and the configuration files read afresh.
    QString dataDir() const { return dir_.filePath(QStringLiteral("data")); }
    int port() const { return port_; }
    const QString& binDir() const { return bin_; }
    QString restartCommand() const;

    // The role that must give a password (scram), never found by libpq on its own.
    static constexpr const char* kPasswordRole = "desk";

private:
    TestServer();
    void run(const QStringList& command) const;
    void watch() const;

    QTemporaryDir dir_;
    QString bin_;
    int port_ = 0;
    int databases_ = 0;
    bool running_ = false;
};

// Whether this test program runs on the server (PELMAR_TEST_ENGINE=server, set by
// ctest for the server variants) instead of on an embedded file.
bool onServer();
