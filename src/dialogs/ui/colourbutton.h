// SPDX-License-Identifier: MIT
// The push button that stands for the solid-colour background: filled with the fill colour and framed by two
// rings that make it look pressed in (state 1, the chosen background) or raised (any other state). The
// button's own state (pushed, focused, disabled) does not change its look. The owner sets the state and the
// fill colour; each setter schedules a repaint. A widget: user-interface thread only; owned by its parent.
#pragma once

#include <QPushButton>

#include "dialogs/rgb.h"

namespace aw {

class ColourButton : public QPushButton {
    Q_OBJECT

public:
    explicit ColourButton(QWidget* parent);

    void SetState(int state);
    int state() const { return state_; }
    void SetFillColour(Rgb colour);
    Rgb fillColour() const { return fill_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int state_ = 0;
    Rgb fill_{255, 255, 255};
};

} // namespace aw
