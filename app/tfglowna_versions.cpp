// "Plik › Poprzednie wersje…": an earlier version of the open class file as
// its unsaved work.
#include "app/tfglowna.h"

#include "dialogs/tfwersje.h"
#include "document/prompts.h"

#include <QFileInfo>

void TFGlowna::Poprzedniewersje1Click() {
    const QString classPath = m_session.path();
    if (classPath.isEmpty()) {
        showMessage(
            this, QString::fromUtf8("Poprzednie wersje"),
            QString::fromUtf8("Otwarta klasa nie jest jeszcze zapisana w pliku, więc nie ma "
                              "poprzednich wersji. Zapisz ją poleceniem „Zapisz jako”."),
            Prompts::Icon::Information);
        return;
    }
    // As "Otwórz plik": the save question first, so that a save made now
    // (which keeps a version too) is over before the list is read.
    if (!offerSaveBeforeReplacing(QString::fromUtf8("Poprzednie wersje"), Prompts::Icon::Question))
        return;
    const QList<ClassVersion> versions = m_session.versions();
    if (versions.isEmpty()) {
        showMessage(
            this, QString::fromUtf8("Poprzednie wersje"),
            QString::fromUtf8("Plik:\n") + classPath +
                QString::fromUtf8("\n\nnie ma jeszcze poprzednich wersji. Program zachowuje "
                                  "poprzednią treść pliku przy każdym zapisie zmian."),
            Prompts::Icon::Information);
        return;
    }
    // Made at first use and kept, like the other windows.
    auto *dialog = findChild<TFWersje *>();
    if (!dialog)
        dialog = new TFWersje(this);
    dialog->setVersions(classPath, versions);
    if (dialog->exec() != QDialog::Accepted || !dialog->chosenVersion())
        return;
    const ClassFileOutcome out = m_session.openVersion(dialog->chosenVersion()->path);
    showOutcome(out);
    if (!out.ok)
        return;
    showOpenedClass();
    showStatusNotice(out.readOnly
                         ? QString::fromUtf8("Otwarto poprzednią wersję. Plik jest tylko do "
                                             "odczytu: zapiszesz ją poleceniem „Zapisz jako”.")
                         : QString::fromUtf8("Otwarto poprzednią wersję. Zastąpi ona treść pliku "
                                             "dopiero po poleceniu „Zapisz”."));
}
