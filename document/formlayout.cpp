#include "document/formlayout.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace {

int number(const QString &cell, bool &ok) {
    if (cell.isEmpty())
        return 0;
    return cell.toInt(&ok);
}

} // namespace

QString strFunInstalledFace(const QString &face) {
    static const QHash<QString, QString> standIns = {
        {QStringLiteral("ms sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("microsoft sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial narrow"), QStringLiteral("Liberation Sans Narrow")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
    };
    const QString key = face.trimmed().toLower();
    if (key.isEmpty())
        return QString::fromLatin1(kFieldFontFace);
    return standIns.value(key, face);
}

namespace {

bool isField(const LayoutItem &i) {
    return i.kind == QLatin1String("edit") || i.kind == QLatin1String("combo") ||
           i.kind == QLatin1String("memo");
}

// The words of a label as a name: no brackets, no closing colon.
QString spoken(QString text) {
    text.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    text = text.simplified();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text.trimmed();
}

// "ZMIENNA_RokSzkolny1_STR1_DATA_EDIT" -> "rok szkolny 1".
QString nameWords(QString name) {
    for (const char *part :
         {"ZMIENNA_", "STALY_", "_DATA_EDIT", "_DATA_COMBOBOX", "_DATA_MEMO", "_STR1", "_STR2"})
        name.remove(QLatin1String(part));
    QString out;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const bool split = i > 0 && ((c.isUpper() && !name[i - 1].isUpper()) ||
                                     (c.isDigit() && !name[i - 1].isDigit()));
        if (split)
            out += QLatin1Char(' ');
        out += c == QLatin1Char('_') ? QChar(QLatin1Char(' ')) : c.toLower();
    }
    return out.simplified();
}

// The words of one variant of a layout for its fields: the label that
// names each item, found once, and the names without their digits (boxes of
// one number share the words before the first).
class Captions {
public:
    explicit Captions(QList<LayoutItem> items) : m_items(std::move(items)) {
        static const QRegularExpression digits(QStringLiteral("\\d+"));
        for (int i = 0; i < m_items.size(); ++i) {
            m_families << QString(m_items[i].name).remove(digits);
            m_isField << isField(m_items[i]);
            if (m_items[i].kind == QLatin1String("label") && !m_items[i].text.trimmed().isEmpty())
                m_labelRows << i;
        }
        m_labels.resize(m_items.size());
        m_found.resize(m_items.size());
    }

    const QList<LayoutItem> &items() const { return m_items; }

    // The caption of item `index` as strFunFieldCaption tells it.
    QString of(int index) {
        const LayoutItem &field = m_items[index];
        const LayoutItem *label = labelOf(index);
        if (field.has("ending"))
            return label ? QString::fromUtf8("końcówka słowa ") + spoken(label->text)
                         : nameWords(field.name);
        if (!label)
            return nameWords(field.name);
        // Fields that share the words are told apart by their place.
        const QList<int> sharing = sharers().value(label);
        const QString words = spoken(label->text);
        return sharing.size() > 1
                   ? words + QStringLiteral(", pole %1").arg(sharing.indexOf(index) + 1)
                   : words;
    }

private:
    // The fields (no word endings) each label names, in order.
    const QHash<const LayoutItem *, QList<int>> &sharers() {
        if (!m_sharersKnown) {
            for (int i = 0; i < m_items.size(); ++i) {
                if (isField(m_items[i]) && !m_items[i].has("ending"))
                    if (const LayoutItem *label = labelOf(i))
                        m_sharers[label] << i;
            }
            m_sharersKnown = true;
        }
        return m_sharers;
    }

    // The label that names item `index`, or null.
    const LayoutItem *labelOf(int index) {
        if (!m_found[index]) {
            m_labels[index] = find(index);
            m_found[index] = true;
        }
        return m_labels[index];
    }

    const LayoutItem *find(int index) const {
        const LayoutItem &f = m_items[index];
        const LayoutItem *best = nullptr;
        auto labels = [&](auto accept, auto better) {
            for (int row : m_labelRows) {
                const LayoutItem &l = m_items[row];
                if (l.page != f.page)
                    continue;
                if (accept(l) && (!best || better(l, *best)))
                    best = &l;
            }
        };
        // The middle of the field's first line, and whether another field
        // stands between a label on that line and this field.
        const int line = f.top + std::min(f.height, 21) / 2;
        auto onLine = [line](const LayoutItem &l) { return std::abs(l.top + 6 - line) <= 10; };
        const QString &family = m_families[index];
        auto fieldBetween = [&](int from, int to) {
            for (int i = 0; i < m_items.size(); ++i) {
                const LayoutItem &o = m_items[i];
                if (i != index && m_isField[i] && o.page == f.page && m_families[i] != family &&
                    std::abs(o.top + std::min(o.height, 21) / 2 - line) <= 10 && o.left >= from &&
                    o.left < to)
                    return true;
            }
            return false;
        };
        const int right = f.left + std::max(f.width, 1);
        auto across = [&](const LayoutItem &l) { return l.left < right && l.left >= f.left - 10; };
        auto under = [&](const LayoutItem &l) {
            return across(l) && l.top >= f.top + f.height - 6 && l.top < f.top + f.height + 16;
        };
        auto nearer = [](const LayoutItem &a, const LayoutItem &b) { return a.top < b.top; };
        // The words its line starts with, to its left, no other field between.
        labels(
            [&](const LayoutItem &l) {
                return l.left < f.left && onLine(l) && !fieldBetween(l.left, f.left);
            },
            [](const LayoutItem &a, const LayoutItem &b) { return a.left > b.left; });
        if (best)
            return best;
        // Else the small caption a form prints under a line.
        labels(under, nearer);
        return best;
    }

    QList<LayoutItem> m_items;
    QStringList m_families;
    QList<bool> m_isField;
    QList<int> m_labelRows; // the labels with words, in order
    QList<const LayoutItem *> m_labels;
    QList<bool> m_found;
    QHash<const LayoutItem *, QList<int>> m_sharers;
    bool m_sharersKnown = false;
};

} // namespace

QString strFunFieldCaption(const FormLayout &layout, const QString &variant,
                           const QString &fieldName) {
    Captions captions(layout.itemsFor(variant));
    int field = -1;
    for (int i = 0; i < captions.items().size(); ++i)
        if (captions.items()[i].name == fieldName)
            field = i;
    return field < 0 ? nameWords(fieldName) : captions.of(field);
}

QHash<QString, QString> fieldCaptions(const FormLayout &layout, const QString &variant) {
    Captions captions(layout.itemsFor(variant));
    QHash<QString, QString> out;
    for (int i = 0; i < captions.items().size(); ++i)
        out.insert(captions.items()[i].name, captions.of(i));
    return out;
}

QList<LayoutItem> FormLayout::itemsFor(const QString &variant) const {
    QList<LayoutItem> out;
    for (const LayoutItem &i : items) {
        if (i.only.isEmpty() || i.only == variant)
            out << i;
    }
    return out;
}

const LayoutItem *FormLayout::item(const QString &name) const {
    for (const LayoutItem &i : items) {
        if (i.name == name)
            return &i;
    }
    return nullptr;
}

bool parseLayout(const QString &text, FormLayout &layout, QString &error) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList cells = line.split(QLatin1Char('|'));
        for (QString &c : cells)
            c = c.trimmed();
        bool ok = true;
        // A copy: the cells grow below, which moves them.
        const QString kind = cells[0];
        if (kind == QLatin1String("window") && cells.size() >= 5) {
            layout.name = cells[1];
            layout.width = number(cells[2], ok);
            layout.height = number(cells[3], ok);
            layout.mode = cells[4];
        } else if (kind == QLatin1String("page") && cells.size() >= 5) {
            LayoutPage page;
            page.number = number(cells[1], ok);
            page.caption = cells[2];
            page.width = number(cells[3], ok);
            page.height = number(cells[4], ok);
            layout.pages << page;
        } else if (cells.size() >= 5) {
            cells.resize(15);
            LayoutItem item;
            item.kind = kind;
            item.name = cells[1];
            item.page = number(cells[2], ok);
            item.left = number(cells[3], ok);
            item.top = number(cells[4], ok);
            item.width = number(cells[5], ok);
            item.height = cells[6].isEmpty() ? 21 : number(cells[6], ok);
            item.tab = cells[7].isEmpty() ? -1 : number(cells[7], ok);
            item.limit = number(cells[8], ok);
            item.flags = cells[9].split(QLatin1Char(' '), Qt::SkipEmptyParts);
            item.text = cells[10];
            item.fontFace = cells[11];
            item.fontSize = number(cells[12], ok);
            item.fontStyle = cells[13];
            item.only = cells[14];
            if (ok)
                layout.items << item;
        } else {
            ok = false;
        }
        if (!ok) {
            error = QStringLiteral("line %1: %2").arg(n + 1).arg(line);
            return false;
        }
    }
    return true;
}

// The layouts live in this static library's resources.
static void initLayoutResources() {
    Q_INIT_RESOURCE(layouts);
}

const FormLayout &formLayout(const QString &name) {
    static QHash<QString, FormLayout> cache;
    if (cache.isEmpty())
        initLayoutResources();
    auto it = cache.find(name);
    if (it == cache.end()) {
        FormLayout layout;
        QFile file(QStringLiteral(":/layouts/%1.layout").arg(name));
        QString error;
        if (!file.open(QIODevice::ReadOnly) ||
            !parseLayout(QString::fromUtf8(file.readAll()), layout, error))
            qFatal("layout %s cannot be read: %s", qPrintable(name), qPrintable(error));
        it = cache.insert(name, layout);
    }
    return *it;
}
