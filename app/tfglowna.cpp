#include "app/tfglowna.h"

#include "app/firststeps.h"
#include "app/previewpage.h"
#include "app/programicons.h"
#include "dialogs/tfdrukuj.h"
#include "dialogs/tfkalibracja.h"
#include "dialogs/tfpomoc.h"
#include "document/fieldsource.h"
#include "document/prompts.h"
#include "document/pupilcopies.h"
#include "editors/editor.h"
#include "editors/editorcontext.h"
#include "editors/tfdaneucznia.h"
#include "printing/printcheck.h"
#include "storage/codec.h"
#include "storage/paths.h"
#include "storage/settings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

#include <QFileInfo>
#include <QHash>
#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {
// The maker's pages.
const char *const kContactUrl = "https://www.veltra-br5.pl/kontakt";
const char *const kRegisterUrl = "https://www.veltra-br5.pl/dziennik-internetowy";
} // namespace

QString documentFileFilter() {
    return QStringLiteral("SP 1-3 (*.sqbr5)");
}

// ---------------------------------------------------------------------------

TFGlowna::TFGlowna() : DataChanged(m_session.unsaved) {
    setObjectName(QStringLiteral("TFGlowna"));
    setWindowTitle(QString::fromUtf8("Świadectwa 1-3"));
    setWindowIcon(programIcon(QStringLiteral("swiadectwa")));
    buildToolBar();
    buildMenus();
    buildCentralArea();
    m_engine.ctx.msg = &m_msg;
    m_engine.ctx.report = [this](const QString &caption, const QString &text, Prompts::Icon icon) {
        showMessage(this, caption, text, icon);
    };
    // While calibrating, the painters bring the selected object into view
    // (their positions are those of the preview at 100 %).
    m_engine.ctx.bringIntoView = [this](int tab, int scroll1, int scroll2) {
        if (tab >= 0)
            PageControl->setCurrentIndex(tab);
        if (scroll1 >= 0)
            ScrollBox1->verticalScrollBar()->setValue(int(scroll1 * m_zoom));
        if (scroll2 >= 0)
            ScrollBox2->verticalScrollBar()->setValue(int(scroll2 * m_zoom));
    };
    m_session.onUnsavedChange = [this](bool on) { setWindowModified(on); };
    AktualizacjaTimer = new QTimer(this);
    AktualizacjaTimer->setObjectName(QStringLiteral("AktualizacjaTimer"));
    connect(AktualizacjaTimer, &QTimer::timeout, this, &TFGlowna::AktualizacjaTimerTimer);
    resize(1100, 800);
}

void TFGlowna::attachWindows(const ProgramWindows &windows) {
    m_windows = windows;
    if (m_windows.set)
        m_windows.set->setSession(&m_session);
    if (m_windows.context)
        m_windows.context->saveStudentRecord = [this](const QString &drop) {
            return SaveStudentRecord(drop);
        };
}

QToolButton *TFGlowna::toolButton(const char *name, const QString &hint, const char *icon,
                                  void (TFGlowna::*slot)()) {
    auto *button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setIcon(themedIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(32, 32));
    button->setFixedSize(46, 38);
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, slot);
    return button;
}

