// A Qt Widgets program whose window lies under the pointer and does nothing with what it
// hears: what a window of the toolkit costs while the pointer moves over it, measured
// beside kestr, whose edge handle is such a window. The window's left edge, top, width
// and height are its arguments.
#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

class Window : public QWidget {
public:
    Window() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint | Qt::Tool) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::gray); }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 5) return 2;
    Window window;
    window.setGeometry(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    window.show();
    return app.exec();
}
