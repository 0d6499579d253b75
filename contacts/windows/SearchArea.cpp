#include "SearchArea.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace {

const char *const kKindNames[] = {"kindName",         "kindMobile",     "kindUnitName",
                                  "kindPersonalMemo", "kindUnitMemo",   "kindOther"};

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
    label->setGeometry(10, 6, 300, 18);
    m_box->setObjectName(QStringLiteral("searchBox"));
    QFont large = m_box->font();
    large.setPixelSize(20);
    m_box->setFont(large);
    m_box->setGeometry(10, 26, 300, 32);
    connect(m_box, &QLineEdit::returnPressed, this, &SearchArea::searchRequested);

    for (int i = 0; i < ContactSearch::kKindCount; ++i) {
        auto *radio = new QRadioButton(ContactSearch::kCaptions.at(i), this);
        radio->setObjectName(QLatin1String(kKindNames[i]));
        radio->setGeometry(10 + (i % 3) * 100, 64 + (i / 3) * 26, i % 3 == 2 ? 120 : 95, 22);
        m_kinds->addButton(radio, i);
    }
    m_kinds->button(0)->setChecked(true);

    auto *search = new QPushButton(QStringLiteral("开始查询"), this);
    search->setObjectName(QStringLiteral("searchButton"));
    search->setToolTip(QStringLiteral("默认姓名为查询内容,可以选择其它项..."));
    search->setGeometry(320, 26, 100, 32);
    connect(search, &QPushButton::clicked, this, &SearchArea::searchRequested);

    auto *import = new QPushButton(QStringLiteral("导入记录"), this);
    import->setObjectName(QStringLiteral("importButton"));
    import->setToolTip(QStringLiteral("新建联系人"));
    import->setGeometry(320, 80, 100, 30);
    connect(import, &QPushButton::clicked, this, &SearchArea::importRequested);

    m_newContact = new QPushButton(QStringLiteral("新建联系人"), this);
    m_newContact->setObjectName(QStringLiteral("newContactButton"));
    m_newContact->setToolTip(QStringLiteral("新建联系人"));
    m_newContact->setGeometry(435, 10, 120, 105);
    QFont big = m_newContact->font();
    big.setPixelSize(16);
    m_newContact->setFont(big);
    connect(m_newContact, &QPushButton::clicked, this, &SearchArea::newContactRequested);

    m_about = new QToolButton(this);
    m_about->setObjectName(QStringLiteral("aboutButton"));
    m_about->setIcon(QIcon(QStringLiteral(":/icons/contacts.png")));
    m_about->setIconSize(QSize(96, 96));
    m_about->setAutoRaise(true);
    m_about->setGeometry(435, 10, 120, 105);
    m_about->hide();
    connect(m_about, &QToolButton::clicked, this, &SearchArea::aboutRequested);
}

ContactSearch::Kind SearchArea::kind() const
{
    return ContactSearch::Kind(m_kinds->checkedId());
}

void SearchArea::setKind(ContactSearch::Kind kind)
{
    m_kinds->button(int(kind))->setChecked(true);
}

void SearchArea::setTabsShown(bool shown)
{
    m_newContact->setVisible(!shown);
    m_about->setVisible(shown);
}
