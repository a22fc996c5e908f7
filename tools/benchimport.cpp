// benchimport [RUNS]
// benchimport --legacy-file PATH PUPILS   (writes such a file and ends)
// Times the import of a legacy class file of 35 pupils with every document
// filled in: through the menu command (progress window, tree, closing
// message) and through the import alone, next to a program of our own that
// reads and parses the same file and writes the same rows through one
// prepared insert a pupil (the limit), and to the sqlite3 command-line tool
// executing the same statements in the same transactions (a weaker
// baseline, with its process start and SQL parsing). Prints medians and the
// ratios; checks that the import and the limit stored the same rows (exit
// status 2 when not).
#include "app/tfglowna.h"
#include "app/windowfactory.h"
#include "benchsupport.h"
#include "dialogs/tfsqlimport.h"
#include "document/prompts.h"
#include "editors/binding.h"
#include "editors/editor.h"
#include "maintenance/legacyimport.h"
#include "storage/codec.h"
#include "storage/paths.h"
#include "storage/sqltext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace {

int kPupils = 35;

// Picks the legacy file and acknowledges every message.
class BenchPrompts : public Prompts {
public:
    QString file;
    Answer message(QWidget *, const QString &, const QString &, Icon, Buttons) override {
        return Answer::Ok;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override {
        return file;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override {
        return QString();
    }
    bool textInput(QWidget *, const QString &, const QString &, QString &, int) override {
        return false;
    }
    bool openExternal(const QUrl &) override { return false; }
};

// Every bound field of every editor holds text; memos three lines.
SqlDataList filledPupil(const ProgramWindows &windows) {
    SqlDataList records;
    int n = 0;
    for (TFEditor *e : windows.boundWindows()) {
        for (QWidget *w : e->components()) {
            const QString name = w->objectName();
            const FieldKind kind = fieldKind(name);
            if (kind == FieldKind::Memo)
                e->setFieldText(name, QString::fromUtf8("Uczeń chętnie pracuje, 'zawsze'\n"
                                                        "pomaga kolegom > i koleżankom\n"
                                                        "w klasie %1.")
                                          .arg(++n));
            else if (kind != FieldKind::None)
                e->setFieldText(name, QString::fromUtf8("wartość pola %1 żółć").arg(++n));
        }
        e->CollectFields(records);
    }
    return records;
}

// The class as the older program wrote it.
void makeLegacyFile(const SqlDataList &pupil, const QString &path) {
    const QString dataSection = QStringLiteral("DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3");
    QStringList lines;
    static const char *const surnames[] = {"Nowak",     "Kowalska", "Wiśniewski",  "Wójcik",
                                           "Kowalczyk", "Kamińska", "Lewandowski", "Zielińska",
                                           "Szymański", "Woźniak",  "Dąbrowski",   "Kozłowska"};
    static const char *const firsts[] = {"Anna", "Jan", "Zofia", "Łukasz", "Maja", "Piotr", "Ewa"};
    for (int i = 0; i < kPupils; ++i) {
        const QString surname = QString::fromUtf8(surnames[i % 12]);
        const QString first = QString::fromUtf8(firsts[(i / 12 + i) % 7]);
        lines << QStringLiteral("<DANE SWIADECTW DLA: ") + surname + QLatin1Char(' ') + first +
                     QLatin1Char('>');
        QString open;
        for (const structSqlData &r : pupil) {
            const QString section = r.id == QLatin1String(kPupilDataId) ? dataSection : r.id;
            if (section != open) {
                if (!open.isEmpty())
                    lines << QStringLiteral("</") + open + QLatin1Char('>');
                lines << QLatin1Char('<') + section + QLatin1Char('>');
                open = section;
            }
            const bool memo = fieldKind(r.comp_name) == FieldKind::Memo;
            QString value = r.value;
            if (r.comp_name == QLatin1String("Pesel_DATA_EDIT"))
                value = QString::number(10000000000LL + i);
            else if (r.comp_name == QLatin1String("Nazwisko_DATA_EDIT"))
                value = surname;
            else if (r.comp_name == QLatin1String("Imie_DATA_EDIT"))
                value = first;
            lines << QLatin1Char('<') + (memo ? r.comp_name.chopped(2) : r.comp_name) +
                         QLatin1Char('>') + value;
        }
        lines << QStringLiteral("</") + open + QLatin1Char('>')
              << QStringLiteral("</KONIEC DANYCH SWIADECTW>");
    }
    QFile legacy(path);
    legacy.open(QIODevice::WriteOnly);
    legacy.write(cp1250::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

// The statements the import runs for the file, as SQLite receives them, in
// the same transactions; with the import's settings and without them.
void makeScripts(const QString &legacyPath, const QString &samePath, const QString &plainPath) {
    QFile legacy(legacyPath);
    legacy.open(QIODevice::ReadOnly);
    LegacyPupilList pupils;
    vFunParseLegacyFile(legacy.readAll(), pupils);
    vFunNameLegacyTables(pupils);
    QByteArray sql;
    for (const structLegacyPupil &p : pupils) {
        sql += "begin transaction;\n" + cp1250::encode(strFunCreatePupilTableSql(p.table)) + ";\n";
        for (const structSqlData &r : p.pupilData + p.documents)
            sql += cp1250::encode(
                strFunSqlShown(QStringLiteral("insert into ") + strFunSqlName(p.table) +
                                   QStringLiteral("( id, comp_name, value ) values( ?, ?, ? );\n"),
                               {r.id, r.comp_name, r.value}));
        sql += "commit transaction;\n";
    }
    QFile same(samePath);
    same.open(QIODevice::WriteOnly);
    same.write("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF;\n" + sql);
    QFile plain(plainPath);
    plain.open(QIODevice::WriteOnly);
    plain.write(sql);
}

double runSqlite3(const QString &script, const QString &db) {
    QFile::remove(db);
    QProcess p;
    p.setStandardInputFile(script);
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("sqlite3"), {db});
    p.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    if (p.exitCode() != 0)
        std::fprintf(stderr, "sqlite3 failed: %s\n", p.readAllStandardError().constData());
    return ms;
}

// The limit: the same file read and parsed, each pupil's table made and its
// rows written through one prepared insert in a transaction of its own,
// with the import's settings.
double bareImport(const QString &legacyPath, const QString &db) {
    QFile::remove(db);
    QElapsedTimer t;
    t.start();
    QFile f(legacyPath);
    f.open(QIODevice::ReadOnly);
    LegacyPupilList pupils;
    vFunParseLegacyFile(f.readAll(), pupils);
    vFunNameLegacyTables(pupils);
    sqlite3 *h = nullptr;
    sqlite3_open_v2(QFile::encodeName(db).constData(), &h,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    auto exec = [h](const QByteArray &sql) {
        sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr);
    };
    exec("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF;");
    for (const structLegacyPupil &p : pupils) {
        exec("begin transaction");
        exec(cp1250::encode(strFunCreatePupilTableSql(p.table)));
        sqlite3_stmt *insert = nullptr;
        const QByteArray sql =
            cp1250::encode(QStringLiteral("insert into ") + strFunSqlName(p.table) +
                           QStringLiteral("( id, comp_name, value ) values( ?, ?, ? )"));
        sqlite3_prepare_v2(h, sql.constData(), -1, &insert, nullptr);
        for (const structSqlData &r : p.pupilData + p.documents) {
            int column = 0;
            for (const QString *text : {&r.id, &r.comp_name, &r.value}) {
                const QByteArray bytes = cp1250::encode(*text);
                sqlite3_bind_text(insert, ++column, bytes.constData(), int(bytes.size()),
                                  SQLITE_TRANSIENT);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        exec("commit transaction");
    }
    sqlite3_close(h);
    return t.nsecsElapsed() / 1e6;
}

// Every pupil table of a class file with its rows in order, as text.
QStringList storedRows(const QString &db) {
    QStringList out;
    sqlite3 *h = nullptr;
    sqlite3_open_v2(QFile::encodeName(db).constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    QStringList tables;
    sqlite3_stmt *q = nullptr;
    sqlite3_prepare_v2(h, "select name from sqlite_master where type='table' order by name", -1, &q,
                       nullptr);
    while (sqlite3_step(q) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(q, 0)));
    sqlite3_finalize(q);
    for (const QString &table : tables) {
        if (!table.startsWith(QLatin1String("PESEL")))
            continue;
        const QByteArray sql =
            "select id, comp_name, value from \"" + table.toUtf8() + "\" order by rowid";
        sqlite3_prepare_v2(h, sql.constData(), -1, &q, nullptr);
        while (sqlite3_step(q) == SQLITE_ROW) {
            QString row = table;
            for (int i = 0; i < 3; ++i)
                row +=
                    QLatin1Char('|') +
                    QString::fromLatin1(reinterpret_cast<const char *>(sqlite3_column_text(q, i)));
            out << row;
        }
        sqlite3_finalize(q);
    }
    sqlite3_close(h);
    return out;
}

} // namespace

int main(int argc, char **argv) {
    BenchEnvironment env;
    QApplication app(argc, argv);
    const bool fileOnly = argc > 3 && qstrcmp(argv[1], "--legacy-file") == 0;
    const int runs = argc > 1 && !fileOnly ? std::max(1, atoi(argv[1])) : 9;
    if (fileOnly)
        kPupils = std::max(1, atoi(argv[3]));

    BenchPrompts bench;
    setPrompts(&bench);
    ProgramWindows windows = createProgramWindows();
    std::unique_ptr<TFGlowna> owner(windows.glowna);
    TFGlowna *g = windows.glowna;
    if (!g->StartUpChecks())
        return 1;
    g->show();

    QString msg;
    const QString tmp = strFunGetTmpFilePath(msg);
    const QString dir = QFileInfo(tmp).absolutePath();
    bench.file = dir + QStringLiteral("/klasa.br5");
    const QString sqlSame = dir + QStringLiteral("/same.sql");
    const QString sqlDefault = dir + QStringLiteral("/default.sql");
    const SqlDataList pupil = filledPupil(windows);
    if (fileOnly) {
        makeLegacyFile(pupil, QString::fromLocal8Bit(argv[2]));
        setPrompts(nullptr);
        return 0;
    }
    makeLegacyFile(pupil, bench.file);
    makeScripts(bench.file, sqlSame, sqlDefault);
    std::printf("legacy file: %d pupils, %lld records each, %lld bytes\n", kPupils,
                static_cast<long long>(pupil.size()),
                static_cast<long long>(QFileInfo(bench.file).size()));

    QList<double> menu, import, bare, parse, limit, cliSame, cliDefault;
    const QString limitDb = dir + QStringLiteral("/limit.db");
    for (int i = 0; i < runs; ++i) {
        // Between two commands the event loop runs, as it does for a user.
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        g->DataChanged = false;
        g->Importuj1Click();
        menu << t.nsecsElapsed() / 1e6;
        if (g->TreeView->topLevelItemCount() != kPupils)
            return std::fprintf(stderr, "import failed\n"), 1;

        QApplication::processEvents();
        t.start();
        windows.sqlImport->start();
        bFunImportDataFromFile(msg, tmp, bench.file, windows.sqlImport);
        windows.sqlImport->hide();
        import << t.nsecsElapsed() / 1e6;

        t.start();
        bFunImportDataFromFile(msg, tmp, bench.file);
        bare << t.nsecsElapsed() / 1e6;

        t.start();
        QFile f(bench.file);
        f.open(QIODevice::ReadOnly);
        LegacyPupilList pupils;
        vFunParseLegacyFile(f.readAll(), pupils);
        vFunNameLegacyTables(pupils);
        parse << t.nsecsElapsed() / 1e6;

        limit << bareImport(bench.file, limitDb);
        cliSame << runSqlite3(sqlSame, dir + QStringLiteral("/cli.db"));
        cliDefault << runSqlite3(sqlDefault, dir + QStringLiteral("/cli.db"));
    }
    // The last import without a window left its rows in the working copy.
    bFunImportDataFromFile(msg, tmp, bench.file);
    const QStringList ours = storedRows(tmp), theirs = storedRows(limitDb);
    const bool same = !ours.isEmpty() && ours == theirs;
    std::printf("import                   output %s: %lld rows in %d pupil tables\n",
                same ? "matches its limit" : "DIFFERS FROM ITS LIMIT",
                static_cast<long long>(ours.size()), kPupils);
    const double m = median(menu), im = median(import), cs = median(cliSame),
                 cd = median(cliDefault), lim = median(limit);
    std::printf("menu command (window, import, tree, message): median %.1f ms\n", m);
    std::printf("import with its window:                       median %.1f ms\n", im);
    std::printf("import without a window:                      median %.1f ms\n", median(bare));
    std::printf("reading and parsing the file:                 median %.1f ms\n", median(parse));
    std::printf("limit: own program, parse + prepared inserts: median %.1f ms\n", lim);
    std::printf("sqlite3 tool, same statements and settings:   median %.1f ms\n", cs);
    std::printf("sqlite3 tool, same statements, default sync:  median %.1f ms\n", cd);
    std::printf("ratio import / limit: %.2f; menu command / limit: %.2f\n", im / lim, m / lim);
    std::printf("ratio import / sqlite3 (same settings): %.2f; menu command / sqlite3: %.2f\n",
                im / cs, m / cs);
    std::printf("ratio import / sqlite3 (default sync):  %.2f (over %d runs)\n", im / cd, runs);
    setPrompts(nullptr);
    return same ? 0 : 2;
}
