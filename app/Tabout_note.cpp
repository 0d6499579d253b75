#include "Tabout_note.h"

#include "AppPaths.h"

#include <QFrame>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

QLabel *addLabel(QWidget *parent, const QString &name, const QString &text, QPoint at, int pixelSize = 0)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    if (pixelSize > 0) {
        QFont font = label->font();
        font.setPixelSize(pixelSize);
        label->setFont(font);
    }
    label->move(at);
    label->adjustSize();
    return label;
}

QFrame *addRule(QWidget *parent, const QString &name, QRect geometry)
{
    auto *rule = new QFrame(parent);
    rule->setObjectName(name);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(geometry);
    return rule;
}

} // namespace

Tabout_note::Tabout_note(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Tabout_note"));
    setWindowTitle(QStringLiteral("关于我们"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(537, 356);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setGeometry(16, 16, 169, 209);
    m_picture->setAlignment(Qt::AlignCenter);

    addLabel(this, QStringLiteral("Label1"), AppPaths::kApplicationTitle, {200, 20}, 27);
    addLabel(this, QStringLiteral("Label2"), QStringLiteral("Ver 1.21"), {460, 34});
    addRule(this, QStringLiteral("Bevel1"), {200, 62, 320, 2});
    auto *purpose = addLabel(this, QStringLiteral("Label3"),
                             QStringLiteral("主要功能是为商务人士提供记事,日程安排,通讯录等功能."), {200, 76});
    purpose->setWordWrap(true);
    purpose->setGeometry(200, 76, 320, 40);
    addLabel(this, QStringLiteral("Label4"), QStringLiteral("Velmora计算机技术有限公司"), {200, 128}, 16);
    addLabel(this, QStringLiteral("Label5"), QStringLiteral("电话: 0571-8800 1210"), {200, 160});
    addLabel(this, QStringLiteral("Label6"), QStringLiteral("网址: www.velmora.example"), {200, 182});
    addLabel(this, QStringLiteral("Label7"), QStringLiteral("邮箱: support@velmora.example"), {200, 204});
    addRule(this, QStringLiteral("Bevel2"), {16, 290, 505, 2});

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setGeometry(430, 306, 90, 30);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void Tabout_note::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    loadPicture();
}

// Without pic/copy.bmp the program's own emblem stands in, so the window
// never shows an empty hole.
void Tabout_note::loadPicture()
{
    QImageReader reader(AppPaths::file(QStringLiteral("pic/copy.bmp")));
    QImage image = reader.read();
    if (image.isNull())
        image = QImage(QStringLiteral(":/icons/note.png"));
    m_picture->setPixmap(QPixmap::fromImage(image).scaled(m_picture->size(), Qt::KeepAspectRatio,
                                                         Qt::SmoothTransformation));
}
