#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

// Every picture of the program, drawn in code so no image files are needed.
// Each picture has a design size in logical pixels; picture() renders it sharp
// for the given device pixel ratio.
enum class Picture {
    Help,      // bHelp: blue disc with a question mark
    Settings,  // bCFG: gear wheel
    Info,      // bInfo: blue disc with an "i"
    Load,      // sbLoad: open folder
    Save,      // sbSave: floppy disk
    Word,      // sbWord: document with a "W"
    Excel,     // sbExcel: sheet with an "X"
    Html,      // sbHTML: globe
    Print,     // sbPrint: printer
    Clear,     // sbCLS: sheet crossed out
    Monitor2,  // bMon2: monitor showing a clock
    Monitor3,  // bMon3: monitor showing a list
    Previous,  // sb1m: arrow left
    Next,      // sb1p: arrow right
    FlagDE,    // LabDE: black, red and gold bands
    Logo,      // information dialog logo
    LogoSmall, // top-ten window logo
    Question,  // yes/no dialog
    AppIcon,   // application and window icon
};

namespace Pictures {
// All pictures in declaration order (contact sheets, tests).
QList<Picture> all();
// Short name for a picture, the objectName of the control that shows it where there is one.
QString name(Picture id);
// Design size in logical pixels.
QSize size(Picture id);
// The picture at its design size, transparent where nothing is drawn.
QPixmap picture(Picture id, qreal devicePixelRatio = 1);
// The picture drawn at an arbitrary size (for icons shown larger than designed).
QPixmap picture(Picture id, QSize size, qreal devicePixelRatio = 1);
// The application icon in the usual sizes, for QApplication::setWindowIcon.
QIcon applicationIcon();
} // namespace Pictures
