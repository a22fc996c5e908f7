#include "document/classfill.h"

#include "document/formlayout.h"
#include "document/templatestore.h"

#include <QRegularExpression>

namespace {

// A field of a document and where the template keeps it; a "|" joins two
// template fields with " / " (the school year of a results page).
struct FieldSourcePair {
    const char *component;
    const char *fromTemplate;
};

QList<FieldSourcePair> pairsFor(const DocumentInfo &doc) {
    QList<FieldSourcePair> out;
    switch (doc.kind) {
    case DocumentKind::Certificate:
        for (const auto &p : certificateTemplateFields())
            out.append(FieldSourcePair{p.first, p.second});
        break;
    case DocumentKind::TitlePage:
        for (const char *name : titlePageTemplateFields())
            out.append(FieldSourcePair{name, name});
        break;
    case DocumentKind::ResultsPage:
        out = {{"ZMIENNA_RokSzkolny_DATA_EDIT",
                "ZMIENNA_RokSzkolny1_DATA_EDIT|ZMIENNA_RokSzkolny2_DATA_EDIT"},
               {"ZMIENNA_Klasa_DATA_EDIT", "ZMIENNA_Klasa_DATA_EDIT"}};
        break;
    case DocumentKind::Report:
        out = {{"ZMIENNA_Klasa_STR1_DATA_EDIT", "ZMIENNA_Klasa_DATA_EDIT"},
               {"ZMIENNA_Rok1_STR1_DATA_EDIT", "ZMIENNA_RokSzkolny1_DATA_EDIT"},
               {"ZMIENNA_Rok2_STR1_DATA_EDIT", "ZMIENNA_RokSzkolny2_DATA_EDIT"}};
        break;
    case DocumentKind::PupilData:
        break;
    }
    return out;
}

QString templateValue(const SqlDataList &schoolTemplate, const QString &names) {
    QStringList parts;
    for (const QString &name : names.split(QLatin1Char('|'))) {
        QString value;
        for (const structSqlData &r : schoolTemplate)
            if (r.comp_name == name) {
                value = r.value;
                break;
            }
        parts << value;
    }
    if (parts.size() > 1 && parts.join(QString()).trimmed().isEmpty())
        return QString();
    return parts.join(QStringLiteral(" / "));
}

// What the window calls a field: the words of the form around it are too
// short to tell the fields apart ("/", "im.").
QString captionOf(const QString &component) {
    static const QHash<QString, const char *> captions = {
        {"ZMIENNA_RokSzkolny1_STR1_DATA_EDIT", "rok szkolny – pierwszy rok"},
        {"ZMIENNA_RokSzkolny2_STR1_DATA_EDIT", "rok szkolny – drugi rok"},
        {"ZMIENNA_NazwaSzkolyPodstawowej1_STR1_DATA_EDIT", "nazwa szkoły, wiersz 1"},
        {"ZMIENNA_NazwaSzkolyPodstawowej2_STR1_DATA_EDIT", "nazwa szkoły, wiersz 2"},
        {"ZMIENNA_NrSzkoly_STR1_DATA_EDIT", "numer szkoły"},
        {"ZMIENNA_ImieSzkoly1_STR1_DATA_EDIT", "imię szkoły, wiersz 1"},
        {"ZMIENNA_ImieSzkoly2_STR1_DATA_EDIT", "imię szkoły, wiersz 2"},
        {"ZMIENNA_SzkolaWE_STR1_DATA_EDIT", "„w” / „we” przed miejscowością"},
        {"ZMIENNA_SzkolaMiasto_STR1_DATA_EDIT", "miejscowość szkoły"},
        {"ZMIENNA_SzkolaWoj_STR1_DATA_EDIT", "województwo"},
        {"ZMIENNA_PromocjaKlasa_STR1_DATA_EDIT", "promocja do klasy"},
        {"ZMIENNA_Miejscowosc_STR1_DATA_EDIT", "miejscowość wydania"},
        {"ZMIENNA_MiejscowoscDnia_STR1_DATA_EDIT", "data wydania – dzień i miesiąc"},
        {"ZMIENNA_MiejscowoscRok_STR1_DATA_EDIT", "data wydania – rok"},
        {"ZMIENNA_NazwaSzkoly1_DATA_EDIT", "nazwa szkoły, wiersz 1"},
        {"ZMIENNA_NazwaSzkoly2_DATA_EDIT", "nazwa szkoły, wiersz 2"},
        {"ZMIENNA_NazwaSzkoly3_DATA_EDIT", "nazwa szkoły, wiersz 3"},
        {"ZMIENNA_SzkolaNiepublicznaProwadzonaPrzez1_DATA_EDIT",
         "szkoła niepubliczna: ewidencja prowadzona przez, wiersz 1"},
        {"ZMIENNA_SzkolaNiepublicznaProwadzonaPrzez2_DATA_EDIT",
         "szkoła niepubliczna: ewidencja prowadzona przez, wiersz 2"},
        {"ZMIENNA_SzkolaNiepublicznaPodNr_DATA_EDIT", "szkoła niepubliczna: pod numerem"},
        {"ZMIENNA_RokSzkolny_DATA_EDIT", "rok szkolny"},
        {"ZMIENNA_Klasa_DATA_EDIT", "klasa"},
        {"ZMIENNA_Klasa_STR1_DATA_EDIT", "klasa"},
        {"ZMIENNA_Rok1_STR1_DATA_EDIT", "rok szkolny – pierwszy rok"},
        {"ZMIENNA_Rok2_STR1_DATA_EDIT", "rok szkolny – drugi rok"},
    };
    const char *caption = captions.value(component);
    return caption ? QString::fromUtf8(caption) : QString();
}

const structSqlData *findRecord(const SqlDataList &records, const structFillField &field) {
    for (const structSqlData &r : records)
        if (r.id == field.id && r.comp_name == field.component)
            return &r;
    return nullptr;
}

} // namespace

