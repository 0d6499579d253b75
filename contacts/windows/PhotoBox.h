#pragma once

#include <QByteArray>
#include <QLabel>

class QAction;

// The contact's photo, stretched over a 145 by 185 box. It keeps the BMP
// bytes it shows, which are what a save stores. Its context menu chooses a
// new picture; nothing is stored until the tab is saved.
class PhotoBox final : public QLabel
{
    Q_OBJECT

public:
    static constexpr int kWidth = 145;
    static constexpr int kHeight = 185;

    explicit PhotoBox(QWidget *parent = nullptr);

    QByteArray photo() const { return m_bytes; }
    // Empty bytes empty the box; bytes that are no picture show nothing but
    // are kept, so a save writes back what was stored.
    void setPhoto(const QByteArray &bmp);
    QAction *chooseAction() const { return m_choose; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void choose();

    QByteArray m_bytes;
    QAction *m_choose = nullptr;
};
