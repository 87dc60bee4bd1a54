#include <QTest>

class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(TestDb)
#include "test_db.moc"
