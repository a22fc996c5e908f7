#include "editors/copies.h"

#include "editors/editor.h"
#include "editors/fields.h"

void vFunCopyTemplateToCertificate(const TFEditor *schoolTemplate, TFEditor *certificate) {
    for (const auto &p : certificateTemplateFields())
        certificate->setFieldText(QString::fromLatin1(p.first),
                                  schoolTemplate->fieldText(QString::fromLatin1(p.second)));
}

void vFunCopyCertificateToTemplate(const TFEditor *certificate, TFEditor *schoolTemplate) {
    for (const auto &p : certificateTemplateFields())
        schoolTemplate->setFieldText(QString::fromLatin1(p.second),
                                     certificate->fieldText(QString::fromLatin1(p.first)));
}

void vFunCopyTemplateToTitlePage(const TFEditor *schoolTemplate, TFEditor *titlePage) {
    for (const char *name : titlePageTemplateFields())
        titlePage->setFieldText(QString::fromLatin1(name),
                                schoolTemplate->fieldText(QString::fromLatin1(name)));
}

void vFunCopyTitlePageToTemplate(const TFEditor *titlePage, TFEditor *schoolTemplate) {
    for (const char *name : titlePageTemplateFields())
        schoolTemplate->setFieldText(QString::fromLatin1(name),
                                     titlePage->fieldText(QString::fromLatin1(name)));
}

void vFunCopyCertificateToResultsPage(const TFEditor *certificate, TFEditor *page) {
    auto text = [certificate](const char *name) {
        return certificate->fieldText(QString::fromLatin1(name));
    };
    page->setFieldText(QStringLiteral("ZMIENNA_RokSzkolny_DATA_EDIT"),
                       text("ZMIENNA_RokSzkolny1_STR1_DATA_EDIT") + QStringLiteral(" / ") +
                           text("ZMIENNA_RokSzkolny2_STR1_DATA_EDIT"));
    page->setFieldText(QStringLiteral("ZMIENNA_Klasa_DATA_EDIT"),
                       text("ZMIENNA_Klasa_STR1_DATA_EDIT"));
    page->setFieldText(QStringLiteral("ZMIENNA_Zachowanie_DATA_MEMO"),
                       text("ZMIENNA_Zachowanie_STR2_DATA_MEMO"));
    page->setFieldText(QStringLiteral("ZMIENNA_Religia_DATA_EDIT"),
                       text("ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX"));
    page->setFieldText(QStringLiteral("ZMIENNA_Ksztalcenie_DATA_MEMO"),
                       text("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO"));
    // One line for each non-empty field, in order.
    const struct {
        const char *memo;
        const char *prefix;
    } lists[] = {
        {"ZMIENNA_DodEduMemo_DATA_MEMO", "ZMIENNA_DodatkoweEdu%1_STR2_DATA_EDIT"},
        {"ZMIENNA_SzczegolneOs_DATA_MEMO", "ZMIENNA_SzczegolneOsiagniecia%1_STR2_DATA_EDIT"}};
    for (const auto &l : lists) {
        auto *memo = page->findChild<MemoEdit *>(QString::fromLatin1(l.memo));
        if (!memo)
            continue;
        memo->clear();
        for (int i = 1; i <= 3; ++i) {
            const QString line = certificate->fieldText(QString::fromLatin1(l.prefix).arg(i));
            if (!line.isEmpty())
                memo->appendPlainText(line);
        }
    }
}
