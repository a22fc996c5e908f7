#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One stored value of a pupil: which document, which field, what text.
struct structSqlData {
    QString id;
    QString comp_name;
    QString value;
};
using SqlDataList = QList<structSqlData>;

// A pupil as the class file lists it.
struct structStudentEntry {
    QString name;  // "surname first-name"
    QString table; // "PESEL" + the PESEL number
};
using StudentList = QList<structStudentEntry>;

inline const char *const kPupilDataId = "DANE UCZNIA";

// The statement that makes a pupil table.
QString strFunCreatePupilTableSql(const QString &table);

class CppSQLite3DB;
// Inserts the records into the pupil table of an open database, in list
// order, every text escaped; step is called after each record. Returns the
// statement that inserted nothing, or the empty text; the SQLite layer's
// exception passes through.
QString strFunInsertCertRows(CppSQLite3DB &db, const QString &table, const SqlDataList &records,
                             const std::function<void()> &step = {});

// Table operations on a class file (in practice the working copy). Each
// returns false (or -1) with its message in the buffer on failure.
bool bFunGetTableList(QString &msg, const QString &path, QStringList &tables);
bool bFunGetStudentsList(QString &msg, const QString &path, StudentList &students);
bool bFunLoadCertData(QString &msg, const QString &path, const QString &table,
                      SqlDataList &records);
bool bFunDeleteTable(QString &msg, const QString &path, const QString &table);
// Creates the table and writes the records in one transaction; step is
// called after each record (a progress bar attaches here).
bool bFunSaveCertData(QString &msg, const QString &path, const QString &table,
                      const SqlDataList &records, const std::function<void()> &step = {});
// Replaces the pupil's table (and drops dropTable, when given) in one
// transaction: on any failure the file keeps the pupil as it was.
bool bFunReplaceCertData(QString &msg, const QString &path, const QString &table,
                         const SqlDataList &records, const std::function<void()> &step = {},
                         const QString &dropTable = QString());
// -1 error, 0 no such table, 1 the table exists. With createFile set a
// missing file is created empty first.
int iFunCheckIsStudentExists(QString &msg, const QString &path, const QString &table,
                             bool createFile);

// Whether the pupil's table already holds exactly these records (those of
// the documents the program knows; order aside): a save would change nothing.
bool bFunSameAsStored(const QString &path, const QString &table, const SqlDataList &records);
