#include "document/samples.h"

#include "document/fieldnames.h"
#include "document/formlayout.h"

#include <QFile>
#include <QHash>

// The file lives in this static library's resources.
static void initSampleResources() {
    Q_INIT_RESOURCE(samples);
}

namespace {

struct Samples {
    QString fallback; // every field not listed
    QList<std::pair<QString, QString>> rows;
};

const QHash<QString, Samples> &sampleTable() {
    static const QHash<QString, Samples> table = [] {
        initSampleResources();
        QHash<QString, Samples> out;
        QFile file(QStringLiteral(":/samples/samples.txt"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("the sample texts cannot be read");
        Samples *current = nullptr;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
                continue;
            QStringList cells = line.split(QLatin1Char('|'));
            for (QString &cell : cells)
                cell = cell.trimmed();
            if (cells.value(0) == QLatin1String("document") && cells.size() >= 2) {
                current = &out[cells[1]];
                current->fallback = cells.value(2);
            } else if (current && cells.size() == 2) {
                current->rows.append({cells[0], cells[1]});
            } else {
                qFatal("samples.txt: malformed line: %s", qPrintable(line));
            }
        }
        return out;
    }();
    return table;
}

} // namespace

bool bFunHasSampleTexts(const DocumentInfo &doc) {
    return sampleTable().contains(QString::fromLatin1(doc.className));
}

RecordFieldSource sampleFieldSource(const DocumentInfo &doc) {
    RecordFieldSource source = RecordFieldSource::blank(doc);
    const auto it = sampleTable().constFind(QString::fromLatin1(doc.className));
    if (it == sampleTable().constEnd())
        return source;
    const FormLayout &layout = formLayout(QString::fromLatin1(doc.layout));
    const QList<LayoutItem> items = it->fallback.isEmpty()
                                        ? QList<LayoutItem>()
                                        : layout.itemsFor(QString::fromLatin1(doc.variant));
    for (const LayoutItem &item : items) {
        if (item.kind == QLatin1String("memo"))
            source.setLines(item.name, QStringList(std::max(item.limit, 1), it->fallback));
        else if (item.kind == QLatin1String("edit") || item.kind == QLatin1String("combo"))
            source.setText(item.name, it->fallback);
    }
    QHash<QString, QStringList> memos;
    for (const auto &[name, text] : it->rows) {
        if (fieldKind(name) == FieldKind::Memo)
            memos[name] << text;
        else
            source.setText(name, text);
    }
    for (auto m = memos.constBegin(); m != memos.constEnd(); ++m)
        source.setLines(m.key(), m.value());
    return source;
}
