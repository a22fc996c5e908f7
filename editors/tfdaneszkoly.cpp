#include "editors/tfdaneszkoly.h"

#include "document/prompts.h"
#include "document/templatestore.h"
#include "editors/copies.h"
#include "storage/clock.h"
#include "storage/settings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

TFDaneSzkoly::TFDaneSzkoly(QWidget *parent)
    : LayoutEditor(QStringLiteral("TFDaneSzkoly"), QStringLiteral("Szablon danych"),
                   QString::fromLatin1(kTemplateId), QStringLiteral("dane_szkoly"), QString(),
                   nullptr, parent) {
    auto *load = new QPushButton(QString::fromUtf8("Wczytaj dane ze świadectwa / arkusza"), this);
    load->setObjectName(QStringLiteral("LoadTemplateButton"));
    DocTypeComboBox = new QComboBox(this);
    DocTypeComboBox->setObjectName(QStringLiteral("DocTypeComboBox"));
    DocTypeComboBox->addItems({QStringLiteral("Klasa 1"), QStringLiteral("Klasa 2"),
                               QStringLiteral("Klasa 3"),
                               QStringLiteral("MEN-I/37/2 Arkusz ocen str 1"),
                               QStringLiteral("MEN-I/37b/2 Arkusz ocen str 1")});
    // Windows screen readers read a combo box by its name, not its text.
    DocTypeComboBox->setAccessibleName(QString::fromUtf8("dokument, z którego wczytać dane"));
    bottomPanel()->addWidget(load);
    bottomPanel()->addWidget(DocTypeComboBox);
    addOkCancel("OKButton", "AnulujButton");
    findChild<QPushButton *>(QStringLiteral("OKButton"))->setText(QStringLiteral("Zapisz"));
    connect(load, &QPushButton::clicked, this, &TFDaneSzkoly::LoadTemplateButtonClick);
    m_screenMargin = -1; // as tall as its two short pages, not the screen
}

bool TFDaneSzkoly::LoadTemplate() {
    QString msg;
    SqlDataList records;
    if (!TemplateStore::inProgramFolder(msg).read(msg, QString::fromLatin1(kTemplateTable),
                                                  records)) {
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas odczytu danych.\n\n") + msg,
                    Prompts::Icon::Error);
        return false;
    }
    for (const structSqlData &r : records)
        setFieldText(r.comp_name, r.value);
    return true;
}

void TFDaneSzkoly::ClearAndLoad() {
    ClearFields();
    LoadTemplate();
}

void TFDaneSzkoly::showEvent(QShowEvent *event) {
    LayoutEditor::showEvent(event);
    const int year = currentDateTime().toUTC().date().year();
    ClearAndLoad();
    if (fieldText(QStringLiteral("ZMIENNA_RokSzkolny1_DATA_EDIT")).isEmpty())
        setFieldText(QStringLiteral("ZMIENNA_RokSzkolny1_DATA_EDIT"), QString::number(year - 1));
    if (fieldText(QStringLiteral("ZMIENNA_RokSzkolny2_DATA_EDIT")).isEmpty())
        setFieldText(QStringLiteral("ZMIENNA_RokSzkolny2_DATA_EDIT"), QString::number(year));
    QString msg;
    bFunSqlSettingWriteValue(msg, QStringLiteral("create_school_data_template"), 0);
    DocTypeComboBox->setCurrentIndex(0);
}

void TFDaneSzkoly::OKButtonClick() {
    SqlDataList records;
    CollectFields(records);
    QString msg;
    if (!TemplateStore::inProgramFolder(msg).write(msg, QString::fromLatin1(kTemplateTable),
                                                   records))
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby zapisania danych do pliku.\n\n") + msg,
                    Prompts::Icon::Error);
    accept();
}

void TFDaneSzkoly::LoadTemplateButtonClick() {
    const int index = DocTypeComboBox->currentIndex();
    if (index < 0 || index >= m_sources.size())
        return;
    if (index < 3)
        vFunCopyCertificateToTemplate(m_sources[index], this);
    else
        vFunCopyTitlePageToTemplate(m_sources[index], this);
}
