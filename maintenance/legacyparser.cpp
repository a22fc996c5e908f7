#include "maintenance/legacyparser.h"

#include "storage/codec.h"

#include <QSet>

namespace {

const QLatin1String kBlockStart("<DANE SWIADECTW DLA:");
const QLatin1String kDataOpen("<DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3>");
const QLatin1String kDataClose("</DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3>");
const QLatin1String kBlockEnd("</KONIEC DANYCH SWIADECTW>");
const QLatin1String kMemo("_DATA_MEMO");
const QLatin1String kPeselField("Pesel_DATA_EDIT");

// The file's lines, without their line breaks, one after the other; a line
// can be handed back to be read again by the caller's caller.
class LineReader {
public:
    explicit LineReader(const QByteArray &bytes) {
        // A NUL byte cannot travel inside a statement text: it is damage,
        // not text, and is dropped.
        if (bytes.contains('\0'))
            m_text = cp1250::decode(QByteArray(bytes).replace('\0', QByteArray()));
        else
            m_text = cp1250::decode(bytes);
    }

    bool next(QStringView &line) {
        if (m_again) {
            m_again = false;
            line = m_line;
            return true;
        }
        if (m_pos >= m_text.size())
            return false;
        qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_pos);
        if (end < 0)
            end = m_text.size();
        qsizetype length = end - m_pos;
        if (length > 0 && m_text.at(m_pos + length - 1) == QLatin1Char('\r'))
            --length;
        m_line = QStringView(m_text).mid(m_pos, length);
        m_pos = end + 1;
        line = m_line;
        return true;
    }
    void putBack() { m_again = true; }

private:
    QString m_text;
    qsizetype m_pos = 0;
    QStringView m_line;
    bool m_again = false;
};

// Numbers the lines of memo fields "<name>01", "<name>02", ...: the count
// starts again whenever a memo line carries another name than the last memo
// line; lines of other fields in between do not reset it.
class MemoCounter {
public:
    QString name(const QString &field) {
        if (!field.contains(kMemo))
            return field;
        m_count = field == m_last ? m_count + 1 : 1;
        m_last = field;
        return field + QString::number(m_count).rightJustified(2, QLatin1Char('0'));
    }

private:
    QString m_last;
    int m_count = 0;
};

// "<name>value": the name runs from after the first "<" to the next ">", the
// value is everything after the first ">". False for a line without ">".
bool splitFieldLine(QStringView line, QString &name, QString &value) {
    const qsizetype firstGt = line.indexOf(QLatin1Char('>'));
    if (firstGt < 0)
        return false;
    const qsizetype lt = line.indexOf(QLatin1Char('<'));
    const qsizetype start = lt < 0 ? 0 : lt + 1;
    const qsizetype gt = line.indexOf(QLatin1Char('>'), start);
    name = line.mid(start, gt < 0 ? -1 : gt - start).toString();
    value = line.mid(firstGt + 1).toString();
    return true;
}

// The text between the first "<" and the next ">" (from the line's start
// without a "<", to its end without a ">").
QString headerId(QStringView line) {
    const qsizetype lt = line.indexOf(QLatin1Char('<'));
    const qsizetype start = lt < 0 ? 0 : lt + 1;
    const qsizetype gt = line.indexOf(QLatin1Char('>'), start);
    return line.mid(start, gt < 0 ? -1 : gt - start).toString();
}

QString nameFromStartLine(QStringView line) {
    const qsizetype from = line.indexOf(kBlockStart) + kBlockStart.size();
    const qsizetype gt = line.indexOf(QLatin1Char('>'), from);
    return line.mid(from, gt < 0 ? -1 : gt - from).trimmed().toString();
}

enum class SectionEnd { Closed, BlockEnd, NextBlock, FileEnd };

// Lines up to the opening of the pupil data (or its closing, met first).
SectionEnd skipToPupilData(LineReader &in, bool &opened) {
    QStringView line;
    while (in.next(line)) {
        if (line.contains(kBlockStart)) {
            in.putBack();
            return SectionEnd::NextBlock;
        }
        if (line.contains(kDataOpen)) {
            opened = true;
            return SectionEnd::Closed;
        }
        if (line.contains(kDataClose))
            return SectionEnd::Closed;
        if (line.contains(kBlockEnd))
            return SectionEnd::BlockEnd;
    }
    return SectionEnd::FileEnd;
}

