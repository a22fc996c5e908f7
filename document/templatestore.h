#pragma once

#include "document/certfile.h"

#include <QPair>

// The school data template: table `school_data` of "szablony.sqset" in the
// program folder, rows (id "DANE SZKOLY", component name, value).
inline const char *const kTemplateFileName = "szablony.sqset";
inline const char *const kTemplateTable = "school_data";
inline const char *const kTemplateId = "DANE SZKOLY";

// The template file of a given path.
class TemplateStore {
public:
    // The file of the program folder; a missing file is created as an empty
    // database (a failure to is told in msg, the path still given).
    static TemplateStore inProgramFolder(QString &msg);
    explicit TemplateStore(const QString &path) : m_path(path) {}

    // Empty when the program folder cannot be had.
    const QString &path() const { return m_path; }
    // Empties the list and reads every row; a missing table reads as no rows.
    bool read(QString &msg, const QString &table, SqlDataList &records) const;
    // Replaces the table by the records in one transaction: a failure keeps
    // the previous template.
    bool write(QString &msg, const QString &table, const SqlDataList &records) const;

private:
    QString m_path;
};

// The same through a path.
QString strFunGetTemplateFilePath(QString &msg);
bool bFunSqlTemplateReadData(QString &msg, const QString &path, const QString &table,
                             SqlDataList &records);
bool bFunSqlTemplateWriteData(QString &msg, const QString &path, const QString &table,
                              const SqlDataList &records);

// Certificate field <-> school template field (fifteen pairs).
const QList<QPair<const char *, const char *>> &certificateTemplateFields();
// The six title-page fields, of the same names in the template.
const QList<const char *> &titlePageTemplateFields();
