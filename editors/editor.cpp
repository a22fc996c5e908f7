#include "editors/editor.h"

#include "document/prompts.h"

#include "editors/binding.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTabWidget>

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

namespace {

bool sameRecords(const SqlDataList &a, const SqlDataList &b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].comp_name != b[i].comp_name || a[i].value != b[i].value)
            return false;
    }
    return true;
}

} // namespace

void TFEditor::reject() {
    SqlDataList now;
    CollectFields(now);
    if (isVisible() && !sameRecords(now, m_shownWith) &&
        !askYesNoDestructive(this, QStringLiteral("Anuluj"),
                             QString::fromUtf8("Wprowadzone zmiany nie zostały zapisane.\nCzy "
                                               "na pewno chcesz je odrzucić ?"),
                             Prompts::Icon::Warning))
        return;
    QDialog::reject();
}

void TFEditor::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    m_shownWith.clear();
    CollectFields(m_shownWith);
    QWidget *focus = firstField();
    for (QWidget *w : m_components) {
        if (m_focusOnShow.isEmpty() || w->objectName() != m_focusOnShow || !w->isEnabled())
            continue;
        focus = w;
        // On its side of the form, scrolled into view.
        for (QTabWidget *tabs : findChildren<QTabWidget *>())
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->widget(i)->isAncestorOf(w))
                    tabs->setCurrentIndex(i);
        for (QScrollArea *box : findChildren<QScrollArea *>())
            if (box->widget() && box->widget()->isAncestorOf(w))
                box->ensureWidgetVisible(w);
    }
    m_focusOnShow.clear();
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
}

bool TFEditor::saveStudentRecord(const QString &dropTable) const {
    return m_context && m_context->saveStudentRecord && m_context->saveStudentRecord(dropTable);
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
