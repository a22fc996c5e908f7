#pragma once

#include "app/previewpage.h"
#include "app/tfglowna.h"
#include "app/windowfactory.h"
#include "document/certfile.h"
#include "editors/editor.h"
#include "storage/paths.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

// A program folder, an installation folder with the shipped files, the
// scripted prompts and, on demand, the windows of the program.
struct AppFixture {
    TestEnv env;
    QTemporaryDir install;
    ScriptedPrompts prompts;
    ProgramWindows windows;
    std::unique_ptr<TFGlowna> owner;

    AppFixture() {
        copyShippedData(install.path());
        vFunSetExeDirPathForTests(install.path());
    }
    ~AppFixture() {
        owner.reset();
        vFunSetExeDirPathForTests(QString());
    }

    TFGlowna *start() {
        owner.reset();
        windows = createProgramWindows();
        owner.reset(windows.glowna);
        return windows.glowna;
    }
    TFGlowna *g() const { return windows.glowna; }
    QString tmp() const { return env.programFile(QStringLiteral("data_tmp.sqtmp")); }
};

// A class file holding the given pupils (PESEL, surname, first name and,
// optionally, gender).
inline void makeClassFile(const QString &path, const QList<QStringList> &pupils) {
    writeFile(path, QByteArray());
    for (const QStringList &p : pupils) {
        QString msg;
        SqlDataList records{
            {QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"), p[1]},
            {QStringLiteral("DANE UCZNIA"), QStringLiteral("Imie_DATA_EDIT"), p[2]},
            {QStringLiteral("DANE UCZNIA"), QStringLiteral("Pesel_DATA_EDIT"), p[0]}};
        if (p.size() > 3) // the gender, which the pupil dialog requires
            records.append(
                {QStringLiteral("DANE UCZNIA"), QStringLiteral("Plec_DATA_COMBOBOX"), p[3]});
        bFunSaveCertData(msg, path, QStringLiteral("PESEL") + p[0], records);
    }
}

// The pupil tables of a class file, in its order.
inline QStringList pupilTables(const QString &path) {
    QStringList out;
    QString msg;
    StudentList students;
    if (bFunGetStudentsList(msg, path, students)) {
        for (const auto &s : students)
            out << s.table;
    }
    return out;
}

// Answers the next modal dialog by closing it (the dialog's reject()).
inline void rejectNextModal() {
    QTimer::singleShot(0, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
}
