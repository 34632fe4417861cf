#include "UI/ShownText.h"

#include <QFontMetricsF>
#include <QTextDocument>
#include <algorithm>

#include "Core/UnicodeText.h"
#include "Platform/PrintableText.h"

namespace kestr {

namespace {

// No line of a menu or a cell is wider than this many characters, so a longer name is
// cut here first: measuring a name of a hundred thousand characters would take long.
constexpr std::size_t longestMeasured = 400;

}  // namespace

QString ShownText::of(const std::string& text) { return QString::fromStdString(UnicodeText::isolatedForDisplay(text)); }

QString ShownText::elided(const std::string& text, const QFontMetricsF& metrics, double width) {
    QString shown = QString::fromStdString(PrintableText::of(UnicodeText::characterPrefix(text, longestMeasured)));
    if (UnicodeText::characterCount(text) > longestMeasured) shown += QChar(0x2026);
    shown = metrics.elidedText(shown, Qt::ElideRight, std::max(0.0, width));
    return of(shown.toStdString());
}

QString ShownText::toolTip(const QString& text) {
    // Kept on its lines, as a plain tooltip is.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}

}  // namespace kestr
