#include "app/commandline.h"

#include "app/processstart.h"
#include "app/version.h"
#include "document/certfile.h"
#include "document/classsession.h"
#include "document/documents.h"
#include "maintenance/filecheck.h"
#include "printing/bundledfonts.h"
#include "printing/calibstore.h"
#include "printing/classprint.h"
#include "storage/paths.h"
#include "storage/settings.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The switches of the three print options: the settings key, the option
// that turns it on, and the member it sets.
struct Switch {
    const char *on;
    const char *key;
    std::optional<bool> structCommandLine::*member;
};
const Switch kSwitches[] = {
    {"--bez-kropek", "print_without_dots", &structCommandLine::printWithoutDots},
    {"--wykresuj-puste", "strike_empty_fields", &structCommandLine::strikeEmptyFields},
    {"--ogranicz", "word_wrap", &structCommandLine::clipTextFields},
};

void say(FILE *to, const QString &text) {
    std::fputs(text.toUtf8().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

int fail(int status, const QString &text) {
    say(stderr, text);
    return status;
}

QString quoted(const QString &text) {
    return QString::fromUtf8("„") + text + QString::fromUtf8("”");
}

QString documentNames() {
    QStringList names;
    for (const DocumentInfo *row : treeRows()) {
        if (row)
            names << QStringLiteral("  ") + row->labelText();
    }
    return names.join(QLatin1Char('\n'));
}

// The document of a tree label (the pupil data is no document).
const DocumentInfo *printableDocument(const QString &label) {
    const DocumentInfo *doc = documentByLabel(label);
    return doc && doc->kind != DocumentKind::PupilData ? doc : nullptr;
}

} // namespace

bool bFunIsCommandLine(const QStringList &arguments) {
    for (const QString &a : arguments) {
        if (a.startsWith(QLatin1String("--")) || a == QLatin1String("-h"))
            return true;
    }
    return false;
}

bool bFunParseCommandLine(const QStringList &arguments, structCommandLine &cl, QString &error) {
    cl = structCommandLine();
    QStringList positional;
    for (int i = 0; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cl.help = true;
            continue;
        }
        if (arg == QLatin1String("--version")) {
            cl.version = true;
            continue;
        }
        if (arg == QLatin1String("--")) {
            positional += arguments.mid(i + 1);
            break;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            positional << arg;
            continue;
        }
        bool matched = false;
        for (const Switch &s : kSwitches) {
            const QString on = QString::fromLatin1(s.on);
            const QString off = QStringLiteral("--nie-") + on.mid(2);
            if (arg == on || arg == off) {
                cl.*s.member = arg == on;
                matched = true;
            }
        }
        if (matched)
            continue;
        // Options with a value: "--pdf OUT" or "--pdf=OUT".
        QString value;
        bool inlineValue = false;
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq > 0) {
            value = arg.mid(eq + 1);
            arg.truncate(eq);
            inlineValue = true;
        }
        QString *target = nullptr;
        if (arg == QLatin1String("--pdf"))
            target = &cl.pdf;
        else if (arg == QLatin1String("--dokument"))
            target = &cl.document;
        else if (arg == QLatin1String("--ustawienia"))
            target = &cl.marginSet;
        else if (arg != QLatin1String("--uczen")) {
            error = QString::fromUtf8("Nieznana opcja: %1").arg(arguments[i]);
            return false;
        }
        if (!inlineValue) {
            // "--pdf --dokument …" lacks the file name: the next option is no value.
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--"))) {
                error = QString::fromUtf8("Brak wartości po opcji %1").arg(arg);
                return false;
            }
            value = arguments[++i];
        }
        if (value.isEmpty()) {
            error = QString::fromUtf8("Pusta wartość opcji %1").arg(arg);
            return false;
        }
        if (target)
            *target = value;
        else
            cl.pesels << value;
    }
    if (cl.help || cl.version)
        return true;
    if (positional.size() > 1) {
        error = QString::fromUtf8("Podano więcej niż jeden plik klasy: %1")
                    .arg(positional.join(QStringLiteral(", ")));
        return false;
    }
    if (positional.isEmpty()) {
        error = QString::fromUtf8("Nie podano pliku klasy (.sqbr5).");
        return false;
    }
    cl.classFile = positional.first();
    if (cl.pdf.isEmpty()) {
        error = QString::fromUtf8("Nie podano pliku PDF do zapisania (--pdf PLIK.pdf).");
        return false;
    }
    if (cl.document.isEmpty()) {
        error = QString::fromUtf8("Nie podano dokumentu (--dokument NAZWA).");
        return false;
    }
    return true;
}

