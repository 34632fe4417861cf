#include "UI/Shell/TrayMenuKeys.h"

#include <QDBusArgument>
#include <QDBusMetaType>
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

// An entry's keys are a list of key presses, each its modifiers then its key.
void writeShortcut(QDBusArgument& argument, const void* data) {
    const auto& presses = *static_cast<const QList<QStringList>*>(data);
    argument.beginArray(QMetaType::fromType<QStringList>());
    for (QStringList press : presses) {
        if (!press.isEmpty()) press.last() = desktopKeyName(press.last());
        argument << press;
    }
    argument.endArray();
}

void readShortcut(const QDBusArgument& argument, void* data) {
    argument >> *static_cast<QList<QStringList>*>(data);
}

}  // namespace

QString desktopKeyName(const QString& qtName) { return renamedKeys().value(qtName, qtName); }

void nameTrayMenuKeysAsTheDesktopDoes() {
    QDBusMetaType::registerMarshallOperators(QMetaType::fromType<QList<QStringList>>(), writeShortcut,
                                             readShortcut);
}

}  // namespace kestr
