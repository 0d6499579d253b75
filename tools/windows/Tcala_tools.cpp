#include "tools/windows/Tcala_tools.h"

#include "platform/ui/Dialogs.h"
#include "tools/windows/KeyPreview.h"
#include "tools/windows/Placement.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

Tcala_tools::Tcala_tools(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Tcala_tools"));
    setWindowTitle(QStringLiteral("计算器"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
    setPalette(palette);

    auto *grid = new QGridLayout(this);
    m_display = new QLineEdit(this);
    m_display->setObjectName(QStringLiteral("edit1"));
    grid->addWidget(m_display, 0, 0, 1, 4);
    // What the user types into the field is the display too.
    connect(m_display, &QLineEdit::textEdited, this, [this](const QString &text) { m_calculator.setDisplay(text); });
    buildOptions(grid);
    buildKeypad(grid);

    new KeyPreview(this, [this](QKeyEvent *event) { return previewKey(event); });
    clearEntry();
    adjustSize();
    Placement::centreOnScreen(this);
}

void Tcala_tools::buildOptions(QGridLayout *grid)
{
    auto *rounding = new QButtonGroup(this);
    const std::pair<const char *, int> options[] = {{"rb1", 1}, {"rb2", 2}};
    for (const auto &[name, decimals] : options) {
        auto *option = new QRadioButton(decimals == 1 ? QStringLiteral("0.0") : QStringLiteral("0.00"), this);
        option->setObjectName(QString::fromLatin1(name));
        rounding->addButton(option);
        grid->addWidget(option, 1, decimals - 1);
        connect(option, &QRadioButton::toggled, this,
                [this, places = decimals](bool checked) { roundingChosen(places, checked); });
    }
    connect(addKey(grid, QStringLiteral("Button15"), QStringLiteral("CE"), 1, 2), &QPushButton::clicked, this,
            &Tcala_tools::clearEntry);
    connect(addKey(grid, QStringLiteral("Button14"), QStringLiteral("BackSpace"), 1, 3), &QPushButton::clicked, this,
            [this] {
                m_calculator.backspace();
                showDisplay();
            });
}

void Tcala_tools::buildKeypad(QGridLayout *grid)
{
    for (int d = 0; d <= 9; ++d) {
        const int row = d == 0 ? 5 : 2 + (d - 1) / 3;
        const int column = d == 0 ? 0 : (d - 1) % 3;
        QPushButton *key = addKey(grid, QStringLiteral("b%1").arg(d), QString::number(d), row, column);
        m_keys.insert(QChar(u'0' + d), key);
        connect(key, &QPushButton::clicked, this, [this, d] {
            m_calculator.digit(d);
            showDisplay();
        });
    }
    const std::tuple<const char *, char16_t, int, int> operators[] = {
        {"bx", u'*', 2, 3}, {"bc", u'/', 3, 3}, {"bj", u'-', 4, 3}, {"bjj", u'+', 5, 3}};
    for (const auto &[name, op, row, column] : operators) {
        QPushButton *key = addKey(grid, QString::fromLatin1(name), QString(QChar(op)), row, column);
        m_keys.insert(QChar(op), key);
        connect(key, &QPushButton::clicked, this, [this, sign = op] { m_calculator.setOperator(QChar(sign)); });
    }
    QPushButton *point = addKey(grid, QStringLiteral("bd"), QStringLiteral("."), 5, 1);
    m_keys.insert(u'.', point);
    connect(point, &QPushButton::clicked, this, [this] {
        m_calculator.point();
        showDisplay();
    });
    QPushButton *equals = addKey(grid, QStringLiteral("bdd"), QStringLiteral("="), 5, 2);
    m_keys.insert(u'=', equals);
    connect(equals, &QPushButton::clicked, this, [this] { showOutcome(m_calculator.equals()); });
}

QPushButton *Tcala_tools::addKey(QGridLayout *grid, const QString &name, const QString &text, int row, int column)
{
    auto *key = new QPushButton(text, this);
    key->setObjectName(name);
    grid->addWidget(key, row, column);
    return key;
}

// A typed character that names a button presses it and goes no further.
bool Tcala_tools::previewKey(QKeyEvent *event)
{
    if (event->text().size() != 1 || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    QPushButton *key = m_keys.value(event->text()[0]);
    if (!key)
        return false;
    key->click();
    return true;
}

void Tcala_tools::clearEntry()
{
    m_calculator.clearEntry();
    m_display->setText(m_calculator.display());
    m_display->setFocus();
}

void Tcala_tools::showDisplay()
{
    if (m_display->text() != m_calculator.display())
        m_display->setText(m_calculator.display());
}

// A failed action changed nothing; its error goes to the standard box.
void Tcala_tools::showOutcome(const Result<void> &outcome)
{
    if (!outcome)
        Dialogs::error(this, outcome.error());
    else
        showDisplay();
}

// An option acts once, when it becomes selected; the selection stays even
// when the display cannot be read.
void Tcala_tools::roundingChosen(int decimals, bool checked)
{
    if (checked)
        showOutcome(m_calculator.roundTo(decimals));
}
