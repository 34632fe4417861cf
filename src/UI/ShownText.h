// Names and titles that come from other programs or from a kest file, as the user
// interface shows them: control characters, line separators and direction overrides
// become visible marks, and the whole stands isolated, so that it neither breaks its line
// nor reorders the text around it. A long name is cut with "…" to the room it has.
// Labels that show such names take them as plain text; a tooltip cannot be told so.
#pragma once

#include <QString>
#include <string>

class QFontMetricsF;

namespace kestr {

struct ShownText {
    static QString of(const std::string& text);
    // Cut with "…" to fit `width` pixels in `metrics`; the isolating marks stay whole.
    static QString elided(const std::string& text, const QFontMetricsF& metrics, double width);
    // A tooltip that reads letter for letter: Qt takes one that looks like markup for
    // markup, so such a text goes as markup that says it.
    static QString toolTip(const QString& text);
};

}  // namespace kestr
