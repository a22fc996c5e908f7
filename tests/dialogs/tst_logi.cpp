#include "dialogs/tflogi.h"
#include "storage/clock.h"
#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QtTest>

namespace {

QList<QStringList> shownRows(const TFLogi &dialog) {
    QList<QStringList> rows;
    for (int i = 0; i < dialog.LogsListView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = dialog.LogsListView->topLevelItem(i);
        rows << QStringList{item->text(0), item->text(1), item->text(2)};
    }
    return rows;
}

void reshow(TFLogi &dialog) {
    dialog.hide();
    dialog.show();
}

} // namespace

// The log viewer over the log of a fresh program folder, and sending the log
// through a stand-in xdg-email placed first on PATH.
class TestLogi : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showsEveryEntryOnceInWritingOrder();
    void noLogFileGivesAnEmptyList();
    void logWithoutItsTableIsReportedInTheLog();
    void longValuesAreCut();
    void dialogShapeAndKeys();
    void send_data();
    void send();

private:
    QString logFile() const { return m_env->programFile(QStringLiteral("logs.sqdb")); }

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TFLogi> m_dialog;
};

void TestLogi::init() {
    m_env = std::make_unique<TestEnv>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_dialog = std::make_unique<TFLogi>();
    setClockForTests([] { return QDateTime(QDate(2014, 3, 7), QTime(9, 5, 3), Qt::UTC); });
}

void TestLogi::cleanup() {
    setClockForTests({});
    m_dialog.reset();
    m_prompts.reset();
    m_env.reset();
}

void TestLogi::showsEveryEntryOnceInWritingOrder() {
    vFunWriteLog(QStringLiteral("Sql exception: SQLITE_BUSY"),
                 QStringLiteral("bFunSaveCertData()"));
    vFunWriteLog(QString::fromUtf8("Błąd podczas próby zapisu.\nDysk jest pełny.\n\nKod: 28"),
                 QStringLiteral("bFunCopyFile()"));
    vFunWriteLog(QString::fromUtf8("Brak pliku 'szablony.sqset'"),
                 QStringLiteral("bFunImportDataFromFile"));
    const QList<QStringList> expected{
        {"2014.3.7 9:5:3", "bFunSaveCertData()", "Sql exception: SQLITE_BUSY"},
        {"2014.3.7 9:5:3", "bFunCopyFile()",
         QString::fromUtf8("Błąd podczas próby zapisu.\nDysk jest pełny.\n\nKod: 28")},
        {"2014.3.7 9:5:3", "bFunImportDataFromFile",
         QString::fromUtf8("Brak pliku 'szablony.sqset'")}};

    m_dialog->show();
    QCOMPARE(shownRows(*m_dialog), expected);
    reshow(*m_dialog);
    QCOMPARE(shownRows(*m_dialog), expected);
    // Each showing reads the log afresh.
    vFunWriteLog(QStringLiteral("czwarty"), QStringLiteral("bFunFourth()"));
    reshow(*m_dialog);
    QCOMPARE(shownRows(*m_dialog).size(), 4);
    QCOMPARE(shownRows(*m_dialog).constLast().value(1), QStringLiteral("bFunFourth()"));
    QVERIFY(m_prompts->asked.isEmpty());
}

void TestLogi::noLogFileGivesAnEmptyList() {
    vFunWriteLog(QStringLiteral("x"), QStringLiteral("bFunX()"));
    m_dialog->show();
    QCOMPARE(m_dialog->LogsListView->topLevelItemCount(), 1);
    QVERIFY(QFile::remove(logFile()));
    reshow(*m_dialog);
    QCOMPARE(m_dialog->LogsListView->topLevelItemCount(), 0);
    QVERIFY(!QFileInfo::exists(logFile()));
    QVERIFY(m_prompts->asked.isEmpty());
}

void TestLogi::logWithoutItsTableIsReportedInTheLog() {
    QDir().mkpath(m_env->programDir());
    {
        CppSQLite3DB db;
        db.Open(logFile());
        db.Execute(
            QStringLiteral("create table `other`( a TEXT ); insert into `other` values('b');"));
    }
    m_dialog->show();
    QCOMPARE(m_dialog->LogsListView->topLevelItemCount(), 0);
    QVERIFY(m_prompts->asked.isEmpty());
    // The failure made its own entry, so the next showing lists it.
    reshow(*m_dialog);
    QCOMPARE(shownRows(*m_dialog), (QList<QStringList>{{"2014.3.7 9:5:3", "bFunSqlGetLogsData()",
                                                        "Sql exception: SQLITE_ERROR"}}));
    QCOMPARE(rawColumn(logFile(), "select a from `other`"), QByteArrayList{"b"});
}

