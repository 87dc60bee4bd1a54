// The publication name editor: a name keyed editor that keeps each name's state
// in Combo1, filled from the State table.
#include <QTest>

#include "lookupsession.h"
#include "support/testserver.h"

using shell::Answer;
using shell::Icon;

namespace {

enum { Clear, Update, Delete, End };

const QString kSelectAll = QStringLiteral("Select * From PubName;");

void seedStates(const TestFolder& folder, const QStringList& states) {
    for (const QString& state : states)
        folder.exec(QStringLiteral("insert into State values ('%1')").arg(state));
}

QList<QStringList> oneRow(const QString& name, const QString& state) {
    return {{name, state}};
}

// A name typed, a state typed as it is (the state field keeps its letters), "&Update".
void updateWith(LookupSession& session, const QString& name, const QString& state) {
    session.type(name);
    session.typeInto(session.combo1(), state);
    QCOMPARE(session.combo1()->currentText(), state);
    session.click(Update);
}

QStringList comboItems(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

}  // namespace

class TestLookupPubName : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadFillsStateList_data();
    void loadFillsStateList();
    void insertByKeyboard();
    void enterLoadsNameAndState();
    void changingTheState();
    void updateTakesColumnNamesFromTable();
    void emptyStateWarnsAndStores();
    void blankNameIsRefused_data();
    void blankNameIsRefused();
    void stateKeepsItsCase();
    void listedStateTypedInLowerCaseStaysSo();
    void clearEmptiesBoth();
    void doubleClickLoadsBoth();
    void quotesInNameAndState();
    void stateListIsReadAtLoad();
};

void TestLookupPubName::loadFillsStateList_data() {
    QTest::addColumn<QStringList>("states");
    QTest::newRow("states") << QStringList{"VIC", "NSW", "QLD"};
    QTest::newRow("no state") << QStringList();
}

void TestLookupPubName::loadFillsStateList() {
    QFETCH(QStringList, states);
    TestFolder folder;
    seedStates(folder, states);
    folder.exec("insert into PubName values ('  HERALD ', 'VIC')");
    LookupSession session(folder, "nPubName", "PubName");

    QCOMPARE(comboItems(session.combo1()), states);
    QCOMPARE(session.combo1()->currentIndex(), -1);
    QVERIFY(session.combo1()->currentText().isEmpty());
    QCOMPARE(session.listed(), QStringList{"HERALD"});
    QCOMPARE(session.label("Label3")->text(), "Total Entries : 1");
}

void TestLookupPubName::insertByKeyboard() {
    TestFolder folder;
    seedStates(folder, {"NSW", "VIC"});
    LookupSession session(folder, "nPubName", "PubName");
    session.type("herald");
    session.pressEnter();
    QCOMPARE(session.focused(), "Combo1");
    QVERIFY(session.text1()->isEnabled());
    session.typeInto(session.combo1(), "VIC");
    session.pressEnter();
    QCOMPARE(session.focused(), "Command1(1)");
    session.takeStatements();
    session.pressEnter();

    QCOMPARE(session.takeStatements(),
             QStringList({"Select * from PubName where PubName='HERALD';",
                          "insert into PubName values ('HERALD','VIC');", kSelectAll}));
    QCOMPARE(session.messages().texts(), QStringList{"Rcord Successfully Inserted"});
    QCOMPARE(folder.rows(kSelectAll), oneRow("HERALD", "VIC"));
    QCOMPARE(session.focused(), "Command1(0)");
}

void TestLookupPubName::enterLoadsNameAndState() {
    TestFolder folder;
    folder.exec("insert into PubName values ('HERALD', 'VIC')");
    LookupSession session(folder, "nPubName", "PubName");
    session.type("her");
    QCOMPARE(session.selected(), "HERALD");
    session.pressEnter();

    QCOMPARE(session.text1()->text(), "HERALD");
    QVERIFY(!session.text1()->isEnabled());
    QCOMPARE(session.combo1()->currentText(), "VIC");
    QVERIFY(session.combo1()->isEnabled());
    QCOMPARE(session.focused(), "Combo1");
    QVERIFY(session.messages().shown().isEmpty());
}

void TestLookupPubName::changingTheState() {
    TestFolder folder;
    seedStates(folder, {"VIC", "NSW"});
    folder.exec("insert into PubName values ('HERALD', 'VIC')");
    LookupSession session(folder, "nPubName", "PubName");
    session.type("herald");
    session.pressEnter();
    session.combo1()->setCurrentIndex(1);
    session.takeStatements();
    session.click(Update);

    QCOMPARE(session.takeStatements(),
             QStringList({"Select * from PubName where PubName='HERALD';",
                          "Update PubName Set PubName='HERALD', PubState='NSW' Where "
                          "PubName='HERALD';",
                          kSelectAll}));
    QCOMPARE(session.messages().texts(), QStringList{"Rcord Successfully Updated"});
    QCOMPARE(folder.rows(kSelectAll), oneRow("HERALD", "NSW"));
}

void TestLookupPubName::updateTakesColumnNamesFromTable() {
    if (onServer())
        QSKIP("a table of another layout, made in the file");
    TestFolder folder;
    folder.exec("drop table PubName");
    folder.exec("create table PubName (PUBNAME TEXT, pubstate TEXT)");
    folder.exec("insert into PubName values ('HERALD', 'VIC')");
    LookupSession session(folder, "nPubName", "PubName");
    updateWith(session, "herald", "ACT");
    QVERIFY(session.takeStatements().contains(
        "Update PubName Set PUBNAME='HERALD', pubstate='ACT' Where PubName='HERALD';"));
    QCOMPARE(folder.rows(kSelectAll), oneRow("HERALD", "ACT"));
}

