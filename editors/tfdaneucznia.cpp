#include "editors/tfdaneucznia.h"

#include <QLineEdit>

TFDaneUcznia::TFDaneUcznia(QWidget *parent)
    : TFEditor(QStringLiteral("TFDaneUcznia"), QStringLiteral("Dane ucznia"),
               QString::fromLatin1(kPupilDataId), parent) {}

void TFDaneUcznia::setAddMode() {
    m_editMode = false;
    m_oldTable.clear();
}

void TFDaneUcznia::setEditMode(const QString &oldTable) {
    m_editMode = true;
    m_oldTable = oldTable;
}

QString TFDaneUcznia::pupilTableName() const {
    const auto *pesel = findChild<QLineEdit *>(QStringLiteral("Pesel_DATA_EDIT"));
    return QStringLiteral("PESEL") + (pesel ? pesel->text() : QString());
}
