#include "editors/layouteditor.h"

#include "document/fieldnames.h"
#include "document/pupilcopies.h"
#include "document/samples.h"
#include "editors/fields.h"
#include "editors/tfdaneucznia.h"
#include "storage/paths.h"

#include <QFileInfo>

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

QFont labelFont(const LayoutItem &item) {
    QFont font(strFunInstalledFace(item.fontFace));
    font.setPixelSize(item.fontSize > 0 ? item.fontSize : 11);
    font.setBold(item.fontStyle.contains(QLatin1String("bold")));
    font.setItalic(item.fontStyle.contains(QLatin1String("italic")));
    return font;
}

} // namespace

LayoutEditor::LayoutEditor(const QString &className, const QString &caption,
                           const QString &documentId, const QString &layoutName,
                           const QString &variant, TFDaneUcznia *pupil, QWidget *parent)
    : TFEditor(className, caption, documentId, parent), m_layout(&formLayout(layoutName)),
      m_document(documentByClass(className)), m_pupil(pupil) {
    setFont(fieldFont());
    build(variant);
}

void LayoutEditor::build(const QString &variant) {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto makePage = [&](const LayoutPage &p) {
        auto *paper = new QLabel;
        paper->setObjectName(QStringLiteral("Image%1").arg(p.number));
        paper->setFixedSize(p.width, p.height);
        // The paper, its texts and its fields keep the printed form's colours
        // under any desktop theme; the rest of the window follows the theme.
        paper->setAutoFillBackground(true);
        paper->setPalette(paperPalette(paper->palette()));
        paper->setScaledContents(true);
        m_pages << paper;
        return paper;
    };
    auto scrolled = [&](QWidget *paper, int number) {
        auto *box = new QScrollArea;
        box->setObjectName(QStringLiteral("ScrollBox%1").arg(number));
        box->setWidget(paper);
        box->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        box->viewport()->installEventFilter(this);
        m_scrollBoxes << box;
        return box;
    };

    const FormLayout &l = *m_layout;
    if (l.mode == QLatin1String("tabs")) {
        m_tabs = new QTabWidget(this);
        m_tabs->setObjectName(QStringLiteral("PageControl"));
        for (const LayoutPage &p : l.pages)
            m_tabs->addTab(scrolled(makePage(p), p.number), p.caption);
        outer->addWidget(m_tabs, 1);
    } else if (l.mode == QLatin1String("scroll")) {
        outer->addWidget(scrolled(makePage(l.pages.first()), 1), 1);
    } else {
        QWidget *paper = makePage(l.pages.first());
        paper->setMinimumSize(0, 0);
        paper->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        outer->addWidget(paper, 1);
    }

    QMap<int, QList<QPair<int, QWidget *>>> tabOrder; // page -> (tab, widget)
    // Windows of one layout (the certificates, the results pages) name
    // their fields alike.
    static QHash<QPair<const FormLayout *, QString>, QHash<QString, QString>> named;
    auto known = named.find({&l, variant});
    if (known == named.end())
        known = named.insert({&l, variant}, fieldCaptions(l, variant));
    const QHash<QString, QString> &captions = *known;
    for (const LayoutItem &item : l.itemsFor(variant)) {
        if (item.kind == QLatin1String("frame"))
            continue; // drawn into the page picture by the data build
        QWidget *page = m_pages.value(item.page - 1, m_pages.first());
        QWidget *w = nullptr;
        if (item.kind == QLatin1String("edit")) {
            auto *edit = new QLineEdit(page);
            edit->setValidator(new Cp1250Validator(edit, item.limit));
            edit->setReadOnly(item.has("readonly"));
            w = edit;
        } else if (item.kind == QLatin1String("combo")) {
            auto *combo = new QComboBox(page);
            combo->setEditable(!item.has("list-only"));
            combo->addItems(item.listEntries());
            if (QLineEdit *edit = combo->lineEdit())
                edit->setValidator(new Cp1250Validator(edit, item.limit));
            combo->setCurrentIndex(-1);
            w = combo;
        } else if (item.kind == QLatin1String("memo")) {
            auto *memo = new MemoEdit(item.limit, page);
            memo->setWordWrap(!item.has("nowrap"));
            for (const QString &flag : item.flags) {
                if (flag.startsWith(QLatin1String("maxchars=")))
                    memo->setMaxChars(flag.mid(9).toInt());
            }
            w = memo;
        } else {
            auto *label = new QLabel(
                m_document ? strFunFixedText(*m_document, item.name, item.text) : item.text, page);
            label->setFont(labelFont(item));
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            label->lower(); // the fields stay on top where a text runs up to them
            w = label;
        }
        w->setObjectName(item.name);
        if (item.width > 0)
            w->setGeometry(item.left, item.top, item.width, item.height);
        else if (auto *label = qobject_cast<QLabel *>(w)) {
            // The certificates and the results pages repeat their fixed
            // texts: each text in each font of the layouts is measured once.
            static QHash<QString, QSize> measured;
            const QString key = item.fontFace + QLatin1Char('\n') + QString::number(item.fontSize) +
                                QLatin1Char('\n') + item.fontStyle + QLatin1Char('\n') +
                                label->text();
            auto it = measured.find(key);
            if (it == measured.end()) {
                label->adjustSize();
                it = measured.insert(key, label->size());
            }
            label->setGeometry(QRect(QPoint(item.left, item.top), *it));
        } else {
            w->adjustSize();
            w->move(item.left, item.top);
        }
        if (item.kind != QLatin1String("label"))
            w->setAccessibleName(captions.value(item.name));
        if (item.has("disabled"))
            w->setEnabled(false);
        if (item.tab >= 0)
            tabOrder[item.page].append({item.tab, w});
        addComponent(w);
    }
    for (auto &list : tabOrder) {
        std::stable_sort(list.begin(), list.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (int i = 1; i < list.size(); ++i)
            setTabOrder(list[i - 1].second, list[i].second);
    }

    // The status line, the window's whole width over the buttons: what a
    // key or a paste could not put in, letters replaced. It shows only while
    // it has something to say.
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_status->setWordWrap(true);
    m_status->setContentsMargins(8, 2, 8, 2);
    m_status->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_status->hide();
    outer->addWidget(m_status);
    vFunConnectFieldNotices(this, m_status);
    // Ctrl+PgDown / Ctrl+PgUp turn the pages, from whichever field has the focus.
    if (m_tabs) {
        const struct {
            QKeySequence keys;
            int step;
        } turns[] = {{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                     {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
        for (const auto &turn : turns) {
            auto *shortcut = new QShortcut(turn.keys, this);
            shortcut->setContext(Qt::WidgetWithChildrenShortcut);
            connect(shortcut, &QShortcut::activated, this, [this, step = turn.step] {
                const int n = m_tabs->count();
                m_tabs->setCurrentIndex((m_tabs->currentIndex() + step + n) % n);
            });
        }
    }
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("BottomPanel"));
    panel->setFixedHeight(41);
    m_bottom = new QHBoxLayout(panel);
    m_bottom->setContentsMargins(8, 4, 8, 4);
    outer->addWidget(panel);

    resize(l.width, l.height);
    setFixedWidth(l.width);
}

bool LayoutEditor::ApplyFields(const SqlDataList &records) {
    TFEditor::ApplyFields(records);
    if (m_document) {
        // The pupil dialog holds the pupil (it is loaded first); without it,
        // the records do.
        const structPupilData pupilData =
            m_pupil ? m_pupil->pupilData() : structPupilData::fromRecords(records);
        const FieldValues copies = pupilCopiesFor(
            *m_document, pupilData, [this](const QString &name) { return fieldText(name); });
        for (const auto &[name, value] : copies)
            setFieldText(name, value);
    }
    return true;
}

void LayoutEditor::addOkCancel(const char *okName, const char *cancelName) {
    QPushButton *ok = addOkCancelButtons(this, m_bottom, okName, cancelName);
    connect(ok, &QPushButton::clicked, this, &TFEditor::OKButtonClick);
}

void LayoutEditor::setStatusText(const QString &text) {
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
}

QList<MemoEdit *> LayoutEditor::memos() const {
    QList<MemoEdit *> out;
    for (QWidget *w : components()) {
        if (auto *memo = qobject_cast<MemoEdit *>(w))
            out << memo;
    }
    return out;
}

bool LayoutEditor::hasSampleFields() const {
    return m_document && bFunHasSampleTexts(*m_document);
}

void LayoutEditor::FillSampleFields() {
    if (!hasSampleFields())
        return;
    const RecordFieldSource samples = sampleFieldSource(*m_document);
    for (QWidget *w : components()) {
        const QString name = w->objectName();
        if (auto *memo = qobject_cast<MemoEdit *>(w)) {
            memo->clear();
            for (const QString &line : samples.lines(name))
                memo->appendPlainText(line);
        } else if (fieldKind(name) != FieldKind::None) {
            setFieldText(name, samples.text(name));
        }
    }
}

void LayoutEditor::showEvent(QShowEvent *event) {
    // The pictures of the blank form, drawn from the same layout by the build,
    // are in the program folder once the start-up check has run.
    for (int i = 0; i < m_pages.size(); ++i) {
        auto *paper = static_cast<QLabel *>(m_pages[i]);
        if (!paper->pixmap().isNull())
            continue;
        QString scratch;
        const QString picture = strFunGetDataFilePath(
            scratch, QStringLiteral("grafika/%1_%2.png").arg(m_layout->name).arg(i + 1));
        if (!picture.isEmpty() && QFileInfo::exists(picture))
            paper->setPixmap(QPixmap(picture));
    }
    // A document opens at its first side, with the focus in its first field.
    if (m_tabs)
        m_tabs->setCurrentIndex(0);
    setStatusText(QString());
    // Centred on the screen; a form in a scroll box takes the screen's height
    // less a margin, from a fixed top.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const bool tall = m_layout->mode != QLatin1String("plain") && m_screenMargin >= 0;
        if (tall)
            resize(width(), std::max(available.height() - m_screenMargin, 300));
        move(available.center().x() - width() / 2,
             tall ? available.top() + m_showTop : available.center().y() - height() / 2);
    }
    TFEditor::showEvent(event);
}

bool LayoutEditor::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
        for (QScrollArea *box : m_scrollBoxes)
            box->verticalScrollBar()->setValue(box->verticalScrollBar()->value() - delta);
        return true;
    }
    return TFEditor::eventFilter(watched, event);
}
