#include "App/PngEncoding.h"

#include <QBuffer>
#include <QImageWriter>

namespace kestr {

std::optional<std::string> PngEncoding::encode(const QImage& image, std::string* error) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        if (error) *error = writer.errorString().toStdString();
        return std::nullopt;
    }
    return std::string(png.constData(), static_cast<std::size_t>(png.size()));
}

}  // namespace kestr
