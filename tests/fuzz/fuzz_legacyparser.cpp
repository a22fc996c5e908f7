// libFuzzer target: the reading of legacy class files, and the writing of
// what was read into an in-memory class file, for any bytes whatever.
// Built only with -DSW_FUZZ=ON and clang (scripts/fuzz-import.sh).
#include "maintenance/legacyimport.h"
#include "maintenance/legacyparser.h"
#include "storage/codec.h"
#include "storage/cppsqlite3.h"
#include "storage/sqltext.h"

#include <QSet>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

// A broken rule is a crash, so libFuzzer keeps the input.
void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

QString asciiUpper(QString s) {
    for (QChar &ch : s) {
        if (ch >= QLatin1Char('a') && ch <= QLatin1Char('z'))
            ch = QChar(ch.unicode() - 'a' + 'A');
    }
    return s;
}

void checkPupils(const LegacyPupilList &pupils) {
    QSet<QString> tables;
    for (const structLegacyPupil &p : pupils) {
        // One table per pupil, named as the program names pupil tables.
        check(p.table.startsWith(QLatin1String("PESEL")) && p.table.size() > 5);
        check(!tables.contains(asciiUpper(p.table)));
        tables.insert(asciiUpper(p.table));
        // "PESEL" + the PESEL field the pupil dialog shows is the table.
        QString shown;
        bool hasField = false;
        for (const structSqlData &r : p.pupilData)
            check(r.id == QLatin1String("DANE UCZNIA"));
        for (const structSqlData &r : p.pupilData + p.documents) {
            if (r.id == QLatin1String("DANE UCZNIA") &&
                r.comp_name == QLatin1String("Pesel_DATA_EDIT")) {
                shown = r.value;
                hasField = true;
            }
        }
        check(hasField && QStringLiteral("PESEL") + shown == p.table);
        if (p.problem == PeselProblem::None)
            check(p.table == QStringLiteral("PESEL") + p.pesel);
        for (const SqlDataList *list : {&p.pupilData, &p.documents}) {
            for (const structSqlData &r : *list) {
                for (const QString *text : {&r.id, &r.comp_name, &r.value})
                    check(!text->contains(QChar(0)) && !text->contains(QLatin1Char('\n')));
                if (r.comp_name.contains(QLatin1String("_DATA_MEMO")))
                    check(r.comp_name.back().isDigit());
            }
        }
    }
}

// Every record comes back from the database exactly: no text can change
// the meaning of a statement.
void checkWritten(const LegacyPupilList &pupils) {
    CppSQLite3DB db;
    db.Open(QStringLiteral(":memory:"));
    for (const structLegacyPupil &p : pupils) {
        QString msg;
        check(bFunWriteStudentDataToDB(msg, db, p.table, p.pupilData, nullptr));
        check(bFunSqlImportWriteCertDataToDB(msg, db, p.table, p.documents, nullptr));
        const SqlDataList expected = p.pupilData + p.documents;
        CppSQLite3Query q =
            db.Query(QStringLiteral("select id, comp_name, value from ") + strFunSqlName(p.table));
        int n = 0;
        while (!q.AtEnd()) {
            check(n < expected.size());
            check(q.TextOr(0, QString()) == expected[n].id);
            check(q.TextOr(1, QString()) == expected[n].comp_name);
            check(q.TextOr(2, QString()) == expected[n].value);
            ++n;
            q.Next();
        }
        check(n == expected.size());
    }
    check(db.QueryInt(QStringLiteral("select count(*) from sqlite_master")) == pupils.size());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // A failure would be logged: never into the real program folder.
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // Every byte string survives the code page 1250 round trip.
    check(cp1250::encode(cp1250::decode(bytes)) == bytes);

    LegacyPupilList pupils;
    vFunParseLegacyFile(bytes, pupils);
    vFunNameLegacyTables(pupils);
    checkPupils(pupils);
    if (pupils.size() <= 50)
        checkWritten(pupils);
    return 0;
}
