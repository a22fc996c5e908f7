#include "apptest.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

// Every input of every window has a name a screen reader reads out: the
// caption the printed form gives it, or its own words.
class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyInputIsNamed();
    void fieldsAreNamedAfterTheirCaptions_data();
    void fieldsAreNamedAfterTheirCaptions();

private:
    std::unique_ptr<AppFixture> f;
};

namespace {

bool isInput(QWidget *w, QWidget *window) {
    // Qt's own parts: a combo box's list, a tree's header.
    if (w->objectName().startsWith(QLatin1String("qt_")) || w->window() != window ||
        qobject_cast<QHeaderView *>(w))
        return false;
    // A combo box's own line edit speaks for the combo box.
    if (qobject_cast<QLineEdit *>(w) && qobject_cast<QComboBox *>(w->parentWidget()))
        return false;
    return qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) ||
           qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w) ||
           qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QAbstractItemView *>(w) ||
           qobject_cast<QAbstractButton *>(w);
}

QString spokenName(QWidget *w) {
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name).trimmed() : QString();
}

QWidget *field(AppFixture &f, const QString &window, const QString &name) {
    for (QWidget *w : f.windows.all) {
        if (w->objectName() == window)
            return w->findChild<QWidget *>(name);
    }
    return nullptr;
}

} // namespace

void TestAccessibility::init() {
    f = std::make_unique<AppFixture>();
    QVERIFY(f->start()->StartUpChecks());
    f->prompts.clear();
}

void TestAccessibility::cleanup() {
    f.reset();
}

void TestAccessibility::everyInputIsNamed() {
    QStringList unnamed;
    int inputs = 0;
    for (QWidget *window : f->windows.all) {
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (!isInput(w, window))
                continue;
            ++inputs;
            if (spokenName(w).isEmpty())
                unnamed << window->objectName() + QLatin1Char('/') + w->objectName() +
                               QLatin1Char(' ') + QString::fromLatin1(w->metaObject()->className());
        }
    }
    QVERIFY2(unnamed.isEmpty(),
             qPrintable(QStringLiteral("%1 unnamed:\n").arg(unnamed.size()) + unnamed.join('\n')));
    QVERIFY(inputs > 300);
}

void TestAccessibility::fieldsAreNamedAfterTheirCaptions_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("name");
    QTest::newRow("PESEL box") << "TFArkuszStr1Kl1"
                               << "ZMIENNA_Pesel3_DATA_EDIT"
                               << "numer PESEL, pole 3";
    QTest::newRow("ending") << "TFArkuszStr1Kl1"
                            << "ZMIENNA_UrodzonyA_DATA_EDIT"
                            << QString::fromUtf8("końcówka słowa Urodzon");
    QTest::newRow("value after a word") << "TFArkuszStr1Kl1"
                                        << "ZMIENNA_UrodzonyDnia_DATA_EDIT"
                                        << "dnia";
    QTest::newRow("memo") << "TFArkuszStr2Kl1"
                          << "ZMIENNA_Zachowanie_DATA_MEMO"
                          << "Zachowanie";
}

void TestAccessibility::fieldsAreNamedAfterTheirCaptions() {
    QFETCH(QString, window);
    QFETCH(QString, field);
    QFETCH(QString, name);
    QWidget *w = ::field(*f, window, field);
    QVERIFY(w);
    QCOMPARE(spokenName(w), name);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
