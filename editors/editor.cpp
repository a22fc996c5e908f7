#include "editors/editor.h"

#include "document/binding.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
std::function<bool()> &saveHook() {
    static std::function<bool()> save;
    return save;
}
} // namespace

TFEditor::TFEditor(const QString &className, const QString &caption, const QString &documentId,
                   QWidget *parent)
    : QDialog(parent), m_documentId(documentId) {
    setObjectName(className);
    setWindowTitle(caption);
    setModal(true);
    auto *outer = new QVBoxLayout(this);
    m_body = new QVBoxLayout;
    outer->addLayout(m_body, 1);
    auto *buttons = new QDialogButtonBox(this);
    auto *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    auto *cancel = buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    cancel->setObjectName(QStringLiteral("AnulujButton"));
    connect(ok, &QPushButton::clicked, this, &TFEditor::OKButtonClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    outer->addWidget(buttons);
}

bool TFEditor::CollectFields(SqlDataList &records) const {
    ::CollectFields(m_documentId, m_components, records);
    return true;
}

bool TFEditor::ApplyFields(const SqlDataList &records) {
    ::ApplyFields(m_documentId, m_components, records);
    return true;
}

void TFEditor::ClearFields() {
    ::ClearFields(m_components);
}

void TFEditor::setSaveStudentRecord(std::function<bool()> save) {
    saveHook() = std::move(save);
}

bool TFEditor::saveStudentRecord() {
    return saveHook() ? saveHook()() : false;
}

void TFEditor::OKButtonClick() {
    if (saveStudentRecord())
        accept();
}