void TFGlowna::buildToolBar() {
    auto *bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    const struct {
        const char *name;
        const char *hint;
        const char *icon;
        void (TFGlowna::*slot)();
    } buttons[] = {
        {"NowyPlikToolButton", "Nowy plik świadectw", "document-new",
         &TFGlowna::NowyPlikToolButtonClick},
        {"OtworzPlikToolButton", "Otwórz plik z świadectwami", "document-open",
         &TFGlowna::OtworzPlikToolButtonClick},
        {"SaveButton", "Zapisz", "document-save", &TFGlowna::Zapisz1Click},
        {"ToolButton11", "Szablon danych szkoły", "go-home", &TFGlowna::Szablondanychszkoy1Click},
        {"DodajUczniaToolButton", "Dodaj nowego ucznia", "contact-new",
         &TFGlowna::DodajUczniaToolButtonClick},
        {"EdytujDaneUczniaToolButton", "Edytuj dane wybranego ucznia", "document-properties",
         &TFGlowna::EdytujDaneUczniaToolButtonClick},
        {"UsunUczniaToolButton", "Usuń dane wybranego ucznia", "edit-delete",
         &TFGlowna::UsunUczniaToolButtonClick},
        {"EdytujSwiadectwoToolButton", "Edytuj wybrane świadectwo / dokument",
         "accessories-text-editor", &TFGlowna::EdytujSwiadectwoToolButtonClick},
        {"DrukujToolButton", "Drukuj świadectwo / dokument", "document-print",
         &TFGlowna::DrukujToolButtonClick},
        {"DrukujKlaseToolButton", "Drukuj dla całej klasy", "print-class",
         &TFGlowna::DrukujDlaKlasyClick},
        {"PomocToolButton", "Pomoc", "help-contents", &TFGlowna::Instrukcjaobsugi1Click},
        {"KontaktButton", "Wyślij wiadomość", "mail-send", &TFGlowna::KontaktButtonClick},
    };
    bool first = true;
    for (const auto &b : buttons) {
        if (!first)
            bar->addSeparator();
        first = false;
        bar->addWidget(toolButton(b.name, QString::fromUtf8(b.hint), b.icon, b.slot));
    }
    auto check = [&](const char *name, const char *caption, bool on, void (TFGlowna::*slot)()) {
        bar->addSeparator();
        auto *box = new QCheckBox(QString::fromUtf8(caption), this);
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(on);
        connect(box, &QCheckBox::clicked, this, slot);
        bar->addWidget(box);
        return box;
    };
    WykreskujPusteCheckBox = check("WykreskujPusteCheckBox", "Wykresuj puste pola", true,
                                   &TFGlowna::WykreskujPusteCheckBoxClick);
    PrintNoDotsCheckBox =
        check("PrintNoDotsCheckBox", "Wyłącz kropki", false, &TFGlowna::PrintNoDotsCheckBoxClick);
    cbWordWrap = check("cbWordWrap", "Ogranicz pola tekstowe", false, &TFGlowna::cbWordWrapClick);

    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("StatusBar"));
    m_statusText->setMinimumHeight(25);
    statusBar()->addWidget(m_statusText, 1);
    m_statusNotice = new QLabel(this);
    m_statusNotice->setObjectName(QStringLiteral("StatusNotice"));
    statusBar()->addPermanentWidget(m_statusNotice);
}

QAction *TFGlowna::action(const QString &name, const QString &text, void (TFGlowna::*slot)()) {
    auto *a = new QAction(text, this);
    a->setObjectName(name);
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    return a;
}

