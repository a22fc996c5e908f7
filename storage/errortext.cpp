#include "storage/errortext.h"

#include "storage/cppsqlite3.h"

#include <cerrno>
#include <sqlite3.h>

QString strFunErrnoReason(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
        return QString::fromUtf8("Brak uprawnień do zapisu w tym folderze albo do tego pliku. "
                                 "Wybierz inny folder lub poproś o uprawnienia.");
    case ENOSPC:
#ifdef EDQUOT // Windows has no quota errno: a full quota comes as ENOSPC
    case EDQUOT:
#endif
        return QString::fromUtf8("Brak miejsca na dysku. Zwolnij miejsce albo zapisz na innym "
                                 "dysku.");
    case EFBIG:
        return QString::fromUtf8("Plik byłby za duży dla tego miejsca zapisu. Zapisz go na innym "
                                 "dysku albo zwolnij miejsce.");
    case EROFS:
        return QString::fromUtf8("Nośnik jest tylko do odczytu. Zapisz plik na innym dysku.");
    case ENOENT:
        return QString::fromUtf8("Plik lub folder nie istnieje.");
    case ENOTDIR:
        return QString::fromUtf8("Część ścieżki nie jest folderem.");
    case EISDIR:
        return QString::fromUtf8("Wskazano folder zamiast pliku.");
    case EEXIST:
        return QString::fromUtf8("Plik o tej nazwie już istnieje.");
    case ENAMETOOLONG:
        return QString::fromUtf8("Nazwa pliku jest za długa.");
    case EBUSY:
    case ETXTBSY:
        return QString::fromUtf8("Plik jest używany przez inny program.");
    case EIO:
        return QString::fromUtf8("Błąd odczytu lub zapisu nośnika. Sprawdź dysk lub pendrive.");
    default:
        return QString();
    }
}

QString strFunErrnoCode(int err) {
    const QString reason = strFunErrnoReason(err);
    const QString code = QString::fromUtf8("Kod błędu: ") + QString::number(err);
    return reason.isEmpty() ? code : reason + QLatin1Char('\n') + code;
}

QString strFunSqliteReason(int code) {
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return QString::fromUtf8("Plik nie jest plikiem danych programu albo jest uszkodzony.");
    case SQLITE_CORRUPT:
        return QString::fromUtf8("Plik danych jest uszkodzony.");
    case SQLITE_FULL:
        return QString::fromUtf8("Brak miejsca na dysku. Zwolnij miejsce i spróbuj ponownie.");
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return QString::fromUtf8("Brak uprawnień do zapisu pliku danych.");
    case SQLITE_CANTOPEN:
        return QString::fromUtf8("Nie można otworzyć pliku danych: brak pliku albo uprawnień.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QString::fromUtf8("Plik danych jest używany przez inny program. Spróbuj "
                                 "ponownie za chwilę.");
    case SQLITE_IOERR:
        return QString::fromUtf8("Błąd odczytu lub zapisu dysku.");
    case SQLITE_NOMEM:
        return QString::fromUtf8("Za mało pamięci.");
    case SQLITE_TOOBIG:
        return QString::fromUtf8("Plik zawiera wartość dłuższą, niż program przyjmuje: jest "
                                 "uszkodzony albo nie został zapisany tym programem.");
    case SQLITE_INTERRUPT:
        return QString::fromUtf8("Odczyt pliku trwał za długo i został przerwany: plik jest "
                                 "uszkodzony albo nie został zapisany tym programem.");
    default:
        return QString();
    }
}

QString strFunSqliteError(int code) {
    const QString reason = strFunSqliteReason(code);
    const QString name = QString::fromLatin1(CodeName(code));
    return reason.isEmpty() ? name : reason + QLatin1Char('\n') + name;
}

QString strFunSqlErrorText(const CppSQLite3Exception &e) {
    return strFunSqliteError(e.ErrorCode());
}
