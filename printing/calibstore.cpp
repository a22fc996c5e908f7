#include "printing/calibstore.h"

#include "storage/cppsqlite3.h"
#include "storage/fileops.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/settings.h"
#include "storage/sqlrun.h"
#include "storage/sqltext.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

bool missing(QString &msg, const QString &path, const char *prefix, const char *logName) {
    if (QFileInfo::exists(path))
        return false;
    bFunFail(msg, QString::fromUtf8(prefix) + path, logName);
    return true;
}

// A stored number is the same text between quotes as before: column affinity
// makes it an integer where the column says so.
QString number(int value) {
    return QString::number(value);
}

const char *const kMarginInsert = "insert into `margin`( `name`, `Page1X1`, `Page1Y1`, `Page1X2`, "
                                  "`Page1Y2`, `Page2X1`, `Page2Y1`, `Page2X2`, "
                                  "`Page2Y2` ) values( ?, ?, ?, ?, ?, ?, ?, ?, ? )";

QStringList marginValues(const structMarginData &m) {
    return {m.name,
            number(m.Page1X1),
            number(m.Page1Y1),
            number(m.Page1X2),
            number(m.Page1Y2),
            number(m.Page2X1),
            number(m.Page2Y1),
            number(m.Page2X2),
            number(m.Page2Y2)};
}

structMarginData marginRow(const CppSQLite3Query &q) {
    structMarginData m;
    m.name = q.TextOr(QStringLiteral("name"), QString()).left(255);
    m.Page1X1 = q.IntOr(QStringLiteral("Page1X1"), 0);
    m.Page1Y1 = q.IntOr(QStringLiteral("Page1Y1"), 0);
    m.Page1X2 = q.IntOr(QStringLiteral("Page1X2"), 0);
    m.Page1Y2 = q.IntOr(QStringLiteral("Page1Y2"), 0);
    m.Page2X1 = q.IntOr(QStringLiteral("Page2X1"), 0);
    m.Page2Y1 = q.IntOr(QStringLiteral("Page2Y1"), 0);
    m.Page2X2 = q.IntOr(QStringLiteral("Page2X2"), 0);
    m.Page2Y2 = q.IntOr(QStringLiteral("Page2Y2"), 0);
    return m;
}

// The rows of a layout as last read, with what identifies the file's
// version: a preview reads them once per change, not on every click.
struct CachedLayout {
    QString path, table;
    FsInfo file;
    quint64 generation = 0;
    CalibList rows;
};
QList<CachedLayout> &cachedLayouts() {
    static QList<CachedLayout> layouts;
    return layouts;
}
// Counts the program's own writes: each one makes every cached layout stale,
// whatever the clock of the file system says.
quint64 &writeGeneration() {
    static quint64 generation = 0;
    return generation;
}

} // namespace

// ---------------------------------------------------------------------------

CalibrationStore CalibrationStore::inProgramFolder() {
    const QString name = QString::fromLatin1(kCalibFileName);
    return CalibrationStore(DataFilePath::inProgramFolder(name),
                            DataFilePath::inInstallation(name));
}

bool CalibrationStore::layouts(QString &msg, QStringList &tables) const {
    if (!m_working.found(msg))
        return false;
    tables.clear();
    // Opening makes a missing file: it then lists no layout.
    return bFunWithDatabase(
        msg, path(), {"Sql exception: ", "bFunCalibLoadCertList()"}, [&](CppSQLite3DB &db) {
            tables = strFunQueryColumn(
                db, QStringLiteral("SELECT * FROM sqlite_master WHERE type='table'"),
                QStringLiteral("name"));
            return true;
        });
}