void TFGlowna::buildMenus() {
    struct Entry {
        const char *name;
        const char *text; // nullptr: a separator; "&" marks the accelerator
        void (TFGlowna::*slot)();
        QKeySequence shortcut = {};
    };
    auto menu = [&](const char *name, const char *title, std::initializer_list<Entry> entries) {
        QMenu *m = menuBar()->addMenu(QString::fromUtf8(title));
        m->setObjectName(QString::fromLatin1(name));
        for (const Entry &e : entries) {
            if (!e.text) {
                m->addSeparator();
                continue;
            }
            QAction *a = action(QString::fromLatin1(e.name), QString::fromUtf8(e.text), e.slot);
            a->setShortcut(e.shortcut);
            m->addAction(a);
        }
        return m;
    };
    const Entry separator{nullptr, nullptr, nullptr};
    menu("Plik1", "&Plik",
         {{"Nowyplik1", "&Nowy plik", &TFGlowna::NowyPlikToolButtonClick, QKeySequence::New},
          {"Otworzplik1", "&Otwórz plik", &TFGlowna::OtworzPlikToolButtonClick, QKeySequence::Open},
          {"Otworzodzyskana1", "Otwórz o&dzyskaną kopię…", &TFGlowna::OtworzOdzyskanaKopieClick},
          {"Poprzedniewersje1", "Poprzednie &wersje…", &TFGlowna::Poprzedniewersje1Click},
          {"Importuj1", "&Importuj", &TFGlowna::Importuj1Click},
          {"ImportujListe1", "Importuj &listę uczniów…", &TFGlowna::ImportujListeClick},
          separator,
          {"Zapisz1", "&Zapisz", &TFGlowna::Zapisz1Click, QKeySequence::Save},
          {"Zapiszjako1", "Zapisz j&ako", &TFGlowna::Zapiszjako1Click,
           QKeySequence(QStringLiteral("Ctrl+Shift+S"))},
          separator,
          {"Szablondanychszkoy1", "&Szablon danych szkoły", &TFGlowna::Szablondanychszkoy1Click},
          separator,
          {"Koniec1", "&Koniec", &TFGlowna::Koniec1Click, QKeySequence(QStringLiteral("Ctrl+Q"))}});
    menu("Uczniowie1", "&Uczniowie",
         {{"Dodajnowegoucznia1", "&Dodaj nowego ucznia", &TFGlowna::DodajUczniaToolButtonClick},
          {"Edytujdanewybranegoucznia1", "&Edytuj dane wybranego ucznia",
           &TFGlowna::EdytujDaneUczniaToolButtonClick},
          {"Usuwybranegoucznia1", "&Usuń wybranego ucznia", &TFGlowna::UsunUczniaToolButtonClick}});
    menu("wiadectwa1", "Ś&wiadectwa",
         {{"Edytujwybraneswiadectwo1", "&Edytuj wybrane świadectwo / dokument",
           &TFGlowna::EdytujSwiadectwoToolButtonClick},
          {"Drukujwybraneswiadectwo1", "&Drukuj wybrane świadectwo",
           &TFGlowna::DrukujToolButtonClick, QKeySequence::Print},
          {"Drukujdlacalejklasy1", "Drukuj dla &całej klasy…", &TFGlowna::DrukujDlaKlasyClick},
          separator,
          {"Uzupelnijdlaklasy1", "&Uzupełnij dla całej klasy…", &TFGlowna::UzupelnijDlaKlasyClick},
          {"Sprawdzklase1", "&Sprawdź klasę", &TFGlowna::SprawdzKlaseClick}});
    menu("Ustawienia1", "U&stawienia",
         {{"Formatowaniewiadectwapodstawowe1", "Formatowanie &podstawowe ( tylko zmienne )",
           &TFGlowna::Formatowaniewiadectwapodstawowe1Click},
          {"Ustawieniaczcionki1", "Formatowanie &zaawansowane ( wszystkie obiekty )",
           &TFGlowna::Ustawieniaczcionki1Click},
          separator,
          {"Sprawdzaniepisowni1", "&Sprawdzanie pisowni", &TFGlowna::Sprawdzaniepisowni1Click}});
    // The print options of the tool bar, here too: on a narrow screen or at
    // a large scale the tool bar hides them behind its "»".
    QMenu *settings = findChild<QMenu *>(QStringLiteral("Ustawienia1"));
    settings->addSeparator();
    const struct {
        const char *name;
        const char *text;
        QCheckBox *box;
        void (TFGlowna::*slot)();
    } options[] = {
        {"WykreskujPuste1", "&Wykresuj puste pola", WykreskujPusteCheckBox,
         &TFGlowna::WykreskujPusteCheckBoxClick},
        {"PrintNoDots1", "Wyłącz &kropki", PrintNoDotsCheckBox,
         &TFGlowna::PrintNoDotsCheckBoxClick},
        {"WordWrap1", "&Ogranicz pola tekstowe", cbWordWrap, &TFGlowna::cbWordWrapClick},
    };
    for (const auto &o : options) {
        QAction *a = action(QString::fromLatin1(o.name), QString::fromUtf8(o.text), nullptr);
        a->setCheckable(true);
        a->setChecked(o.box->isChecked());
        QCheckBox *box = o.box;
        const auto slot = o.slot;
        connect(a, &QAction::triggered, this, [this, box, slot](bool on) {
            box->setChecked(on);
            (this->*slot)();
        });
        connect(box, &QCheckBox::toggled, a, &QAction::setChecked);
        settings->addAction(a);
    }
    QAction *spelling = findChild<QAction *>(QStringLiteral("Sprawdzaniepisowni1"));
    spelling->setCheckable(true);
    spelling->setChecked(true);
    menu("Pomoc1", "Pomo&c",
         {{"Oprogramie1", "&O programie", &TFGlowna::Oprogramie1Click},
          {"Sprawdczyjestnowawersja1", "&Sprawdź czy jest nowa wersja",
           &TFGlowna::Sprawdczyjestnowawersja1Click},
          separator,
          {"Instrukcjaobsugi1", "&Instrukcja obsługi", &TFGlowna::Instrukcjaobsugi1Click,
           QKeySequence(Qt::Key_F1)},
          separator,
          {"Wylijwiadomo1", "&Wyślij wiadomość", &TFGlowna::KontaktButtonClick},
          separator,
          {"Logiprogramu1", "&Logi programu", &TFGlowna::Logiprogramu1Click},
          separator,
          {"DziennikInternetowy1", "&Dziennik internetowy (strona w przeglądarce)",
           &TFGlowna::DziennikInternetowy1Click}});

    TreeViewPopupMenu = new QMenu(this);
    TreeViewPopupMenu->setObjectName(QStringLiteral("TreeViewPopupMenu"));
    TreeViewPopupMenu->addAction(action(QStringLiteral("Dodajucznia1"),
                                        QStringLiteral("Dodaj ucznia"),
                                        &TFGlowna::DodajUczniaToolButtonClick));
    TreeViewPopupMenu->addAction(action(QStringLiteral("Edytujdaneucznia1"),
                                        QStringLiteral("Edytuj dane ucznia"),
                                        &TFGlowna::EdytujDaneUczniaToolButtonClick));
    TreeViewPopupMenu->addAction(action(QStringLiteral("Usundaneucznia1"),
                                        QString::fromUtf8("Usuń dane ucznia"),
                                        &TFGlowna::UsunUczniaToolButtonClick));
    TreeViewPopupMenu->addSeparator();
    TreeViewPopupMenu->addAction(action(QStringLiteral("Edytujwybraneswiadectwo2"),
                                        QString::fromUtf8("Edytuj wybrane świadectwo"),
                                        &TFGlowna::EdytujSwiadectwoToolButtonClick));
    TreeViewPopupMenu->addSeparator();
    TreeViewPopupMenu->addAction(action(QStringLiteral("Drukujwybraneswiadectwo2"),
                                        QString::fromUtf8("Drukuj wybrane świadectwo"),
                                        &TFGlowna::DrukujToolButtonClick));
}

