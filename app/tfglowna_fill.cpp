#include "app/tfglowna.h"

#include "dialogs/tfsprawdzklase.h"
#include "dialogs/tfuzupelnijklase.h"
#include "document/classfill.h"
#include "document/prompts.h"
#include "document/templatestore.h"
#include "editors/editor.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QTreeWidget>

namespace {

// The whole-class windows need pupils in the working copy.
bool hasPupils(TFGlowna *window, ClassSession &session) {
    const QString tmp = session.workingCopy();
    if (!session.pupils().isEmpty() && !tmp.isEmpty() && QFileInfo::exists(tmp))
        return true;
    showMessage(window, QStringLiteral("Brak danych"),
                QString::fromUtf8("Klasa nie ma jeszcze uczniów. Otwórz plik klasy albo dodaj "
                                  "uczniów."),
                Prompts::Icon::Warning);
    return false;
}

// Made at first use and kept, like the other windows.
template <class Dialog> Dialog *dialogOf(TFGlowna *window) {
    auto *d = window->findChild<Dialog *>(QString(), Qt::FindDirectChildrenOnly);
    return d ? d : new Dialog(window);
}

} // namespace

void TFGlowna::UzupelnijDlaKlasyClick() {
    if (!hasPupils(this, m_session))
        return;
    QString msg;
    SqlDataList schoolTemplate;
    // Without a template she types the values herself.
    TemplateStore::inProgramFolder(msg).read(msg, QString::fromLatin1(kTemplateTable),
                                             schoolTemplate);
    const StudentList pupils = m_session.pupilsInOrder();
    QStringList unreadable;
    const QHash<QString, SqlDataList> records =
        hashFunClassRecords(m_session.workingCopy(), pupils, &unreadable);
    auto *fill = dialogOf<TFUzupelnijKlase>(this);
    fill->setClass(pupils, records, schoolTemplate, strFunGetSelectedText(Selected::Document));
    if (fill->exec() != QDialog::Accepted || fill->changes().isEmpty())
        return;
    const QString loaded = loadedPupilTable();
    const ClassFileOutcome out = applyClassFill(m_session, fill->changes());
    // The pupil the window showed is shown again, with the new values.
    if (!loaded.isEmpty() && LoadStudentRecord(loaded)) {
        rebuildTree();
        TreeViewClick();
    } else {
        unloadPupil();
        rebuildTree();
    }
    vFunUpdatePopupMenu();
    showOutcome(out);
    if (!unreadable.isEmpty())
        showMessage(this, QStringLiteral("Uwaga"),
                    QString::fromUtf8("Nie udało się odczytać danych tych uczniów, ich dokumenty "
                                      "zostały bez zmian:\n") +
                        unreadable.join(QLatin1Char('\n')),
                    Prompts::Icon::Warning);
    if (out.ok)
        showStatusNotice(QString::fromUtf8("Uzupełniono dane klasy – zapisz plik, aby je "
                                           "zachować."));
}

void TFGlowna::SprawdzKlaseClick() {
    if (!hasPupils(this, m_session))
        return;
    auto *check = dialogOf<TFSprawdzKlase>(this);
    check->recheck = [this] {
        structRenderOptions options;
        options.printWithoutDots = PrintNoDotsCheckBox->isChecked();
        options.strikeEmptyFields = WykreskujPusteCheckBox->isChecked();
        options.clipTextFields = cbWordWrap->isChecked();
        return listFunCheckClassTable(m_session.workingCopy(), m_session.pupilsInOrder(), options);
    };
    check->openCell = [this](const QString &table, const DocumentInfo &doc, const QString &field) {
        openDocumentEditor(table, doc, field);
    };
    check->setRows(check->recheck());
    check->exec();
}

bool TFGlowna::openDocumentEditor(const QString &table, const DocumentInfo &doc,
                                  const QString &field) {
    const int row = int(treeRows().indexOf(&doc));
    for (int i = 0; i < TreeView->topLevelItemCount(); ++i) {
        QTreeWidgetItem *pupil = TreeView->topLevelItem(i);
        if (pupil->data(0, Qt::UserRole).toString() != table || row < 0 ||
            row >= pupil->childCount())
            continue;
        // As a click on the document would: selected, loaded, shown.
        TreeView->setCurrentItem(pupil->child(row));
        if (loadedPupilTable() != table)
            TreeViewClick();
        if (TFEditor *editor = m_windows.editor(QString::fromLatin1(doc.className)))
            editor->focusOnShow(field);
        EdytujSwiadectwoToolButtonClick();
        return true;
    }
    return false;
}