bool CalibrationStore::load(QString &msg, const QString &table, CalibList &list) const {
    const char *const fun = "bFunCalibLoadData()";
    if (!m_working.found(msg) || missing(msg, path(), "Plik nie istnieje: \n", fun))
        return false;
    FsInfo before;
    const bool known = iFsStat(path(), before) == 0;
    QList<CachedLayout> &cache = cachedLayouts();
    if (known) {
        for (const CachedLayout &c : cache) {
            if (c.path == path() && c.table == table && c.generation == writeGeneration() &&
                bFsSameVersion(c.file, before)) {
                list = c.rows;
                return true;
            }
        }
    }
    const bool read = readLayout(msg, table, list);
    FsInfo after;
    // Kept only when the file stayed the same while it was read.
    if (read && known && iFsStat(path(), after) == 0 && bFsSameVersion(before, after)) {
        cache.erase(std::remove_if(cache.begin(), cache.end(),
                                   [&](const CachedLayout &c) {
                                       return c.path == path() && c.table == table;
                                   }),
                    cache.end());
        cache.append({path(), table, after, writeGeneration(), list});
    }
    return read;
}

bool CalibrationStore::readLayout(QString &msg, const QString &table, CalibList &list) const {
    const char *const fun = "bFunCalibLoadData()";
    return bFunWithDatabase(msg, path(), {"SQLite exception: \n", fun}, [&](CppSQLite3DB &db) {
        if (!db.HasTable(table))
            return bFunFail(msg, QStringLiteral("Tablica nie istnieje: \n") + table, fun);
        list.clear();
        CppSQLite3Query q = db.Query(QStringLiteral("select * from ") + strFunSqlName(table));
        while (!q.AtEnd()) {
            structCalibData r;
            r.name = q.TextOr(QStringLiteral("name"), QString()).left(255);
            r.x1 = q.IntOr(QStringLiteral("x1"), 0);
            r.y1 = q.IntOr(QStringLiteral("y1"), 0);
            r.x2 = q.IntOr(QStringLiteral("x2"), 0);
            r.y2 = q.IntOr(QStringLiteral("y2"), 0);
            r.font_name = q.TextOr(QStringLiteral("font_name"), QString()).left(99);
            r.font_size = q.IntOr(QStringLiteral("font_size"), 0);
            r.font_align = q.IntOr(QStringLiteral("font_align"), 0);
            r.font_style_bold = q.IntOr(QStringLiteral("font_style_bold"), 0);
            r.font_style_italic = q.IntOr(QStringLiteral("font_style_italic"), 0);
            r.font_style_underline = q.IntOr(QStringLiteral("font_style_underline"), 0);
            r.font_style_strike = q.IntOr(QStringLiteral("font_style_strike"), 0);
            list.append(r);
            q.Next();
        }
        q.Release();
        return true;
    });
}

bool CalibrationStore::update(QString &msg, const QString &table, const structCalibData &r) const {
    const char *const fun = "bFunSqlCalibUpdateValue()";
    ++writeGeneration();
    if (!m_working.found(msg) || missing(msg, path(), "Plik nie istnieje.\n", fun))
        return false;
    const QString sql = QStringLiteral("update ") + strFunSqlName(table) +
                        " set `x1`=?, `y1`=?, `x2`=?, `y2`=?, `font_name`=?, `font_size`=?, "
                        "`font_align`=?, `font_style_bold`=?, `font_style_italic`=?, "
                        "`font_style_underline`=?, `font_style_strike`=? where `name`=?";
    const QStringList values{number(r.x1),
                             number(r.y1),
                             number(r.x2),
                             number(r.y2),
                             r.font_name,
                             number(r.font_size),
                             number(r.font_align),
                             number(r.font_style_bold),
                             number(r.font_style_italic),
                             number(r.font_style_underline),
                             number(r.font_style_strike),
                             r.name};
    return bFunWithDatabase(msg, path(), {"SqlException\n", fun}, [&](CppSQLite3DB &db) {
        if (db.Execute(sql, values) != 0)
            return true;
        return bFunFail(msg,
                        QString::fromUtf8("Błąd aktualizacji wpisu kalibracji.\n\n") +
                            strFunSqlShown(sql, values),
                        fun);
    });
}