void TFGlowna::buildCentralArea() {
    auto *splitter = new QSplitter(this);
    TreeView = new QTreeWidget(splitter);
    TreeView->setAccessibleName(QString::fromUtf8("Uczniowie i ich dokumenty"));
    TreeView->setObjectName(QStringLiteral("TreeView"));
    TreeView->setHeaderHidden(true);
    TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    TreeView->setMinimumWidth(200);
    // Whatever moves the selection (mouse, keyboard, pop-up menu, program)
    // loads the pupil and the document it shows.
    connect(TreeView, &QTreeWidget::itemSelectionChanged, this, &TFGlowna::followSelection);
    connect(TreeView, &QTreeWidget::currentItemChanged, this, &TFGlowna::followSelection);
    connect(TreeView, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (QTreeWidgetItem *item = TreeView->itemAt(pos))
            TreeView->setCurrentItem(item);
        vFunUpdatePopupMenu();
        TreeViewPopupMenu->popup(TreeView->viewport()->mapToGlobal(pos));
    });
    TreeView->viewport()->installEventFilter(this);
    TreeView->installEventFilter(this);
    // The tree is where the keyboard starts: it shows when it has the focus.
    TreeView->setStyleSheet(
        QStringLiteral("QTreeWidget:focus { border: 2px solid palette(highlight); }"));

    PageControl = new QTabWidget(splitter);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    auto page = [&](const char *tab, const char *box, const char *image, QScrollArea *&area,
                    PreviewPage *&picture) {
        area = new QScrollArea;
        area->setObjectName(QString::fromLatin1(box));
        area->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        picture = new PreviewPage;
        picture->setObjectName(QString::fromLatin1(image));
        picture->setAccessibleName(qstrcmp(image, "Image1") == 0
                                       ? QString::fromUtf8("Podgląd strony 1")
                                       : QString::fromUtf8("Podgląd strony 2"));
        area->setWidget(picture);
        area->setWidgetResizable(false);
        // A page is taller than the window: the scroll bar is always there,
        // so fitting to the width does not change the width it fits.
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        area->viewport()->installEventFilter(this);
        area->setProperty("tabName", QString::fromLatin1(tab));
        return area;
    };
    PageControl->addTab(page("TabSheet1", "ScrollBox1", "Image1", ScrollBox1, Image1),
                        QStringLiteral("Strona 1"));
    PageControl->addTab(page("TabSheet2", "ScrollBox2", "Image2", ScrollBox2, Image2),
                        QStringLiteral("Strona 2"));
    // A hidden tab's scroll box has no range yet: it takes the shown page's
    // position when it comes to the front, so both pages stay together.
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        QScrollArea *shown = index == 1 ? ScrollBox2 : ScrollBox1;
        QScrollArea *other = index == 1 ? ScrollBox1 : ScrollBox2;
        shown->verticalScrollBar()->setValue(other->verticalScrollBar()->value());
    });
    buildPreviewControls();
    m_firstSteps = new FirstStepsPage(this, splitter);
    splitter->addWidget(TreeView);
    splitter->addWidget(PageControl);
    splitter->addWidget(m_firstSteps);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 1);
    splitter->setSizes({265, 900, 900});
    setCentralWidget(splitter);
    setClassOpen(false);
}

// ---------------------------------------------------------------------------

