#include "editors/editor.h"

#include "editors/binding.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

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

QWidget *TFEditor::firstField() const {
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (m_components.contains(w) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            return w;
    }
    return nullptr;
}

void TFEditor::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (QWidget *first = firstField())
        first->setFocus(Qt::OtherFocusReason);
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

QString TFEditor::fieldText(const QString &name) const {
    return strFunWidgetText(findChild<QWidget *>(name));
}

void TFEditor::setFieldText(const QString &name, const QString &text) {
    if (QWidget *w = findChild<QWidget *>(name); w && fieldKind(name) != FieldKind::None)
        vFunSetWidgetText(w, text);
}
