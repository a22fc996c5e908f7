#include "document/classsession.h"

#include "document/classversions.h"
#include "storage/codec.h"
#include "storage/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <numeric>

QByteArray pupilSortKey(const QString &name) {
    static const struct {
        char16_t from;
        char to;
    } fold[] = {{u'ą', 'A'}, {u'Ą', 'A'}, {u'ć', 'C'}, {u'Ć', 'C'}, {u'ę', 'E'}, {u'Ę', 'E'},
                {u'ł', 'L'}, {u'Ł', 'L'}, {u'ń', 'N'}, {u'Ń', 'N'}, {u'ś', 'S'}, {u'Ś', 'S'},
                {u'ó', 'O'}, {u'Ó', 'O'}, {u'ż', 'Z'}, {u'Ż', 'Z'}, {u'ź', 'Z'}, {u'Ź', 'Z'}};
    QString key = name;
    for (QChar &ch : key) {
        const char16_t u = ch.unicode();
        if (u >= 'a' && u <= 'z') {
            ch = QChar(u - 'a' + 'A');
            continue;
        }
        for (const auto &f : fold) {
            if (f.from == u) {
                ch = QChar::fromLatin1(f.to);
                break;
            }
        }
    }
    return cp1250::encode(key);
}

StudentList pupilsInTreeOrder(const StudentList &pupils) {
    QList<int> order(pupils.size());
    std::iota(order.begin(), order.end(), 0);
    QList<QByteArray> keys;
    QHash<QString, int> sameName;
    for (const auto &s : pupils) {
        keys << pupilSortKey(s.name);
        ++sameName[s.name];
    }
    // Equal keys keep the class file's order, except pupils of one name:
    // the file's order changes with every save, so they go by their tables
    // (their PESEL) and keep their places in the tree.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (keys[a] != keys[b])
            return keys[a] < keys[b];
        return pupils[a].name == pupils[b].name && pupils[a].table < pupils[b].table;
    });
    StudentList sorted;
    for (int i : order) {
        structStudentEntry entry = pupils[i];
        // Two pupils of one name are told apart by their PESEL.
        if (sameName.value(entry.name) > 1)
            entry.name += QStringLiteral(" (") +
                          (entry.table.startsWith(QLatin1String("PESEL")) ? entry.table.mid(5)
                                                                          : entry.table) +
                          QLatin1Char(')');
        sorted << entry;
    }
    return sorted;
}

namespace {

ClassFileOutcome failed(const QString &text, int err = 0) {
    ClassFileOutcome out;
    out.error = err;
    out.messages << ClassFileMessage{QStringLiteral("Błąd"), text, Prompts::Icon::Error};
    return out;
}

ClassFileOutcome succeeded() {
    ClassFileOutcome out;
    out.ok = true;
    return out;
}

// After a save that worked: the content it replaced becomes a version.
void keepVersion(ClassVersionKeeper &keeper, ClassFileOutcome &out) {
    QString msg;
    if (!keeper.keep(msg))
        out.messages << ClassFileMessage{
            QStringLiteral("Uwaga"),
            QString::fromUtf8("Dane zostały zapisane, ale poprzedniej wersji pliku nie udało się "
                              "zachować (Plik › Poprzednie wersje…).\n\n") +
                msg,
            Prompts::Icon::Warning};
}

} // namespace

ClassSession::ClassSession(const QString &privateCopy) : m_privateCopy(privateCopy) {
    unsaved.onChange = [this](bool on) {
        markUnsaved(on);
        if (onUnsavedChange)
            onUnsavedChange(on);
    };
}

void ClassSession::markUnsaved(bool on) {
    if (!m_privateCopy.isEmpty())
        return;
    QString scratch;
    if (on)
        bFunMarkUnsaved(scratch, m_path);
    else
        bFunClearUnsavedMark(scratch);
}

void ClassSession::setPath(const QString &path) {
    m_path = path;
    // The mark of unsaved work names the class file it belongs to.
    if (unsaved)
        markUnsaved(true);
}

QString ClassSession::workingCopy() const {
    if (!m_privateCopy.isEmpty())
        return m_privateCopy;
    QString scratch;
    return strFunGetTmpFilePath(scratch);
}

