#pragma once

#include "storage/fileops.h"

#include <QString>

// What was read from a file, kept while the file stays the same version: a
// class prints the same emblem and stamp on every certificate, and each is
// read once. One file a type of content. False when the file cannot be read.
template <class T, class Read> bool bFunKeptFile(const QString &path, T &out, Read read) {
    struct Kept {
        QString path;
        FsInfo version;
        T value;
        bool ok = false;
    };
    static Kept kept;
    FsInfo now;
    if (iFsStat(path, now) != 0)
        return false;
    if (kept.path != path || !bFsSameVersion(kept.version, now)) {
        kept = Kept{path, now, T(), false};
        kept.ok = read(path, kept.value);
    }
    out = kept.value;
    return kept.ok;
}