QString TFGlowna::documentPath() const {
    return m_session.path();
}

QStringList TFGlowna::protectedClassFiles() const {
    QString scratch;
    return {documentPath(), strFunGetTmpFilePath(scratch)};
}

void TFGlowna::updateWindowTitle() {
    // The file first, as desktops show it, and the program's caption with
    // its version after it; "*" while the class has unsaved changes.
    const QString path = documentPath();
    const QString file = !path.isEmpty() ? QFileInfo(path).fileName()
                         : isClassOpen() ? QString::fromUtf8("Nowa klasa")
                                         : QString();
    setWindowTitle(file.isEmpty() ? m_caption : file + QStringLiteral("[*] — ") + m_caption);
    setWindowModified(DataChanged);
}

void TFGlowna::setDocumentPath(const QString &path) {
    m_session.setPath(path);
    m_statusText->setText(path);
    updateWindowTitle();
    m_statusText->repaint();
}

void TFGlowna::showStatusNotice(const QString &text) {
    m_statusNotice->setText(text);
}

QString TFGlowna::statusNotice() const {
    return m_statusNotice->text();
}

void TFGlowna::clearTree() {
    TreeView->clear();
}

bool TFGlowna::bFunLoadStudentList() {
    return loadStudentList(true);
}

bool TFGlowna::loadStudentList(bool report) {
    const ClassFileOutcome out = m_session.readPupils();
    if (!out.ok) {
        if (report)
            showOutcome(out);
        return false;
    }
    rebuildTree();
    return true;
}

void TFGlowna::rebuildTree() {
    m_rebuilding = true;
    TreeView->clear();
    QTreeWidgetItem *reselect = nullptr;
    for (const structStudentEntry &entry : m_session.pupilsInOrder()) {
        auto *pupil = new QTreeWidgetItem(TreeView, QStringList{entry.name});
        pupil->setData(0, Qt::UserRole, entry.table);
        for (const DocumentInfo *row : treeRows())
            new QTreeWidgetItem(pupil, QStringList{row ? row->labelText() : QString()});
        if (!loadedPupilTable().isEmpty() && entry.table == loadedPupilTable())
            reselect = m_loadedRow >= 0 ? pupil->child(m_loadedRow) : pupil;
    }
    // The pupil the editors hold stays selected; nothing else is.
    TreeView->setCurrentItem(reselect);
    if (!reselect)
        TreeView->clearSelection();
    m_rebuilding = false;
}

QTreeWidgetItem *TFGlowna::pupilItem(QTreeWidgetItem *item) const {
    if (!item)
        return nullptr;
    return item->parent() ? item->parent() : item;
}

QTreeWidgetItem *TFGlowna::selectedNode() const {
    QTreeWidgetItem *item = TreeView->currentItem();
    if (item && item->isSelected())
        return item;
    return TreeView->selectedItems().value(0);
}

QString TFGlowna::strFunGetSelectedText(Selected mode) const {
    QTreeWidgetItem *item = selectedNode();
    if (!item)
        return QString();
    if (item->childCount() > 0)
        return mode == Selected::Pupil ? item->text(0) : QString();
    if (mode == Selected::Document)
        return item->text(0);
    return item->parent() ? item->parent()->text(0) : QString();
}

QString TFGlowna::selectedPupilTable() const {
    QTreeWidgetItem *item = selectedNode();
    return item ? pupilItem(item)->data(0, Qt::UserRole).toString() : QString();
}

void TFGlowna::vFunUpdatePopupMenu() {
    const bool pupil = !strFunGetSelectedText(Selected::Pupil).isEmpty();
    const bool document = !strFunGetSelectedText(Selected::Document).isEmpty();
    findChild<QAction *>(QStringLiteral("Edytujdaneucznia1"))->setEnabled(pupil);
    findChild<QAction *>(QStringLiteral("Usundaneucznia1"))->setEnabled(pupil);
    findChild<QAction *>(QStringLiteral("Edytujwybraneswiadectwo2"))->setEnabled(document);
    findChild<QAction *>(QStringLiteral("Drukujwybraneswiadectwo2"))->setEnabled(document);
}

const DocumentInfo *TFGlowna::rowForLabel(const QString &label) const {
    return documentByLabel(label);
}

void TFGlowna::followSelection() {
    if (m_rebuilding)
        return;
    QTreeWidgetItem *item = selectedNode();
    if (!item) {
        vFunUpdatePopupMenu();
        return;
    }
    const int row = item->parent() ? item->parent()->indexOfChild(item) : -1;
    if (selectedPupilTable() == loadedPupilTable() && row == m_loadedRow) {
        vFunUpdatePopupMenu();
        return;
    }
    TreeViewClick();
}

