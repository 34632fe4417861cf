// What a person reads in a label or a tooltip: Qt takes text that looks like markup for
// markup unless it is told otherwise, and shows what remains of it once read as such.
#pragma once

#include <QLabel>
#include <QTextDocument>

namespace kestr::test {

inline QString readAsMarkupIfQtWould(const QString& text, Qt::TextFormat format) {
    const bool markup = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    if (!markup) return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

inline QString readText(const QLabel& label) { return readAsMarkupIfQtWould(label.text(), label.textFormat()); }

// Tooltips have no format of their own: Qt guesses.
inline QString readToolTip(const QString& toolTip) { return readAsMarkupIfQtWould(toolTip, Qt::AutoText); }

}  // namespace kestr::test
