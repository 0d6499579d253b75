#pragma once

#include <QWidget>

// The unit converter: six tabs of one-way conversion rows and two reference
// texts. Esc closes it from wherever the focus is.
class Ttools_sub final : public QWidget
{
    Q_OBJECT

public:
    explicit Ttools_sub(QWidget *parent = nullptr);
};
