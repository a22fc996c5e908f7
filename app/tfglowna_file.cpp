// Start-up, closing, and the class file commands of the main window.
#include "app/tfglowna.h"

#include "app/version.h"
#include "document/classfile.h"
#include "document/prompts.h"
#include "document/templatestore.h"
#include "editors/tfdaneucznia.h"
#include "maintenance/filecheck.h"
#include "storage/damaged.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QTreeWidget>

#include <cerrno>

namespace {

bool fileExists(const QString &path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

bool TFGlowna::StartUpChecks() {
    // One window runs per user (the start-up lock): copies of pupil data left
    // by runs that were killed midway are nobody's now. The staged copy goes
    // before anything can open a class; the folders of other runs once the
    // window is up, since listing the temporary folder would hold up its
    // first paint.
    vFunRemoveStagedCopy();
    QTimer::singleShot(250, this, [] { iFunRemoveStaleRunTemporaries(); });
    if (!bFunCheckFilesDir(m_msg)) {
        showMessage(
            this, QStringLiteral("Błąd"),
            QString::fromUtf8("Błąd podczas próby sprawdzenia wymaganych plików / katalogów.\n\n") +
                m_msg,
            Prompts::Icon::Error);
        CloseWithoutAsking = true;
        close();
        return false;
    }
    // A damaged settings, calibration or template file would fail every
    // start or every preview: it is moved aside and replaced, once.
    QStringList notices;
    const struct {
        const char *name;
        bool shipped;
    } dataFiles[] = {{kSettingsFileName, true}, {kCalibFileName, true}, {kTemplateFileName, false}};
    for (const auto &file : dataFiles) {
        QString notice;
        if (bFunRepairDamagedFile(m_msg, QString::fromLatin1(file.name), file.shipped, notice))
            notices << notice;
    }
    if (!notices.isEmpty())
        showMessage(this, QStringLiteral("Uwaga"), notices.join(QStringLiteral("\n\n")),
                    Prompts::Icon::Warning);
    m_caption =
        QString::fromUtf8("Drukowanie świadectw dla Szkoły Podstawowej klasy 1-3, wersja: %1.%2.%3")
            .arg(kVersionMajor)
            .arg(kVersionMinor)
            .arg(kVersionBuild);
    updateWindowTitle();

    // Every setting the start needs, through one opening of the file.
    const struct {
        const char *key;
        QCheckBox *box;
        void (TFGlowna::*click)();
    } options[] = {
        {"strike_empty_fields", WykreskujPusteCheckBox, &TFGlowna::WykreskujPusteCheckBoxClick},
        {"print_without_dots", PrintNoDotsCheckBox, &TFGlowna::PrintNoDotsCheckBoxClick},
        {"word_wrap", cbWordWrap, &TFGlowna::cbWordWrapClick}};
    QStringList keys{QStringLiteral("import_alert"), QStringLiteral("preview_zoom_mode"),
                     QStringLiteral("preview_zoom"), QString::fromLatin1(kSpellCheckOffKey)};
    for (const auto &o : options)
        keys << QString::fromLatin1(o.key);
    QHash<QString, int> values;
    if (!SettingsStore::inProgramFolder().readInts(m_msg, keys, values)) {
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby odczytania ustawień.\n\n") + m_msg,
                    Prompts::Icon::Error);
        CloseWithoutAsking = true;
        close();
        return false;
    }
    if (values.value(QStringLiteral("import_alert")) != 0) {
        showMessage(this, QString(),
                    QString::fromUtf8(
                        "UWAGA !!!\n\nNastąpiła zmiana w plikach przechowujących dane. Stare pliki "
                        "można wczytać poprzez funkcję import w menu plik."),
                    Prompts::Icon::Warning);
        QString scratch;
        bFunSqlSettingWriteValue(scratch, QStringLiteral("import_alert"), 0);
    }

    for (const auto &o : options) {
        const bool on = values.value(QString::fromLatin1(o.key)) != 0;
        if (o.box->isChecked() != on) {
            o.box->setChecked(on);
            (this->*o.click)();
        }
    }

    applyZoomSetting(values.value(QStringLiteral("preview_zoom_mode")),
                     values.value(QStringLiteral("preview_zoom")));
    startSpellChecking(values.value(QString::fromLatin1(kSpellCheckOffKey)) != 0);

    CloseWithoutAsking = false;
    DataChanged = false;
    vFunUpdatePopupMenu();
    recoverUnsavedWork();
    // The silent update check starts a second after the window is up: neither
    // the start nor the first paint waits for the network to be set up.
    QTimer::singleShot(1000, this, [this] { vFunUpdateCheck(true); });
    return true;
}

void TFGlowna::recoverUnsavedWork() {
    QString classPath;
    if (!m_session.findUnsavedWork(classPath)) {
        // A working copy without the mark was closed normally: it goes.
        m_session.discardLeftovers();
        return;
    }
    const QString named =
        classPath.isEmpty() ? QString::fromUtf8("nowa, niezapisana klasa") : classPath;
    if (askYesNo(this, QString::fromUtf8("Przywracanie"),
                 QString::fromUtf8("Znaleziono niezapisane zmiany z poprzedniej pracy programu "
                                   "(plik: ") +
                     named + QString::fromUtf8("). Czy chcesz je przywrócić ?"),
                 Prompts::Icon::Question) &&
        m_session.recoverUnsavedWork(classPath).ok) {
        rebuildTree();
        m_recovered = true;
        setClassOpen(true);
        setDocumentPath(classPath);
        return;
    }
    // Nothing is deleted unasked: the work is kept aside under a name of its own.
    QString aside;
    const ClassFileOutcome out = m_session.setAsideUnsavedWork(aside);
    if (out.ok)
        showMessage(this, QString::fromUtf8("Przywracanie"),
                    QString::fromUtf8("Niezapisane zmiany zachowano w pliku:\n") + aside +
                        QString::fromUtf8("\n\nOtworzysz go poleceniem Plik › Otwórz odzyskaną "
                                          "kopię…"),
                    Prompts::Icon::Information);
    else
        showOutcome(out);
    clearTree();
}

void TFGlowna::openCommandLineDocument(const QString &text) {
    if (m_recovered) {
        // The recovered work stays open; the file asked for is not opened over it.
        if (text.size() > 5 && fileExists(text) && text != documentPath())
            showStatusNotice(QString::fromUtf8("Nie otwarto pliku ") + text +
                             QString::fromUtf8(": otwarte są przywrócone niezapisane zmiany."));
        return;
    }
    if (text.size() > 5 && fileExists(text))
        openDocumentOrClear(text);
    else
        setDocumentPath(QString());
}

void TFGlowna::openHandedOverFile(const QString &path) {
    if (QWidget *modal = QApplication::activeModalWidget()) {
        // An editor or a dialog holds her work: nothing is opened under it,
        // and it stays in front.
        showStatusNotice(QString::fromUtf8("Nie otwarto pliku ") + path +
                         QString::fromUtf8(": najpierw zamknij otwarte okno, potem otwórz plik "
                                           "poleceniem Plik › Otwórz plik."));
        modal->raise();
        modal->activateWindow();
        return;
    }
    if (isMinimized())
        showMaximized();
    raise();
    activateWindow();
    if (!fileExists(path) || !offerSaveBeforeReplacing())
        return;
    showStatusNotice(QString()); // an earlier "not opened" is no longer true
    openDocumentOrClear(path);
}

void TFGlowna::showOpenedClass() {
    // The editors held a pupil of the class now closed: they are emptied.
    unloadPupil();
    rebuildTree();
    setClassOpen(true);
    setDocumentPath(m_session.path());
}

void TFGlowna::openDocumentOrClear(const QString &path) {
    const ClassFileOutcome out = m_session.open(path);
    showOutcome(out);
    // A file that could not be opened (or a legacy one, pointed to the
    // import) leaves the class that was open as it was.
    if (!out.ok)
        return;
    showOpenedClass();
    if (out.readOnly)
        showStatusNotice(QString::fromUtf8("Plik jest tylko do odczytu: program go nie zmieni. "
                                           "Zmiany zapiszesz poleceniem „Zapisz jako”."));
}

void TFGlowna::closeEvent(QCloseEvent *event) {
    if (CloseWithoutAsking) {
        event->accept();
        return;
    }
    if (DataChanged) {
        // "Anuluj" (Escape) keeps the program and the work.
        const Prompts::Answer answer =
            prompts().message(this, QString(), QStringLiteral("Czy chcesz zapisać zmiany ?"),
                              Prompts::Icon::None, Prompts::Buttons::YesNoCancel);
        if (answer == Prompts::Answer::Cancel) {
            event->ignore();
            return;
        }
        if (answer == Prompts::Answer::Yes)
            Zapisz1Click();
    }
    if (askYesNo(this, QStringLiteral("Koniec"),
                 QString::fromUtf8("Czy na pewno chcesz zakończyć pracę ?"),
                 Prompts::Icon::Question)) {
        // A normal close: the working copy is not offered back at the next start.
        m_session.endNormally();
        event->accept();
    } else
        event->ignore();
}

void TFGlowna::Koniec1Click() {
    CloseWithoutAsking = false;
    close();
}

// ---------------------------------------------------------------------------

void TFGlowna::showOutcome(const ClassFileOutcome &outcome) {
    for (const ClassFileMessage &m : outcome.messages)
        showMessage(this, m.caption, m.text, m.icon);
}

bool TFGlowna::bFunZapiszIstniejacyPlikSwiadectw() {
    const ClassFileOutcome out = m_session.save();
    if (out.notReplaceable) {
        // The file stays as it is; the work can still go under another name.
        if (askYesNo(this, QStringLiteral("Zapis"),
                     out.messages.value(0).text +
                         QString::fromUtf8("\n\nCzy chcesz zapisać dane pod inną nazwą (Zapisz "
                                           "jako) ?"),
                     Prompts::Icon::Warning))
            return bFunZapiszNowyPlikSwiadectw();
        return false;
    }
    showOutcome(out);
    return out.ok;
}

bool TFGlowna::bFunZapiszNowyPlikSwiadectw() {
    for (;;) {
        QString path = prompts().saveFileName(this, QStringLiteral("Zapisz"), documentFileFilter(),
                                              m_lastSaveName);
        if (path.isEmpty())
            return false;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".sqbr5");
        m_lastSaveName = path;
        if (QFileInfo::exists(path) &&
            !askYesNoDestructive(this, QStringLiteral("Zapisz"),
                                 QString::fromUtf8("Wybrany plik już istnieje.\nCzy chcesz "
                                                   "zastąpić istniejący plik ?"),
                                 Prompts::Icon::Question))
            return false;
        const ClassFileOutcome out = m_session.saveAs(path);
        if (out.notReplaceable) {
            showMessage(this, QStringLiteral("Zapis"),
                        out.messages.value(0).text +
                            QString::fromUtf8("\n\nWybierz inną nazwę albo inny folder."),
                        Prompts::Icon::Warning);
            continue;
        }
        showOutcome(out);
        if (out.ok)
            setDocumentPath(path);
        return out.ok;
    }
}

