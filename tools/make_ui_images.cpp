// Draws the desktop program's images into src/ui/resources: the application icon in several
// sizes, the about box's logo and the two 16 x 16 marks of the list's "Deleted" column (the logo
// and the marks with their twins for screens at twice the density). Run scripts/make-ui-images.sh after changing a drawing.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

// A transparent square of size pixels, on which draw paints a drawing made units wide.
template <typename Draw>
QImage Drawn(int size, double units, Draw draw) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / units, size / units);
    draw(p);
    p.end();
    return image;
}

// A ruled sheet (the table) on a blue tile, with a quill lying across its upper right corner.
QImage AppIcon(int size) {
    const bool small = size <= 24;
    return Drawn(size, 256, [small](QPainter& p) {
        QLinearGradient tile(0, 0, 0, 256);
        tile.setColorAt(0, QColor(0x2f, 0x6f, 0xb8));
        tile.setColorAt(1, QColor(0x1b, 0x46, 0x82));
        p.setPen(Qt::NoPen);
        p.setBrush(tile);
        p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

        const QRectF sheet(40, 60, 150, 156);
        p.setBrush(QColor(0xfb, 0xfc, 0xfe));
        p.drawRoundedRect(sheet, 12, 12);
        QPainterPath outline;
        outline.addRoundedRect(sheet, 12, 12);
        p.save();
        p.setClipPath(outline);
        p.fillRect(QRectF(sheet.left(), sheet.top(), sheet.width(), 36), QColor(0xbf, 0xd6, 0xf2));
        p.restore();

        p.setPen(QPen(QColor(0x8a, 0xa4, 0xc4), small ? 10 : 5));
        const int rows = small ? 2 : 4;
        for (int r = 1; r <= rows; ++r) {
            const double y = sheet.top() + 36 + r * (sheet.height() - 36) / (rows + 1);
            p.drawLine(QPointF(sheet.left() + 10, y), QPointF(sheet.right() - 10, y));
        }
        p.drawLine(QPointF(sheet.left() + 52, sheet.top() + 8), QPointF(sheet.left() + 52, sheet.bottom() - 10));

        // The quill: a curved vane round a shaft, from the nib at the sheet up to the tile's corner.
        p.save();
        p.translate(112, 182);
        p.rotate(42);
        QPainterPath vane;
        vane.moveTo(0, 0);
        vane.cubicTo(22, -34, 30, -96, 12, -150);
        vane.cubicTo(-8, -120, -24, -62, 0, 0);
        QLinearGradient gold(-20, 0, 30, 0);
        gold.setColorAt(0, QColor(0xf4, 0xb3, 0x3e));
        gold.setColorAt(1, QColor(0xe0, 0x7b, 0x1a));
        p.setPen(QPen(QColor(0x7a, 0x3e, 0x08), small ? 6 : 3));
        p.setBrush(gold);
        p.drawPath(vane);
        if (!small) {
            p.setPen(QPen(QColor(0x7a, 0x3e, 0x08), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(0, 10), QPointF(10, -140));
            p.setPen(QPen(QColor(0xff, 0xe2, 0xa8, 200), 3, Qt::SolidLine, Qt::RoundCap));
            for (int i = 0; i < 5; ++i) {
                const double y = -30 - i * 22;
                p.drawLine(QPointF(2 - y * 0.06, y), QPointF(16 - y * 0.03, y - 12));
            }
        }
        p.setPen(QPen(QColor(0x33, 0x33, 0x33), small ? 10 : 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0), QPointF(-2, 16));
        p.restore();
    });
}

// The about box's logo: the icon lifted off the dialog by a soft shadow.
QImage AboutLogo(int size) {
    return Drawn(size, 64, [size](QPainter& p) {
        for (int ring = 6; ring >= 1; --ring) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, 10));
            p.drawRoundedRect(QRectF(4 - ring * 0.5, 6 - ring * 0.3, 56 + ring, 56 + ring), 11, 11);
        }
        // The icon drawn at the logo's own resolution, not scaled from another size.
        p.drawImage(QRectF(2, 1, 60, 60), AppIcon(size * 60 / 64));
    });
}

// Image 1: a deleted record, a white cross on a red disc.
QImage DeletedMark(int size) {
    return Drawn(size, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(0x9b, 0x1c, 0x1c), 0.8));
        p.setBrush(QColor(0xd9, 0x3f, 0x3f));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.3, 5.3), QPointF(10.7, 10.7));
        p.drawLine(QPointF(10.7, 5.3), QPointF(5.3, 10.7));
    });
}

// Image 2: a live record, a green tick.
QImage LiveMark(int size) {
    return Drawn(size, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(0x2b, 0x8a, 0x3e), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(3.5, 8.5);
        tick.lineTo(6.6, 11.5);
        tick.lineTo(12.5, 4.5);
        p.drawPath(tick);
    });
}

bool Save(const QImage& image, const QDir& folder, const QString& name) {
    if (image.save(folder.filePath(name), "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(name)));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_ui_images OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        ok &= Save(AppIcon(size), folder, QStringLiteral("quillet-%1.png").arg(size));
    }
    ok &= Save(AboutLogo(64), folder, QStringLiteral("about-logo.png"));
    ok &= Save(AboutLogo(128), folder, QStringLiteral("about-logo@2x.png"));
    ok &= Save(DeletedMark(16), folder, QStringLiteral("deleted.png"));
    ok &= Save(DeletedMark(32), folder, QStringLiteral("deleted@2x.png"));
    ok &= Save(LiveMark(16), folder, QStringLiteral("live.png"));
    ok &= Save(LiveMark(32), folder, QStringLiteral("live@2x.png"));
    return ok ? 0 : 1;
}
