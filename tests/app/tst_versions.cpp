#include "apptest.h"
#include "dialogs/tfwersje.h"

#include <QAccessible>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// "Plik › Poprzednie wersje…" from the main window: the versions a save kept,
// opened as the unsaved work of the same file, by keyboard as by mouse.
class TestVersions : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keyboardOpensAVersionAsUnsavedWork();
    void escapeAndCancelChangeNothing();
    void withoutVersionsSaysSo_data();
    void withoutVersionsSaysSo();

private:
    QString classFile() const { return m_files.filePath(QStringLiteral("3a.sqbr5")); }
    void addPupil(int n);
    // Opens the versions through the menu by keyboard (Alt+P, W); while the
    // window is up, `inside` runs on it, then it is closed if still open.
    void openVersionsByKeyboard(const std::function<void(TFWersje *)> &inside);

    std::unique_ptr<AppFixture> f;
    QTemporaryDir m_files;
};

void TestVersions::init() {
    f = std::make_unique<AppFixture>();
    QVERIFY(f->start()->StartUpChecks());
    makeClassFile(classFile(),
                  {{"14210512349", "Żak", "Ala", "K"}, {"13252806563", "Bąk", "Ola", "K"}});
    f->g()->openCommandLineDocument(classFile());
    QCOMPARE(f->g()->students().size(), 2);
    f->g()->show();
    f->g()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f->g()));
    f->prompts.clear();
}

void TestVersions::cleanup() {
    f->g()->CloseWithoutAsking = true;
    f.reset();
}

void TestVersions::addPupil(int n) {
    const QString pesel = QStringLiteral("1421051%1").arg(n, 4, 10, QLatin1Char('0'));
    QVERIFY(
        f->g()
            ->session()
            .savePupil(QStringLiteral("PESEL") + pesel,
                       {{QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"),
                         QStringLiteral("Nowak%1").arg(n)},
                        {QStringLiteral("DANE UCZNIA"), QStringLiteral("Imie_DATA_EDIT"),
                         QStringLiteral("Jan")},
                        {QStringLiteral("DANE UCZNIA"), QStringLiteral("Pesel_DATA_EDIT"), pesel}})
            .ok);
}

void TestVersions::openVersionsByKeyboard(const std::function<void(TFWersje *)> &inside) {
    bool seen = false;
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&, poll] {
        auto *dialog = qobject_cast<TFWersje *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        seen = true;
        inside(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll->start(20);
    f->g()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f->g()));
    QTest::keyClick(f->g(), Qt::Key_P, Qt::AltModifier);
    auto *menu = f->g()->findChild<QMenu *>(QStringLiteral("Plik1"));
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_W);
    if (!seen) {
        poll->stop();
        poll->deleteLater();
    }
}

void TestVersions::keyboardOpensAVersionAsUnsavedWork() {
    addPupil(3);
    f->g()->Zapisz1Click();
    QVERIFY(!f->g()->DataChanged);
    addPupil(4);
    QVERIFY(f->g()->DataChanged);
    // The save question comes first, as for "Otwórz plik": "Tak" saves.
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    QStringList rows;
    bool treeHasFocus = false;
    QStringList unnamed;
    openVersionsByKeyboard([&](TFWersje *d) {
        for (int i = 0; i < d->WersjeTreeWidget->topLevelItemCount(); ++i)
            rows << d->WersjeTreeWidget->topLevelItem(i)->text(1);
        treeHasFocus = d->focusWidget() == d->WersjeTreeWidget;
        for (QWidget *w : d->findChildren<QWidget *>()) {
            // Qt's own parts (the list's header) are named by Qt.
            if (w->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<QHeaderView *>(w))
                continue;
            if (qobject_cast<QAbstractItemView *>(w) || qobject_cast<QAbstractButton *>(w)) {
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
                if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
                    unnamed << w->objectName();
            }
        }
        // The oldest: down once from the newest, then Return.
        QTest::keyClick(d->WersjeTreeWidget, Qt::Key_Down);
        QTest::keyClick(d->WersjeTreeWidget, Qt::Key_Return);
    });
    QCOMPARE(f->prompts.messages().size(), 1);
    QCOMPARE(rows, (QStringList{"3", "2"})); // pupils, newest first
    QVERIFY(treeHasFocus);
    QCOMPARE(unnamed, QStringList());
    QCOMPARE(pupilTables(classFile()).size(), 4); // saved by the answer "Tak"

    // The oldest version is the open class, unsaved, of the same file.
    QCOMPARE(f->g()->students().size(), 2);
    QVERIFY(f->g()->DataChanged);
    QVERIFY(f->g()->isWindowModified());
    QCOMPARE(f->g()->documentPath(), QFileInfo(classFile()).absoluteFilePath());
    QCOMPARE(pupilTables(classFile()).size(), 4);

    // "Zapisz" makes it the file's content and keeps the one it replaces.
    f->g()->Zapisz1Click();
    QVERIFY(!f->g()->DataChanged);
    QCOMPARE(pupilTables(classFile()).size(), 2);
    const QList<ClassVersion> versions = f->g()->session().versions();
    QCOMPARE(versions.size(), 3);
    QCOMPARE(versions.first().pupils, 4);
}

void TestVersions::escapeAndCancelChangeNothing() {
    addPupil(3);
    f->g()->Zapisz1Click();
    const QByteArray saved = readFile(classFile());
    // Escape closes the list: nothing changes.
    bool rejected = false;
    openVersionsByKeyboard([&](TFWersje *d) {
        QTest::keyClick(d->WersjeTreeWidget, Qt::Key_Escape);
        rejected = !d->isVisible() && d->result() == QDialog::Rejected;
    });
    QVERIFY(rejected);
    QCOMPARE(f->g()->students().size(), 3);
    QVERIFY(!f->g()->DataChanged);

    // "Anuluj" to the save question keeps the unsaved work, and no list shows.
    addPupil(4);
    f->prompts.clear();
    f->prompts.answers.enqueue(Prompts::Answer::Cancel);
    bool listed = false;
    openVersionsByKeyboard([&](TFWersje *) { listed = true; });
    QVERIFY(!listed);
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->g()->students().size(), 4);
    QVERIFY(f->g()->DataChanged);
    QCOMPARE(readFile(classFile()), saved);

    // The mouse road: "Anuluj" clicked.
    f->prompts.answers.enqueue(Prompts::Answer::No);
    openVersionsByKeyboard([&](TFWersje *d) { d->AnulujButton->click(); });
    QCOMPARE(f->g()->students().size(), 4);
    QVERIFY(f->g()->DataChanged);
}

void TestVersions::withoutVersionsSaysSo_data() {
    QTest::addColumn<bool>("newClass");
    QTest::addColumn<QString>("says");
    QTest::newRow("file never saved over") << false << "nie ma jeszcze poprzednich wersji";
    QTest::newRow("class without a file") << true << "nie jest jeszcze zapisana w pliku";
}

void TestVersions::withoutVersionsSaysSo() {
    QFETCH(bool, newClass);
    QFETCH(QString, says);
    if (newClass)
        f->g()->NowyPlikToolButtonClick();
    bool listed = false;
    openVersionsByKeyboard([&](TFWersje *) { listed = true; });
    QVERIFY(!listed);
    const QStringList texts = f->prompts.messages();
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts.first().contains(says), qPrintable(texts.first()));
}

QTEST_MAIN(TestVersions)
#include "tst_versions.moc"
