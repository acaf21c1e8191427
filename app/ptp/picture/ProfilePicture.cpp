#include "ProfilePicture.h"

#include <QBuffer>
#include <QPainter>
#include <QPolygonF>

namespace verdan {

QImage renderProfilePicture(const std::vector<float>& elevations, int widthPx, int heightPx,
                            const std::optional<ProfileOverlay>& overlay) {
    QImage image(std::max(widthPx, 21), std::max(heightPx, 21), QImage::Format_RGB32);
    image.fill(Qt::white);
    const ProfilePlot plot = PlotProfile(elevations, image.width(), image.height(), overlay);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const PlotStroke& stroke : plot.strokes) {
        painter.setPen(QPen(QColor::fromRgb(static_cast<QRgb>(stroke.rgb)), 1));
        QPolygonF line;
        for (const QPointF& p : stroke.points)
            line << p;
        painter.drawPolyline(line);
    }
    painter.end();
    return image;
}

QByteArray profilePicturePng(const std::vector<float>& elevations, int widthPx, int heightPx) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!renderProfilePicture(elevations, widthPx, heightPx).save(&buffer, "PNG"))
        return {};
    return png;
}

} // namespace verdan
