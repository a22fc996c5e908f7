#include "document/templatestore.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/sqlrun.h"
#include "storage/sqltext.h"

#include <QFileInfo>

TemplateStore TemplateStore::inProgramFolder(QString &msg) {
    const DataFilePath file = DataFilePath::inProgramFolder(QString::fromLatin1(kTemplateFileName));
    if (!file.found(msg) || QFileInfo::exists(file.path()))
        return TemplateStore(file.path());
    bFunWithDatabase(msg, file.path(), {"SqlException\n", "strFunGetTemplateFilePath()"},
                     [](CppSQLite3DB &) { return true; });
    return TemplateStore(file.path());
}

bool TemplateStore::read(QString &msg, const QString &table, SqlDataList &records) const {
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje.\n") + m_path,
                        "bFunSqlTemplateReadData()");
    records.clear();
    return bFunWithDatabase(
        msg, m_path, {"SqlException\n", "bFunSqlTemplateReadData()"}, [&](CppSQLite3DB &db) {
            if (!db.HasTable(table))
                return true;
            CppSQLite3Query q = db.Query(QStringLiteral("select * from ") + strFunSqlName(table));
            while (!q.AtEnd()) {
                records.append({q.TextOr(QStringLiteral("id"), QString()),
                                q.TextOr(QStringLiteral("comp_name"), QString()),
                                q.TextOr(QStringLiteral("value"), QString())});
                q.Next();
            }
            return true;
        });
}

bool TemplateStore::write(QString &msg, const QString &table, const SqlDataList &records) const {
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje.\n\n") + m_path,
                        "bFunSqlTemplateWriteData()");
    const SqlReport report{"SqlException\n", "bFunSqlTemplateWriteData()"};
    return bFunWithDatabase(msg, m_path, report, [&](CppSQLite3DB &db) {
        // One transaction: a failure keeps the previous template.
        return bFunInTransaction(msg, db, report, [&](QString &) {
            if (db.HasTable(table))
                db.Execute(QStringLiteral("drop table ") + strFunSqlName(table));
            db.Execute(QStringLiteral("create table ") + strFunSqlName(table) +
                       QStringLiteral("( id TEXT, comp_name TEXT, value TEXT )"));
            const QString insert = QStringLiteral("insert into ") + strFunSqlName(table) +
                                   QStringLiteral("( `id`, `comp_name`, `value` ) "
                                                  "values( ?, ?, ? )");
            for (const structSqlData &r : records)
                db.Execute(insert, {r.id, r.comp_name, r.value});
            return true;
        });
    });
}

QString strFunGetTemplateFilePath(QString &msg) {
    return TemplateStore::inProgramFolder(msg).path();
}

bool bFunSqlTemplateReadData(QString &msg, const QString &path, const QString &table,
                             SqlDataList &records) {
    return TemplateStore(path).read(msg, table, records);
}

bool bFunSqlTemplateWriteData(QString &msg, const QString &path, const QString &table,
                              const SqlDataList &records) {
    return TemplateStore(path).write(msg, table, records);
}

const QList<QPair<const char *, const char *>> &certificateTemplateFields() {
    static const QList<QPair<const char *, const char *>> pairs = {
        {"ZMIENNA_RokSzkolny1_STR1_DATA_EDIT", "ZMIENNA_RokSzkolny1_DATA_EDIT"},
        {"ZMIENNA_RokSzkolny2_STR1_DATA_EDIT", "ZMIENNA_RokSzkolny2_DATA_EDIT"},
        {"ZMIENNA_Klasa_STR1_DATA_EDIT", "ZMIENNA_Klasa_DATA_EDIT"},
        {"ZMIENNA_NazwaSzkolyPodstawowej1_STR1_DATA_EDIT", "ZMIENNA_SzkolyPodstawowej1_DATA_EDIT"},
        {"ZMIENNA_NazwaSzkolyPodstawowej2_STR1_DATA_EDIT", "ZMIENNA_SzkolyPodstawowej2_DATA_EDIT"},
        {"ZMIENNA_NrSzkoly_STR1_DATA_EDIT", "ZMIENNA_SzkolaNr_DATA_EDIT"},
        {"ZMIENNA_ImieSzkoly1_STR1_DATA_EDIT", "ZMIENNA_SzkolaImienia1_DATA_EDIT"},
        {"ZMIENNA_ImieSzkoly2_STR1_DATA_EDIT", "ZMIENNA_SzkolaImienia2_DATA_EDIT"},
        {"ZMIENNA_SzkolaWE_STR1_DATA_EDIT", "ZMIENNA_SzkolaWE_DATA_EDIT"},
        {"ZMIENNA_SzkolaMiasto_STR1_DATA_EDIT", "ZMIENNA_SzkolaMiasto_DATA_EDIT"},
        {"ZMIENNA_SzkolaWoj_STR1_DATA_EDIT", "ZMIENNA_SzkolaWoj_DATA_EDIT"},
        {"ZMIENNA_PromocjaKlasa_STR1_DATA_EDIT", "ZMIENNA_PromocjaDoKlasy_DATA_EDIT"},
        {"ZMIENNA_Miejscowosc_STR1_DATA_EDIT", "ZMIENNA_Miejscowosc_DATA_EDIT"},
        {"ZMIENNA_MiejscowoscDnia_STR1_DATA_EDIT", "ZMIENNA_MiejscowoscDnia_DATA_EDIT"},
        {"ZMIENNA_MiejscowoscRok_STR1_DATA_EDIT", "ZMIENNA_MiejscowoscRok_DATA_EDIT"},
    };
    return pairs;
}

const QList<const char *> &titlePageTemplateFields() {
    static const QList<const char *> names = {
        "ZMIENNA_NazwaSzkoly1_DATA_EDIT",
        "ZMIENNA_NazwaSzkoly2_DATA_EDIT",
        "ZMIENNA_NazwaSzkoly3_DATA_EDIT",
        "ZMIENNA_SzkolaNiepublicznaProwadzonaPrzez1_DATA_EDIT",
        "ZMIENNA_SzkolaNiepublicznaProwadzonaPrzez2_DATA_EDIT",
        "ZMIENNA_SzkolaNiepublicznaPodNr_DATA_EDIT",
    };
    return names;
}