ClassFileOutcome ClassSession::read(const QString &path) {
    forgetPupils();
    m_damaged = false;
    m_unreadable.clear();
    ClassFileOutcome out;
    const QFileInfo info(path);
    QString msg;
    if (!info.exists() || !info.isFile()) {
        out.error = info.exists() ? EISDIR : ENOENT;
        return out;
    }
    if (m_privateCopy.isEmpty() ||
        !bFunStageClassFile(msg, path, m_privateCopy, m_damaged, &out.error) ||
        !bFunGetStudentsList(msg, m_privateCopy, m_pupils, &m_unreadable)) {
        m_pupils.clear();
        if (m_privateCopy.isEmpty())
            out.error = EINVAL;
        out.messages << ClassFileMessage{QStringLiteral("Błąd"), msg, Prompts::Icon::Error};
        return out;
    }
    m_open = true;
    m_path = info.absoluteFilePath();
    out.ok = true;
    return out;
}

void ClassSession::forgetPupils() {
    unloadPupil();
    m_pupils.clear();
}

void ClassSession::unloadPupil() {
    m_loadedTable.clear();
    m_records.clear();
}

ClassFileOutcome ClassSession::newClass() {
    forgetPupils();
    setPath(QString());
    m_readOnly = false;
    QString scratch;
    bFunDeleteTmpFile(scratch);
    m_open = true;
    return succeeded();
}

ClassFileOutcome ClassSession::open(const QString &path) {
    // An older text file is pointed to the import; the open class stays.
    if (bFunIsLegacyClassFile(path)) {
        ClassFileOutcome out;
        out.messages << legacyFileMessage(path);
        return out;
    }
    ClassFileOutcome out = bFunWczytajPlikSwiadectw(path);
    // A file that could not be opened leaves the class that was open (or
    // none) as it was: nothing of it is lost to a wrong file.
    if (!out.ok)
        return out;
    // The whole path: saving and the unsaved-work mark do not depend on the
    // folder the program was started in.
    takeOpened(out, QFileInfo(path).absoluteFilePath(), out.readOnly);
    return out;
}

void ClassSession::takeOpened(ClassFileOutcome &out, const QString &path, bool readOnly) {
    forgetPupils();
    out.messages << readPupils().messages;
    m_open = true;
    m_readOnly = readOnly;
    setPath(path);
}

ClassFileOutcome ClassSession::save() {
    ClassVersionKeeper keeper(m_path, workingCopy());
    ClassFileOutcome out = bFunZapiszIstniejacyPlikSwiadectw(m_path);
    if (out.ok) {
        unsaved = false;
        keepVersion(keeper, out);
    }
    return out;
}

ClassFileOutcome ClassSession::saveAs(const QString &target) {
    ClassVersionKeeper keeper(target, workingCopy());
    ClassFileOutcome out = bFunZapiszNowyPlikSwiadectw(target);
    if (out.ok) {
        keepVersion(keeper, out);
        // The class now is the file saved: nothing of it is unsaved.
        m_readOnly = false;
        unsaved = false;
        setPath(target);
    }
    return out;
}

QList<ClassVersion> ClassSession::versions() const {
    return classVersions(m_path);
}

ClassFileOutcome ClassSession::openVersion(const QString &versionPath) {
    if (m_path.isEmpty())
        return failed(QString::fromUtf8("Klasa nie jest jeszcze zapisana w pliku, więc nie ma "
                                        "poprzednich wersji."));
    const QString classPath = m_path;
    // A version is a class file like any other: it goes through the same
    // checks, and a failure leaves the open class as it was.
    ClassFileOutcome out = bFunWczytajPlikSwiadectw(versionPath);
    if (!out.ok)
        return out;
    int err = 0;
    out.readOnly = !bFunCanReplaceFile(classPath, err);
    // Still her file's class: "Zapisz" makes the version its content.
    takeOpened(out, classPath, out.readOnly);
    unsaved = true;
    return out;
}

