#pragma once

#include <QString>

class QWidget;

// Prints a web-page protocol: the system's print dialog, then the page rendered by
// QTextDocument. False when the file cannot be read or the dialog is cancelled.
bool printHtmlFileWithDialog(QWidget* parent, const QString& path);
