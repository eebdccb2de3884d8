#pragma once

#include <QString>

class QPrinter;

// Prints a web-page protocol on the given printer, rendered by QTextDocument.
// False when the file cannot be read.
bool printHtmlFile(QPrinter& printer, const QString& path);