// Field lines up to a line holding `closing`; the end of the block and the
// start of the next one end the section too.
SectionEnd readFields(LineReader &in, const QString &id, const QString &closing, MemoCounter &memo,
                      structLegacyPupil &pupil, bool pupilData) {
    SqlDataList &records = pupilData ? pupil.pupilData : pupil.documents;
    QStringView line;
    QString name, value;
    while (in.next(line)) {
        if (line.contains(closing))
            return SectionEnd::Closed;
        if (line.contains(kBlockStart)) {
            in.putBack();
            return SectionEnd::NextBlock;
        }
        if (line.contains(kBlockEnd))
            return SectionEnd::BlockEnd;
        if (!splitFieldLine(line, name, value))
            continue;
        if (pupilData && name.contains(kPeselField)) {
            pupil.hasPeselField = true;
            pupil.pesel = value;
        }
        records.append({id, memo.name(name), value});
    }
    return SectionEnd::FileEnd;
}

void readDocuments(LineReader &in, structLegacyPupil &pupil) {
    MemoCounter memo; // runs across the documents of one pupil
    QStringView line;
    while (in.next(line)) {
        if (line.contains(kBlockStart)) {
            in.putBack();
            return;
        }
        if (line.contains(kBlockEnd))
            return;
        const QString id = headerId(line);
        // A blank line or a stray closing line opens no document.
        if (id.trimmed().isEmpty() || id.startsWith(QLatin1Char('/')))
            continue;
        const QString closing = QStringLiteral("</") + id + QLatin1Char('>');
        if (readFields(in, id, closing, memo, pupil, false) != SectionEnd::Closed)
            return;
    }
}

void readPupilBlock(LineReader &in, structLegacyPupil &pupil) {
    bool opened = false;
    SectionEnd end = skipToPupilData(in, opened);
    if (end != SectionEnd::Closed)
        return;
    if (opened) {
        MemoCounter memo;
        end = readFields(in, QString::fromLatin1(kPupilDataId), kDataClose, memo, pupil, true);
        if (end != SectionEnd::Closed)
            return;
    }
    readDocuments(in, pupil);
}

// SQLite compares table names without regard to ASCII case only.
QString tableKey(const QString &table) {
    QString key = table;
    for (QChar &ch : key) {
        if (ch >= QLatin1Char('a') && ch <= QLatin1Char('z'))
            ch = QChar(ch.unicode() - 'a' + 'A');
    }
    return key;
}

} // namespace

void vFunParseLegacyFile(const QByteArray &bytes, LegacyPupilList &pupils) {
    LineReader in(bytes);
    QStringView line;
    while (in.next(line)) {
        if (!line.contains(kBlockStart))
            continue;
        structLegacyPupil pupil;
        pupil.displayName = nameFromStartLine(line);
        readPupilBlock(in, pupil);
        pupils.append(pupil);
    }
}

void vFunNameLegacyTables(LegacyPupilList &pupils) {
    QSet<QString> taken;
    for (structLegacyPupil &p : pupils) {
        p.table.clear();
        if (!p.hasPeselField)
            p.problem = PeselProblem::Missing;
        else if (p.pesel.trimmed().isEmpty())
            p.problem = PeselProblem::Empty;
        else if (taken.contains(tableKey(QStringLiteral("PESEL") + p.pesel)))
            p.problem = PeselProblem::Taken;
        else
            p.problem = PeselProblem::None;
        if (p.problem == PeselProblem::None) {
            p.table = QStringLiteral("PESEL") + p.pesel;
            taken.insert(tableKey(p.table));
        }
    }
    // Placeholders come second, so a real PESEL keeps its table even when it
    // happens to look like a placeholder.
    int number = 0;
    for (structLegacyPupil &p : pupils) {
        if (p.problem == PeselProblem::None)
            continue;
        do
            p.table = QLatin1String(kPlaceholderTablePrefix) + QString::number(++number);
        while (taken.contains(tableKey(p.table)));
        taken.insert(tableKey(p.table));
        for (structSqlData &r : p.pupilData) {
            if (r.comp_name.contains(kPeselField))
                r.value = p.table.mid(5); // after "PESEL"
        }
    }
    // The pupil dialog shows the last "Pesel_DATA_EDIT" row of the pupil data
    // (a damaged file may hold one in its documents part too): it must name
    // the pupil's table, so a row is added when the file's rows do not.
    const auto isPeselRow = [](const structSqlData &r) {
        return r.comp_name == kPeselField && r.id == QLatin1String(kPupilDataId);
    };
    for (structLegacyPupil &p : pupils) {
        const QString tail = p.table.mid(5);
        const structSqlData *shown = nullptr;
        bool inDocuments = false;
        for (const structSqlData &r : p.pupilData) {
            if (isPeselRow(r))
                shown = &r;
        }
        for (const structSqlData &r : p.documents) {
            if (isPeselRow(r)) {
                shown = &r;
                inDocuments = true;
            }
        }
        if (!shown || shown->value != tail)
            (inDocuments ? p.documents : p.pupilData)
                .append({QString::fromLatin1(kPupilDataId), kPeselField, tail});
    }
}
