#include "TextFit.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTableView>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace TextFit {
namespace {

// A text as the window draws it: the room the widget gives it and the size
// it needs, both in the widget's own coordinates.
struct Caption
{
    Caption(const QWidget *widget, const QString &text)
        : widget(widget)
        , text(text)
    {
    }

    const QWidget *widget;
    QString text;
    QRect room;
    QSize needed;
    Qt::Alignment alignment = Qt::AlignCenter;
    // Where the text lands, which may stick out of the room; set from the
    // room and the alignment unless the style places it.
    QRect drawn;
    // What other captions must not overlap: the text, or the whole control
    // for buttons a user clicks.
    QRect body;
};

QString nameOf(const QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

QString describe(const QWidget *widget, const QString &text)
{
    return QStringLiteral("%1 \"%2\"").arg(nameOf(widget), text);
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QRect drawnRect(const Caption &caption)
{
    if (caption.drawn.isValid())
        return caption.drawn;
    return QStyle::alignedRect(caption.widget->layoutDirection(), caption.alignment, caption.needed, caption.room);
}

// The widest line of a cell or caption that may hold line breaks.
int widestLine(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

std::optional<Caption> labelCaption(const QLabel *label)
{
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return std::nullopt;
    Caption caption(label, label->text());
    const int margin = label->margin();
    caption.room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    caption.alignment = label->alignment();
    const QFontMetrics metrics(label->font());
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = metrics.horizontalAdvance(u'x') / 2;
    if (indent > 0)
        caption.room.adjust(caption.alignment & Qt::AlignLeft ? indent : 0, 0,
                            caption.alignment & Qt::AlignRight ? -indent : 0, 0);
    const bool rich = label->textFormat() == Qt::RichText
                      || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (rich) {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        document.setHtml(label->text());
        if (label->wordWrap())
            document.setTextWidth(caption.room.width());
        caption.needed = QSize(int(std::ceil(label->wordWrap() ? document.size().width() : document.idealWidth())),
                               int(std::ceil(document.size().height())));
    } else if (label->wordWrap()) {
        caption.needed =
            metrics.boundingRect(QRect(0, 0, caption.room.width(), 1 << 20), Qt::TextWordWrap, label->text())
                .size()
                .boundedTo(QSize(caption.room.width(), 1 << 20));
    } else {
        caption.needed = metrics.size(0, label->text());
    }
    caption.body = drawnRect(caption);
    return caption;
}

QStyleOptionButton buttonOption(const QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    return option;
}

// The text beside its icon, as a button draws it.
QSize textAndIcon(const QAbstractButton *button)
{
    QSize size = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    if (!button->icon().isNull()) {
        size.rwidth() += button->iconSize().width() + 4;
        size.setHeight(std::max(size.height(), button->iconSize().height()));
    }
    return size;
}

std::optional<Caption> buttonCaption(const QAbstractButton *button)
{
    if (button->text().isEmpty())
        return std::nullopt;
    Caption caption(button, button->text());
    caption.body = button->rect();
    QStyleOptionButton option = buttonOption(button);
    const QStyle *style = button->style();
    if (auto *tool = qobject_cast<const QToolButton *>(button)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            return std::nullopt;
        caption.room = tool->rect();
        caption.needed = tool->sizeHint();
    } else if (qobject_cast<const QCheckBox *>(button)) {
        caption.room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, button);
        caption.needed = textAndIcon(button);
        caption.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    } else if (qobject_cast<const QRadioButton *>(button)) {
        caption.room = style->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
        caption.needed = textAndIcon(button);
        caption.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    } else {
        if (auto *push = qobject_cast<const QPushButton *>(button)) {
            if (push->autoDefault() || push->isDefault())
                option.features |= QStyleOptionButton::AutoDefaultButton;
            if (push->menu())
                option.features |= QStyleOptionButton::HasMenu;
        }
        caption.room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        caption.needed = textAndIcon(button);
        if (option.features & QStyleOptionButton::HasMenu)
            caption.needed.rwidth() += style->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, button);
    }
    return caption;
}

std::optional<Caption> groupBoxCaption(const QGroupBox *box)
{
    if (box->title().isEmpty())
        return std::nullopt;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (box->isFlat())
        option.features |= QStyleOptionFrame::Flat;
    const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    // The style places the title by its width; the box is its room.
    Caption caption(box, box->title());
    caption.room = box->rect();
    caption.needed = title.size();
    caption.drawn = title;
    caption.body = title;
    return caption;
}

// A value field: the text that shows in its line, where a field scrolls
// rather than clips; only its height and a field too narrow for what it
// holds count.
std::optional<Caption> lineEditCaption(const QLineEdit *edit)
{
    const QString shown = edit->displayText();
    if (shown.isEmpty())
        return std::nullopt;
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.state |= QStyle::State_Sunken;
    QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    room = room.marginsRemoved(edit->textMargins()).adjusted(2, 1, -2, -1);
    Caption caption(edit, shown);
    caption.room = room;
    caption.needed = edit->fontMetrics().size(0, shown);
    caption.alignment = edit->alignment();
    caption.body = drawnRect(caption);
    return caption;
}

std::optional<Caption> captionOf(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return labelCaption(label);
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return buttonCaption(button);
    if (auto *box = qobject_cast<const QGroupBox *>(widget))
        return groupBoxCaption(box);
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return lineEditCaption(edit);
    return std::nullopt;
}

// A scrolling area shows what its viewport shows; that is no clipping.
bool isScrolledViewport(const QWidget *widget)
{
    auto *area = qobject_cast<const QAbstractScrollArea *>(widget->parentWidget());
    return area && area->viewport() == widget;
}

// The widget that cuts `rect` (in `widget`'s coordinates), itself or one on
// the way up to the window, if any.
const QWidget *cutBy(const QWidget *widget, QRect rect, const QWidget *window)
{
    if (!widget->rect().contains(rect))
        return widget;
    for (const QWidget *child = widget; child != window && child->parentWidget();) {
        const QWidget *parent = child->parentWidget();
        if (isScrolledViewport(parent))
            return nullptr;
        rect.translate(child->pos());
        if (!parent->rect().contains(rect))
            return parent;
        child = parent;
    }
    return nullptr;
}

void checkCaption(const Caption &caption, const QWidget *window, QStringList &faults)
{
    const QString what = describe(caption.widget, caption.text);
    if (caption.needed.width() > caption.room.width() || caption.needed.height() > caption.room.height()) {
        faults
            << QStringLiteral("%1 needs %2, has %3").arg(what, sizeText(caption.needed), sizeText(caption.room.size()));
        return;
    }
    if (const QWidget *parent = cutBy(caption.widget, drawnRect(caption), window))
        faults << QStringLiteral("%1 is cut off by %2").arg(what, nameOf(parent));
}

void checkOverlaps(const QList<Caption> &captions, QStringList &faults)
{
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const Caption &a = captions[i];
        for (qsizetype j = i + 1; j < captions.size(); ++j) {
            const Caption &b = captions[j];
            if (a.widget->parentWidget() != b.widget->parentWidget())
                continue;
            const QRect bodyA = a.body.translated(a.widget->pos());
            const QRect bodyB = b.body.translated(b.widget->pos());
            if (bodyA.intersects(bodyB))
                faults << QStringLiteral("%1 overlaps %2").arg(describe(a.widget, a.text), describe(b.widget, b.text));
        }
    }
}

void checkTabs(const QTabBar *bar, QStringList &faults)
{
    const int space = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
    for (int i = 0; i < bar->count(); ++i) {
        if (!bar->isTabVisible(i))
            continue;
        const QString text = bar->tabText(i);
        const QRect tab = bar->tabRect(i);
        const int needed = bar->fontMetrics().size(Qt::TextShowMnemonic, text).width() + space;
        // Tabs at the left or right edge run their text from top to bottom.
        const QTabBar::Shape shape = bar->shape();
        const bool upright = shape == QTabBar::RoundedWest || shape == QTabBar::RoundedEast
                             || shape == QTabBar::TriangularWest || shape == QTabBar::TriangularEast;
        const int length = upright ? tab.height() : tab.width();
        if (length < needed)
            faults << QStringLiteral("%1 needs %2 px, has %3").arg(describe(bar, text)).arg(needed).arg(length);
        else if (!bar->rect().contains(tab))
            faults << QStringLiteral("%1 is cut off by the tab bar").arg(describe(bar, text));
    }
}

// A text `needed` pixels wide at `x` in a column `width` wide, in a viewport
// `visible` wide: what is wrong with it, if anything.
QString columnFault(int x, int width, int needed, int visible)
{
    if (width < needed)
        return QStringLiteral("needs %1 px, has %2").arg(needed).arg(width);
    if (x + needed > visible)
        return QStringLiteral("is cut off by the edge of the list");
    return {};
}

void checkHeader(const QHeaderView *header, QStringList &faults)
{
    if (header->orientation() != Qt::Horizontal || !header->model())
        return;
    QFont font = header->font();
    // A section over a selected column is drawn bold.
    if (header->highlightSections())
        font.setBold(true);
    const QFontMetrics metrics(font);
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int section = 0; section < header->count(); ++section) {
        if (header->isSectionHidden(section))
            continue;
        const QString text = header->model()->headerData(section, Qt::Horizontal).toString();
        if (text.isEmpty())
            continue;
        int needed = widestLine(metrics, text) + 2 * margin;
        if (header->isSortIndicatorShown() && header->sortIndicatorSection() == section)
            needed += header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + margin;
        const QString fault = columnFault(header->sectionViewportPosition(section), header->sectionSize(section),
                                          needed, header->viewport()->width());
        if (!fault.isEmpty())
            faults << describe(header, text) + u' ' + fault;
    }
}

