#include <QTest>

class TestShell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() {}
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
