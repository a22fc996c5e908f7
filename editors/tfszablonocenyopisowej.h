#pragma once

#include "editors/editorcontext.h"

#include <QDialog>

class MemoEdit;
class QComboBox;
class QLabel;
class QListWidget;
class TFEditor;

// The phrase library: composes a certificate's behaviour and education
// assessments from phrase categories and whole templates kept as files.
class TFSzablonOcenyOpisowej : public QDialog {
    Q_OBJECT
public:
    // One half of the dialog: behaviour or education.
    struct Half;

    explicit TFSzablonOcenyOpisowej(QWidget *parent = nullptr);
    ~TFSzablonOcenyOpisowej() override;

    // The certificates of grades 1, 2, 3 that OK writes back into.
    void setCertificates(const QList<WindowRef<TFEditor>> &certificates) {
        m_certificates = certificates;
    }
    // Opens for the certificate of this grade (1-3) with its two texts.
    void setCaller(int grade, const QString &behaviour, const QString &education);
    int caller() const { return m_caller; }

    MemoEdit *preview(int half) const;
    QListWidget *phrases(int half) const;
    QComboBox *categories(int half) const;
    QComboBox *templates(int half) const;
    // The status line under the halves (what an insertion or a paste left out).
    QLabel *statusLabel() const { return m_status; }

public slots:
    void OKButtonClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<Half *> m_halves;
    QList<WindowRef<TFEditor>> m_certificates;
    int m_caller = 1;
    QLabel *m_status = nullptr;
};