// Cells of the rows in sight; one line per column at most.
void checkCells(const QTableView *view, QStringList &faults)
{
    const QAbstractItemModel *model = view->model();
    const int visible = view->viewport()->width();
    if (!model || model->rowCount() == 0)
        return;
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int first = std::max(view->rowAt(0), 0);
    int last = view->rowAt(view->viewport()->height() - 1);
    if (last < 0)
        last = model->rowCount() - 1;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (view->isColumnHidden(column))
            continue;
        for (int row = first; row <= last; ++row) {
            const QModelIndex index = model->index(row, column);
            const QString text = index.data().toString();
            if (text.isEmpty() || view->isRowHidden(row))
                continue;
            const QVariant cellFont = index.data(Qt::FontRole);
            const QFontMetrics metrics(cellFont.isValid() ? cellFont.value<QFont>() : view->font());
            const QString fault = columnFault(view->columnViewportPosition(column), view->columnWidth(column),
                                              widestLine(metrics, text) + 2 * margin, visible);
            if (!fault.isEmpty()) {
                faults
                    << QStringLiteral("%1 cell (%2, %3) %4").arg(describe(view, text)).arg(row).arg(column).arg(fault);
                break;
            }
        }
    }
}

QList<const QWidget *> shownWidgets(const QWidget *window)
{
    QList<const QWidget *> shown;
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isVisibleTo(window))
            shown << widget;
    }
    return shown;
}

} // namespace

