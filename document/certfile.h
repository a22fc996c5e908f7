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
// Every pupil is a table of this prefix and the PESEL; nothing else is.
inline const char *const kPupilTablePrefix = "PESEL";

// The statement that makes a pupil table.
QString strFunCreatePupilTableSql(const QString &table);

class CppSQLite3DB;
// Inserts the records into the pupil table of an open database, in list
// order, every value bound; step is called after each record. Returns the
// statement that inserted nothing, or the empty text; the SQLite layer's
// exception passes through.
QString strFunInsertCertRows(CppSQLite3DB &db, const QString &table, const SqlDataList &records,
                             const std::function<void()> &step = {});

// Table operations on a class file (in practice the working copy). Each
// returns false (or -1) with its message in the buffer on failure.
// Class files come from other people: every operation here opens them as
// files of unknown origin (CppSQLite3DB::OpenUntrusted).
// The tables of the file (not its indexes, views or triggers).
bool bFunGetTableList(QString &msg, const QString &path, QStringList &tables);
// Every pupil table that can be read; the tables that cannot go to
// unreadable (when given) and their message, strFunUnreadablePupilsText, to
// msg, and the result is still true. False when the file is no database.
bool bFunGetStudentsList(QString &msg, const QString &path, StudentList &students,
                         QStringList *unreadable = nullptr);
QString strFunUnreadablePupilsText(const QStringList &tables);
bool bFunLoadCertData(QString &msg, const QString &path, const QString &table,
                      SqlDataList &records);
// The records of several pupils, the file opened once (every opening reads
// the schema of every pupil table: a pupil at a time, a large class would
// take the square of its size). each gets the i-th table's records, or why
// they cannot be read, as bFunLoadCertData words it; false from each stops.
void vFunLoadCertDataOfPupils(
    const QString &path, const QStringList &tables,
    const std::function<bool(int i, const SqlDataList &records, const QString &why)> &each);
bool bFunDeleteTable(QString &msg, const QString &path, const QString &table);
// Creates the table and writes the records in one transaction; step is
// called after each record (a progress bar attaches here).
bool bFunSaveCertData(QString &msg, const QString &path, const QString &table,
                      const SqlDataList &records, const std::function<void()> &step = {});
// Replaces the pupil's rows of the documents this version knows (and moves
// the rest of dropTable, when given, into the table, then drops it) in one
// transaction: rows of documents it does not know stay as they were, and on
// any failure the file keeps the pupil as it was.
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
// Makes target a private copy of a class file of unknown origin, source
// only read: a write-ahead log or journal beside source is taken in, the copy
// is left in rollback-journal mode, and its views and triggers are dropped.
// damaged tells that the copy fails SQLite's quick_check (the caller says so
// and still lists what can be read). False with the message (and the errno
// of a failed copy in error) when no usable copy could be made; then no copy
// is left.
bool bFunStageClassFile(QString &msg, const QString &source, const QString &target, bool &damaged,
                        int *error = nullptr);
// What the teacher is told of a damaged class file.
QString strFunDamagedClassFileText(const QString &path);
