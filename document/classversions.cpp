#include "document/classversions.h"

#include "document/certfile.h"
#include "storage/errortext.h"
#include "storage/fileops.h"
#include "storage/log.h"
#include "storage/paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

// "<number>_<date>_<pupils>.sqbr5": the number orders the versions whatever
// the clock did; "x" stands for a content that was no readable class.
const QRegularExpression &versionName() {
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{1,9})_(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)_(\\d+|x)\\.sqbr5$"));
    return re;
}

const char *const kDateFormat = "yyyy-MM-dd_HH-mm-ss";
// The class file's path, for whoever looks into the folder.
const char *const kIndexName = "plik.txt";
const char *const kStagedName = ".nowa-wersja";

QString identity(const QString &classPath) {
    return strFunResolvedLinkTarget(QFileInfo(classPath).absoluteFilePath());
}

struct Listed {
    int number = 0;
    ClassVersion version;
};

// Newest (highest number) first.
QList<Listed> listVersions(const QString &dir) {
    QList<Listed> found;
    if (dir.isEmpty())
        return found;
    const QStringList names = QDir(dir).entryList({QStringLiteral("*.sqbr5")}, QDir::Files);
    for (const QString &name : names) {
        const QRegularExpressionMatch m = versionName().match(name);
        if (!m.hasMatch())
            continue;
        Listed l;
        l.number = m.captured(1).toInt();
        l.version.path = dir + QLatin1Char('/') + name;
        l.version.saved = QDateTime::fromString(m.captured(2), QLatin1String(kDateFormat));
        l.version.pupils = m.captured(3) == QLatin1String("x") ? -1 : m.captured(3).toInt();
        found << l;
    }
    std::sort(found.begin(), found.end(),
              [](const Listed &a, const Listed &b) { return a.number > b.number; });
    return found;
}

bool sameContent(const QString &a, const QString &b) {
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 16) != fb.read(1 << 16))
            return false;
    }
    return true;
}

} // namespace

QString strFunClassVersionsDir(QString &msg, const QString &classPath) {
    if (classPath.isEmpty())
        return QString();
    const QString root = strFunGetDataFilePath(msg, QString::fromLatin1(kClassVersionsDirName));
    if (root.isEmpty())
        return QString();
    const QByteArray hash =
        QCryptographicHash::hash(identity(classPath).toUtf8(), QCryptographicHash::Sha1).toHex();
    return root + QLatin1Char('/') + QString::fromLatin1(hash.left(20));
}

QList<ClassVersion> classVersions(const QString &classPath) {
    QString msg;
    QList<ClassVersion> versions;
    for (const Listed &l : listVersions(strFunClassVersionsDir(msg, classPath)))
        versions << l.version;
    return versions;
}

ClassVersionKeeper::ClassVersionKeeper(const QString &classPath, const QString &replacement) {
    if (classPath.isEmpty())
        return;
    const QString file = identity(classPath);
    const QFileInfo info(file);
    // A first save keeps nothing; a save of the same content keeps no twin.
    if (!info.isFile() || sameContent(file, replacement))
        return;
    QString msg;
    const QString dir = strFunClassVersionsDir(msg, classPath);
    const QString root = QFileInfo(dir).path();
    if (dir.isEmpty() || !bFunCreateDir(msg, root) || !bFunCreateDir(msg, dir)) {
        m_problem = msg;
        return;
    }
    const QString index = dir + QLatin1Char('/') + QLatin1String(kIndexName);
    if (!QFileInfo::exists(index))
        iFunWriteWholeFile(index, file.toUtf8() + '\n');
    const QString staged = dir + QLatin1Char('/') + QLatin1String(kStagedName);
    if (!bFunCopyFile(msg, file, staged, false)) {
        m_problem = msg;
        return;
    }
    m_dir = dir;
    m_staged = staged;
    m_saved = info.lastModified();
    StudentList pupils;
    if (bFunGetStudentsList(msg, staged, pupils))
        m_pupils = int(pupils.size());
}

ClassVersionKeeper::~ClassVersionKeeper() {
    if (!m_staged.isEmpty())
        iFsRemove(m_staged);
}

bool ClassVersionKeeper::keep(QString &msg) {
    if (!m_problem.isEmpty()) {
        msg = m_problem;
        return false;
    }
    if (m_staged.isEmpty())
        return true;
    const QList<Listed> older = listVersions(m_dir);
    const int number = older.isEmpty() ? 1 : older.first().number + 1;
    const QString name = QStringLiteral("%1_%2_%3.sqbr5")
                             .arg(number)
                             .arg(m_saved.toString(QLatin1String(kDateFormat)),
                                  m_pupils < 0 ? QStringLiteral("x") : QString::number(m_pupils));
    const QString target = m_dir + QLatin1Char('/') + name;
    if (const int err = iFsReplace(m_staged, target)) {
        msg = QString::fromUtf8("Nie można zachować poprzedniej wersji pliku w:\n") + target +
              QLatin1Char('\n') + strFunErrnoCode(err);
        vFunWriteLog(msg, QStringLiteral("ClassVersionKeeper::keep()"));
        return false;
    }
    m_staged.clear();
    // The new version exists: only now the oldest go.
    for (int i = kKeptClassVersions - 1; i < older.size(); ++i)
        iFsRemove(older[i].version.path);
    return true;
}
