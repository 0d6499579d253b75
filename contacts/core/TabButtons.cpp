#include "contacts/core/TabButtons.h"

QString TabButtons::caption(Button button)
{
    switch (button) {
    case Modify:
        return QStringLiteral("修改");
    case Save:
        return QStringLiteral("保存");
    case Delete:
        return QStringLiteral("删除");
    case Undo:
        return QStringLiteral("撤消");
    case New:
        return QStringLiteral("新建");
    case Cancel:
        return QStringLiteral("取消");
    case ButtonCount:
        break;
    }
    return {};
}

std::optional<TabButtons::Button> TabButtons::inPlace(int place) const
{
    const auto first = Button(place * 2);
    const auto second = Button(place * 2 + 1);
    if (m_shown[second])
        return second;
    if (m_shown[first])
        return first;
    return std::nullopt;
}
