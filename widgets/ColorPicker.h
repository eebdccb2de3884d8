#pragma once

#include "platform/colour.h"

#include <QColor>
#include <QComboBox>

#include <functional>
#include <optional>

// A colour list: the 16 basic colours as unnamed swatches and a last entry "Other..." holding one free
// colour. Choosing "Other..." asks for a colour through the system colour dialog.
class ColorPicker : public QComboBox {
    Q_OBJECT
public:
    // Returns the chosen colour, or nothing when the dialog was cancelled.
    using ColourDialog = std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;

    static constexpr int basicCount = 16;
    static constexpr int otherIndex = basicCount;

    explicit ColorPicker(QWidget* parent = nullptr);

    // A colour outside the 16 goes into "Other..." and is selected there.
    void setColour(Rgb colour);
    Rgb colour() const;
    Rgb otherColour() const;

    // Replaces the system colour dialog (tests).
    void setColourDialog(ColourDialog dialog) { m_dialog = std::move(dialog); }

    static Rgb basicColour(int index);

Q_SIGNALS:
    void colourChanged(Rgb colour);

private:
    void cbColor1Change(int index);
    void setOtherColour(Rgb colour);

    ColourDialog m_dialog;
    // 1 while the picker itself changes its selection after the colour dialog, so that this change
    // does not ask again.
    int m_tag = 0;
};