QList<structFillField> listFunClassFields(const DocumentInfo &doc,
                                          const SqlDataList &schoolTemplate) {
    QList<structFillField> out;
    const FormLayout &layout = formLayout(QString::fromLatin1(doc.layout));
    const QString variant = QString::fromLatin1(doc.variant);
    for (const FieldSourcePair &p : pairsFor(doc)) {
        const QString name = QString::fromLatin1(p.component);
        QString caption = captionOf(name);
        if (caption.isEmpty())
            caption = strFunFieldCaption(layout, variant, name);
        out.append({doc.id(), name, caption,
                    templateValue(schoolTemplate, QString::fromLatin1(p.fromTemplate))});
    }
    return out;
}

structFillField structFunCertificateNumberField() {
    return {QString::fromLatin1(kPupilDataId), QStringLiteral("NrDziennika_DATA_EDIT"),
            QString::fromUtf8("numer świadectwa"), QString()};
}

QString strFunSequenceNumber(const QString &first, int step) {
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    const QRegularExpressionMatch m = digits.match(first);
    if (!m.hasMatch())
        return QString();
    const QString run = m.captured(0);
    // Long runs count as text: a number is never rounded.
    qulonglong value = 0;
    bool ok = false;
    value = run.toULongLong(&ok);
    if (!ok)
        return QString();
    const QString next =
        QString::number(value + qulonglong(step)).rightJustified(int(run.size()), QLatin1Char('0'));
    return first.left(m.capturedStart(0)) + next + first.mid(m.capturedEnd(0));
}

QHash<QString, SqlDataList> hashFunClassRecords(const QString &classFile, const StudentList &pupils,
                                                QStringList *unreadable) {
    QHash<QString, SqlDataList> out;
    for (const structStudentEntry &p : pupils) {
        SqlDataList records;
        QString msg;
        if (bFunLoadCertData(msg, classFile, p.table, records))
            out.insert(p.table, records);
        else if (unreadable)
            *unreadable << p.name;
    }
    return out;
}

QList<structFillChange> listFunPlanClassFill(const StudentList &pupils,
                                             const QHash<QString, SqlDataList> &records,
                                             const structFillRequest &request) {
    QList<structFillChange> out;
    const structFillField number = structFunCertificateNumberField();
    for (int i = 0; i < pupils.size(); ++i) {
        const auto it = records.constFind(pupils[i].table);
        if (it == records.constEnd())
            continue;
        QList<QPair<structFillField, QString>> wanted = request.values;
        if (request.numbers)
            wanted.append({number, strFunSequenceNumber(request.firstNumber.trimmed(), i)});
        for (const auto &[field, value] : wanted) {
            if (value.isEmpty())
                continue;
            const structSqlData *stored = findRecord(*it, field);
            const QString old = stored ? stored->value : QString();
            if (old == value || (!request.overwrite && !old.trimmed().isEmpty()))
                continue;
            out.append({pupils[i].name, pupils[i].table, field, old, value});
        }
    }
    return out;
}

SqlDataList listFunWithChanges(const SqlDataList &records, const QList<structFillChange> &changes) {
    SqlDataList out = records;
    for (const structFillChange &c : changes) {
        bool found = false;
        for (structSqlData &r : out)
            if (r.id == c.field.id && r.comp_name == c.field.component) {
                r.value = c.newValue;
                found = true;
                break;
            }
        if (!found)
            out.append({c.field.id, c.field.component, c.newValue});
    }
    return out;
}

ClassFileOutcome applyClassFill(ClassSession &session, const QList<structFillChange> &changes) {
    QStringList tables;
    for (const structFillChange &c : changes)
        if (!tables.contains(c.table))
            tables << c.table;
    ClassFileOutcome out;
    out.ok = true;
    for (const QString &table : tables) {
        QList<structFillChange> mine;
        QString pupil;
        for (const structFillChange &c : changes)
            if (c.table == table) {
                mine << c;
                pupil = c.pupil;
            }
        SqlDataList records;
        QString msg;
        ClassFileOutcome step;
        if (bFunLoadCertData(msg, session.workingCopy(), table, records))
            step = session.savePupil(table, listFunWithChanges(records, mine));
        else
            step.messages << ClassFileMessage{QStringLiteral("Błąd"), msg, Prompts::Icon::Error};
        out.messages << step.messages;
        if (!step.ok) {
            out.ok = false;
            out.messages << ClassFileMessage{
                QStringLiteral("Błąd"),
                QString::fromUtf8("Nie udało się uzupełnić danych ucznia %1. Uczniowie przed nim "
                                  "na liście zostali uzupełnieni; pozostali są bez zmian. Nic nie "
                                  "trafiło do pliku klasy – możesz nie zapisywać zmian.")
                    .arg(pupil.trimmed()),
                Prompts::Icon::Error};
            return out;
        }
    }
    return out;
}