bool CalibrationStore::restoreOriginal(QString &msg) const {
    ++writeGeneration();
    QString scratch;
    const QString source = m_shipped.path(), target = path();
    if (!target.isEmpty() && QFileInfo::exists(source) &&
        bFunCopyFile(scratch, source, target, false))
        return true;
    // Logged under the action the teacher took.
    return bFunFail(msg,
                    QString::fromUtf8("Błąd podczas próby przywrócenia oryginalnego pliku "
                                      "kalibracji.\nŹródło: ") +
                        source + QString::fromUtf8("\nCel: ") + target,
                    "PrzywrocUstawieniaButtonClick()");
}

// ---------------------------------------------------------------------------

MarginSetStore MarginSetStore::inProgramFolder() {
    return MarginSetStore(SettingsStore::inProgramFolder().file(), SettingsStore::shipped().file());
}

bool MarginSetStore::read(QString &msg, MarginList &list) const {
    const char *const fun = "bFunMarginReadData()";
    if (!m_working.found(msg) || missing(msg, path(), "Plik nie istnieje.\n", fun))
        return false;
    list.clear();
    return bFunWithDatabase(msg, path(), {"SqlException\n", fun}, [&](CppSQLite3DB &db) {
        CppSQLite3Query q = db.Query(QStringLiteral("select * from `margin`"));
        while (!q.AtEnd()) {
            list.append(marginRow(q));
            q.Next();
        }
        q.Release();
        return true;
    });
}

bool MarginSetStore::add(QString &msg, const structMarginData &set) const {
    const char *const fun = "bFunMarginWriteNewSettings()";
    if (!m_working.found(msg) || missing(msg, path(), "Plik nie istnieje.\n", fun))
        return false;
    return bFunWithDatabase(msg, path(), {"Sql exception: ", fun}, [&](CppSQLite3DB &db) {
        if (db.Execute(QString::fromLatin1(kMarginInsert), marginValues(set)) != 0)
            return true;
        return bFunFail(msg, QString::fromUtf8("Bład podczas próby dodania wpisu."), fun);
    });
}

bool MarginSetStore::remove(QString &msg, const QString &name) const {
    const char *const fun = "bFunMarginDeleteSettings()";
    if (!m_working.found(msg) || missing(msg, path(), "Plik nie istnieje.\n", fun))
        return false;
    return bFunWithDatabase(msg, path(), {"SqlException\n", fun}, [&](CppSQLite3DB &db) {
        if (db.Execute(QStringLiteral("delete from `margin` where `name`=?"), {name}) != 0)
            return true;
        return bFunFail(msg, QString::fromUtf8("Błąd podczas próby skasowania ustawień ") + name,
                        fun);
    });
}

bool MarginSetStore::restoreOriginal(QString &msg) const {
    const char *const fun = "bFunMarginRestoreOriginal()";
    if (!m_shipped.found(msg) || !m_working.found(msg) ||
        missing(msg, m_shipped.path(), "Plik nie istnieje.\n", fun) ||
        missing(msg, path(), "Plik nie istnieje.\n", fun))
        return false;
    const SqlReport report{"Sql exception: ", fun};
    return bFunWithDatabase(msg, m_shipped.path(), report, [&](CppSQLite3DB &shipped) {
        return bFunWithDatabase(msg, path(), report, [&](CppSQLite3DB &working) {
            // One transaction: a failure keeps the user's sets.
            return bFunInTransaction(msg, working, report, [&](QString &) {
                working.Execute(QStringLiteral("delete from `margin` where 1"));
                CppSQLite3Query q = shipped.Query(QStringLiteral("select * from `margin`"));
                while (!q.AtEnd()) {
                    working.Execute(QString::fromLatin1(kMarginInsert), marginValues(marginRow(q)));
                    q.Next();
                }
                q.Release();
                return true;
            });
        });
    });
}

