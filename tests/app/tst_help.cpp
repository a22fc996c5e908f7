#include "apptest.h"
#include "dialogs/tfdrukuj.h"
#include "dialogs/tfdrukujklase.h"
#include "dialogs/tfkalibracja.h"
#include "dialogs/tfpomoc.h"
#include "dialogs/tfsprawdzklase.h"
#include "dialogs/tfuzupelnijklase.h"
#include "dialogs/tfwersje.h"
#include "support/noprinters.h"

#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

// The manual opens in a window of the program, with no web browser on the
// machine, at the section of the window in use.
class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void f1OpensTheSectionOfTheWindow_data();
    void f1OpensTheSectionOfTheWindow();
    void sectionsAndTheBrowser();

private:
    QWidget *window(const QString &name);
    std::unique_ptr<AppFixture> f;
};

void TestHelp::init() {
    f = std::make_unique<AppFixture>();
    QVERIFY(f->start()->StartUpChecks());
    f->prompts.clear();
    // No browser: the desktop refuses every page.
    f->prompts.externalOpens = false;
}

void TestHelp::cleanup() {
    f.reset();
}

QWidget *TestHelp::window(const QString &name) {
    if (name == "main")
        return f->g();
    if (name == "print")
        return f->windows.drukuj;
    if (name == "calibration")
        return f->windows.kalibracja;
    if (name == "versions") {
        auto *versions = f->g()->findChild<TFWersje *>();
        return versions ? versions : new TFWersje(f->g());
    }
    if (name == "fill")
        return new TFUzupelnijKlase(f->g());
    if (name == "check")
        return new TFSprawdzKlase(f->g());
    auto *choice = f->g()->findChild<TFDrukujKlase *>();
    return choice ? choice : new TFDrukujKlase(f->g());
}

void TestHelp::f1OpensTheSectionOfTheWindow_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("heading"); // the text at the top of the view
    QTest::newRow("main window") << "main"
                                 << "" << QString::fromUtf8("Świadectwa 1-3");
    QTest::newRow("print dialog") << "print" << kHelpPrinting << "Drukowanie";
    QTest::newRow("calibration editor")
        << "calibration" << kHelpFitting << "Dopasowanie wydruku do druku";
    QTest::newRow("whole class") << "class" << kHelpPrinting << "Drukowanie";
    QTest::newRow("earlier versions") << "versions" << kHelpVersions << "Poprzednie wersje pliku";
    QTest::newRow("whole-class fill")
        << "fill"
        << "uzupelnianie" << QString::fromUtf8("Uzupełnianie dla całej klasy");
    QTest::newRow("class check") << "check"
                                 << "sprawdzanie"
                                 << "Sprawdzanie klasy";
}

void TestHelp::f1OpensTheSectionOfTheWindow() {
    QFETCH(QString, window);
    QFETCH(QString, section);
    QFETCH(QString, heading);
    QWidget *w = this->window(window);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QString shown, top;
    bool listed = false;
    // Looks for the help window until it shows, then reads it and closes it.
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&, poll] {
        auto *help = qobject_cast<TFPomoc *>(QApplication::activeModalWidget());
        if (!help)
            return;
        poll->stop();
        poll->deleteLater();
        shown = help->section();
        // The first line of text the view shows.
        top = help->browser->cursorForPosition(QPoint(4, 4)).block().text();
        listed = help->contents->currentItem() &&
                 help->contents->currentItem()->data(Qt::UserRole).toString() == section;
        help->CloseButton->click();
    });
    poll->start(20);
    QTest::keyClick(w, Qt::Key_F1);
    QCOMPARE(shown, section);
    QVERIFY2(top.startsWith(heading), qPrintable(top));
    QVERIFY(listed);
    QVERIFY(f->prompts.opened.isEmpty()); // no browser was asked
    w->hide();
}

// Every section of the page is listed and reachable; "Otwórz w
// przeglądarce" hands the page at that section to the desktop, and without a
// browser says that the manual is here.
void TestHelp::sectionsAndTheBrowser() {
    TFPomoc help(f->g());
    help.show();
    QStringList ids;
    for (int i = 0; i < help.contents->count(); ++i)
        ids << help.contents->item(i)->data(Qt::UserRole).toString();
    QCOMPARE(ids, QStringList({"", "plik", "poprzednie-wersje", "uczniowie", "lista-uczniow",
                               "dokumenty", "uzupelnianie", "sprawdzanie", "drukowanie",
                               "dopasowanie", "dane"}));
    help.contents->setCurrentRow(int(ids.indexOf(QStringLiteral("dopasowanie"))));
    QCOMPARE(help.section(), QStringLiteral("dopasowanie"));
    QVERIFY(help.browser->verticalScrollBar()->value() > 0);
    help.BrowserButton->click();
    QCOMPARE(f->prompts.opened.size(), 1);
    QCOMPARE(f->prompts.opened[0].fragment(), QStringLiteral("dopasowanie"));
    QVERIFY(f->prompts.opened[0].toLocalFile().endsWith("/Swiadectwa.html"));
    QCOMPARE(f->prompts.messages().size(), 1);
    QVERIFY(f->prompts.messages()[0].contains(QString::fromUtf8("dostępna w tym oknie")));
}

SW_TEST_MAIN_WITHOUT_PRINTERS(TestHelp)

#include "tst_help.moc"
