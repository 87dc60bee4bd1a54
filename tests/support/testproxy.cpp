#include "testproxy.h"

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>

TestProxy::TestProxy(const QString& conninfo) {
    static const QRegularExpression port(QStringLiteral("port=(\\d+)"));
    serverPort_ = quint16(port.match(conninfo).captured(1).toUInt());
    if (!listener_.listen(QHostAddress::LocalHost))
        qFatal("the proxy cannot listen");
    conninfo_ =
        QString(conninfo).replace(port, QStringLiteral("port=%1").arg(listener_.serverPort()));
    QObject::connect(&listener_, &QTcpServer::newConnection, &listener_, [this] { accept(); });
}

TestProxy::~TestProxy() {
    closeAll();
}

void TestProxy::accept() {
    while (QTcpSocket* desk = listener_.nextPendingConnection()) {
        auto* link = new Link{desk, new QTcpSocket(desk), {}, {}};
        links_.append(link);
        QTcpSocket* server = link->server;
        QObject::connect(desk, &QTcpSocket::readyRead, desk, [link] {
            const QByteArray bytes = link->desk->readAll();
            if (link->server->state() == QAbstractSocket::ConnectedState)
                link->server->write(bytes);
            else
                link->toServer += bytes;
        });
        QObject::connect(server, &QTcpSocket::connected, desk,
                         [link] { link->server->write(std::exchange(link->toServer, {})); });
        QObject::connect(server, &QTcpSocket::readyRead, desk,
                         [this, link] { answer(*link, link->server->readAll()); });
        QObject::connect(server, &QTcpSocket::disconnected, desk, [this, link] {
            link->serverClosed = true;
            deliver(*link);
        });
        QObject::connect(desk, &QTcpSocket::disconnected, desk, [this, desk] { remove(desk); });
        server->connectToHost(QHostAddress::LocalHost, serverPort_);
    }
}

void TestProxy::answer(Link& link, QByteArray bytes) {
    if (mode_ == Drop)
        return;
    if (mode_ == Pass && passLeft_ >= 0) {
        const qint64 passed = std::min<qint64>(passLeft_, bytes.size());
        link.desk->write(bytes.left(passed));
        link.toDesk += bytes.mid(passed);
        passLeft_ -= passed;
        if (passLeft_ == 0)
            mode_ = Hold;
        return;
    }
    link.toDesk += bytes;
    deliver(link);
}

void TestProxy::deliver(Link& link) {
    if (mode_ != Pass)
        return;
    link.desk->write(std::exchange(link.toDesk, {}));
    if (link.serverClosed)
        link.desk->disconnectFromHost();
}

void TestProxy::setMode(Mode mode) {
    mode_ = mode;
    passLeft_ = -1;
    for (Link* link : QList<Link*>(links_))
        deliver(*link);
}

void TestProxy::holdAfter(qint64 bytes) {
    setMode(Pass);
    passLeft_ = bytes;
}

void TestProxy::remove(QTcpSocket* desk) {
    for (qsizetype i = 0; i < links_.size(); ++i) {
        if (links_.at(i)->desk != desk)
            continue;
        Link* link = links_.takeAt(i);
        link->server->abort();
        desk->deleteLater();
        delete link;
        return;
    }
}

void TestProxy::closeAll() {
    for (Link* link : std::exchange(links_, {})) {
        link->desk->disconnect();
        link->server->disconnect();
        link->server->abort();
        link->desk->abort();
        link->desk->deleteLater();
        delete link;
    }
}

QWidget* serverWaitBox() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("serverWait") && window->isVisible())
            return window;
    }
    return nullptr;
}

CancelWhenWaiting::CancelWhenWaiting() {
    since_.start();
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        QWidget* box = serverWaitBox();
        auto* cancel = box ? box->findChild<QPushButton*>() : nullptr;
        if (!cancel)
            return;
        timer_.stop();
        shownAfterMs_ = since_.elapsed();
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    timer_.start();
}
