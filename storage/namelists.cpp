#include "storage/namelists.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/sqltext.h"

#include <QFileInfo>

namespace {

bool settingsPath(QString &msg, QString &path, const char *logName) {
    path = strFunGetDataFilePath(msg, QString::fromLatin1(kSettingsFileName));
    if (path.isEmpty())
        return false;
    if (QFileInfo::exists(path))
        return true;
    return bFunFail(msg, QStringLiteral("Plik nie istnieje:\n") + path, logName);
}

bool loadNames(QString &msg, const char *table, QStringList &names, const char *logName) {
    QString path;
    if (!settingsPath(msg, path, logName))
        return false;
    CppSQLite3DB db;
    try {
        db.Open(path);
        names += strFunQueryColumn(
            db, QStringLiteral("select * from `%1` order by `name` ASC").arg(QLatin1String(table)),
            QStringLiteral("name"));
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SQLite exception: \n") + strFunSqlErrorText(e),
                        logName);
    }
}

bool addName(QString &msg, const char *table, const QString &name, const char *logName) {
    QString path;
    if (!settingsPath(msg, path, logName))
        return false;
    const QString value = strFunSqlEscape(name);
    const QString t = QLatin1String(table);
    CppSQLite3DB db;
    try {
        db.Open(path);
        if (db.Execute(
                QStringLiteral("update `%1` set `name`='%2' where `name`='%2'").arg(t, value)) == 0)
            db.Execute(QStringLiteral("insert into `%1`( `name` ) values( '%2' )").arg(t, value));
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SQLite exception: \n") + strFunSqlErrorText(e),
                        logName);
    }
}

} // namespace

bool bFunStudentDataLoadCityList(QString &msg, QStringList &names) {
    return loadNames(msg, "city", names, "bFunStudentDataLoadCityList()");
}

bool bFunStudentDataLoadProvinceList(QString &msg, QStringList &names) {
    return loadNames(msg, "province", names, "bFunStudentDataLoadProvinceList()");
}

bool bFunStudentDataAddCity(QString &msg, const QString &name) {
    return addName(msg, "city", name, "bFunStudentDataAddCity()");
}

bool bFunStudentDataAddProvince(QString &msg, const QString &name) {
    return addName(msg, "province", name, "bFunStudentDataAddProvince()");
}
