#include "app/tfglowna.h"

#include "dialogs/tfdrukuj.h"
#include "dialogs/tfdrukujklase.h"
#include "document/prompts.h"
#include "storage/paths.h"

#include <QCheckBox>
#include <QFileInfo>

void TFGlowna::DrukujDlaKlasyClick() {
    const QString tmp = strFunGetTmpFilePath(m_msg);
    if (m_students.isEmpty() || tmp.isEmpty() || !QFileInfo::exists(tmp)) {
        showMessage(this, QStringLiteral("Brak danych"),
                    QString::fromUtf8("Nie ma uczniów do wydrukowania. Otwórz plik klasy albo "
                                      "dodaj uczniów."),
                    Prompts::Icon::Warning);
        return;
    }
    // Made at first use and kept, like the other windows.
    auto *choice = findChild<TFDrukujKlase *>();
    if (!choice)
        choice = new TFDrukujKlase(this);
    structOpenClass open;
    open.classFile = tmp; // every saved pupil is in the working copy
    open.className = QFileInfo(documentPath()).completeBaseName();
    open.pupils = pupilsInTreeOrder(m_students);
    open.documentLabel = strFunGetSelectedText(Selected::Document);
    open.options.printWithoutDots = PrintNoDotsCheckBox->isChecked();
    open.options.strikeEmptyFields = WykreskujPusteCheckBox->isChecked();
    open.options.clipTextFields = cbWordWrap->isChecked();
    m_windows.drukuj->protectedFiles = protectedClassFiles();
    bFunPrintWholeClass(*choice, *m_windows.drukuj, open);
}
