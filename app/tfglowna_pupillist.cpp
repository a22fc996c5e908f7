// "Importuj listę uczniów": pupils from a register's or spreadsheet's list
// come into the open class through the pupil dialog, as if typed there.
#include "app/tfglowna.h"

#include "dialogs/tfimportlisty.h"
#include "document/pesel.h"
#include "document/prompts.h"
#include "document/pupillist.h"
#include "editors/tfdaneucznia.h"
#include "storage/namelists.h"

#include <QFile>
#include <QFileInfo>

namespace {

QStringList tablesOf(const StudentList &pupils) {
    QStringList out;
    for (const structStudentEntry &s : pupils)
        out << s.table;
    return out;
}

QString listFileFilter() {
    return QString::fromUtf8("Lista uczniów (*.csv *.tsv *.txt);;Wszystkie pliki (*)");
}

} // namespace

void TFGlowna::ImportujListeClick() {
    const QString caption = QString::fromUtf8("Import listy uczniów");
    const QString path = prompts().openFileName(this, caption, listFileFilter());
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(this, caption,
                    QString::fromUtf8("Nie można odczytać pliku %1.\n\nSprawdź, czy plik "
                                      "istnieje i czy masz prawo go czytać. (%2)")
                        .arg(QFileInfo(path).fileName(), file.errorString()),
                    Prompts::Icon::Error);
        return;
    }
    const structPupilListTable table = pupilListFromBytes(file.readAll());
    if (table.rows.isEmpty() || table.header.size() < 2) {
        showMessage(this, caption,
                    QString::fromUtf8("W pliku %1 nie ma listy uczniów: potrzebny jest wiersz "
                                      "nagłówków (np. Nazwisko;Imię;PESEL) i pod nim po "
                                      "jednym wierszu na ucznia. Zapisz listę z dziennika "
                                      "lub arkusza jako plik CSV i spróbuj ponownie.")
                        .arg(QFileInfo(path).fileName()),
                    Prompts::Icon::Warning);
        return;
    }
    TFImportListy preview(this);
    preview.setList(table, tablesOf(m_session.pupils()), path);
    if (preview.exec() != QDialog::Accepted)
        return;
    const structListImportResult result =
        importPupilList(preview.chosenPupils(), preview.updateExisting());
    QStringList lines;
    lines << QString::fromUtf8("Dodano uczniów: %1.").arg(result.added);
    if (result.updated)
        lines << QString::fromUtf8("Uaktualniono uczniów: %1.").arg(result.updated);
    if (result.skipped)
        lines << QString::fromUtf8("Pozostawiono bez zmian (już byli w klasie): %1.")
                     .arg(result.skipped);
    if (!result.failed.isEmpty())
        lines << QString::fromUtf8("Nie udało się zapisać: %1.")
                     .arg(result.failed.join(QStringLiteral(", ")));
    lines << QString::fromUtf8("Zmiany trafią do pliku klasy po zapisaniu (Plik › Zapisz).");
    showMessage(this, caption, lines.join(QLatin1Char('\n')),
                result.failed.isEmpty() ? Prompts::Icon::Information : Prompts::Icon::Warning);
}

TFGlowna::structListImportResult TFGlowna::importPupilList(const QList<structListPupil> &pupils,
                                                           bool update) {
    structListImportResult result;
    for (const structListPupil &p : pupils) {
        QStringList tables = tablesOf(m_session.pupils());
        SqlDataList fields = p.records;
        QString pesel = p.pesel;
        if (pesel.isEmpty()) {
            // As the pupil dialog stores a pupil without a PESEL.
            pesel = strFunFreePeselPlaceholder(tables);
            fields.append(
                {QString::fromLatin1(kPupilDataId), QStringLiteral("Pesel_DATA_EDIT"), pesel});
        }
        const QString table = QLatin1String(kPupilTablePrefix) + pesel;
        const bool exists = tables.contains(table);
        if (exists && !update) {
            ++result.skipped;
            continue;
        }
        // The editors hold the pupil as the pupil dialog's OK finds them: her
        // pupil loaded for an update, emptied documents for a new one.
        if (exists) {
            if (!LoadStudentRecord(table)) {
                result.failed << p.field("Nazwisko_DATA_EDIT") + QLatin1Char(' ') +
                                     p.field("Imie_DATA_EDIT");
                continue;
            }
            fields = pupilFieldsUpdated(m_session.records(), fields);
        } else {
            m_session.unloadPupil();
            ClearAllEditors();
        }
        // Taken now: the pupil dialog holds what was just loaded or emptied.
        TFDaneUcznia *dialog = m_windows.daneUcznia;
        dialog->ApplyFields(fields);
        // The dialog's lists of towns and provinces learn the list's.
        QString msg;
        if (const QString town = p.field("UrodzonyMiasto_DATA_COMBOBOX"); !town.isEmpty())
            bFunStudentDataAddCity(msg, town);
        if (const QString province = p.field("UrodzonyWoj_DATA_COMBOBOX"); !province.isEmpty())
            bFunStudentDataAddProvince(msg, province);
        const ClassFileOutcome out = m_session.savePupil(table, collectPupilRecords());
        if (!out.ok) {
            showOutcome(out);
            result.failed << p.field("Nazwisko_DATA_EDIT") + QLatin1Char(' ') +
                                 p.field("Imie_DATA_EDIT");
            continue;
        }
        ++(exists ? result.updated : result.added);
    }
    // No pupil stays loaded: the tree shows the class, nothing is chosen.
    unloadPupil();
    if (result.added || result.updated)
        setClassOpen(true);
    rebuildTree();
    vFunUpdatePopupMenu();
    return result;
}
