#include "document/classfile.h"

#include "document/certfile.h"
#include "storage/clock.h"
#include "storage/errortext.h"
#include "storage/fileops.h"
#include "storage/log.h"
#include "storage/paths.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace {

ClassFileMessage error(const QString &caption, const QString &text) {
    return {caption, text, Prompts::Icon::Error};
}

ClassFileMessage warning(const QString &caption, const QString &text) {
    return {caption, text, Prompts::Icon::Warning};
}

// The failure of one step: logged under the operation's name and kept for
// the caller to show.
ClassFileOutcome &fail(ClassFileOutcome &out, int err, const ClassFileMessage &message,
                       const char *logName) {
    out.ok = false;
    out.error = err;
    vFunWriteLog(message.text, QString::fromLatin1(logName));
    out.messages << message;
    return out;
}

QString markerPath(QString &msg) {
    return strFunGetDataFilePath(msg, QString::fromLatin1(kUnsavedMarkerFileName));
}

} // namespace

bool bFunIsLegacyClassFile(const QString &path) {
    return QFileInfo(path).suffix().compare(QLatin1String("br5"), Qt::CaseInsensitive) == 0;
}

ClassFileMessage legacyFileMessage(const QString &path) {
    return {QString::fromUtf8("Otwórz plik"),
            QString::fromUtf8("Plik:\n") + path +
                QString::fromUtf8("\n\njest plikiem starszej wersji programu (.br5). Takie pliki "
                                  "wczytuje się poleceniem „Importuj” w menu „Plik” (Plik › "
                                  "Importuj)."),
            Prompts::Icon::Information};
}

bool bFunCanReplaceFile(const QString &path, int &err) {
    err = 0;
    FsInfo info;
    if (const int e = iFsStat(path, info))
        return e == ENOENT;
    // Replacing another user's file would give it to us with our mode.
    if (!info.ownedByMe && !bFsRunsAsAdministrator()) {
        err = EPERM;
        return false;
    }
    // Her read-only file stays read-only: the protection is hers to lift
    // (the administrator too respects it).
    if (!info.anyoneWritable) {
        err = EACCES;
        return false;
    }
    if (const int e = iFsCheckWritable(path)) {
        err = e;
        return false;
    }
    return true;
}