bool TFGlowna::saveCommand() {
    return fileExists(documentPath()) ? bFunZapiszIstniejacyPlikSwiadectw()
                                      : bFunZapiszNowyPlikSwiadectw();
}

void TFGlowna::Zapisz1Click() {
    // Only a save that worked clears the flag: a failed one keeps the work
    // marked as unsaved, so closing still asks.
    if (saveCommand())
        DataChanged = false;
}

void TFGlowna::Zapiszjako1Click() {
    // The class now is the file saved: nothing of it is unsaved.
    if (bFunZapiszNowyPlikSwiadectw())
        DataChanged = false;
}

void TFGlowna::NowyPlikToolButtonClick() {
    if (!offerSaveBeforeReplacing(QStringLiteral("Edycja"), Prompts::Icon::Question))
        return;
    unloadPupil();
    clearTree();
    m_session.newClass();
    setDocumentPath(QString());
    ClearAllEditors();
    setClassOpen(true);
    renderDocument(*treeRows().first(), false);
}

bool TFGlowna::offerSaveBeforeReplacing(const QString &caption, Prompts::Icon icon) {
    // What replaces the working copy goes on only after a save that worked,
    // or when the user chose not to save; "Anuluj" (Escape) stays.
    if (!DataChanged)
        return true;
    switch (prompts().message(this, caption, QStringLiteral("Czy chcesz zapisać zmiany ?"), icon,
                              Prompts::Buttons::YesNoCancel)) {
    case Prompts::Answer::Yes:
        if (!saveCommand())
            return false;
        DataChanged = false;
        return true;
    case Prompts::Answer::No:
        return true;
    default:
        return false;
    }
}

