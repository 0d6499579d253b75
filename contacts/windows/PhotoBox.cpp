#include "contacts/windows/PhotoBox.h"

#include "contacts/photo/PhotoFile.h"
#include "platform/ui/Dialogs.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPixmap>

PhotoBox::PhotoBox(QWidget *parent)
    : QLabel(parent)
    , m_choose(new QAction(QStringLiteral("照片选择"), this))
{
    setObjectName(QStringLiteral("pe_img"));
    setFixedSize(kWidth, kHeight);
    setScaledContents(true);
    setFrameShape(QFrame::Box);
    setToolTip(QStringLiteral("需要修改照片时请右击"));
    m_choose->setObjectName(QStringLiteral("photoChoose"));
    connect(m_choose, &QAction::triggered, this, &PhotoBox::choose);
}

void PhotoBox::setPhoto(const QByteArray &bmp)
{
    m_bytes = bmp;
    QPixmap pixmap;
    if (!bmp.isEmpty())
        pixmap.loadFromData(bmp);
    setPixmap(pixmap);
}

void PhotoBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addAction(m_choose);
    menu.exec(event->globalPos());
}

void PhotoBox::choose()
{
    const QString path = Dialogs::openFileName(
        this, QStringLiteral("照片选择"),
        QStringLiteral("照片(*.bmp *.png *.jpg *.jpeg);;BMP格式照片(*.bmp);;PNG或JPEG照片(*.png *.jpg *.jpeg)"));
    if (path.isEmpty())
        return;
    const Result<QByteArray> loaded = PhotoFile::load(path);
    if (!loaded) {
        Dialogs::error(this, loaded.error());
        return;
    }
    setPhoto(*loaded);
}
