#pragma once

class QWidget;

// Moves a dialog so that it is centred on its parent window and lies on the
// parent's monitor (kept inside that monitor's available area). Without a
// parent the dialog is centred on the primary monitor.
void centreOnParent(QWidget* dialog);
