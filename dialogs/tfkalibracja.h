#pragma once

#include "document/documents.h"
#include "printing/calibstore.h"
#include "printing/printengine.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

// The calibration editor: moves one printed object of a layout and changes
// its font, row by row in the working calibration file, while the main
// window's preview shows the layout with sample texts and the chosen object
// outlined in red.
class TFKalibracja : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Basic, Advanced };

    explicit TFKalibracja(QWidget *parent = nullptr);
    // The engine of the samples: its own, never the preview's or the printer's.
    PrintEngine &engine() { return m_engine; }

    // Basic lists the variable fields only, advanced every object; sets the caption.
    void setMode(Mode mode);
    Mode mode() const { return m_mode; }

    // The document whose editor a layout prints, and what "Wyłącz kropki"
    // must be for it (nothing: left as it is). Null for a table of no document.
    struct LayoutDocument {
        const DocumentInfo *doc = nullptr;
        std::optional<bool> withoutDots;
    };
    static LayoutDocument layoutDocument(const QString &table);

    // The main window's "Wyłącz kropki" with the full effect of a click: the
    // setting saved, the selected pupil's document drawn again. Without it
    // only the rendering follows.
    std::function<void(bool on)> setWithoutDots;

    QComboBox *TypSwiadectwaComboBox;
    QComboBox *VariableComboBox;
    QLineEdit *X1Edit, *Y1Edit, *X2Edit, *Y2Edit;
    QToolButton *LeftSpeedButton, *RightSpeedButton, *UpSpeedButton, *DownSpeedButton;
    QLineEdit *FontSizeEdit;
    QToolButton *UpFontSizeSpeedButton, *DownFontSizeSpeedButton;
    QComboBox *FontsNameComboBox;
    QComboBox *AdjustmentComboBox;
    QCheckBox *PogrubienieCheckBox, *KursywaCheckBox, *PodkreslenieCheckBox, *PrzekreslenieCheckBox;
    QPushButton *SaveButton;
    QPushButton *PrzywrocUstawieniaButton;
    QPushButton *CloseButton;

    // The rows of the chosen layout, as last loaded.
    const CalibList &rows() const { return m_rows; }

    void FormShow();
    void TypSwiadectwaComboBoxChange();
    void VariableComboBoxChange();
    void LeftSpeedButtonClick();
    void RightSpeedButtonClick();
    void UpSpeedButtonClick();
    void DownSpeedButtonClick();
    void UpFontSizeSpeedButtonClick();
    void DownFontSizeSpeedButtnClick();
    void SaveButtonClick();
    void PrzywrocUstawieniaButtonClick();
    void CloseButtonClick();
    // Blanks both preview images, so that no sample preview remains.
    void FormClose();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Loads the chosen layout's rows; false (reported) when it cannot.
    bool loadLayout();
    // Adds `by` to two edits read as whole numbers; false (reported) when
    // one of them holds none.
    bool shift(QLineEdit *first, QLineEdit *second, int by);
    // An edit read as a whole number; reports a clear message when it holds none.
    bool readNumber(QLineEdit *edit, int &value);
    void render();

    PrintEngine m_engine;
    Mode m_mode = Mode::Basic;
    CalibList m_rows;
    QString m_msg;
};
