// Draws the program's own pictures (button icons, about picture, placeholder
// photo). Run once by hand with the offscreen platform; the results are committed.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
int icon(const char *name, const QString &glyph, QColor a, QColor b, const QString &dir)
{
    for (int size : {64}) {
        QImage img(size, size, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, 0, size);
        g.setColorAt(0, a);
        g.setColorAt(1, b);
        QPainterPath path;
        path.addRoundedRect(QRectF(3, 3, size - 6, size - 6), 12, 12);
        p.fillPath(path, g);
        p.setPen(QPen(b.darker(130), 2));
        p.drawPath(path);
        QFont f("WenQuanYi Micro Hei");
        f.setPixelSize(size * 0.5);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph);
        p.end();
        img.save(dir + "/" + name + ".png");
    }
    return 0;
}
int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QString dir = argv[1];
    icon("note", "记", QColor(0x5b, 0xa8, 0xf5), QColor(0x1f, 0x6f, 0xc4), dir);
    icon("schedule", "程", QColor(0xf7, 0xb0, 0x4a), QColor(0xd9, 0x7a, 0x10), dir);
    icon("contacts", "友", QColor(0x6c, 0xcf, 0x7a), QColor(0x2e, 0x96, 0x45), dir);
    icon("tools", "箱", QColor(0xb3, 0x8b, 0xe8), QColor(0x72, 0x4c, 0xb8), dir);
    icon("exit", "退", QColor(0xf2, 0x77, 0x77), QColor(0xc0, 0x39, 0x39), dir);
    icon("calc", "算", QColor(0x5b, 0xa8, 0xf5), QColor(0x1f, 0x6f, 0xc4), dir);
    icon("convert", "换", QColor(0xf7, 0xb0, 0x4a), QColor(0xd9, 0x7a, 0x10), dir);
    icon("stopwatch", "时", QColor(0x6c, 0xcf, 0x7a), QColor(0x2e, 0x96, 0x45), dir);
    icon("region", "区", QColor(0xb3, 0x8b, 0xe8), QColor(0x72, 0x4c, 0xb8), dir);
    // about picture 169x209 and placeholder photo 145x185
    QImage about(169, 209, QImage::Format_RGB32);
    {
        QPainter p(&about);
        QLinearGradient g(0, 0, 0, 209);
        g.setColorAt(0, QColor(0x2a, 0x5d, 0x9f));
        g.setColorAt(1, QColor(0x9c, 0xc6, 0xf0));
        p.fillRect(about.rect(), g);
        p.setRenderHint(QPainter::Antialiasing);
        QFont f("WenQuanYi Micro Hei");
        f.setPixelSize(64);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 20, 169, 100), Qt::AlignCenter, "V");
        f.setPixelSize(18);
        f.setBold(false);
        p.setFont(f);
        p.drawText(QRect(0, 120, 169, 40), Qt::AlignCenter, "Velmora");
        p.drawText(QRect(0, 150, 169, 40), Qt::AlignCenter, "商务记事本");
    }
    about.save(dir + "/copy.bmp");
    QImage photo(145, 185, QImage::Format_RGB32);
    {
        QPainter p(&photo);
        p.fillRect(photo.rect(), QColor(0xee, 0xee, 0xee));
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0xbb, 0xbb, 0xbb));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(72.5, 70), 30, 32);
        p.drawEllipse(QRectF(22, 110, 101, 100));
        QFont f("WenQuanYi Micro Hei");
        f.setPixelSize(14);
        p.setFont(f);
        p.setPen(QColor(0x88, 0x88, 0x88));
        p.drawText(QRect(0, 150, 145, 30), Qt::AlignCenter, "无照片");
    }
    photo.save(dir + "/null_pic.bmp");
}
