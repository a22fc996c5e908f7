#include "app/windows.h"

#include "app/programicons.h"
#include "app/version.h"
#include "document/classsession.h"
#include "document/documents.h"
#include "document/pupilcopies.h"
#include "editors/editor.h"
#include "editors/tfdaneucznia.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TFWait::TFWait(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFWait"));
    setWindowTitle(QStringLiteral("Proszę czekać"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Trwa zapisywanie danych ucznia..."), this);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setMinimumWidth(320);
    layout->addWidget(label);
    layout->addWidget(ProgressBar);
}

TFOProgramie::TFOProgramie(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFOProgramie"));
    setWindowTitle(QStringLiteral("O programie"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *icon = new QLabel(this);
    icon->setPixmap(programIcon(QStringLiteral("swiadectwa")).pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    auto *text = new QLabel(this);
    text->setObjectName(QStringLiteral("AboutLabel"));
    text->setTextFormat(Qt::RichText);
    text->setAlignment(Qt::AlignCenter);
    text->setText(
        QStringLiteral("<h2>%1</h2>"
                       "<p>Drukowanie świadectw dla Szkoły Podstawowej klasy 1-3<br>"
                       "wersja %2.%3.%4</p>"
                       "<p>Świadectwa MEN-I/1/2, arkusze ocen MEN-I/37/2 i MEN-I/37b/2,<br>"
                       "ocena opisowa na wywiadówkę.</p>"
                       "<p>Licencja: GNU General Public License, wersja 3 lub nowsza.<br>"
                       "Program jest dostarczany bez jakiejkolwiek gwarancji.</p>"
                       "<p>Veltra-BR5 · kontakt: pomoc@veltra-br5.pl</p>")
            .arg(QString::fromUtf8(kProductName))
            .arg(kVersionMajor)
            .arg(kVersionMinor)
            .arg(kVersionBuild));
    auto *close = new QPushButton(QStringLiteral("Zamknij"), this);
    close->setObjectName(QStringLiteral("ZamknijButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(icon);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignCenter);
}

void WindowSet::add(Maker make, const DocumentInfo *doc) {
    if (doc && doc->kind == DocumentKind::PupilData)
        m_pupilDialog = int(m_windows.size());
    m_windows.append({std::move(make), doc, nullptr, 0});
}

QWidget *WindowSet::build(int i) {
    if (i < 0 || i >= m_windows.size())
        return nullptr;
    Entry &e = m_windows[i];
    if (!e.window)
        e.window = e.make();
    return e.window;
}

QWidget *WindowSet::window(int i) {
    QWidget *w = build(i);
    if (w && m_windows[i].doc && !holdsPupil(m_windows[i]))
        fill(i);
    return w;
}

int WindowSet::indexOf(const DocumentInfo &doc) const {
    for (int i = 0; i < m_windows.size(); ++i) {
        if (m_windows[i].doc == &doc)
            return i;
    }
    return -1;
}

TFEditor *WindowSet::bound(const DocumentInfo &doc) {
    return static_cast<TFEditor *>(window(indexOf(doc)));
}

const QList<QWidget *> &WindowSet::all() {
    if (m_all.size() != m_windows.size() || m_all.contains(nullptr)) {
        QList<QWidget *> out;
        for (int i = 0; i < m_windows.size(); ++i)
            out << build(i);
        m_all = out;
    }
    return m_all;
}

bool WindowSet::pupilIsLoaded() const {
    // The session's pupil must be the one the windows were told of.
    return !m_blank && m_session && !m_table.isEmpty() && m_session->loadedTable() == m_table;
}

void WindowSet::pupilLoaded() {
    ++m_generation;
    m_table = m_session ? m_session->loadedTable() : QString();
    m_blank = m_table.isEmpty();
}

void WindowSet::cleared() {
    ++m_generation;
    m_table.clear();
    m_blank = true;
}

void WindowSet::fill(int i) {
    Entry &e = m_windows[i];
    auto *editor = static_cast<TFEditor *>(e.window.data());
    e.filled = m_generation;
    if (!pupilIsLoaded()) {
        editor->ClearFields();
        for (const auto &[name, value] : blankDefaultsFor(*e.doc))
            editor->setFieldText(name, value);
        return;
    }
    // A document copies the pupil's data from the pupil dialog: it holds
    // the pupil first.
    if (e.doc->kind != DocumentKind::PupilData)
        window(m_pupilDialog);
    editor->ApplyFields(m_session->records());
}

SqlDataList WindowSet::collectPupil() {
    SqlDataList out;
    const bool stored = pupilIsLoaded();
    for (const DocumentInfo &doc : documentTable()) {
        const int i = indexOf(doc);
        if (i < 0)
            continue;
        if (stored && doc.kind != DocumentKind::PupilData && !holdsPupil(m_windows[i])) {
            const QString id = doc.id();
            for (const structSqlData &r : m_session->records()) {
                if (r.id == id)
                    out << r;
            }
            continue;
        }
        static_cast<TFEditor *>(window(i))->CollectFields(out);
    }
    return out;
}

void WindowSet::pupilSaved() {
    QList<int> held;
    for (int i = 0; i < m_windows.size(); ++i) {
        if (m_windows[i].doc && holdsPupil(m_windows[i]))
            held << i;
    }
    pupilLoaded();
    for (int i : std::as_const(held))
        window(i);
}

const QList<QWidget *> &AllWindows::list() const {
    static const QList<QWidget *> none;
    return m_set ? m_set->all() : none;
}

TFEditor *ProgramWindows::editor(const QString &className) const {
    const DocumentInfo *doc = documentByClass(className);
    return set && doc ? set->bound(*doc) : nullptr;
}

QList<TFEditor *> ProgramWindows::boundWindows() const {
    QList<TFEditor *> out;
    for (const DocumentInfo &info : documentTable())
        out << (set ? set->bound(info) : nullptr);
    return out;
}