void TFGlowna::TreeViewClick() {
    QTreeWidgetItem *item = selectedNode();
    if (!item)
        return;
    const QString table = selectedPupilTable();
    if (!LoadStudentRecord(table)) {
        // The editors must not keep another pupil under this one's name.
        unloadPupil();
        vFunUpdatePopupMenu();
        return;
    }
    m_loadedRow = item->parent() ? item->parent()->indexOfChild(item) : -1;
    if (const DocumentInfo *row = rowForLabel(strFunGetSelectedText(Selected::Document))) {
        renderDocument(*row, false);
        m_previewTable = table;
    } else if (m_previewTable != table || item->parent()) {
        // Never another pupil's document beside this pupil, nor the last
        // document beside a spacer row.
        clearPreview();
    }
    vFunUpdatePopupMenu();
}

void TFGlowna::unloadPupil() {
    m_session.unloadPupil();
    m_loadedRow = -1;
    ClearAllEditors();
    clearPreview();
}

RenderedPages TFGlowna::renderDocument(const DocumentInfo &doc, bool forPrinting) {
    RenderOptions options = m_engine.options();
    options.printing = forPrinting;
    options.withoutDots = PrintNoDotsCheckBox->isChecked();
    options.strikeEmptyFields = WykreskujPusteCheckBox->isChecked();
    options.clipTextFields = cbWordWrap->isChecked();
    const RecordFieldSource source = loadedPupilTable().isEmpty()
                                         ? RecordFieldSource::blank(doc)
                                         : RecordFieldSource(doc, m_session.records());
    const RenderedPages pages = m_engine.render(source, doc, options);
    if (!forPrinting) {
        m_previewDoc = &doc;
        if (pages.ok) {
            m_previewScale = m_zoom;
            showPreviewSides(m_preview.sides(pages, pages.overflows, doc, m_zoom,
                                             {Image1->side().base, Image2->side().base}),
                             doc.sides == 2);
        }
    }
    return pages;
}

// ---------------------------------------------------------------------------

bool TFGlowna::SaveStudentRecord(const QString &dropTable) {
    TFWait *wait = m_windows.wait;
    wait->show();
    wait->repaint();
    const SqlDataList records = collectPupilRecords();
    wait->ProgressBar->setRange(0, int(records.size()));
    wait->ProgressBar->setValue(0);
    auto step = [wait] { wait->ProgressBar->setValue(wait->ProgressBar->value() + 1); };
    const ClassFileOutcome out =
        m_session.savePupil(m_windows.daneUcznia->pupilTableName(), records, dropTable, step);
    wait->hide();
    showOutcome(out);
    if (!out.ok)
        return false;
    // The windows in use now hold the saved pupil (under its new table
    // after a PESEL change), with the data its documents take from the
    // pupil: the tree selects it again and the preview shows it.
    const QString table = loadedPupilTable();
    m_windows.set->pupilSaved();
    rebuildTree();
    if (!selectedNode())
        m_loadedRow = -1;
    if (const DocumentInfo *row = rowForLabel(strFunGetSelectedText(Selected::Document))) {
        renderDocument(*row, false);
        m_previewTable = table;
    } else if (m_previewTable != table) {
        clearPreview(); // not another pupil's page beside the saved pupil
    }
    vFunUpdatePopupMenu();
    return true;
}

SqlDataList TFGlowna::collectPupilRecords() {
    return m_windows.set->collectPupil();
}

bool TFGlowna::LoadStudentRecord(const QString &table) {
    const ClassFileOutcome out = m_session.loadPupil(table);
    // The windows take the pupil when they are opened; a click fills none.
    if (m_windows.set)
        m_windows.set->pupilLoaded();
    showOutcome(out);
    return out.ok;
}

void TFGlowna::ClearAllEditors() {
    if (m_windows.set)
        m_windows.set->cleared();
}

// ---------------------------------------------------------------------------

void TFGlowna::DodajUczniaToolButtonClick() {
    m_windows.daneUcznia->setAddMode();
    m_session.unloadPupil();
    m_loadedRow = -1;
    ClearAllEditors();
    if (m_windows.daneUcznia->exec() != QDialog::Accepted)
        unloadPupil();
    bFunLoadStudentList();
}

