#include "tools/windows/UnitPage.h"

#include "platform/ui/Dialogs.h"
#include "tools/windows/KeyPreview.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>

namespace {

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

UnitPage::UnitPage(int tab, int firstRow, QWidget *parent)
    : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    const QList<UnitTable::Row> rows = UnitTable::rowsOf(tab);
    int gridRow = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (tab == UnitTable::kTemperatureTab) {
            addTemperatureRow(grid, rows[i], firstRow + i, gridRow);
            gridRow += 2;
            continue;
        }
        // Rows 1 to 4 and 5 onward stand apart: a line on the length tab, a
        // wider gap on the others.
        if (i == 4) {
            if (tab == 0)
                grid->addWidget(divider(this), gridRow, 0, 1, 5);
            else
                grid->setRowMinimumHeight(gridRow, 16);
            ++gridRow;
        }
        addRow(grid, rows[i], firstRow + i, gridRow++);
    }
    if (tab == UnitTable::kTemperatureTab)
        addHeatFormulas(grid, gridRow);
    else
        grid->setRowStretch(gridRow, 1);
}

UnitPage::Fields UnitPage::addRow(QGridLayout *grid, const UnitTable::Row &row, int index, int gridRow)
{
    const Fields fields{addField(QStringLiteral("Edit%1").arg(2 * index + 1)),
                        addField(QStringLiteral("Edit%1").arg(2 * index + 2))};
    grid->addWidget(fields.input, gridRow, 0);
    grid->addWidget(new QLabel(row.from, this), gridRow, 1);
    grid->addWidget(addButton(row, index, fields), gridRow, 2);
    grid->addWidget(fields.output, gridRow, 3);
    grid->addWidget(new QLabel(row.to, this), gridRow, 4);
    return fields;
}

// On the temperature tab the unit names stand under the fields.
UnitPage::Fields UnitPage::addTemperatureRow(QGridLayout *grid, const UnitTable::Row &row, int index, int gridRow)
{
    const Fields fields{addField(QStringLiteral("Edit%1").arg(2 * index + 1)),
                        addField(QStringLiteral("Edit%1").arg(2 * index + 2))};
    grid->addWidget(fields.input, gridRow, 0);
    grid->addWidget(addButton(row, index, fields), gridRow, 1);
    grid->addWidget(fields.output, gridRow, 2);
    grid->addWidget(new QLabel(row.from, this), gridRow + 1, 0, Qt::AlignHCenter);
    grid->addWidget(new QLabel(row.to, this), gridRow + 1, 2, Qt::AlignHCenter);
    return fields;
}

void UnitPage::addHeatFormulas(QGridLayout *grid, int gridRow)
{
    grid->addWidget(divider(this), gridRow++, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("其它热相关计算公式:"), this), gridRow++, 0, 1, 3);
    QPlainTextEdit *memo = makeMemo(UnitTable::heatFormulas(), this);
    memo->setObjectName(QStringLiteral("Memo1"));
    grid->addWidget(memo, gridRow, 0, 1, 3);
    grid->setRowStretch(gridRow, 1);
}

QPlainTextEdit *UnitPage::makeMemo(const QStringList &lines, QWidget *parent)
{
    auto *memo = new QPlainTextEdit(parent);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, QColor(0xc0, 0xc0, 0xc0));
    memo->setPalette(palette);
    memo->setPlainText(lines.join(u'\n'));
    return memo;
}

QLineEdit *UnitPage::addField(const QString &name)
{
    auto *field = new QLineEdit(QStringLiteral("0"), this);
    field->setObjectName(name);
    // Typed text only: characters from an input method would bypass the filter.
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
    new KeyPreview(field, &UnitPage::rejectsKey);
    return field;
}

QToolButton *UnitPage::addButton(const UnitTable::Row &row, int index, const Fields &fields)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QStringLiteral("SpeedButton%1").arg(index + 1));
    button->setAutoRaise(true);
    button->setToolTip(QStringLiteral("开始转换"));
    button->setIconSize(QSize(24, 24));
    button->setIcon(
        style()->standardIcon(row.rule == UnitTable::Rule::Factor ? QStyle::SP_ArrowRight : QStyle::SP_BrowserReload));
    connect(button, &QToolButton::clicked, this, [this, row, fields] {
        const Result<QString> output = UnitTable::convert(row, fields.input->text());
        if (!output)
            Dialogs::error(this, output.error());
        else
            fields.output->setText(*output);
    });
    return button;
}

// Editing commands (Ctrl+V and the like) and keys that type nothing pass;
// of the typed characters only digits do.
bool UnitPage::rejectsKey(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    if (text.isEmpty() || !text[0].isPrint())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return true;
    return false;
}
