#pragma once

#include "maintenance/legacyparser.h"

#include <QList>
#include <QString>

class CppSQLite3DB;

// What the import shows while it runs. The import runs on the user-interface
// thread; the window behind this repaints itself on every call.
class ImportProgress {
public:
    virtual ~ImportProgress() = default;
    // The current operation ("importuje dane ucznia...").
    virtual void setOperation(const QString &text) = 0;
    // The bar goes back to 0 of maximum.
    virtual void setRange(int maximum) = 0;
    virtual void step() = 0;
};

// How an import ended, for the closing message.
struct structImportReport {
    enum class Failure {
        None,
        Source,   // the file is missing or cannot be read
        NoPupils, // the file holds no pupil block
        Write,    // the new working copy could not be written; the old one stays
    };
    struct Pupil {
        QString name;  // display name from the block's start line
        QString table; // table the pupil went to (placeholders)
        PeselProblem problem = PeselProblem::None;
        QString pesel; // the PESEL as the file had it
        QString error; // why it could not be written (failures)
    };

    Failure failure = Failure::None;
    int imported = 0;
    QList<Pupil> placeholders; // imported under "PESEL_BRAK_n"
    QList<Pupil> failed;       // not imported at all
};

// Imports the legacy class file at sourcePath into the working copy at
// tmpPath. The whole file is read first; the new content is built in a file
// beside the working copy, each pupil whole in one transaction, and replaces
// the working copy only when complete. False, with the message in the buffer
// and the working copy untouched, when the file cannot be read, holds no
// pupil, or the new content cannot be written. A pupil that cannot be written
// is left out and named in the report; the others arrive.
bool bFunImportDataFromFile(QString &msg, const QString &tmpPath, const QString &sourcePath,
                            ImportProgress *progress = nullptr,
                            structImportReport *report = nullptr);

// Create the pupil table and write the pupil data rows / write the document
// rows, into an open database, inside the caller's transaction. On the SQLite
// layer's exception: message "SQLite exception: \n" + the code's name, a log
// entry, false; sqliteCode (when given) receives the code.
bool bFunWriteStudentDataToDB(QString &msg, CppSQLite3DB &db, const QString &table,
                              const SqlDataList &records, ImportProgress *progress,
                              int *sqliteCode = nullptr);
bool bFunSqlImportWriteCertDataToDB(QString &msg, CppSQLite3DB &db, const QString &table,
                                    const SqlDataList &records, ImportProgress *progress,
                                    int *sqliteCode = nullptr);

// The closing message of a finished import: how many pupils arrived, each
// pupil stored under a placeholder with the reason, each one left out.
QString strFunImportSummary(const structImportReport &report);