void TFGlowna::EdytujDaneUczniaToolButtonClick() {
    // The dialog shows the pupil the editors hold, which is the selected one.
    const QString table = loadedPupilTable();
    if (table.isEmpty() || strFunGetSelectedText(Selected::Pupil).isEmpty()) {
        showMessage(this, QStringLiteral("Brak wyboru"),
                    QStringLiteral("Nie wybrano ucznia z listy"), Prompts::Icon::Warning);
        return;
    }
    m_windows.daneUcznia->setEditMode(table);
    // After "Anuluj" the dialog's edited texts must not reach a later save
    // from another editor: the pupil is loaded again.
    if (m_windows.daneUcznia->exec() != QDialog::Accepted)
        LoadStudentRecord(table);
}

void TFGlowna::UsunUczniaToolButtonClick() {
    const QString name = strFunGetSelectedText(Selected::Pupil);
    const QString table = loadedPupilTable();
    if (name.isEmpty() || table.isEmpty()) {
        showMessage(this, QStringLiteral("Brak wyboru"),
                    QStringLiteral("Nie wybrano ucznia z listy"), Prompts::Icon::Warning);
        return;
    }
    if (askYesNoDestructive(this, QString::fromUtf8("Usuń"),
                            QString::fromUtf8("Czy na pewno chcesz skasować dane ucznia: \n") +
                                name,
                            Prompts::Icon::Warning)) {
        // A failure is in the log; the pupil stays.
        if (m_session.deletePupil(table).ok)
            unloadPupil();
    }
    bFunLoadStudentList();
}

void TFGlowna::EdytujSwiadectwoToolButtonClick() {
    int createTemplate = 0;
    if (!bFunSqlGetSettingsValue(m_msg, QStringLiteral("create_school_data_template"),
                                 createTemplate)) {
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd uzyskania zmiennej z pliku ustawień"),
                    Prompts::Icon::Error);
        return;
    }
    if (createTemplate != 0 &&
        askYesNo(this, QStringLiteral("Szablon"),
                 QString::fromUtf8("Szablon danych szkoły nie został jeszcze utworzony.\nCzy "
                                   "chcesz utworzyć szablon teraz ?"),
                 Prompts::Icon::Question))
        m_windows.daneSzkoly->exec();
    const DocumentInfo *row = loadedPupilTable().isEmpty()
                                  ? nullptr
                                  : rowForLabel(strFunGetSelectedText(Selected::Document));
    if (!row) {
        showMessage(this, QStringLiteral("Brak wyboru"),
                    QString::fromUtf8("Nie wybrano świadectwa z listy"), Prompts::Icon::Warning);
        return;
    }
    if (TFEditor *editor = m_windows.editor(QString::fromLatin1(row->className)))
        editor->exec();
    // The edited document is selected again (the tree kept it) and loaded
    // afresh, which throws away what a cancelled editor still holds.
    TreeViewClick();
}

void TFGlowna::DrukujToolButtonClick() {
    const DocumentInfo *row = loadedPupilTable().isEmpty()
                                  ? nullptr
                                  : rowForLabel(strFunGetSelectedText(Selected::Document));
    if (!row) {
        showMessage(this, QStringLiteral("Brak wyboru"),
                    QString::fromUtf8("Zaznacz świadectwo które chciesz wydrukować"),
                    Prompts::Icon::Warning);
        return;
    }
    // The dialog prints these pages, whatever is drawn meanwhile.
    const RenderedPages pages = renderDocument(*row, true);
    m_windows.drukuj->setPages(pages);
    m_windows.drukuj->protectedFiles = protectedClassFiles();
    // What would come out wrong is said before the numbered form is used.
    m_windows.drukuj->findings = listFunCheckDocument(strFunGetSelectedText(Selected::Pupil), *row,
                                                      m_session.records(), pages.overflows);
    m_windows.drukuj->setDocumentName(strFunGetSelectedText(Selected::Pupil),
                                      QString::fromUtf8(row->label));
    m_windows.drukuj->exec();
}

