// Start-up, closing, and the class file commands of the main window.
#include "app/tfglowna.h"

#include "app/version.h"
#include "document/prompts.h"
#include "editors/tfdaneucznia.h"
#include "maintenance/filecheck.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/settings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

#include <cerrno>
#include <sys/stat.h>

namespace {

QString lastError() {
    return QString::number(errno);
}

bool fileExists(const QString &path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

bool TFGlowna::StartUpChecks() {
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
    setWindowTitle(
        QString::fromUtf8("Drukowanie świadectw dla Szkoły Podstawowej klasy 1-3, wersja: %1.%2.%3")
            .arg(kVersionMajor)
            .arg(kVersionMinor)
            .arg(kVersionBuild));

    int importAlert = 0;
    if (!bFunSqlGetSettingsValue(m_msg, QStringLiteral("import_alert"), importAlert)) {
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby odczytania ustawień.\n\n") + m_msg,
                    Prompts::Icon::Error);
        CloseWithoutAsking = true;
        close();
        return false;
    }
    if (importAlert != 0) {
        showMessage(this, QString(),
                    QString::fromUtf8(
                        "UWAGA !!!\n\nNastąpiła zmiana w plikach przechowujących dane. Stare pliki "
                        "można wczytać poprzez funkcję import w menu plik."),
                    Prompts::Icon::Warning);
        QString scratch;
        bFunSqlSettingWriteValue(scratch, QStringLiteral("import_alert"), 0);
    }

    const struct {
        const char *key;
        QCheckBox *box;
        void (TFGlowna::*click)();
    } options[] = {
        {"strike_empty_fields", WykreskujPusteCheckBox, &TFGlowna::WykreskujPusteCheckBoxClick},
        {"print_without_dots", PrintNoDotsCheckBox, &TFGlowna::PrintNoDotsCheckBoxClick},
        {"word_wrap", cbWordWrap, &TFGlowna::cbWordWrapClick}};
    for (const auto &o : options) {
        int value = 0;
        QString scratch;
        if (!bFunSqlGetSettingsValue(scratch, QString::fromLatin1(o.key), value))
            continue;
        if (o.box->isChecked() != (value != 0)) {
            o.box->setChecked(value != 0);
            (this->*o.click)();
        }
    }

    CloseWithoutAsking = false;
    DataChanged = false;
    vFunUpdatePopupMenu();
    QString scratch;
    bFunDeleteTmpFile(scratch);
    return true;
}

void TFGlowna::openCommandLineDocument(const QString &text) {
    if (text.size() > 5 && fileExists(text))
        openDocumentOrClear(text);
    else
        setDocumentPath(QString());
}

void TFGlowna::openDocumentOrClear(const QString &path) {
    if (bFunWczytajPlikSwiadectw(path)) {
        setDocumentPath(path);
        return;
    }
    setDocumentPath(QString());
    QString scratch;
    bFunDeleteTmpFile(scratch);
    clearTree();
    m_students.clear();
}

void TFGlowna::closeEvent(QCloseEvent *event) {
    if (CloseWithoutAsking) {
        event->accept();
        return;
    }
    if (DataChanged &&
        prompts().message(this, QString(), QStringLiteral("Czy chcesz zapisać zmiany ?"),
                          Prompts::Icon::None, Prompts::Buttons::YesNo) == Prompts::Answer::Yes)
        Zapisz1Click();
    if (askYesNo(this, QStringLiteral("Koniec"),
                 QString::fromUtf8("Czy na pewno chcesz zakończyć pracę ?"),
                 Prompts::Icon::Question))
        event->accept();
    else
        event->ignore();
}

void TFGlowna::Koniec1Click() {
    CloseWithoutAsking = false;
    close();
}

// ---------------------------------------------------------------------------

bool TFGlowna::bFunWczytajPlikSwiadectw(const QString &path) {
    if (!bFunDeleteTmpFile(m_msg)) {
        showMessage(this, QStringLiteral("Błąd"), m_msg, Prompts::Icon::Error);
        return false;
    }
    const QString tmp = strFunGetTmpFilePath(m_msg);
    if (tmp.isEmpty()) {
        showMessage(this, QStringLiteral("Błąd"), m_msg, Prompts::Icon::Error);
        return false;
    }
    QString copyMsg;
    if (!bFunCopyFile(copyMsg, path, tmp, false)) {
        const QString code = copyMsg.section(QStringLiteral("Kod błędu: "), -1);
        m_msg = QString::fromUtf8("Błąd kopiowania pliku\nz :") + path + QStringLiteral("\ndo :") +
                tmp + QString::fromUtf8("\nKod błędu: ") + code +
                QString::fromUtf8("\nDane świadectw nie zostały wczytane.");
        vFunWriteLog(m_msg, QStringLiteral("bFunWczytajPlikSwiadectw()"));
        showMessage(this, QStringLiteral("Błąd"), m_msg, Prompts::Icon::Error);
        return false;
    }
    if (!bFunClearFileAttributes(m_msg, path)) {
        m_msg =
            QString::fromUtf8(
                "Uwaga\nJeśli plik posiada atrybut \"tylko do odczytu\" zapis danych nie będzie "
                "możliwy.\nKod: ") +
            lastError();
        vFunWriteLog(m_msg, QStringLiteral("bFunWczytajPlikSwiadectw()"));
        showMessage(this, QStringLiteral("Uwaga"), m_msg, Prompts::Icon::Warning);
    }
    if (!bFunClearFileAttributes(m_msg, tmp)) {
        m_msg = QString::fromUtf8("Błąd podczas próby sprawdzenia atrybutów pliku.\n") + tmp +
                QString::fromUtf8(
                    "\nJeśli plik posiada atrybut \"tylko do odczytu\" zapis danych nie będzie "
                    "możliwy.\nKod błędu: ") +
                lastError();
        vFunWriteLog(m_msg, QStringLiteral("bFunWczytajPlikSwiadectw()"));
        showMessage(this, QStringLiteral("Błąd"), m_msg, Prompts::Icon::Error);
    }
    // A file that is not a class file at all is refused here, so no half-open
    // document is left behind.
    if (!loadStudentList(false)) {
        m_msg = QString::fromUtf8("Nie można otworzyć pliku:\n") + path +
                QString::fromUtf8(
                    "\n\nTo nie jest plik świadectw SP 1-3 albo plik jest uszkodzony.\n\n") +
                m_msg;
        vFunWriteLog(m_msg, QStringLiteral("bFunWczytajPlikSwiadectw()"));
        showMessage(this, QStringLiteral("Błąd"), m_msg, Prompts::Icon::Error);
        return false;
    }
    return true;
}

bool TFGlowna::bFunZapiszIstniejacyPlikSwiadectw() {
    const QString target = documentPath();
    if (!bFunClearFileAttributes(m_msg, target)) {
        m_msg = QString::fromUtf8("Błąd podczas próby sprawdzenia atrybutów pliku\n") + target +
                QString::fromUtf8(
                    "\nJeśli plik ma atrybut \"tylko do odczytu\"\nzapis danych nie będzie "
                    "możliwy.\nKod błędu: ") +
                lastError();
        vFunWriteLog(m_msg, QStringLiteral("bFunZapiszIstniejacyPlikSwiadectw()"));
        showMessage(this, QStringLiteral("Atrybuty"), m_msg, Prompts::Icon::Warning);
    }
    const QString tmp = strFunGetTmpFilePath(m_msg);
    QString copyMsg;
    if (!tmp.isEmpty() && bFunCopyFile(copyMsg, tmp, target, false))
        return true;
    m_msg = QString::fromUtf8("Błąd kopiowania pliku z\n") + tmp + QStringLiteral("\ndo:\n") +
            target + QString::fromUtf8("\nKod błędu: ") +
            copyMsg.section(QStringLiteral("Kod błędu: "), -1) +
            QString::fromUtf8("\n\nDane nie zostały zapisane.");
    vFunWriteLog(m_msg, QStringLiteral("bFunZapiszIstniejacyPlikSwiadectw()"));
    showMessage(this, QStringLiteral("Błąd"), m_msg, Prompts::Icon::Error);
    return false;
}

bool TFGlowna::bFunZapiszNowyPlikSwiadectw() {
    QString path = prompts().saveFileName(this, QStringLiteral("Zapisz"), documentFileFilter(),
                                          m_lastSaveName);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".sqbr5");
    m_lastSaveName = path;
    const bool exists = QFileInfo::exists(path);
    if (exists &&
        !askYesNoDestructive(
            this, QStringLiteral("Zapisz"),
            QString::fromUtf8("Wybrany plik już istnieje.\nCzy chcesz zastąpić istniejący plik ?"),
            Prompts::Icon::Question))
        return false;
    if (exists && !bFunClearFileAttributes(m_msg, path)) {
        m_msg = QString::fromUtf8("Funkcja: vFunZapiszNowyPlikSwiadectw()\n\nBłąd podczas próby "
                                  "sprawdzenia atrybutów "
                                  "pliku\n") +
                path +
                QString::fromUtf8(
                    "\nJeśli plik ma atrybut \"tylko do odczytu\"\nzapis danych nie będzie "
                    "możliwy.\nKod błędu: ") +
                lastError();
        vFunWriteLog(m_msg, QStringLiteral("bFunZapiszNowyPlikSwiadectw()"));
        showMessage(this, QStringLiteral("Atrybuty"), m_msg, Prompts::Icon::Warning);
    }
    const QString tmp = strFunGetTmpFilePath(m_msg);
    if (!tmp.isEmpty() && !QFileInfo::exists(tmp)) {
        QFile empty(tmp); // a new class without pupils is an empty file
        if (empty.open(QIODevice::WriteOnly))
            empty.close();
    }
    QString copyMsg;
    if (!tmp.isEmpty() && bFunCopyFile(copyMsg, tmp, path, false)) {
        setDocumentPath(path);
        return true;
    }
    m_msg =
        QString::fromUtf8(
            "Funkcja: vFunZapiszNowyPlikSwiadectw()\n\nBłąd podczas próby kopiowania pliku\nz\n") +
        tmp + QStringLiteral("\ndo\n") + path + QString::fromUtf8("\nKod błędu: ") +
        copyMsg.section(QStringLiteral("Kod błędu: "), -1) +
        QString::fromUtf8("\n\nDane nie zostały zapisane.");
    vFunWriteLog(m_msg, QStringLiteral("bFunZapiszNowyPlikSwiadectw()"));
    showMessage(this, QStringLiteral("Atrybuty"), m_msg, Prompts::Icon::Warning);
    return false;
}

