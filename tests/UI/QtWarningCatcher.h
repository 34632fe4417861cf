// Catches Qt's warnings while it lives, so a test can fail on one it must not see.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <string>

namespace kestr::test {

class QtWarningCatcher {
public:
    QtWarningCatcher() : previous_(qInstallMessageHandler(&QtWarningCatcher::handle)) { caught().clear(); }
    ~QtWarningCatcher() { qInstallMessageHandler(previous_); }

    // The caught warnings that contain `text`, one a line.
    std::string containing(const QString& text) const { return caught().filter(text).join('\n').toStdString(); }

private:
    static QStringList& caught() {
        static QStringList messages;
        return messages;
    }
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtWarningMsg || type == QtCriticalMsg) caught().append(message);
    }
    QtMessageHandler previous_;
};

}  // namespace kestr::test
