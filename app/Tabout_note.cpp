#include "app/Tabout_note.h"

#include "platform/AppPaths.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLabel *addLabel(QWidget *parent, const QString &name, const QString &text, int pixelSize = 0)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    if (pixelSize > 0) {
        QFont font = label->font();
        font.setPixelSize(pixelSize);
        label->setFont(font);
    }
    return label;
}

QFrame *addRule(QWidget *parent, const QString &name)
{
    auto *rule = new QFrame(parent);
    rule->setObjectName(name);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    return rule;
}

} // namespace

// The picture on the left; on the right the title with the version, a rule,
// the purpose, the maker and three contact lines; a rule across the bottom
// and "确定". 537 by 356 pixels on a small font; larger text makes it larger.
Tabout_note::Tabout_note(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Tabout_note"));
    setWindowTitle(QStringLiteral("关于我们"));
    setWindowModality(Qt::ApplicationModal);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setFixedSize(169, 209);
    m_picture->setAlignment(Qt::AlignCenter);

    auto *title = new QHBoxLayout;
    title->addWidget(addLabel(this, QStringLiteral("Label1"), AppPaths::kApplicationTitle, 27));
    title->addWidget(addLabel(this, QStringLiteral("Label2"), QStringLiteral("Ver 1.21")), 0, Qt::AlignBottom);
    title->addStretch();
    auto *purpose =
        addLabel(this, QStringLiteral("Label3"), QStringLiteral("主要功能是为商务人士提供记事,日程安排,通讯录等功能."));
    purpose->setWordWrap(true);
    purpose->setMinimumWidth(320);
    // Its wrapped height as the right column's width gives it.
    purpose->setMinimumHeight(purpose->heightForWidth(320));
    auto *text = new QVBoxLayout;
    text->addLayout(title);
    text->addWidget(addRule(this, QStringLiteral("Bevel1")));
    text->addWidget(purpose);
    text->addSpacing(8);
    text->addWidget(addLabel(this, QStringLiteral("Label4"), QStringLiteral("Velmora计算机技术有限公司"), 16));
    text->addSpacing(8);
    text->addWidget(addLabel(this, QStringLiteral("Label5"), QStringLiteral("电话: 0571-8800 1210")));
    text->addWidget(addLabel(this, QStringLiteral("Label6"), QStringLiteral("网址: www.velmora.example")));
    text->addWidget(addLabel(this, QStringLiteral("Label7"), QStringLiteral("邮箱: support@velmora.example")));
    text->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(m_picture, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(text, 1);

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setMinimumSize(90, 30);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(top, 1);
    layout->addWidget(addRule(this, QStringLiteral("Bevel2")));
    layout->addWidget(ok, 0, Qt::AlignRight);
    setFixedSize(layout->totalSizeHint().expandedTo(QSize(537, 356)));

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
    m_picture->setPixmap(
        QPixmap::fromImage(image).scaled(m_picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
