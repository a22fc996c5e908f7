#pragma once

#include "editors/layouteditor.h"

class QComboBox;

// The school data template: entered once, copied into every certificate and
// title page. Its fields are a working area over the template file.
class TFDaneSzkoly : public LayoutEditor {
    Q_OBJECT
public:
    // Source windows of "Wczytaj dane ze świadectwa / arkusza": the three
    // certificates, then the two title pages, as the list offers them.
    explicit TFDaneSzkoly(QWidget *parent = nullptr);
    void setSources(const QList<WindowRef<TFEditor>> &sources) { m_sources = sources; }

    // Loads the template file into the fields; false (with the message
    // shown) when it cannot be read.
    bool LoadTemplate();
    // Clear, then load: what the editors do before copying.
    void ClearAndLoad();

    QComboBox *DocTypeComboBox = nullptr;

public slots:
    void OKButtonClick() override;
    void LoadTemplateButtonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QList<WindowRef<TFEditor>> m_sources;
};
