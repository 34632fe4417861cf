#include "UI/Shell/TrayMenuKeys.h"

#include <QHash>
#include <QStringList>

namespace kestr {

namespace {

// Qt's names that differ from the desktop's; letters, digits, arrows, Return, Tab, Home,
// End and the function keys are named alike. The table is aligned by hand.
// clang-format off
const QHash<QString, QString>& renamedKeys() {
    static const QHash<QString, QString> names = {
        {"Backspace", "BackSpace"}, {"Esc", "Escape"},        {"Del", "Delete"},
        {"Ins", "Insert"},          {"PgUp", "Page_Up"},      {"PgDown", "Page_Down"},
        {"Space", "space"},         {"Enter", "KP_Enter"},    {"Backtab", "ISO_Left_Tab"},
        {"!", "exclam"},            {"\"", "quotedbl"},       {"#", "numbersign"},
        {"$", "dollar"},            {"%", "percent"},         {"&", "ampersand"},
        {"'", "apostrophe"},        {"(", "parenleft"},       {")", "parenright"},
        {"*", "asterisk"},          {"+", "plus"},            {",", "comma"},
        {"-", "minus"},             {".", "period"},          {"/", "slash"},
        {":", "colon"},             {";", "semicolon"},       {"<", "less"},
        {"=", "equal"},             {">", "greater"},         {"?", "question"},
        {"@", "at"},                {"[", "bracketleft"},     {"\\", "backslash"},
        {"]", "bracketright"},      {"^", "asciicircum"},     {"_", "underscore"},
        {"`", "grave"},             {"{", "braceleft"},       {"|", "bar"},
        {"}", "braceright"},        {"~", "asciitilde"},
    };
    return names;
}
// clang-format on

}  // namespace

QString desktopKeyName(const QString& qtName) { return renamedKeys().value(qtName, qtName); }

}  // namespace kestr
