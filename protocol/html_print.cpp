#include "protocol/html_print.h"

#include "platform/cp1252.h"

#include <QFile>
#include <QPrinter>
#include <QTextDocument>

bool printHtmlFile(QPrinter& printer, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    // The page declares either utf-8 or iso-8859-1, which stands for Windows-1252.
    const QString html = bytes.contains("charset=utf-8") ? QString::fromUtf8(bytes) : Cp1252::decode(bytes);
    QTextDocument document;
    document.setHtml(html);
    document.print(&printer);
    return true;
}