ClassFileOutcome ClassSession::readPupils() {
    m_pupils.clear();
    QString msg;
    const QString tmp = workingCopy();
    if (tmp.isEmpty() || !QFileInfo::exists(tmp)) {
        // No working copy yet: a class without pupils.
        ClassFileOutcome out;
        out.error = ENOENT;
        return out;
    }
    if (!bFunGetStudentsList(msg, tmp, m_pupils)) {
        m_pupils.clear();
        return failed(QString::fromUtf8("Błąd podczas próby wczytania listy uczniów"));
    }
    return succeeded();
}

ClassFileOutcome ClassSession::loadPupil(const QString &table) {
    unloadPupil();
    QString msg;
    const QString tmp = workingCopy();
    SqlDataList records;
    if (tmp.isEmpty() || !bFunLoadCertData(msg, tmp, table, records))
        return failed(QString::fromUtf8("Błąd podczas próby wczytania danych.\n\n") + msg);
    m_loadedTable = table;
    m_records = records;
    return succeeded();
}

ClassFileOutcome ClassSession::savePupil(const QString &table, const SqlDataList &records,
                                         const QString &dropTable,
                                         const std::function<void()> &step) {
    QString msg;
    const QString tmp = workingCopy();
    // The first pupil of a new class starts its working copy: an empty file
    // is a class without pupils.
    if (!tmp.isEmpty() && !QFileInfo::exists(tmp)) {
        QFile start(tmp);
        start.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    // The old rows are replaced in one transaction: a failed save leaves the
    // pupil as it was. Saving what is stored already changes nothing, and
    // the class is not marked as changed.
    const bool same =
        dropTable.isEmpty() && !tmp.isEmpty() && bFunSameAsStored(tmp, table, records);
    if (!same && (tmp.isEmpty() || !bFunReplaceCertData(msg, tmp, table, records, step, dropTable)))
        return failed(QString::fromUtf8("Błąd zapisu danych.\n\n") + msg);
    if (!same)
        unsaved = true;
    // The pupil's documents take its data (name, endings, PESEL) when loaded:
    // it is loaded again, under its new table after a PESEL change.
    ClassFileOutcome out = loadPupil(table);
    out.ok = true;
    const ClassFileOutcome list = readPupils();
    out.messages << list.messages;
    return out;
}

ClassFileOutcome ClassSession::deletePupil(const QString &table) {
    QString msg;
    const QString tmp = workingCopy();
    if (tmp.isEmpty() || !bFunDeleteTable(msg, tmp, table)) {
        // The failure is in the log; the pupil stays as it was.
        ClassFileOutcome out;
        readPupils();
        return out;
    }
    if (m_loadedTable == table)
        unloadPupil();
    unsaved = true;
    ClassFileOutcome out = readPupils();
    out.ok = true;
    return out;
}

ClassFileOutcome
ClassSession::import(const std::function<bool(QString &msg, const QString &workingCopy)> &run) {
    QString msg;
    const QString tmp = workingCopy();
    if (tmp.isEmpty() || !run(msg, tmp))
        return failed(msg);
    // The imported pupils belong to no file yet: "Zapisz" asks for a name,
    // closing asks to save.
    forgetPupils();
    m_open = true;
    m_readOnly = false;
    setPath(QString());
    unsaved = true;
    ClassFileOutcome out = readPupils();
    out.ok = true;
    return out;
}

bool ClassSession::findUnsavedWork(QString &classPath) const {
    return bFunFindUnsavedWork(classPath);
}

ClassFileOutcome ClassSession::recoverUnsavedWork(const QString &classPath) {
    ClassFileOutcome out = readPupils();
    if (!out.ok)
        return out;
    m_open = true;
    setPath(classPath);
    unsaved = true;
    return out;
}

ClassFileOutcome ClassSession::setAsideUnsavedWork(QString &asidePath) {
    forgetPupils();
    QString msg;
    if (!bFunSetAsideWorkingCopy(msg, asidePath))
        return failed(msg);
    return succeeded();
}

void ClassSession::discardLeftovers() {
    QString scratch;
    bFunDeleteTmpFile(scratch);
    bFunClearUnsavedMark(scratch);
}

void ClassSession::endNormally() {
    markUnsaved(false);
}