ClassFileOutcome bFunWczytajPlikSwiadectw(const QString &path) {
    ClassFileOutcome out;
    if (bFunIsLegacyClassFile(path)) {
        out.messages << legacyFileMessage(path);
        return out;
    }
    // The chosen file is copied beside the working copy and checked there;
    // only a class file replaces the working copy, so a wrong file leaves
    // the open class as it was.
    QString msg;
    const QString tmp = strFunGetTmpFilePath(msg);
    if (tmp.isEmpty()) {
        out.messages << error(QStringLiteral("Błąd"), msg);
        return out;
    }
    const QString staged = tmp + QLatin1String(kStagedSuffix);
    int err = 0;
    bool damaged = false;
    if (!bFunStageClassFile(msg, path, staged, damaged, &err)) {
        if (err == 0) // a copy was made but SQLite refused it
            return fail(out, 0,
                        error(QStringLiteral("Błąd"),
                              QString::fromUtf8("Nie można otworzyć pliku:\n") + path +
                                  QString::fromUtf8("\n\nTo nie jest plik świadectw SP 1-3 albo "
                                                    "plik jest uszkodzony.\n\n") +
                                  msg),
                        "bFunWczytajPlikSwiadectw()");
        return fail(out, err,
                    error(QStringLiteral("Błąd"),
                          QString::fromUtf8("Błąd kopiowania pliku\nz :") + path +
                              QStringLiteral("\ndo :") + tmp + QLatin1Char('\n') +
                              strFunErrnoCode(err) +
                              QString::fromUtf8("\nDane świadectw nie zostały wczytane.")),
                    "bFunWczytajPlikSwiadectw()");
    }
    if (damaged) {
        const ClassFileMessage m =
            warning(QStringLiteral("Uwaga"), strFunDamagedClassFileText(path));
        vFunWriteLog(m.text, QStringLiteral("bFunWczytajPlikSwiadectw()"));
        out.messages << m;
    }
    // Her file is only read: a protection she set stays. One that cannot be
    // replaced opens all the same, and "Zapisz" then leads to "Zapisz jako".
    int replaceError = 0;
    out.readOnly = !bFunCanReplaceFile(path, replaceError);
    if (!bFunClearFileAttributes(msg, staged)) {
        const int e = errno;
        const ClassFileMessage m =
            error(QStringLiteral("Błąd"),
                  QString::fromUtf8("Błąd podczas próby sprawdzenia atrybutów pliku.\n") + tmp +
                      QString::fromUtf8("\nJeśli plik posiada atrybut \"tylko do odczytu\" zapis "
                                        "danych nie będzie możliwy.\n") +
                      strFunErrnoCode(e));
        vFunWriteLog(m.text, QStringLiteral("bFunWczytajPlikSwiadectw()"));
        out.messages << m;
    }
    StudentList students;
    QStringList unreadable;
    if (!bFunGetStudentsList(msg, staged, students, &unreadable)) {
        iFsRemove(staged);
        return fail(out, 0,
                    error(QStringLiteral("Błąd"),
                          QString::fromUtf8("Nie można otworzyć pliku:\n") + path +
                              QString::fromUtf8("\n\nTo nie jest plik świadectw SP 1-3 albo plik "
                                                "jest uszkodzony.\n\n") +
                              msg),
                    "bFunWczytajPlikSwiadectw()");
    }
    if (const int e = iFsReplace(staged, tmp)) {
        iFsRemove(staged);
        return fail(out, e,
                    error(QStringLiteral("Błąd"),
                          QString::fromUtf8("Błąd kopiowania pliku\nz :") + path +
                              QStringLiteral("\ndo :") + tmp + QLatin1Char('\n') +
                              strFunErrnoCode(e) +
                              QString::fromUtf8("\nDane świadectw nie zostały wczytane.")),
                    "bFunWczytajPlikSwiadectw()");
    }
    if (!unreadable.isEmpty())
        out.messages << warning(QStringLiteral("Uwaga"), strFunUnreadablePupilsText(unreadable));
    out.ok = true;
    return out;
}

namespace {

ClassFileOutcome refuseReplace(const QString &target, int err, const char *logName) {
    ClassFileOutcome out;
    out.notReplaceable = true;
    return fail(out, err,
                error(QStringLiteral("Zapis"),
                      QString::fromUtf8("Nie można zapisać zmian w pliku:\n") + target +
                          QString::fromUtf8("\n\nPlik jest tylko do odczytu albo należy do innego "
                                            "użytkownika, więc program go nie zastąpi.\n") +
                          strFunErrnoCode(err)),
                logName);
}

} // namespace

ClassFileOutcome bFunZapiszIstniejacyPlikSwiadectw(const QString &target) {
    int err = 0;
    if (!bFunCanReplaceFile(target, err))
        return refuseReplace(target, err, "bFunZapiszIstniejacyPlikSwiadectw()");
    ClassFileOutcome out;
    QString msg;
    const QString tmp = strFunGetTmpFilePath(msg);
    if (!tmp.isEmpty() && bFunCopyFile(msg, tmp, target, false, &err)) {
        out.ok = true;
        return out;
    }
    return fail(
        out, err,
        error(QStringLiteral("Błąd"), QString::fromUtf8("Błąd kopiowania pliku z\n") + tmp +
                                          QStringLiteral("\ndo:\n") + target + QLatin1Char('\n') +
                                          strFunErrnoCode(err) +
                                          QString::fromUtf8("\n\nDane nie zostały zapisane.")),
        "bFunZapiszIstniejacyPlikSwiadectw()");
}

