#include <QTest>

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() {}
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
