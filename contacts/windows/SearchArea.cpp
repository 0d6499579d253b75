#include "contacts/windows/SearchArea.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace {

const char *const kKindNames[] = {"kindName",         "kindMobile",   "kindUnitName",
                                  "kindPersonalMemo", "kindUnitMemo", "kindOther"};

} // namespace

SearchArea::SearchArea(QWidget *parent)
    : QFrame(parent)
    , m_box(new QLineEdit(this))
    , m_kinds(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("searchArea"));
    setAutoFillBackground(true);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(silver);

    auto *label = new QLabel(QStringLiteral("请输入需要查询的信息:"), this);
    m_box->setObjectName(QStringLiteral("searchBox"));
    QFont large = m_box->font();
    large.setPixelSize(20);
    m_box->setFont(large);
    m_box->setMinimumWidth(300);
    connect(m_box, &QLineEdit::returnPressed, this, &SearchArea::searchRequested);

    // Label and box over the six kinds; the two buttons beside them; the
    // large button at the right end. Sizes follow the desktop's font.
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(10, 6, 10, 6);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    grid->addWidget(label, 0, 0, 1, 3);
    grid->addWidget(m_box, 1, 0, 1, 3);
    for (int i = 0; i < ContactSearch::kKindCount; ++i) {
        auto *radio = new QRadioButton(ContactSearch::kCaptions.at(i), this);
        radio->setObjectName(QLatin1String(kKindNames[i]));
        grid->addWidget(radio, 2 + i / 3, i % 3);
        m_kinds->addButton(radio, i);
    }
    m_kinds->button(0)->setChecked(true);

    auto *search = new QPushButton(QStringLiteral("开始查询"), this);
    search->setObjectName(QStringLiteral("searchButton"));
    search->setToolTip(QStringLiteral("默认姓名为查询内容,可以选择其它项..."));
    search->setMinimumSize(100, 32);
    grid->addWidget(search, 1, 3);
    connect(search, &QPushButton::clicked, this, &SearchArea::searchRequested);

    // Above "开始查询": how the rows found are listed, also those listed now.
    m_pinyinOrder = new QCheckBox(QStringLiteral("按拼音排序"), this);
    m_pinyinOrder->setObjectName(QStringLiteral("pinyinOrder"));
    m_pinyinOrder->setToolTip(QStringLiteral("查到的联系人按姓名的拼音排列,不选则按建立的先后排列"));
    grid->addWidget(m_pinyinOrder, 0, 3);
    connect(m_pinyinOrder, &QCheckBox::toggled, this, [this] { emit orderChosen(order()); });

    auto *import = new QPushButton(QStringLiteral("导入记录"), this);
    import->setObjectName(QStringLiteral("importButton"));
    import->setToolTip(QStringLiteral("新建联系人"));
    import->setMinimumSize(100, 30);
    grid->addWidget(import, 2, 3, 2, 1, Qt::AlignVCenter);
    connect(import, &QPushButton::clicked, this, &SearchArea::importRequested);

    m_newContact = new QPushButton(QStringLiteral("新建联系人"), this);
    m_newContact->setObjectName(QStringLiteral("newContactButton"));
    m_newContact->setToolTip(QStringLiteral("新建联系人"));
    m_newContact->setMinimumSize(120, 105);
    QFont big = m_newContact->font();
    big.setPixelSize(16);
    m_newContact->setFont(big);
    grid->addWidget(m_newContact, 0, 4, 4, 1);
    connect(m_newContact, &QPushButton::clicked, this, &SearchArea::newContactRequested);

    m_about = new QToolButton(this);
    m_about->setObjectName(QStringLiteral("aboutButton"));
    m_about->setIcon(QIcon(QStringLiteral(":/icons/contacts.png")));
    m_about->setIconSize(QSize(96, 96));
    m_about->setAutoRaise(true);
    m_about->setMinimumSize(120, 105);
    m_about->hide();
    grid->addWidget(m_about, 0, 4, 4, 1);
    connect(m_about, &QToolButton::clicked, this, &SearchArea::aboutRequested);
}

int SearchArea::bandHeight() const
{
    return std::max(kHeight, sizeHint().height());
}

ContactSearch::Kind SearchArea::kind() const
{
    return ContactSearch::Kind(m_kinds->checkedId());
}

void SearchArea::setKind(ContactSearch::Kind kind)
{
    m_kinds->button(int(kind))->setChecked(true);
}

ContactSearch::Order SearchArea::order() const
{
    return m_pinyinOrder->isChecked() ? ContactSearch::Order::Pinyin : ContactSearch::Order::ById;
}

void SearchArea::setOrder(ContactSearch::Order order)
{
    const QSignalBlocker quiet(m_pinyinOrder);
    m_pinyinOrder->setChecked(order == ContactSearch::Order::Pinyin);
}

void SearchArea::setTabsShown(bool shown)
{
    m_newContact->setVisible(!shown);
    m_about->setVisible(shown);
}
