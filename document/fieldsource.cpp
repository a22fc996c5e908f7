#include "document/fieldsource.h"

#include "document/fieldnames.h"
#include "document/formlayout.h"
#include "document/pupilcopies.h"

RecordFieldSource::RecordFieldSource(const DocumentInfo &doc, const SqlDataList &records) {
    if (doc.kind == DocumentKind::PupilData)
        return;
    const FormLayout &layout = formLayout(QString::fromLatin1(doc.layout));
    for (const LayoutItem &item : layout.itemsFor(QString::fromLatin1(doc.variant))) {
        if (item.kind == QLatin1String("label"))
            m_texts.insert(item.name, strFunFixedText(doc, item.name, item.text));
        else if (item.kind == QLatin1String("memo"))
            m_lines.insert(item.name, QStringList());
        else if (item.kind == QLatin1String("edit") || item.kind == QLatin1String("combo"))
            m_texts.insert(item.name, QString());
    }
    const QString id = doc.id();
    for (const structSqlData &r : records) {
        if (r.id != id)
            continue;
        if (fieldKind(r.comp_name) == FieldKind::Memo) {
            auto it = m_lines.find(strFunMemoOfRecord(r.comp_name));
            if (it != m_lines.end())
                it->append(r.value);
        } else if (m_texts.contains(r.comp_name) && fieldKind(r.comp_name) != FieldKind::None) {
            m_texts[r.comp_name] = r.value;
        }
    }
    const FieldValues copies = pupilCopiesFor(doc, structPupilData::fromRecords(records),
                                              [this](const QString &name) { return text(name); });
    for (const auto &[name, value] : copies)
        setText(name, value);
}

RecordFieldSource RecordFieldSource::blank(const DocumentInfo &doc) {
    RecordFieldSource source(doc, SqlDataList());
    for (const auto &[name, value] : blankDefaultsFor(doc))
        source.setText(name, value);
    return source;
}

bool RecordFieldSource::hasComponent(const QString &name) const {
    return m_texts.contains(name) || m_lines.contains(name);
}

QString RecordFieldSource::text(const QString &name) const {
    return m_texts.value(name);
}

QStringList RecordFieldSource::lines(const QString &memo) const {
    const auto it = m_lines.constFind(memo);
    if (it != m_lines.constEnd())
        return *it;
    return hasComponent(memo) ? QStringList{text(memo)} : QStringList();
}

void RecordFieldSource::setText(const QString &name, const QString &value) {
    if (m_texts.contains(name))
        m_texts[name] = value;
}

void RecordFieldSource::setLines(const QString &memo, const QStringList &lines) {
    if (m_lines.contains(memo))
        m_lines[memo] = lines;
}
