#include "document/pupillist.h"

#include "document/pesel.h"
#include "document/pupilcopies.h"
#include "storage/codec.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <tuple>

namespace {

const char16_t kSeparators[] = {u';', u',', u'\t'};

// Splits the text as RFC 4180 quotes it; lines lists where each row starts.
QList<QStringList> splitRows(const QString &text, QChar sep, QList<int> *lines = nullptr) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, inQuotes = false;
    int line = 1, rowLine = 1;
    auto endField = [&] {
        row << (quoted ? field : field.trimmed());
        field.clear();
        quoted = false;
    };
    auto endRow = [&] {
        endField();
        bool empty = true;
        for (const QString &f : row)
            empty = empty && f.trimmed().isEmpty();
        if (!empty) {
            rows << row;
            if (lines)
                *lines << rowLine;
        }
        row.clear();
        rowLine = line;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text[i];
        if (inQuotes) {
            if (ch == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else if (ch == u'\r') {
                // A line break inside quotes is one '\n', whatever the file uses.
                if (i + 1 < n && text[i + 1] == u'\n')
                    ++i;
                field += u'\n';
                ++line;
            } else {
                if (ch == u'\n')
                    ++line;
                field += ch;
            }
        } else if (ch == u'"' && field.trimmed().isEmpty() && !quoted) {
            field.clear();
            inQuotes = quoted = true;
        } else if (ch == sep) {
            endField();
        } else if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRow();
        } else if (!quoted || !ch.isSpace()) {
            field += ch;
        }
    }
    if (!field.isEmpty() || !row.isEmpty() || quoted)
        endRow();
    return rows;
}

