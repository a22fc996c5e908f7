#include "editors/documenteditors.h"

#include "document/prompts.h"
#include "editors/copies.h"
#include "editors/fields.h"
#include "editors/tfdaneszkoly.h"
#include "editors/tfdaneucznia.h"
#include "editors/tfszablonocenyopisowej.h"
#include "storage/paths.h"
#include "storage/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

void scrollToTop(const QList<QScrollArea *> &boxes) {
    for (QScrollArea *box : boxes)
        box->verticalScrollBar()->setValue(0);
}

} // namespace

// ---------------------------------------------------------------------------

TFKlasa::TFKlasa(int grade, const QString &className, const QString &caption,
                 const QString &documentId, TFDaneUcznia *pupil, QWidget *parent)
    : LayoutEditor(className, caption, documentId, QStringLiteral("klasa"), QString(), pupil,
                   parent),
      m_grade(grade) {
    bntSchoolTemplate = new QPushButton(QString::fromUtf8("Wczytaj dane szkoły"), this);
    bntSchoolTemplate->setObjectName(QStringLiteral("bntSchoolTemplate"));
    BitBtn2 = new QPushButton(QStringLiteral("Szablon oceny opisowej"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    AutoWorldWrapCheckBox = new QCheckBox(QStringLiteral("Automatyczne zwijanie wierszy"), this);
    AutoWorldWrapCheckBox->setObjectName(QStringLiteral("AutoWorldWrapCheckBox"));
    for (QWidget *w :
         std::initializer_list<QWidget *>{bntSchoolTemplate, BitBtn2, AutoWorldWrapCheckBox})
        bottomPanel()->addWidget(w);
    addOkCancel("btnOK", "BitBtn1");
    connect(AutoWorldWrapCheckBox, &QCheckBox::clicked, this, &TFKlasa::AutoWorldWrapCheckBoxClick);
    connect(bntSchoolTemplate, &QPushButton::clicked, this, &TFKlasa::bntSchoolTemplateClick);
    connect(BitBtn2, &QPushButton::clicked, this, &TFKlasa::BitBtn2Click);
    applyWrap(false);
}

bool TFKlasa::ApplyFields(const SqlDataList &records) {
    followWrapSetting();
    return LayoutEditor::ApplyFields(records);
}

void TFKlasa::bntSchoolTemplateClick() {
    if (TFDaneSzkoly *school = context() ? context()->schoolTemplate.get() : nullptr) {
        school->ClearAndLoad();
        vFunCopyTemplateToCertificate(school, this);
    }
}

void TFKlasa::BitBtn2Click() {
    if (TFSzablonOcenyOpisowej *library = context() ? context()->phraseLibrary.get() : nullptr) {
        library->setCaller(m_grade, fieldText(QStringLiteral("ZMIENNA_Zachowanie_STR2_DATA_MEMO")),
                           fieldText(QStringLiteral("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO")));
        library->exec();
    }
}

void TFKlasa::applyWrap(bool on) {
    for (MemoEdit *memo : memos())
        memo->setWordWrap(on);
}

void TFKlasa::AutoWorldWrapCheckBoxClick() {
    const bool on = AutoWorldWrapCheckBox->isChecked();
    QString msg;
    bFunSqlSettingWriteValue(msg, QStringLiteral("auto_word_wrap"), on ? 1 : 0);
    applyWrap(on);
}

void TFKlasa::followWrapSetting() {
    // A loaded pupil shows, previews and saves its lines as the wrap box
    // says, whether or not the window was shown since the program started.
    // Three certificates follow it on every load: it is read again only when
    // the settings file changed.
    static struct {
        QDateTime modified;
        qint64 size = -1;
        int value = 0;
    } cache;
    QString msg;
    const SettingsStore settings = SettingsStore::inProgramFolder();
    const QFileInfo info(settings.path());
    if (settings.path().isEmpty() || !info.exists())
        return;
    if (info.lastModified() != cache.modified || info.size() != cache.size) {
        int value = 0;
        if (!settings.readInt(msg, QStringLiteral("auto_word_wrap"), value))
            return;
        cache = {info.lastModified(), info.size(), value};
    }
    if (AutoWorldWrapCheckBox->isChecked() != (cache.value != 0))
        AutoWorldWrapCheckBox->setChecked(cache.value != 0);
    applyWrap(cache.value != 0);
}

void TFKlasa::showEvent(QShowEvent *event) {
    m_showTop = 10;
    m_screenMargin = 50;
    LayoutEditor::showEvent(event);
    QString msg;
    int value = 0;
    // An unreadable setting leaves the box as it was.
    if (bFunSqlGetSettingsValue(msg, QStringLiteral("auto_word_wrap"), value)) {
        AutoWorldWrapCheckBox->setChecked(value != 0);
        AutoWorldWrapCheckBoxClick();
    }
}

// ---------------------------------------------------------------------------

TFArkuszStr1::TFArkuszStr1(const QString &variant, const QString &className, const QString &caption,
                           const QString &documentId, TFDaneUcznia *pupil, QWidget *parent)
    : LayoutEditor(className, caption, documentId,
                   variant == QLatin1String("b") ? QStringLiteral("arkusz_str1b")
                                                 : QStringLiteral("arkusz_str1"),
                   QString(), pupil, parent),
      m_variant(variant) {
    WczytajSzablonButton = new QPushButton(QStringLiteral("Wczytaj szablon arkusza"), this);
    WczytajSzablonButton->setObjectName(QStringLiteral("WczytajSzablonButton"));
    bottomPanel()->addWidget(WczytajSzablonButton);
    addOkCancel("OKButton", "BitBtn1");
    connect(WczytajSzablonButton, &QPushButton::clicked, this,
            &TFArkuszStr1::WczytajSzablonButtonClick);
}

void TFArkuszStr1::WczytajSzablonButtonClick() {
    if (TFDaneSzkoly *school = context() ? context()->schoolTemplate.get() : nullptr) {
        school->ClearAndLoad();
        vFunCopyTemplateToTitlePage(school, this);
    }
}

void TFArkuszStr1::showEvent(QShowEvent *event) {
    m_showTop = 20;
    m_screenMargin = 100;
    LayoutEditor::showEvent(event);
    scrollToTop(scrollBoxes());
}

// ---------------------------------------------------------------------------

TFArkuszWyniki::TFArkuszWyniki(const QString &variant, int grade, const QString &className,
                               const QString &caption, const QString &documentId,
                               TFDaneUcznia *pupil, QWidget *parent)
    : LayoutEditor(className, caption, documentId, QStringLiteral("arkusz_wyniki"), variant, pupil,
                   parent),
      m_variant(variant), m_grade(grade) {
    if (variant == QLatin1String("a")) {
        SwiadectwoComboBox = new QComboBox(this);
        SwiadectwoComboBox->setObjectName(QStringLiteral("SwiadectwoComboBox"));
        SwiadectwoComboBox->addItems(
            {QStringLiteral("Klasa 1"), QStringLiteral("Klasa 2"), QStringLiteral("Klasa 3")});
        // Windows screen readers read a combo box by its name, not its text.
        SwiadectwoComboBox->setAccessibleName(
            QString::fromUtf8("świadectwo, z którego wczytać dane"));
        bottomPanel()->addWidget(SwiadectwoComboBox);
        WczytajDaneZSwiadectwaButton =
            new QPushButton(QString::fromUtf8("Wczytaj dane z wybranego świadectwa"), this);
    } else {
        static const char *const words[] = {"pierwszej", "drugiej", "trzeciej"};
        WczytajDaneZSwiadectwaButton = new QPushButton(
            QStringLiteral("Wczytaj dane z klasy %1").arg(QLatin1String(words[grade - 1])), this);
    }
    WczytajDaneZSwiadectwaButton->setObjectName(QStringLiteral("WczytajDaneZSwiadectwaButton"));
    // The register number of the grade-1 page of MEN-I/37b/2 does not wrap.
    if (className == QLatin1String("TFArkuszStr2bKl1")) {
        if (auto *memo = findChild<MemoEdit *>(QStringLiteral("ZMIENNA_NrDziennika_DATA_MEMO")))
            memo->setWordWrap(false);
    }
    bottomPanel()->addWidget(WczytajDaneZSwiadectwaButton);
    addOkCancel("OKButton", "AnulujButton");
    connect(WczytajDaneZSwiadectwaButton, &QPushButton::clicked, this,
            &TFArkuszWyniki::WczytajDaneZSwiadectwaButtonClick);
}

int TFArkuszWyniki::sourceGrade() const {
    if (!SwiadectwoComboBox)
        return m_grade;
    return SwiadectwoComboBox->currentIndex() + 1;
}

void TFArkuszWyniki::WczytajDaneZSwiadectwaButtonClick() {
    const int grade = sourceGrade();
    if (grade < 1) {
        showMessage(this, QStringLiteral("Brak Wyboru"),
                    QString::fromUtf8("Aby wczytać dane proszę wybrać typ świadectwa oraz\nkolumnę "
                                      "arkusza gdzie dane mają "
                                      "zostać wczytane."),
                    Prompts::Icon::Warning);
        return;
    }
    if (TFEditor *certificate =
            context() ? context()->certificates.value(grade - 1).get() : nullptr)
        vFunCopyCertificateToResultsPage(certificate, this);
}

void TFArkuszWyniki::showEvent(QShowEvent *event) {
    m_showTop = 20;
    m_screenMargin = 100;
    LayoutEditor::showEvent(event);
    scrollToTop(scrollBoxes());
    if (SwiadectwoComboBox)
        SwiadectwoComboBox->setCurrentIndex(0);
}

// ---------------------------------------------------------------------------

TFWywiadowka::TFWywiadowka(const QString &className, const QString &caption,
                           const QString &documentId, TFDaneUcznia *pupil, QWidget *parent)
    : LayoutEditor(className, caption, documentId, QStringLiteral("wywiadowka"), QString(), pupil,
                   parent) {
    addOkCancel("btnOK", "btnCancel");
}