ClassFileOutcome bFunZapiszNowyPlikSwiadectw(const QString &target) {
    int err = 0;
    if (!bFunCanReplaceFile(target, err))
        return refuseReplace(target, err, "bFunZapiszNowyPlikSwiadectw()");
    ClassFileOutcome out;
    QString msg;
    const QString tmp = strFunGetTmpFilePath(msg);
    if (!tmp.isEmpty() && !QFileInfo::exists(tmp)) {
        QFile empty(tmp); // a new class without pupils is an empty file
        if (empty.open(QIODevice::WriteOnly))
            empty.close();
    }
    if (!tmp.isEmpty() && bFunCopyFile(msg, tmp, target, false, &err)) {
        out.ok = true;
        return out;
    }
    return fail(out, err,
                warning(QStringLiteral("Atrybuty"),
                        QString::fromUtf8("Funkcja: vFunZapiszNowyPlikSwiadectw()\n\nBłąd podczas "
                                          "próby kopiowania pliku\nz\n") +
                            tmp + QStringLiteral("\ndo\n") + target + QLatin1Char('\n') +
                            strFunErrnoCode(err) +
                            QString::fromUtf8("\n\nDane nie zostały zapisane.")),
                "bFunZapiszNowyPlikSwiadectw()");
}

// ---------------------------------------------------------------------------

bool bFunMarkUnsaved(QString &msg, const QString &classPath) {
    const QString path = markerPath(msg);
    if (path.isEmpty())
        return false;
    QFile marker(path);
    // The whole path: a later start may run in another folder.
    const QString absolute =
        classPath.isEmpty() ? classPath : QFileInfo(classPath).absoluteFilePath();
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        marker.write(absolute.toUtf8() + '\n') < 0 || !marker.flush())
        return bFunFail(msg,
                        QString::fromUtf8("Nie można zapisać znacznika niezapisanych zmian:\n") +
                            path + QLatin1Char('\n') + marker.errorString(),
                        "bFunMarkUnsaved()");
    return true;
}

bool bFunClearUnsavedMark(QString &msg) {
    const QString path = markerPath(msg);
    if (path.isEmpty())
        return false;
    const int err = iFsRemove(path);
    if (err == 0 || err == ENOENT)
        return true;
    return bFunFail(msg,
                    QString::fromUtf8("Nie można usunąć znacznika niezapisanych zmian:\n") + path +
                        QLatin1Char('\n') + strFunErrnoCode(err),
                    "bFunClearUnsavedMark()");
}

bool bFunFindUnsavedWork(QString &classPath) {
    QString msg;
    const QString path = markerPath(msg);
    const QString tmp = strFunGetTmpFilePath(msg);
    if (path.isEmpty() || tmp.isEmpty() || !QFileInfo::exists(path) || !QFileInfo::exists(tmp))
        return false;
    QFile marker(path);
    if (!marker.open(QIODevice::ReadOnly))
        return false;
    classPath = QString::fromUtf8(marker.readLine()).trimmed();
    return true;
}

bool bFunSetAsideWorkingCopy(QString &msg, QString &asidePath) {
    const QString tmp = strFunGetTmpFilePath(msg);
    const QString dir = strFunGetProgramDir(msg);
    if (tmp.isEmpty() || dir.isEmpty())
        return false;
    const QString stamp = currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    asidePath = dir + QStringLiteral("/odzyskane-") + stamp + QStringLiteral(".sqbr5");
    for (int i = 2; QFileInfo::exists(asidePath); ++i)
        asidePath = dir + QStringLiteral("/odzyskane-%1-%2.sqbr5").arg(stamp).arg(i);
    if (const int err = iFsReplace(tmp, asidePath))
        return bFunFail(msg,
                        QString::fromUtf8("Nie można przenieść kopii roboczej:\n") + tmp +
                            QString::fromUtf8("\ndo:\n") + asidePath + QLatin1Char('\n') +
                            strFunErrnoCode(err),
                        "bFunSetAsideWorkingCopy()");
    return bFunClearUnsavedMark(msg);
}
