// "Importuj": a class from the older program's text files becomes the
// working copy, as a new class that is not saved under any name yet.
#include "app/tfglowna.h"

#include "dialogs/tfsqlimport.h"
#include "document/prompts.h"
#include "maintenance/legacyimport.h"

namespace {
// The older program's class files.
QString legacyFileFilter() {
    return QStringLiteral("SP 1-3 (*.br5)");
}
} // namespace

void TFGlowna::Importuj1Click() {
    // The import replaces the working copy: unsaved work is offered a save
    // first, as "Otwórz plik" does, and a failed or cancelled save stops here.
    if (!offerSaveBeforeReplacing())
        return;
    const QString source =
        prompts().openFileName(this, QStringLiteral("Import danych"), legacyFileFilter());
    if (source.isEmpty())
        return;
    TFSQLImport *window = m_windows.sqlImport;
    window->start();
    structImportReport report;
    const ClassFileOutcome out = m_session.import([&](QString &msg, const QString &workingCopy) {
        return bFunImportDataFromFile(msg, workingCopy, source, window, &report);
    });
    window->hide();
    if (!out.ok) {
        const bool noPupils = report.failure == structImportReport::Failure::NoPupils;
        showMessage(this, noPupils ? QStringLiteral("Brak danych") : QStringLiteral("Błąd"),
                    out.messages.value(0).text +
                        QString::fromUtf8("\n\nDane nie zostały zaimportowane; otwarte dane "
                                          "pozostały bez zmian."),
                    noPupils ? Prompts::Icon::Warning : Prompts::Icon::Error);
        return;
    }

    // The imported pupils belong to no file yet; nothing of the previous
    // class stays in the editors or the preview.
    setDocumentPath(QString());
    unloadPupil();
    setClassOpen(true);
    clearPreview(); // nothing of the imported class is chosen yet
    rebuildTree();
    vFunUpdatePopupMenu();
    const bool clean = report.placeholders.isEmpty() && report.failed.isEmpty();
    showMessage(this, QStringLiteral("Import danych"), strFunImportSummary(report),
                clean ? Prompts::Icon::Information : Prompts::Icon::Warning);
}