void TestLogi::longValuesAreCut() {
    QDir().mkpath(m_env->programDir());
    const QString longInfo = QString(3000, QLatin1Char('i'));
    {
        CppSQLite3DB db;
        db.Open(logFile());
        db.Execute(QStringLiteral("create table `error`( datetime TEXT, fun TEXT, info TEXT );"
                                  "insert into `error` values( '2014.12.31 23:59:59 UTC+01:00', "
                                  "'%1', '%2' );"
                                  "insert into `error` values( NULL, NULL, NULL );")
                       .arg(QString(60, QLatin1Char('f')), longInfo));
    }
    m_dialog->show();
    QCOMPARE(shownRows(*m_dialog),
             (QList<QStringList>{{"2014.12.31 23:59:59", QString(51, QLatin1Char('f')), longInfo},
                                 {"", "", ""}}));
}

void TestLogi::dialogShapeAndKeys() {
    m_dialog->show();
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Logi programu"));
    QCOMPARE(m_dialog->size(), QSize(799, 450));
    QCOMPARE(m_dialog->minimumSize(), m_dialog->maximumSize());
    QVERIFY(!(m_dialog->windowFlags() & Qt::WindowCloseButtonHint));
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        // Centred up to the window frame.
        const QPoint offset = m_dialog->geometry().center() - screen->availableGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 8,
                 qPrintable(QString::number(offset.manhattanLength())));
    }
    QTreeWidget *list = m_dialog->LogsListView;
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("Data / czas"));
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("Funkcja"));
    QCOMPARE(list->headerItem()->text(2), QStringLiteral("Informacja"));
    QCOMPARE(list->columnWidth(0), 100);
    QCOMPARE(list->columnWidth(1), 120);
    QCOMPARE(list->columnWidth(2), 550);
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(m_dialog->Panel1->height(), 41);
    QCOMPARE(m_dialog->Panel1->geometry().bottom(), m_dialog->rect().bottom());
    QVERIFY(m_dialog->BitBtn2->x() < m_dialog->BitBtn1->x());
    QCOMPARE(m_dialog->BitBtn2->text(), QString::fromUtf8("Wyślij plik z logami"));
    // Return answers OK; Escape closes as well.
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!m_dialog->isVisible());
    m_dialog->show();
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!m_dialog->isVisible());
}

void TestLogi::send_data() {
    QTest::addColumn<bool>("logExists");
    QTest::addColumn<int>("exitCode"); // -1: no xdg-email anywhere on PATH
    QTest::addColumn<bool>("failed");
    QTest::newRow("log attached") << true << 0 << false;
    QTest::newRow("no log file: sent without it") << false << 0 << false;
    QTest::newRow("mail program fails") << true << 4 << true;
    QTest::newRow("no xdg-email") << true << -1 << true;
}

void TestLogi::send() {
#ifdef Q_OS_WIN
    QSKIP("the mail goes to a stand-in xdg-email (a shell script); Simple MAPI has no stand-in");
#endif
    QFETCH(bool, logExists);
    QFETCH(int, exitCode);
    QFETCH(bool, failed);
    if (logExists)
        vFunWriteLog(QStringLiteral("x"), QStringLiteral("bFunX()"));
    StandInTools tools;
    const QString args = tools.filePath(QStringLiteral("args"));
    if (exitCode >= 0)
        tools.add(QStringLiteral("xdg-email"),
                  QStringLiteral("printf '%s\\0' \"$@\" > '%1'\nexit %2\n")
                      .arg(args)
                      .arg(exitCode)
                      .toUtf8());
    else
        tools.hideTheSystemCommands();

    m_dialog->show();
    QTest::mouseClick(m_dialog->BitBtn2, Qt::LeftButton);
    QVERIFY(m_dialog->isVisible());
    QVERIFY(m_dialog->BitBtn2->isEnabled());

    if (exitCode >= 0) {
        QStringList expected{"--subject", "Logi", "--body",
                             QStringLiteral("Logi programu Veltra-Korvel\n\nPlik z logami: ") +
                                 logFile()};
        if (logExists)
            expected << "--attach" << logFile();
        expected << "pomoc@veltra-br5.pl";
        QStringList got = QString::fromUtf8(readFile(args)).split(QLatin1Char('\0'));
        got.removeLast();
        QCOMPARE(got, expected);
    }
    if (!failed) {
        QVERIFY(m_prompts->asked.isEmpty());
        return;
    }
    QCOMPARE(m_prompts->asked.size(), 1);
    QCOMPARE(m_prompts->asked[0].caption, QString::fromUtf8("Błąd"));
    QCOMPARE(m_prompts->asked[0].icon, Prompts::Icon::Error);
    QVERIFY(m_prompts->asked[0].text.startsWith(
        QString::fromUtf8("Błąd podczas próby wysłania maila\n\n")));
    QVERIFY(m_prompts->asked[0].text.contains(logFile()));
}

QTEST_MAIN(TestLogi)
#include "tst_logi.moc"
