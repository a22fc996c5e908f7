#pragma once

#include "editors/layouteditor.h"

class QCheckBox;
class QComboBox;
class QPushButton;

// The end-of-year certificate of grade 1, 2 or 3 (two sides).
class TFKlasa : public LayoutEditor {
    Q_OBJECT
public:
    TFKlasa(int grade, const QString &className, const QString &caption, const QString &documentId,
            TFDaneUcznia *pupil, QWidget *parent = nullptr);
    int grade() const { return m_grade; }

    bool ApplyFields(const SqlDataList &records) override;

    QCheckBox *AutoWorldWrapCheckBox = nullptr;
    QPushButton *bntSchoolTemplate = nullptr;
    QPushButton *BitBtn2 = nullptr;

public slots:
    void AutoWorldWrapCheckBoxClick();
    void bntSchoolTemplateClick();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void applyWrap(bool on);
    void followWrapSetting();
    int m_grade;
};

// The title page of a record sheet: MEN-I/37/2 page 1 ("a") or MEN-I/37b/2 ("b").
class TFArkuszStr1 : public LayoutEditor {
    Q_OBJECT
public:
    TFArkuszStr1(const QString &variant, const QString &className, const QString &caption,
                 const QString &documentId, TFDaneUcznia *pupil, QWidget *parent = nullptr);

    QPushButton *WczytajSzablonButton = nullptr;

public slots:
    void WczytajSzablonButtonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_variant;
};

// A yearly results page of a record sheet: MEN-I/37/2 pages 2-5 ("a", the
// certificate chosen in a list) or MEN-I/37b/2 grade pages ("b", the grade fixed).
class TFArkuszWyniki : public LayoutEditor {
    Q_OBJECT
public:
    TFArkuszWyniki(const QString &variant, int grade, const QString &className,
                   const QString &caption, const QString &documentId, TFDaneUcznia *pupil,
                   QWidget *parent = nullptr);
    // The certificate grade the copy button takes (0: none chosen).
    int sourceGrade() const;

    QComboBox *SwiadectwoComboBox = nullptr;
    QPushButton *WczytajDaneZSwiadectwaButton = nullptr;

public slots:
    void WczytajDaneZSwiadectwaButtonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString m_variant;
    int m_grade;
};

// The descriptive report for a parent-teacher meeting.
class TFWywiadowka : public LayoutEditor {
    Q_OBJECT
public:
    TFWywiadowka(const QString &className, const QString &caption, const QString &documentId,
                 TFDaneUcznia *pupil, QWidget *parent = nullptr);
};