bool TFGlowna::saveCommand() {
    if (fileExists(documentPath()))
        return bFunZapiszIstniejacyPlikSwiadectw();
    return bFunZapiszNowyPlikSwiadectw();
}

void TFGlowna::Zapisz1Click() {
    saveCommand();
    DataChanged = false;
}

void TFGlowna::Zapiszjako1Click() {
    bFunZapiszNowyPlikSwiadectw();
}

void TFGlowna::NowyPlikToolButtonClick() {
    if (DataChanged &&
        askYesNo(this, QStringLiteral("Edycja"), QStringLiteral("Czy chcesz zapisać zmiany ?"),
                 Prompts::Icon::Question)) {
        const bool saved = fileExists(documentPath()) ? bFunZapiszIstniejacyPlikSwiadectw()
                                                      : bFunZapiszNowyPlikSwiadectw();
        if (!saved)
            return;
    }
    clearTree();
    m_students.clear();
    setDocumentPath(QString());
    QString scratch;
    bFunDeleteTmpFile(scratch);
    ClearAllEditors();
    m_windows.daneUcznia->ClearFields();
    renderDocument(documentRows().first(), false);
}

void TFGlowna::OtworzPlikToolButtonClick() {
    if (DataChanged &&
        prompts().message(this, QString(), QStringLiteral("Czy chcesz zapisać zmiany ?"),
                          Prompts::Icon::None, Prompts::Buttons::YesNo) == Prompts::Answer::Yes)
        Zapisz1Click();
    const QString path =
        prompts().openFileName(this, QStringLiteral("Wczytaj plik"), documentFileFilter());
    if (path.isEmpty())
        return;
    openDocumentOrClear(path);
}