QString strFunCommandLineHelp() {
    return QString::fromUtf8(
               "Użycie: swiadectwa --pdf PLIK.pdf --dokument NAZWA [--uczen PESEL]... [opcje] "
               "KLASA.sqbr5\n"
               "\n"
               "Zapisuje wybrany dokument każdego ucznia pliku klasy do jednego pliku PDF, "
               "uczeń po uczniu,\n"
               "w kolejności listy uczniów programu, bez otwierania okna. Plik klasy nie jest "
               "zmieniany.\n"
               "\n"
               "Opcje:\n"
               "  --pdf PLIK             plik PDF do zapisania (istniejący jest zastępowany)\n"
               "  --dokument NAZWA       dokument do wydrukowania, jedna z nazw poniżej\n"
               "  --uczen PESEL          tylko uczeń o tym numerze PESEL (można podać wiele "
               "razy);\n"
               "                         bez tej opcji: wszyscy uczniowie\n"
               "  --ustawienia NAZWA     ustawienia wydruku (marginesy); bez tej opcji: "
               "ostatnio użyte\n"
               "                         przy drukowaniu\n"
               "  --bez-kropek, --nie-bez-kropek\n"
               "                         „Wyłącz kropki” włączone / wyłączone\n"
               "  --wykresuj-puste, --nie-wykresuj-puste\n"
               "                         „Wykresuj puste pola” włączone / wyłączone\n"
               "  --ogranicz, --nie-ogranicz\n"
               "                         „Ogranicz pola tekstowe” włączone / wyłączone\n"
               "  --help                 ta pomoc\n"
               "  --version              wersja programu\n"
               "Bez opcji „kropek”, „pustych pól” i „ograniczenia” obowiązuje to, co zapisano "
               "w programie.\n"
               "\n"
               "Dokumenty:\n") +
           documentNames() +
           QString::fromUtf8("\n\n"
                             "Kod wyjścia: 0 – plik zapisany; 3 – plik zapisany, ale coś "
                             "wyszłoby na druku źle\n"
                             "(tekst poza polem, niewypełniony dokument, brak numeru PESEL; "
                             "lista na standardowym\n"
                             "wyjściu błędów); 2 – błędne argumenty (nieznana opcja lub "
                             "dokument,\n"
                             "nieznany PESEL, plik klasy nie do odczytania); 1 – inny błąd.");
}

