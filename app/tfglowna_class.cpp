#include "app/tfglowna.h"

#include "dialogs/tfdrukuj.h"
#include "dialogs/tfdrukujklase.h"
#include "document/prompts.h"

#include <QCheckBox>
#include <QFileInfo>

void TFGlowna::DrukujDlaKlasyClick() {
    const QString tmp = m_session.workingCopy();
    if (m_session.pupils().isEmpty() || tmp.isEmpty() || !QFileInfo::exists(tmp)) {
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
    open.pupils = m_session.pupilsInOrder();
    open.documentLabel = strFunGetSelectedText(Selected::Document);
    open.options.printWithoutDots = PrintNoDotsCheckBox->isChecked();
    open.options.strikeEmptyFields = WykreskujPusteCheckBox->isChecked();
    open.options.clipTextFields = cbWordWrap->isChecked();
    m_windows.drukuj->protectedFiles = protectedClassFiles();
    bFunPrintWholeClass(*choice, *m_windows.drukuj, open);
}