void TFGlowna::OtworzOdzyskanaKopieClick() {
    QString scratch;
    const QString folder = strFunGetProgramDir(scratch);
    const QString pattern = QStringLiteral("odzyskane-*.sqbr5");
    if (folder.isEmpty() || QDir(folder).entryList({pattern}, QDir::Files).isEmpty()) {
        showMessage(this, QString::fromUtf8("Odzyskane kopie"),
                    QString::fromUtf8("Nie ma odzyskanych kopii niezapisanej pracy."),
                    Prompts::Icon::Information);
        return;
    }
    if (!offerSaveBeforeReplacing())
        return;
    const QString path =
        prompts().openFileName(this, QString::fromUtf8("Otwórz odzyskaną kopię"),
                               QString::fromUtf8("Odzyskane kopie (%1)").arg(pattern), folder);
    if (path.isEmpty())
        return;
    openDocumentOrClear(path);
    if (documentPath() == path)
        showStatusNotice(QString::fromUtf8("Otwarto odzyskaną kopię. Zapisz ją poleceniem „Zapisz "
                                           "jako” tam, gdzie trzymasz pliki klas."));
}

void TFGlowna::OtworzPlikToolButtonClick() {
    if (!offerSaveBeforeReplacing())
        return;
    const QString path =
        prompts().openFileName(this, QStringLiteral("Wczytaj plik"), documentFileFilter());
    if (path.isEmpty())
        return;
    openDocumentOrClear(path);
}