void TFGlowna::openCalibration(bool advanced) {
    TFKalibracja *k = m_windows.kalibracja;
    k->setMode(advanced ? TFKalibracja::Mode::Advanced : TFKalibracja::Mode::Basic);
    // The editor draws its samples with an engine of its own, at the
    // preview's size and with the window's options, into this preview.
    PrintEngine &samples = k->engine();
    samples.ctx.printWithoutDots = PrintNoDotsCheckBox->isChecked();
    samples.ctx.strikeEmptyFields = WykreskujPusteCheckBox->isChecked();
    samples.ctx.clipTextFields = cbWordWrap->isChecked();
    samples.ctx.report = m_engine.ctx.report;
    samples.ctx.bringIntoView = m_engine.ctx.bringIntoView;
    samples.previewScale = m_zoom;
    samples.showPreview = [this](const QImage &page1, const QImage &page2, bool twoSides) {
        showPreviewImages(page1, page2, twoSides);
    };
    // A layout that needs "Wyłącz kropki" switches it as a click would.
    k->setWithoutDots = [this](bool on) {
        if (PrintNoDotsCheckBox->isChecked() == on)
            return;
        PrintNoDotsCheckBox->setChecked(on);
        PrintNoDotsCheckBoxClick();
    };
    // At the screen's left edge, beside the preview.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    k->adjustSize();
    k->move(screen.left() + 5, screen.top() + std::max(0, (screen.height() - k->height()) / 2));
    k->exec();
    bFunLoadStudentList();
}

void TFGlowna::Formatowaniewiadectwapodstawowe1Click() {
    openCalibration(false);
}

void TFGlowna::Ustawieniaczcionki1Click() {
    openCalibration(true);
}

void TFGlowna::setOption(QCheckBox *box, const char *key) {
    QString scratch;
    bFunSqlSettingWriteValue(scratch, QString::fromLatin1(key), box->isChecked() ? 1 : 0);
    TreeViewClick();
}

void TFGlowna::WykreskujPusteCheckBoxClick() {
    setOption(WykreskujPusteCheckBox, "strike_empty_fields");
}
void TFGlowna::PrintNoDotsCheckBoxClick() {
    setOption(PrintNoDotsCheckBox, "print_without_dots");
}
void TFGlowna::cbWordWrapClick() {
    setOption(cbWordWrap, "word_wrap");
}

void TFGlowna::Szablondanychszkoy1Click() {
    m_windows.daneSzkoly->exec();
}
void TFGlowna::Oprogramie1Click() {
    m_windows.oProgramie->exec();
}

void TFGlowna::openPage(const QUrl &url) {
    // Without a browser nothing would happen: the teacher is told where it is.
    if (!prompts().openExternal(url))
        showMessage(this, QStringLiteral("Pomoc"),
                    QString::fromUtf8("Nie udało się otworzyć strony w przeglądarce:\n") +
                        (url.isLocalFile() ? url.toLocalFile() : url.toString()) +
                        QString::fromUtf8("\n\nOtwórz ją w przeglądarce samodzielnie."),
                    Prompts::Icon::Warning);
}

void TFGlowna::Instrukcjaobsugi1Click() {
    vFunShowHelp(this);
}

void TFGlowna::KontaktButtonClick() {
    openPage(QUrl(QString::fromLatin1(kContactUrl)));
}
void TFGlowna::DziennikInternetowy1Click() {
    openPage(QUrl(QString::fromLatin1(kRegisterUrl)));
}

void TFGlowna::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    TreeView->setFocus(Qt::OtherFocusReason);
}

bool TFGlowna::eventFilter(QObject *watched, QEvent *event) {
    if (watched == TreeView && event->type() == QEvent::KeyPress) {
        // Enter opens what is selected, Delete removes the pupil.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return QMainWindow::eventFilter(watched, event);
        QTreeWidgetItem *item = selectedNode();
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && item) {
            if (!item->parent())
                EdytujDaneUczniaToolButtonClick();
            else if (rowForLabel(item->text(0)))
                EdytujSwiadectwoToolButtonClick();
            return true;
        }
        if (key->key() == Qt::Key_Delete && item) {
            UsunUczniaToolButtonClick();
            return true;
        }
    }
    if (event->type() == QEvent::Wheel &&
        (static_cast<QWheelEvent *>(event)->modifiers() & Qt::ControlModifier)) {
        // Ctrl and the wheel zoom the preview, a tenth a notch.
        const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
        setPreviewZoom(m_zoom * std::pow(1.1, delta / 120.0));
        return true;
    }
    if (event->type() == QEvent::Resize &&
        (watched == ScrollBox1->viewport() || watched == ScrollBox2->viewport()) &&
        m_zoomMode != ZoomMode::Custom) {
        applyZoom();
    }
    if (event->type() == QEvent::Wheel) {
        // The wheel anywhere in the window scrolls both pages together.
        const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
        for (QScrollArea *box : {ScrollBox1, ScrollBox2})
            box->verticalScrollBar()->setValue(box->verticalScrollBar()->value() - delta);
        if (watched == ScrollBox1->viewport() || watched == ScrollBox2->viewport())
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
