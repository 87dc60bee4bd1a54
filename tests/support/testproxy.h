#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;
class QWidget;

// A relay on loopback between the program and the test server, run by the test
// process's own event loop (which the program's waits for the server keep running).
// It passes what the program sends; what the server answers it passes, holds back as
// a stalled network or server would, or drops.
class TestProxy {
public:
    enum Mode { Pass, Hold, Drop };

    // Relays to the server that the connection text names.
    explicit TestProxy(const QString& conninfo);
    ~TestProxy();
    TestProxy(const TestProxy&) = delete;
    TestProxy& operator=(const TestProxy&) = delete;

    // The same connection text, through the relay.
    QString conninfo() const { return conninfo_; }

    // Pass delivers what was held back, and a close held back with it.
    void setMode(Mode mode);
    // Passes this many more bytes of answers, then holds.
    void holdAfter(qint64 bytes);
    // Closes every relayed connection at both ends.
    void closeAll();

private:
    struct Link {
        QTcpSocket* desk;
        QTcpSocket* server;
        QByteArray toDesk;    // answers held back
        QByteArray toServer;  // sent before the server's end was connected
        bool serverClosed = false;
    };
    void accept();
    void answer(Link& link, QByteArray bytes);
    void deliver(Link& link);
    void remove(QTcpSocket* desk);

    QTcpServer listener_;
    QString conninfo_;
    quint16 serverPort_ = 0;
    Mode mode_ = Pass;
    qint64 passLeft_ = -1;  // -1: no limit
    QList<Link*> links_;
};

// The program's box that says it waits for the server, while it shows.
QWidget* serverWaitBox();

// Plays the operator who, once the wait box shows, chooses its Cancel. The times
// count from the moment this was made.
class CancelWhenWaiting {
public:
    CancelWhenWaiting();
    bool cancelled() const { return shownAfterMs_ >= 0; }
    qint64 shownAfterMs() const { return shownAfterMs_; }
    // How long ago Cancel was chosen.
    qint64 sinceCancelMs() const { return since_.elapsed() - shownAfterMs_; }

private:
    QTimer timer_;
    QElapsedTimer since_;
    qint64 shownAfterMs_ = -1;
};