// ---------------------------------------------------------------------------

bool bFunCalibLoadData(QString &msg, const QString &path, const QString &table, CalibList &list) {
    return CalibrationStore(DataFilePath(path)).load(msg, table, list);
}

bool bFunSqlCalibUpdateValue(QString &msg, const QString &path, const QString &table,
                             const structCalibData &row) {
    return CalibrationStore(DataFilePath(path)).update(msg, table, row);
}

bool bFunCalibLoadCertList(QString &msg, QStringList &tables) {
    return CalibrationStore::inProgramFolder().layouts(msg, tables);
}

bool bFunMarginReadData(QString &msg, const QString &path, MarginList &list) {
    return MarginSetStore(DataFilePath(path)).read(msg, list);
}

bool bFunMarginWriteNewSettings(QString &msg, const QString &path, const structMarginData &set) {
    return MarginSetStore(DataFilePath(path)).add(msg, set);
}

bool bFunMarginDeleteSettings(QString &msg, const QString &path, const QString &name) {
    return MarginSetStore(DataFilePath(path)).remove(msg, name);
}

bool bFunMarginRestoreOriginal(QString &msg, const QString &shippedPath,
                               const QString &workingPath) {
    return MarginSetStore(DataFilePath(workingPath), DataFilePath(shippedPath))
        .restoreOriginal(msg);
}

bool bFunMoveSideEdges(QString &msg, structMarginData &edges, int side, int dLeft, int dTop,
                       int dRight, int dBottom, const QString &what) {
    using M = structMarginData;
    int M::*const left = side == 1 ? &M::Page1X1 : &M::Page2X1;
    int M::*const top = side == 1 ? &M::Page1Y1 : &M::Page2Y1;
    int M::*const right = side == 1 ? &M::Page1X2 : &M::Page2X2;
    int M::*const bottom = side == 1 ? &M::Page1Y2 : &M::Page2Y2;
    constexpr int kWidth = 210, kHeight = 297; // A4, mm
    // The move in steps of 1 mm along its longest edge change.
    const int steps =
        std::max({std::abs(dLeft), std::abs(dTop), std::abs(dRight), std::abs(dBottom)});
    // A moved edge ends on the sheet, or at least nearer to it than it was
    // (a set from elsewhere may start off the sheet: it can be brought back).
    auto fits = [&](int n) {
        bool ok = true;
        auto at = [&](int M::*edge, int d, int limit) {
            const int was = edges.*edge, now = was + d * n / std::max(steps, 1);
            const auto off = [limit](int v) {
                return v < 0 ? qint64(-v) : v > limit ? qint64(v) - limit : qint64(0);
            };
            if (d != 0 && off(now) > 0 && off(now) >= off(was))
                ok = false;
            return now;
        };
        // The right and bottom edges of a set as large as the sheet pass it
        // when the print is moved right or down: only the page's blank
        // margin leaves the sheet there, so they are held to the sheet only
        // by the top left corner and a width and height.
        const int l = at(left, dLeft, kWidth - 1), t = at(top, dTop, kHeight - 1),
                  r = at(right, dRight, INT_MAX), b = at(bottom, dBottom, INT_MAX);
        return ok && l < r && t < b;
    };
    if (fits(steps)) {
        edges.*left += dLeft;
        edges.*top += dTop;
        edges.*right += dRight;
        edges.*bottom += dBottom;
        return true;
    }
    int room = steps - 1;
    while (room > 0 && !fits(room))
        --room;
    msg = QString::fromUtf8("Strona %1: nie można %2 o %3 mm, bo lewy górny róg wydruku "
                            "wyszedłby poza kartkę.\n")
              .arg(side)
              .arg(what)
              .arg(steps);
    msg += room > 0 ? QString::fromUtf8("Można najwyżej o %1 mm.").arg(room)
                    : QString::fromUtf8("Wydruk jest już na brzegu kartki.");
    return false;
}