QString decodeList(const QByteArray &bytes, bool &cp1250, bool &utf16) {
    QByteArray body = bytes;
    cp1250 = utf16 = false;
    if (body.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(body.mid(3));
    // A spreadsheet's "Unicode text" is UTF-16 with its byte order mark.
    if (body.startsWith("\xFF\xFE") || body.startsWith("\xFE\xFF")) {
        utf16 = true;
        QStringDecoder decoder(body.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                           : QStringDecoder::Utf16BE);
        return decoder(body.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(body);
    if (!utf8.hasError())
        return text;
    cp1250 = true;
    return cp1250::decode(body);
}

// Lower case ASCII letters and digits alone: "Data ur." → "dataur", "Imię" → "imie".
QString headerKey(const QString &text) {
    static const QHash<QChar, QChar> fold{{u'ą', u'a'}, {u'ć', u'c'}, {u'ę', u'e'},
                                          {u'ł', u'l'}, {u'ń', u'n'}, {u'ó', u'o'},
                                          {u'ś', u's'}, {u'ź', u'z'}, {u'ż', u'z'}};
    QString key;
    for (QChar ch : text.toLower()) {
        ch = fold.value(ch, ch);
        if ((ch >= u'a' && ch <= u'z') || (ch >= u'0' && ch <= u'9'))
            key += ch;
    }
    return key;
}

ListColumn columnOfHeader(const QString &header) {
    static const QHash<QString, ListColumn> names{
        {"nazwisko", ListColumn::Surname},
        {"nazwiskoucznia", ListColumn::Surname},
        {"imie", ListColumn::FirstName},
        {"imiona", ListColumn::FirstName},
        {"imieucznia", ListColumn::FirstName},
        {"pierwszeimie", ListColumn::FirstName},
        {"pesel", ListColumn::Pesel},
        {"nrpesel", ListColumn::Pesel},
        {"numerpesel", ListColumn::Pesel},
        {"dataurodzenia", ListColumn::BirthDate},
        {"dataur", ListColumn::BirthDate},
        {"dataurodz", ListColumn::BirthDate},
        {"urodzony", ListColumn::BirthDate},
        {"urodzona", ListColumn::BirthDate},
        {"urodzonya", ListColumn::BirthDate},
        {"miejsceurodzenia", ListColumn::BirthTown},
        {"miejsceur", ListColumn::BirthTown},
        {"miejsceurodz", ListColumn::BirthTown},
        {"miejscowoscurodzenia", ListColumn::BirthTown},
        {"wojewodztwo", ListColumn::Province},
        {"wojewodztwourodzenia", ListColumn::Province},
        {"woj", ListColumn::Province},
        {"plec", ListColumn::Gender},
        {"nrwdzienniku", ListColumn::Number},
        {"nrdziennika", ListColumn::Number},
        {"numerwdzienniku", ListColumn::Number},
        {"numerdziennika", ListColumn::Number},
        {"nrwdz", ListColumn::Number},
        {"nrucznia", ListColumn::Number},
    };
    return names.value(headerKey(header), ListColumn::Ignored);
}

const char *const kMonthStems[] = {"stycz", "lut",   "mar",  "kwie", "maj",    "czerw",
                                   "lip",   "sierp", "wrze", "pa",   "listop", "grud"};

} // namespace

structPupilListTable pupilListFromBytes(const QByteArray &bytes) {
    structPupilListTable out;
    const QString text = decodeList(bytes, out.cp1250, out.utf16);
    // The separator that finds the most known headers, then splits the most
    // rows into as many fields as the header, then gives the most fields.
    std::tuple<int, int, qsizetype> best{-1, -1, -1};
    for (char16_t sep : kSeparators) {
        QList<int> lines;
        const QList<QStringList> rows = splitRows(text, QChar(sep), &lines);
        if (rows.isEmpty())
            continue;
        const QStringList &header = rows.first();
        int known = 0;
        for (const QString &h : header)
            known += columnOfHeader(h) != ListColumn::Ignored;
        int alike = 0;
        for (qsizetype i = 1; i < rows.size() && i <= 20; ++i)
            alike += rows[i].size() == header.size();
        const std::tuple<int, int, qsizetype> score{known, header.size() > 1 ? alike : -1,
                                                    header.size()};
        if (score > best) {
            best = score;
            out.separator = QChar(sep);
            out.header = header;
            out.rows = rows.mid(1);
            out.lines = lines.mid(1);
        }
    }
    return out;
}

QString strFunListColumnLabel(ListColumn column) {
    switch (column) {
    case ListColumn::Ignored:
        return QString::fromUtf8("(pomiń)");
    case ListColumn::Surname:
        return QStringLiteral("Nazwisko");
    case ListColumn::FirstName:
        return QString::fromUtf8("Imię");
    case ListColumn::Pesel:
        return QStringLiteral("PESEL");
    case ListColumn::BirthDate:
        return QStringLiteral("Data urodzenia");
    case ListColumn::BirthTown:
        return QStringLiteral("Miejsce urodzenia");
    case ListColumn::Province:
        return QString::fromUtf8("Województwo");
    case ListColumn::Gender:
        return QString::fromUtf8("Płeć");
    case ListColumn::Number:
        return QStringLiteral("Nr ucznia");
    }
    return QString();
}

QList<ListColumn> listColumnsFromHeader(const QStringList &header) {
    QList<ListColumn> out;
    for (const QString &h : header) {
        const ListColumn c = columnOfHeader(h);
        out << (out.contains(c) ? ListColumn::Ignored : c);
    }
    return out;
}

QDate dateFromListText(const QString &text) {
    const QString t = text.simplified().toLower();
    // A spreadsheet may add the time of day: "2017-03-05 00:00:00".
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ t]\\d{1,2}:\\d{2}(?::\\d{2})?)?$"));
    static const QRegularExpression dotted(QStringLiteral(
        "^(\\d{1,2})[./-](\\d{1,2})[./-](\\d{4})(?:\\s*r\\.?|\\s+\\d{1,2}:\\d{2}(?::\\d{2})?)?$"));
    static const QRegularExpression words(
        QStringLiteral("^(\\d{1,2})\\s+(\\S+)\\s+(\\d{4})(?:\\s*r\\.?)?$"));
    if (const auto m = iso.match(t); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (const auto m = dotted.match(t); m.hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (const auto m = words.match(t); m.hasMatch()) {
        const QString month = m.captured(2);
        for (int i = 0; i < 12; ++i) {
            if (month.startsWith(QString::fromUtf8(kMonthStems[i])))
                return QDate(m.captured(3).toInt(), i + 1, m.captured(1).toInt());
        }
    }
    return QDate();
}

QString strFunGenderFromListText(const QString &text) {
    const QString key = headerKey(text);
    static const QStringList girl{"k", "kobieta", "dziewczynka", "z", "zenska", "dz"};
    static const QStringList boy{"m", "mezczyzna", "chlopiec", "meska", "ch"};
    if (girl.contains(key))
        return QStringLiteral("kobieta");
    if (boy.contains(key))
        return QString::fromUtf8("mężczyzna");
    return QString();
}

QString structListPupil::field(const char *name) const {
    for (const structSqlData &r : records) {
        if (r.comp_name == QLatin1String(name))
            return r.value;
    }
    return QString();
}

QList<structListPupil> pupilsFromList(const structPupilListTable &table,
                                      const QList<ListColumn> &columns,
                                      const QStringList &classTables) {
    QList<structListPupil> out;
    QHash<QString, int> seen; // PESEL → the line that gave it first
    const QString id = QString::fromLatin1(kPupilDataId);
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        const QStringList &row = table.rows[r];
        auto cell = [&](ListColumn c) {
            const qsizetype i = columns.indexOf(c);
            return i >= 0 && i < row.size() ? row[i].trimmed() : QString();
        };
        structListPupil p;
        p.line = table.lines.value(r);
        QList<cp1250::Replacement> replaced;
        auto set = [&](const char *name, const QString &value) {
            if (!value.isEmpty())
                p.records.append(
                    {id, QString::fromLatin1(name), cp1250::storable(value, &replaced)});
        };
        const QString surname = strFunTidyPupilName(cell(ListColumn::Surname));
        const QString firstName = strFunTidyPupilName(cell(ListColumn::FirstName));
        p.pesel = cell(ListColumn::Pesel);
        const structPeselCheck check = peselCheck(p.pesel);
        QString gender = strFunGenderFromListText(cell(ListColumn::Gender));
        if (check.valid) {
            const QString byNumber =
                check.boy ? QString::fromUtf8("mężczyzna") : QStringLiteral("kobieta");
            if (!gender.isEmpty() && gender != byNumber)
                p.notes << QString::fromUtf8("płeć w liście nie zgadza się z numerem PESEL "
                                             "(przyjęto: %1)")
                               .arg(byNumber);
            gender = byNumber;
        }
        const QString dateText = cell(ListColumn::BirthDate);
        QDate born = dateFromListText(dateText);
        if (!dateText.isEmpty() && !born.isValid())
            p.notes << QString::fromUtf8("nie rozpoznano daty urodzenia „%1”").arg(dateText);
        if (check.valid && born.isValid() && born != check.birthDate)
            p.notes << QString::fromUtf8("data urodzenia nie zgadza się z numerem PESEL");
        if (!born.isValid() && check.valid)
            born = check.birthDate;

        set("Imie_DATA_EDIT", firstName);
        if (born.isValid())
            set("UrodzonyDnia_DATA_EDIT", strFunBirthDayText(born));
        set("Plec_DATA_COMBOBOX", gender);
        if (born.isValid())
            set("UrodzonyRok_DATA_COMBOBOX", strFunBirthYearText(born));
        set("UrodzonyMiasto_DATA_COMBOBOX", cell(ListColumn::BirthTown));
        set("UrodzonyWoj_DATA_COMBOBOX", cell(ListColumn::Province));
        set("NrDziennika_DATA_EDIT", cell(ListColumn::Number));
        set("Nazwisko_DATA_EDIT", surname);
        set("Pesel_DATA_EDIT", p.pesel);

        p.importable = true;
        if (surname.isEmpty() || firstName.isEmpty() || gender.isEmpty()) {
            p.importable = false;
            QStringList missing;
            if (surname.isEmpty())
                missing << QStringLiteral("nazwiska");
            if (firstName.isEmpty())
                missing << QString::fromUtf8("imienia");
            if (gender.isEmpty())
                missing << QString::fromUtf8("płci");
            p.notes.prepend(QString::fromUtf8("brak %1 – uzupełnij listę")
                                .arg(missing.join(QStringLiteral(", "))));
        }
        if (p.pesel.isEmpty()) {
            p.doubtful = true;
            p.notes << QString::fromUtf8("brak numeru PESEL – uczeń zostanie zapisany pod "
                                         "numerem zastępczym");
        } else if (!check.valid) {
            p.doubtful = true;
            p.notes << QString::fromUtf8("PESEL wygląda na błędny (%1)").arg(check.reason);
        }
        if (!p.pesel.isEmpty()) {
            if (seen.contains(p.pesel)) {
                p.importable = false;
                p.notes
                    << QString::fromUtf8("ten sam PESEL co w wierszu %1").arg(seen.value(p.pesel));
            } else {
                seen.insert(p.pesel, p.line);
            }
            if (classTables.contains(QLatin1String(kPupilTablePrefix) + p.pesel)) {
                p.inClass = true;
                p.notes << QString::fromUtf8("uczeń o tym numerze PESEL już jest w klasie");
            }
        }
        if (!replaced.isEmpty())
            p.notes << cp1250::replacementNotice(replaced);
        out << p;
    }
    return out;
}

SqlDataList pupilFieldsUpdated(const SqlDataList &stored, const SqlDataList &fromList) {
    const QString id = QString::fromLatin1(kPupilDataId);
    SqlDataList out;
    for (const structSqlData &r : stored) {
        if (r.id == id)
            out << r;
    }
    for (const structSqlData &n : fromList) {
        bool found = false;
        for (structSqlData &r : out) {
            if (r.comp_name == n.comp_name) {
                r.value = n.value;
                found = true;
            }
        }
        if (!found)
            out << n;
    }
    return out;
}
