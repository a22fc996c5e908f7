#pragma once

#include "document/certfile.h"

// The school data template: table `school_data` of "szablony.sqset" in the
// program folder, rows (id "DANE SZKOLY", component name, value).
inline const char *const kTemplateFileName = "szablony.sqset";
inline const char *const kTemplateTable = "school_data";
inline const char *const kTemplateId = "DANE SZKOLY";

// The template file's path; a missing file is created as an empty database.
QString strFunGetTemplateFilePath(QString &msg);
// Empties the list and reads every row; a missing table reads as no rows.
bool bFunSqlTemplateReadData(QString &msg, const QString &path, const QString &table,
                             SqlDataList &records);
// Replaces the table by the records in one transaction: a failure keeps the
// previous template.
bool bFunSqlTemplateWriteData(QString &msg, const QString &path, const QString &table,
                              const SqlDataList &records);