void TestLookupPubName::emptyStateWarnsAndStores() {
    TestFolder folder;
    LookupSession session(folder, "nPubName", "PubName");
    updateWith(session, "herald", "   ");

    QCOMPARE(session.messages().texts(),
             QStringList({"Invalid Entry", "Rcord Successfully Inserted"}));
    QCOMPARE(session.messages().shown().first().icon, Icon::Information);
    QCOMPARE(folder.rows(kSelectAll), oneRow("HERALD", ""));

    session.click(Update);
    QCOMPARE(session.messages().texts().mid(2),
             QStringList({"Invalid Entry", "Rcord Successfully Updated"}));
}

void TestLookupPubName::blankNameIsRefused_data() {
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("message");
    QTest::newRow("Update") << false << "Division Name cannot be Empty";
    QTest::newRow("Enter") << true << "Office Name Cannot Empty";
}

void TestLookupPubName::blankNameIsRefused() {
    QFETCH(bool, byEnter);
    QFETCH(QString, message);
    TestFolder folder;
    LookupSession session(folder, "nPubName", "PubName");
    session.typeInto(session.combo1(), "VIC");
    session.type("  ");
    if (byEnter)
        session.pressEnter(session.text1());
    else
        session.click(Update);
    QCOMPARE(session.messages().texts(), QStringList{message});
    QCOMPARE(session.messages().last().icon, Icon::Exclamation);
    QCOMPARE(session.focused(), "Text1(0)");
    QVERIFY(session.takeStatements().isEmpty());
}

void TestLookupPubName::stateKeepsItsCase() {
    TestFolder folder;
    LookupSession session(folder, "nPubName", "PubName");
    updateWith(session, "herald", " nsw ");
    QCOMPARE(folder.rows(kSelectAll), oneRow("HERALD", "nsw"));
}

void TestLookupPubName::listedStateTypedInLowerCaseStaysSo() {
    // The state field completes nothing: "vic" over a listed VIC is stored as typed.
    TestFolder folder;
    seedStates(folder, {"VIC"});
    LookupSession session(folder, "nPubName", "PubName");
    session.type("herald");
    session.typeInto(session.combo1(), "vic");
    session.pressEnter(session.combo1());
    QCOMPARE(session.focused(), "Command1(1)");
    session.click(Update);
    QCOMPARE(folder.rows(kSelectAll), oneRow("HERALD", "vic"));
}

void TestLookupPubName::clearEmptiesBoth() {
    TestFolder folder;
    seedStates(folder, {"VIC"});
    folder.exec("insert into PubName values ('HERALD', 'VIC')");
    LookupSession session(folder, "nPubName", "PubName");
    session.type("herald");
    session.pressEnter();
    session.click(Clear);
    QVERIFY(session.text1()->text().isEmpty());
    QVERIFY(session.text1()->isEnabled());
    QVERIFY(session.combo1()->currentText().isEmpty());
    QCOMPARE(session.combo1()->currentIndex(), -1);
    QCOMPARE(session.focused(), "Text1(0)");
}

void TestLookupPubName::doubleClickLoadsBoth() {
    TestFolder folder;
    folder.exec("insert into PubName values ('HERALD', 'VIC')");
    folder.exec("insert into PubName values ('AGE', 'NSW')");
    LookupSession session(folder, "nPubName", "PubName");
    session.doubleClick(1);
    QCOMPARE(session.text1()->text(), "AGE");
    QCOMPARE(session.combo1()->currentText(), "NSW");
    QVERIFY(!session.text1()->isEnabled());
    QCOMPARE(session.focused(), "Combo1");
}

void TestLookupPubName::quotesInNameAndState() {
    TestFolder folder;
    LookupSession session(folder, "nPubName", "PubName");
    updateWith(session, "o'neil", "L'EST");
    QVERIFY(session.takeStatements().contains("insert into PubName values ('O''NEIL','L''EST');"));
    QCOMPARE(folder.rows(kSelectAll), oneRow("O'NEIL", "L'EST"));

    session.click(Clear);
    session.type("o'n");
    session.pressEnter();
    QCOMPARE(session.combo1()->currentText(), "L'EST");
    session.messages().answer({Answer::Yes});
    session.click(Delete);
    QCOMPARE(session.messages().last().text, "Record Successfully Deleted");
    QCOMPARE(folder.rows(kSelectAll), QList<QStringList>());
}

void TestLookupPubName::stateListIsReadAtLoad() {
    // A state added in the state editor shows here once this window is loaded again.
    TestFolder folder;
    LookupSession session(folder, "nPubName", "PubName");
    session.open("nState", "State");
    session.type("act");
    session.click(Update);
    QCOMPARE(session.messages().last().text, "Rcord Successfully Inserted");

    session.open("nPubName", "PubName");
    QCOMPARE(comboItems(session.combo1()), QStringList());
    QTest::mouseClick(session.button(End), Qt::LeftButton);
    QTRY_VERIFY(!session.isOpen());
    session.open("nPubName", "PubName");
    QCOMPARE(comboItems(session.combo1()), QStringList{"ACT"});
}

QTEST_MAIN(TestLookupPubName)
#include "lookuppubname.moc"
