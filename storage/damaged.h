#pragma once

#include <QString>

// A data file of the program folder that SQLite calls "not a database" or
// "corrupt" would fail every start or every preview: it is moved aside and
// the shipped copy takes its place. A busy, missing or unreadable file is
// never taken for damaged.

// True only when SQLite reports the file as not a database or corrupt.
bool bFunIsDamagedDatabase(const QString &path);

// When the program folder's file is damaged: renames it to
// "<name>.uszkodzony" (never over an earlier one), copies the installation
// folder's copy in its place when restoreShipped is set, and puts the
// sentence for the user into notice. Returns true when it repaired a file;
// false with notice empty when the file was sound, false with msg filled
// when the repair failed.
bool bFunRepairDamagedFile(QString &msg, const QString &fileName, bool restoreShipped,
                           QString &notice);
