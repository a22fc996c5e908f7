#include "storage/namelists.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/settings.h"
#include "storage/sqlrun.h"

#include <QFileInfo>

namespace {

bool settingsPath(QString &msg, QString &path, const char *logName) {
    const SettingsStore settings = SettingsStore::inProgramFolder();
    if (!settings.file().found(msg))
        return false;
    path = settings.path();
    if (QFileInfo::exists(path))
        return true;
    return bFunFail(msg, QStringLiteral("Plik nie istnieje:\n") + path, logName);
}

bool loadNames(QString &msg, const char *table, QStringList &names, const char *logName) {
    QString path;
    if (!settingsPath(msg, path, logName))
        return false;
    return bFunWithDatabase(msg, path, {"SQLite exception: \n", logName}, [&](CppSQLite3DB &db) {
        names += strFunQueryColumn(
            db, QStringLiteral("select * from `%1` order by `name` ASC").arg(QLatin1String(table)),
            QStringLiteral("name"));
        return true;
    });
}

bool addName(QString &msg, const char *table, const QString &name, const char *logName) {
    QString path;
    if (!settingsPath(msg, path, logName))
        return false;
    const QString t = QLatin1String(table);
    return bFunWithDatabase(msg, path, {"SQLite exception: \n", logName}, [&](CppSQLite3DB &db) {
        if (db.Execute(QStringLiteral("update `%1` set `name`=?1 where `name`=?1").arg(t),
                       {name}) == 0)
            db.Execute(QStringLiteral("insert into `%1`( `name` ) values( ? )").arg(t), {name});
        return true;
    });
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
