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

void setLines(TFEditor *e, const char *memo, const QStringList &lines) {
    if (auto *m = e->findChild<MemoEdit *>(QString::fromLatin1(memo))) {
        m->clear();
        for (const QString &line : lines)
            m->appendPlainText(line);
    }
}

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

void TFKlasa::FillSampleFields() {
    fillAllSamples(QString::fromUtf8("przykład"));
    const char *const samples[][2] = {
        {"ZMIENNA_ImieNazwisko_STR1_DATA_EDIT", "imię i nazwisko"},
        {"ZMIENNA_DataUrodzenia_STR1_DATA_EDIT", "1 stycznia 1980"},
        {"ZMIENNA_MiejsceUrodzenia_STR1_DATA_EDIT", "katowice"},
        {"ZMIENNA_NrPesel_STR1_DATA_EDIT", "01234567890"},
        {"ZMIENNA_RokSzkolny1_STR1_DATA_EDIT", "2010"},
        {"ZMIENNA_RokSzkolny2_STR1_DATA_EDIT", "2011"},
        {"ZMIENNA_Klasa_STR1_DATA_EDIT", "pierwszej"},
        {"ZMIENNA_NazwaSzkolyPodstawowej1_STR1_DATA_EDIT", "szkola podstawowa 1"},
        {"ZMIENNA_NazwaSzkolyPodstawowej2_STR1_DATA_EDIT", "szkola podstawowa 2"},
        {"ZMIENNA_ImieSzkoly1_STR1_DATA_EDIT", "szkoła imienia 1"},
        {"ZMIENNA_ImieSzkoly2_STR1_DATA_EDIT", "szkoła imienia 2"},
        {"ZMIENNA_SzkolaMiasto_STR1_DATA_EDIT", "katowicach"},
        {"ZMIENNA_SzkolaWoj_STR1_DATA_EDIT", "śląskie"},
        {"ZMIENNA_PromocjaKlasa_STR1_DATA_EDIT", "drugiej"},
        {"ZMIENNA_Miejscowosc_STR1_DATA_EDIT", "katowice"},
        {"ZMIENNA_MiejscowoscDnia_STR1_DATA_EDIT", "1 czerwca"},
        {"ZMIENNA_MiejscowoscRok_STR1_DATA_EDIT", "2011"},
        {"ZMIENNA_SwiadectwoNr_STR1_DATA_EDIT", "1234"},
        {"ZMIENNA_NrSzkoly_STR1_DATA_EDIT", "1234"},
        {"ZMIENNA_TakNieOtrzymal_STR1_DATA_EDIT", "nie"},
        {"ZMIENNA_OtrzymalA_STR1_DATA_EDIT", "a"},
        {"ZMIENNA_PromocjiE_STR1_DATA_EDIT", "e"},
        {"ZMIENNA_UczeszczalA_STR1_DATA_EDIT", "a"},
        {"ZMIENNA_SzkolaWE_STR1_DATA_EDIT", "e"},
    };
    for (const auto &s : samples)
        setFieldText(QString::fromLatin1(s[0]), QString::fromUtf8(s[1]));
}

void TFKlasa::bntSchoolTemplateClick() {
    if (TFDaneSzkoly *school = context() ? context()->schoolTemplate : nullptr) {
        school->ClearAndLoad();
        vFunCopyTemplateToCertificate(school, this);
    }
}

