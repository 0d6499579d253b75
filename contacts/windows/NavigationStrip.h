#pragma once

#include <QFrame>

class QLabel;

// The yellow strip under the search area while a search found several rows:
// the row count, the current position and four moves.
class NavigationStrip final : public QFrame
{
    Q_OBJECT

public:
    // The least height; a larger desktop font makes the strip taller.
    static constexpr int kHeight = 30;

    explicit NavigationStrip(QWidget *parent = nullptr);

    int bandHeight() const;
    void setCount(int count);
    // 1-based.
    void setPosition(int position);

signals:
    void firstRequested();
    void previousRequested();
    void nextRequested();
    void lastRequested();

private:
    QLabel *m_count = nullptr;
    QLabel *m_position = nullptr;
};
