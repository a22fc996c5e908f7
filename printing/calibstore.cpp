#include "printing/calibstore.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/sqltext.h"

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

// Values go into statements escaped: a quote in a name no longer breaks them.
QString quoted(const QString &text) {
    return QLatin1Char('\'') + strFunSqlEscape(text) + QLatin1Char('\'');
}
QString quoted(int value) {
    return QLatin1Char('\'') + QString::number(value) + QLatin1Char('\'');
}

const char *const kMarginColumns = "insert into `margin`( `name`, `Page1X1`, `Page1Y1`, `Page1X2`, "
                                   "`Page1Y2`, `Page2X1`, `Page2Y1`, `Page2X2`, "
                                   "`Page2Y2` ) values( ";

QString marginValues(const structMarginData &m) {
    return quoted(m.name) + ", " + quoted(m.Page1X1) + ", " + quoted(m.Page1Y1) + ", " +
           quoted(m.Page1X2) + ", " + quoted(m.Page1Y2) + ", " + quoted(m.Page2X1) + ", " +
           quoted(m.Page2Y1) + ", " + quoted(m.Page2X2) + ", " + quoted(m.Page2Y2) + " )";
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

} // namespace

bool bFunCalibLoadData(QString &msg, const QString &path, const QString &table, CalibList &list) {
    if (missing(msg, path, "Plik nie istnieje: \n", "bFunCalibLoadData()"))
        return false;
    CppSQLite3DB db;
    try {
        db.Open(path);
        if (!db.HasTable(table)) {
            db.Close();
            return bFunFail(msg, QStringLiteral("Tablica nie istnieje: \n") + table,
                            "bFunCalibLoadData()");
        }
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
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SQLite exception: \n") + strFunSqlErrorText(e),
                        "bFunCalibLoadData()");
    }
}

bool bFunSqlCalibUpdateValue(QString &msg, const QString &path, const QString &table,
                             const structCalibData &r) {
    if (missing(msg, path, "Plik nie istnieje.\n", "bFunSqlCalibUpdateValue()"))
        return false;
    const QString sql =
        QStringLiteral("update ") + strFunSqlName(table) + " set `x1`=" + quoted(r.x1) +
        ", `y1`=" + quoted(r.y1) + ", `x2`=" + quoted(r.x2) + ", `y2`=" + quoted(r.y2) +
        ", `font_name`=" + quoted(r.font_name) + ", `font_size`=" + quoted(r.font_size) +
        ", `font_align`=" + quoted(r.font_align) +
        ", `font_style_bold`=" + quoted(r.font_style_bold) +
        ", `font_style_italic`=" + quoted(r.font_style_italic) +
        ", `font_style_underline`=" + quoted(r.font_style_underline) +
        ", `font_style_strike`=" + quoted(r.font_style_strike) + " where `name`=" + quoted(r.name);
    CppSQLite3DB db;
    try {
        db.Open(path);
        const int changed = db.Execute(sql);
        db.Close();
        if (changed == 0)
            return bFunFail(msg, QString::fromUtf8("Błąd aktualizacji wpisu kalibracji.\n\n") + sql,
                            "bFunSqlCalibUpdateValue()");
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SqlException\n") + strFunSqlErrorText(e),
                        "bFunSqlCalibUpdateValue()");
    }
}

bool bFunCalibLoadCertList(QString &msg, QStringList &tables) {
    const QString path = strFunGetDataFilePath(msg, QString::fromLatin1(kCalibFileName));
    if (path.isEmpty())
        return false;
    tables.clear();
    CppSQLite3DB db;
    try {
        db.Open(path);
        tables =
            strFunQueryColumn(db, QStringLiteral("SELECT * FROM sqlite_master WHERE type='table'"),
                              QStringLiteral("name"));
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("Sql exception: ") + strFunSqlErrorText(e),
                        "bFunCalibLoadCertList()");
    }
}

bool bFunMarginReadData(QString &msg, const QString &path, MarginList &list) {
    if (missing(msg, path, "Plik nie istnieje.\n", "bFunMarginReadData()"))
        return false;
    list.clear();
    CppSQLite3DB db;
    try {
        db.Open(path);
        CppSQLite3Query q = db.Query(QStringLiteral("select * from `margin`"));
        while (!q.AtEnd()) {
            list.append(marginRow(q));
            q.Next();
        }
        q.Release();
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SqlException\n") + strFunSqlErrorText(e),
                        "bFunMarginReadData()");
    }
}

bool bFunMarginWriteNewSettings(QString &msg, const QString &path, const structMarginData &set) {
    if (missing(msg, path, "Plik nie istnieje.\n", "bFunMarginWriteNewSettings()"))
        return false;
    CppSQLite3DB db;
    try {
        db.Open(path);
        const int changed = db.Execute(QString::fromLatin1(kMarginColumns) + marginValues(set));
        db.Close();
        if (changed == 0)
            return bFunFail(msg, QString::fromUtf8("Bład podczas próby dodania wpisu."),
                            "bFunMarginWriteNewSettings()");
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("Sql exception: ") + strFunSqlErrorText(e),
                        "bFunMarginWriteNewSettings()");
    }
}

bool bFunMarginDeleteSettings(QString &msg, const QString &path, const QString &name) {
    if (missing(msg, path, "Plik nie istnieje.\n", "bFunMarginDeleteSettings()"))
        return false;
    CppSQLite3DB db;
    try {
        db.Open(path);
        const int changed =
            db.Execute(QStringLiteral("delete from `margin` where `name`=") + quoted(name));
        db.Close();
        if (changed == 0)
            return bFunFail(msg,
                            QString::fromUtf8("Błąd podczas próby skasowania ustawień ") + name,
                            "bFunMarginDeleteSettings()");
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SqlException\n") + strFunSqlErrorText(e),
                        "bFunMarginDeleteSettings()");
    }
}

bool bFunMarginRestoreOriginal(QString &msg, const QString &shippedPath,
                               const QString &workingPath) {
    if (missing(msg, shippedPath, "Plik nie istnieje.\n", "bFunMarginRestoreOriginal()") ||
        missing(msg, workingPath, "Plik nie istnieje.\n", "bFunMarginRestoreOriginal()"))
        return false;
    CppSQLite3DB shipped, working;
    try {
        shipped.Open(shippedPath);
        working.Open(workingPath);
        // One transaction: a failure keeps the user's sets.
        working.Execute(QStringLiteral("begin transaction;"));
        working.Execute(QStringLiteral("delete from `margin` where 1"));
        CppSQLite3Query q = shipped.Query(QStringLiteral("select * from `margin`"));
        while (!q.AtEnd()) {
            working.Execute(QString::fromLatin1(kMarginColumns) + marginValues(marginRow(q)));
            q.Next();
        }
        q.Release();
        working.Execute(QStringLiteral("commit transaction;"));
        working.Close();
        shipped.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("Sql exception: ") + strFunSqlErrorText(e),
                        "bFunMarginRestoreOriginal()");
    }
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
