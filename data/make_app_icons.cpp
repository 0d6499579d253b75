// Draws the program's icon in the hicolor theme sizes (icons/hicolor/NxN/velmora.png).
// Run once by hand with the offscreen platform; the results are committed.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QString dir = argv[1];
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImage img(size, size, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, 0, size);
        g.setColorAt(0, QColor(0x5b, 0xa8, 0xf5));
        g.setColorAt(1, QColor(0x1f, 0x6f, 0xc4));
        qreal m = size * 0.05, r = size * 0.19;
        QPainterPath path;
        path.addRoundedRect(QRectF(m, m, size - 2 * m, size - 2 * m), r, r);
        p.fillPath(path, g);
        QFont f("WenQuanYi Micro Hei");
        f.setPixelSize(size * 0.55);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, size >= 24 ? "记" : "V");
        p.end();
        QDir().mkpath(dir + QString("/%1x%1").arg(size));
        img.save(dir + QString("/%1x%1/velmora.png").arg(size));
    }
}