int runCommandLine(int argc, char **argv) {
    const QStringList arguments = programArguments(argc, argv);
    structCommandLine cl;
    QString error;
    if (!bFunParseCommandLine(arguments, cl, error))
        return fail(kExitBadArguments,
                    error + QString::fromUtf8("\nOpcje programu pokazuje: swiadectwa --help"));
    if (cl.help) {
        say(stdout, strFunCommandLineHelp());
        return kExitOk;
    }
    if (cl.version) {
        std::printf("swiadectwa %d.%d.%d\n", kVersionMajor, kVersionMinor, kVersionBuild);
        return kExitOk;
    }
    const DocumentInfo *doc = printableDocument(cl.document);
    if (!doc)
        return fail(kExitBadArguments, QString::fromUtf8("Nieznany dokument: %1\nDokumenty:\n%2")
                                           .arg(quoted(cl.document), documentNames()));

    // No window is made: the same PDF with or without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("swiadectwa"));
    iFunRegisterBundledFonts();

    // A first-time user gets the shipped calibration and margin sets.
    QString msg;
    if (!bFunCheckFilesDir(msg))
        return fail(kExitFailure,
                    QString::fromUtf8("Błąd podczas próby sprawdzenia wymaganych plików / "
                                      "katalogów.\n\n") +
                        msg);

    // Copies of pupil data left by runs that were killed midway.
    iFunRemoveStaleRunTemporaries();

    // A copy is read, so that nothing (not even a journal left by a crash)
    // can change the class file.
    QTemporaryDir work(strFunRunTempDirTemplate());
    ClassSession session(work.isValid() ? work.filePath(QStringLiteral("klasa.sqbr5")) : QString());
    const ClassFileOutcome read = session.read(cl.classFile);
    if (!read.ok) {
        const QFileInfo classInfo(cl.classFile);
        const QString why = !classInfo.exists()   ? QString::fromUtf8("plik nie istnieje")
                            : !classInfo.isFile() ? QString::fromUtf8("to nie jest plik")
                            : read.error != 0
                                ? QString::fromUtf8("nie można go odczytać")
                                : QString::fromUtf8("to nie jest plik klasy albo jest uszkodzony");
        // What SQLite said (a limit of a hostile file) helps whoever reads it.
        const QString detail = read.messages.value(0).text.section(QLatin1Char('\n'), 1).trimmed();
        return fail(
            kExitBadArguments,
            QString::fromUtf8("Nie można odczytać pliku klasy %1: %2.")
                    .arg(quoted(cl.classFile), why) +
                (read.error == 0 && !detail.isEmpty() ? QLatin1Char('\n') + detail : QString()));
    }
    // Damage and unreadable pupils are told first; the readable pupils
    // still print, and the run ends with the failure status.
    const QStringList unreadable = session.unreadablePupils();
    if (session.wasDamaged())
        say(stderr, strFunDamagedClassFileText(cl.classFile));
    if (!unreadable.isEmpty())
        say(stderr, strFunUnreadablePupilsText(unreadable));
    const bool incomplete = session.wasDamaged() || !unreadable.isEmpty();
    StudentList pupils = session.pupilsInOrder();
    if (pupils.isEmpty())
        return fail(
            incomplete ? kExitFailure : kExitBadArguments,
            QString::fromUtf8("W pliku klasy %1 nie ma żadnego ucznia.").arg(quoted(cl.classFile)));
    if (!cl.pesels.isEmpty()) {
        StudentList chosen;
        for (const QString &pesel : cl.pesels) {
            const QString table = QStringLiteral("PESEL") + pesel;
            const auto it = std::find_if(pupils.begin(), pupils.end(),
                                         [&](const auto &p) { return p.table == table; });
            if (it == pupils.end() && unreadable.contains(table))
                continue; // named above already
            if (it == pupils.end())
                return fail(kExitBadArguments,
                            QString::fromUtf8("Nieznany PESEL: %1. W pliku klasy %2 nie ma "
                                              "ucznia o tym numerze PESEL.")
                                .arg(pesel, quoted(cl.classFile)));
        }
        // In the order of the class, each pupil once.
        for (const structStudentEntry &p : pupils) {
            if (cl.pesels.contains(p.table.mid(5)))
                chosen << p;
        }
        pupils = chosen;
    }

    // The margin set: the one named, or the one last used for printing (the
    // first when it is gone). Of two sets of one name the later one counts.
    MarginList margins;
    if (!MarginSetStore::inProgramFolder().read(msg, margins))
        return fail(kExitFailure,
                    QString::fromUtf8("Błąd podczas próby uzyskania listy ustawień.\n\n") + msg);
    if (margins.isEmpty())
        return fail(kExitFailure, QString::fromUtf8("Brak ustawień wydruku (marginesów)."));
    QString wanted = cl.marginSet;
    if (wanted.isEmpty())
        bFunSqlGetSettingsText(msg, QStringLiteral("last_margin_set"), wanted);
    const structMarginData *set = nullptr;
    for (const structMarginData &m : margins) {
        if (m.name == wanted)
            set = &m;
    }
    if (!set && !cl.marginSet.isEmpty()) {
        QStringList names;
        for (const structMarginData &m : margins)
            names << QStringLiteral("  ") + m.name;
        return fail(kExitBadArguments, QString::fromUtf8("Nieznane ustawienia wydruku: %1\n"
                                                         "Ustawienia wydruku:\n%2")
                                           .arg(quoted(cl.marginSet), names.join('\n')));
    }
    if (!set)
        set = &margins.first();

    structClassRequest request;
    request.classFile = session.workingCopy();
    request.document = doc;
    request.pupils = pupils;
    // The window's three options, as saved, unless the command line says.
    bool *options[] = {&request.options.printWithoutDots, &request.options.strikeEmptyFields,
                       &request.options.clipTextFields};
    for (int i = 0; i < 3; ++i) {
        const Switch &s = kSwitches[i];
        int saved = 0;
        if (bFunSqlGetSettingsValue(msg, QString::fromLatin1(s.key), saved))
            *options[i] = saved != 0;
        if ((cl.*s.member).has_value())
            *options[i] = *(cl.*s.member);
    }
    request.order.pdfFile = QFileInfo(cl.pdf).absoluteFilePath();
    request.order.protectedFiles = {session.path(), session.workingCopy()};
    request.order.title = doc->labelText();
    request.order.margins = *set;

    structClassOutcome outcome;
    if (!bFunPrintClass(msg, request, {}, outcome))
        return fail(kExitFailure, msg);
    for (const QString &notice : outcome.notices)
        say(stderr, notice);
    say(stdout, QString::fromUtf8("Zapisano plik PDF: %1 (uczniów: %2, stron: %3)")
                    .arg(request.order.pdfFile)
                    .arg(outcome.pupilsPrinted)
                    .arg(outcome.pages));
    for (const structPupilFailure &f : outcome.failures)
        say(stderr, QString::fromUtf8("Pominięto ucznia %1: nie udało się wczytać jego danych "
                                      "(%2).")
                        .arg(f.pupil.trimmed(), f.reason.simplified()));
    // What would come out wrong on paper: each on a line of its own.
    for (const structPrintFinding &f : outcome.findings)
        say(stderr, QString::fromUtf8("Uwaga: ") + f.text());
    if (!outcome.failures.isEmpty() || incomplete)
        return kExitFailure;
    return outcome.findings.isEmpty() ? kExitOk : kExitPrintedWithFindings;
}
