#pragma once

#include "document/documents.h"
#include "document/formlayout.h"
#include "editors/editor.h"

class QHBoxLayout;
class QLabel;
class QScrollArea;
class QTabWidget;
class MemoEdit;
class TFDaneUcznia;

// A document editor built from its form layout: the page pictures with the
// fields and fixed texts laid over them, and a bottom panel for buttons.
class LayoutEditor : public TFEditor {
    Q_OBJECT
public:
    LayoutEditor(const QString &className, const QString &caption, const QString &documentId,
                 const QString &layoutName, const QString &variant, TFDaneUcznia *pupil,
                 QWidget *parent = nullptr);

    const FormLayout &layout() const { return *m_layout; }
    // The document this window edits (null for a window outside the table).
    const DocumentInfo *document() const { return m_document; }
    // The stored values, then the pupil's data copied in.
    bool ApplyFields(const SqlDataList &records) override;
    // The sample texts of the calibration preview (document/samples.h).
    bool hasSampleFields() const override;
    void FillSampleFields() override;
    QList<MemoEdit *> memos() const;
    QList<QScrollArea *> scrollBoxes() const { return m_scrollBoxes; }
    QTabWidget *pageControl() const { return m_tabs; }
    // The page widget a component stands on (its picture is the background).
    QWidget *pageWidget(int page) const { return m_pages.value(page - 1); }
    // The status line of the bottom panel (what a paste left out).
    QLabel *statusLabel() const { return m_status; }

protected:
    QHBoxLayout *bottomPanel() const { return m_bottom; }
    // The line over the buttons; hidden while empty.
    void setStatusText(const QString &text);
    TFDaneUcznia *pupil() const { return m_pupil; }
    // Adds OK and Anuluj at the right of the bottom panel.
    void addOkCancel(const char *okName, const char *cancelName);
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Window placement when shown: top and the screen height less this
    // (a negative margin keeps the window as tall as its content).
    int m_showTop = 10;
    int m_screenMargin = 50;

private:
    void build(const QString &variant);

    const FormLayout *m_layout;
    const DocumentInfo *m_document;
    TFDaneUcznia *m_pupil;
    QTabWidget *m_tabs = nullptr;
    QList<QWidget *> m_pages;
    QList<QScrollArea *> m_scrollBoxes;
    QHBoxLayout *m_bottom = nullptr;
    QLabel *m_status = nullptr;
};