QStringList clippedTexts(const QWidget *window)
{
    QStringList faults;
    QList<Caption> captions;
    for (const QWidget *widget : shownWidgets(window)) {
        if (const auto caption = captionOf(widget)) {
            checkCaption(*caption, window, faults);
            if (!qobject_cast<const QLineEdit *>(widget))
                captions << *caption;
        } else if (auto *bar = qobject_cast<const QTabBar *>(widget)) {
            checkTabs(bar, faults);
        } else if (auto *header = qobject_cast<const QHeaderView *>(widget)) {
            checkHeader(header, faults);
        } else if (auto *table = qobject_cast<const QTableView *>(widget)) {
            checkCells(table, faults);
        }
    }
    checkOverlaps(captions, faults);
    return faults;
}

QStringList narrowTextAreas(const QWidget *window, int characters)
{
    QStringList faults;
    for (const QWidget *widget : shownWidgets(window)) {
        if (!qobject_cast<const QPlainTextEdit *>(widget) && !qobject_cast<const QTextEdit *>(widget))
            continue;
        const auto *area = static_cast<const QAbstractScrollArea *>(widget);
        const int needed = characters * area->fontMetrics().horizontalAdvance(u'中');
        if (area->viewport()->width() < needed)
            faults << QStringLiteral("%1 holds %2 px a line, %3 characters need %4")
                          .arg(nameOf(area))
                          .arg(area->viewport()->width())
                          .arg(characters)
                          .arg(needed);
    }
    return faults;
}

QStringList faults(const QWidget *window, int characters)
{
    return clippedTexts(window) + narrowTextAreas(window, characters);
}

ScaledFont::ScaledFont(qreal scale)
    : m_desktop(QApplication::font())
{
    QFont font = m_desktop;
    font.setPointSizeF(m_desktop.pointSizeF() * scale);
    QApplication::setFont(font);
}

ScaledFont::~ScaledFont()
{
    QApplication::setFont(m_desktop);
}

void saveShot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("VELMORA_WINDOW_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QString file = name;
    file.replace(QRegularExpression(QStringLiteral("[^\\w-]+")), QStringLiteral("_"));
    window->grab().save(QDir(folder).filePath(file + QStringLiteral(".png")));
}

} // namespace TextFit