void TFKlasa::BitBtn2Click() {
    if (TFSzablonOcenyOpisowej *library = context() ? context()->phraseLibrary : nullptr) {
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
    const QString path = strFunGetDataFilePath(msg, QString::fromLatin1(kSettingsFileName));
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return;
    if (info.lastModified() != cache.modified || info.size() != cache.size) {
        int value = 0;
        if (!bFunSqlGetSettingsValue(msg, QStringLiteral("auto_word_wrap"), value))
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
    if (TFDaneSzkoly *school = context() ? context()->schoolTemplate : nullptr) {
        school->ClearAndLoad();
        vFunCopyTemplateToTitlePage(school, this);
    }
}

void TFArkuszStr1::FillSampleFields() {
    const bool b = m_variant == QLatin1String("b");
    fillAllSamples(QString::fromUtf8("przykład"));
    const char *const a[][2] = {
        {"ZMIENNA_SzkolaNiepublicznaPodNr_DATA_EDIT", "12345"},
        {"ZMIENNA_UrodzonyA_DATA_EDIT", "a"},
        {"ZMIENNA_PrzyjetyA_DATA_EDIT", "a"},
        {"ZMIENNA_WpisanyA_DATA_EDIT", "a"},
        {"ZMIENNA_UrodzonyRok_DATA_EDIT", "1234"},
        {"ZMIENNA_RokSzkolny1_DATA_EDIT", "1234"},
        {"ZMIENNA_RokSzkolny2_DATA_EDIT", "5678"},
        {"ZMIENNA_KsiegaUczenNr_DATA_EDIT", "12345"},
    };
    const char *const bSamples[][2] = {
        {"ZMIENNA_SzkolaNiepublicznaProwadzonaPrzez1_DATA_EDIT", "szkoła prowadzona przez 1"},
        {"ZMIENNA_SzkolaNiepublicznaProwadzonaPrzez2_DATA_EDIT", "szkoła prowadzona przez 2"},
        {"ZMIENNA_SzkolaNiepublicznaPodNr_DATA_EDIT", "szkola niep. nr"},
        {"ZMIENNA_NazwaSzkoly1_DATA_EDIT", "nazwa szkoły 1"},
        {"ZMIENNA_NazwaSzkoly2_DATA_EDIT", "nazwa szkoły 2"},
        {"ZMIENNA_NazwaSzkoly3_DATA_EDIT", "nazwa szkoły 3"},
        {"ZMIENNA_ImieNazwisko_DATA_EDIT", "imię i nazwisko"},
        {"ZMIENNA_UrodzonyA_DATA_EDIT", "y"},
        {"ZMIENNA_PrzyjetyA_DATA_EDIT", "a"},
        {"ZMIENNA_WpisanyA_DATA_EDIT", "y"},
        {"ZMIENNA_UrodzonyDnia_DATA_EDIT", "1 stycznia"},
        {"ZMIENNA_UrodzonyRok_DATA_EDIT", "1980"},
        {"ZMIENNA_UrodzonyMiasto_DATA_EDIT", "katowicach"},
        {"ZMIENNA_RokSzkolny1_DATA_EDIT", "2010"},
        {"ZMIENNA_RokSzkolny2_DATA_EDIT", "2011"},
        {"ZMIENNA_DoKlasy_DATA_EDIT", "pierwszej"},
        {"ZMIENNA_KsiegaUczenNr_DATA_EDIT", "12345"},
        {"ZMIENNA_AdresZamieszkaniaUcznia_DATA_EDIT", "adres zamieszkania"},
        {"ZMIENNA_ImionaNazwiskaRodzicowIAdresy1_DATA_EDIT", "imię, imiona, adresy zamieszkania 1"},
        {"ZMIENNA_ImionaNazwiskaRodzicowIAdresy2_DATA_EDIT", "imię, imiona, adresy zamieszkania 2"},
        {"ZMIENNA_ImionaNazwiskaRodzicowIAdresy3_DATA_EDIT", "imię, imiona, adresy zamieszkania 3"},
        {"ZMIENNA_InformacjaOIndywidualnymProgramie1_DATA_EDIT", "indywidualny program 1"},
        {"ZMIENNA_InformacjaOIndywidualnymProgramie2_DATA_EDIT", "indywidualny program 2"},
        {"ZMIENNA_InformacjaOPrzedluzeniuOkNauki1_DATA_EDIT", "wydłużenie etapu 1"},
        {"ZMIENNA_InformacjaOPrzedluzeniuOkNauki2_DATA_EDIT", "wydłużenie etapu 2"},
        {"ZMIENNA_InformacjaOSpelnianiuObowiazku1_DATA_EDIT", "obowiazek poza szkola 1"},
        {"ZMIENNA_InformacjaOSpelnianiuObowiazku2_DATA_EDIT", "obowiazek poza szkola 1"},
        {"ZMIENNA_InformacjaOInnowacjach1_DATA_EDIT", "innowacje 1"},
        {"ZMIENNA_InformacjaOInnowacjach2_DATA_EDIT", "innowacje 2"},
        {"ZMIENNA_DokonanoSprostowaniaSwiadectwa_DATA_EDIT", "sprostowanie"},
        {"ZMIENNA_WydanoSwiadectwoUkonczeniaSzkoly_DATA_EDIT",
         "wydano świadectwo ukończenia szkoły"},
        {"ZMIENNA_WydanoDuplikatSwiadectwa1_DATA_EDIT", "wydano duplikat 1"},
        {"ZMIENNA_WydanoDuplikatSwiadectwa2_DATA_EDIT", "wydano duplikat 2"},
        {"ZMIENNA_SporzadzonoOdpisArkuszaOcen_DATA_EDIT", "odpis arkusza"},
        {"ZMIENNA_DataPrzyczynaOpuszczeniaSzkoly1_DATA_EDIT", "przyczyna opuszczenia szkoły 1"},
        {"ZMIENNA_DataPrzyczynaOpuszczeniaSzkoly2_DATA_EDIT", "przyczyna opuszczenia szkoły 2"},
    };
    if (b) {
        for (const auto &s : bSamples)
            setFieldText(QString::fromLatin1(s[0]), QString::fromUtf8(s[1]));
    } else {
        for (const auto &s : a)
            setFieldText(QString::fromLatin1(s[0]), QString::fromUtf8(s[1]));
    }
    const char *digits = b ? "01234567891" : "12345678901";
    for (int i = 0; i < 11; ++i)
        setFieldText(QStringLiteral("ZMIENNA_Pesel%1_DATA_EDIT").arg(i + 1),
                     QString(QLatin1Char(digits[i])));
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
      m_variant(variant), m_grade(grade),
      m_samples(className == QLatin1String("TFArkuszStr2Kl1") ||
                className == QLatin1String("TFArkuszStr2bKl1")) {
    if (variant == QLatin1String("a")) {
        SwiadectwoComboBox = new QComboBox(this);
        SwiadectwoComboBox->setObjectName(QStringLiteral("SwiadectwoComboBox"));
        SwiadectwoComboBox->addItems(
            {QStringLiteral("Klasa 1"), QStringLiteral("Klasa 2"), QStringLiteral("Klasa 3")});
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
    if (TFEditor *certificate = context() ? context()->certificates.value(grade - 1) : nullptr)
        vFunCopyCertificateToResultsPage(certificate, this);
}

void TFArkuszWyniki::FillSampleFields() {
    fillAllSamples(QString::fromUtf8("przykład"));
    setFieldText(QStringLiteral("ZMIENNA_RokSzkolny_DATA_EDIT"), QStringLiteral("1234"));
    setLines(this, "ZMIENNA_NrDziennika_DATA_MEMO", {QStringLiteral("1234")});
    setLines(this, "ZMIENNA_GodzinNieusp_DATA_MEMO", {QStringLiteral("0")});
    setFieldText(QStringLiteral("ZMIENNA_GodzinOgolem_DATA_EDIT"), QStringLiteral("1"));
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

void TFWywiadowka::FillSampleFields() {
    const char *const samples[][2] = {
        {"ZMIENNA_ImieNazwisko_STR1_DATA_EDIT", "Imię i nazwisko"},
        {"ZMIENNA_Klasa_STR1_DATA_EDIT", "Klasa"},
        {"ZMIENNA_Rok1_STR1_DATA_EDIT", "Rok 1"},
        {"ZMIENNA_Rok2_STR1_DATA_EDIT", "Rok 2"},
        {"ZMIENNA_Semestr_STR1_DATA_COMBOBOX", "Semestr"},
        {"ZMIENNA_Religia_STR1_DATA_COMBOBOX", "religia"},
        {"ZMIENNA_Ogolem_STR1_DATA_EDIT", "0"},
        {"ZMIENNA_Nieusprawiedliwione_STR1_DATA_EDIT", "0"},
        {"ZMIENNA_Spoznien_STR1_DATA_EDIT", "0"},
    };
    for (const auto &s : samples)
        setFieldText(QString::fromLatin1(s[0]), QString::fromUtf8(s[1]));
    QStringList behaviour, education;
    for (int i = 0; i < 7; ++i)
        behaviour << QStringLiteral("zachowanie %1").arg(i);
    for (int i = 0; i < 12; ++i)
        education << QStringLiteral("edukacyjne %1").arg(i);
    setLines(this, "ZMIENNA_Zachowanie_STR1_DATA_MEMO", behaviour);
    setLines(this, "ZMIENNA_Edukacyjne_STR1_DATA_MEMO", education);
}
