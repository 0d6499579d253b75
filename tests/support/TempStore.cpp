#include "TempStore.h"

#include "platform/AppPaths.h"
#include "store/Store.h"

#include <QFile>

Result<void> TempStore::make(bool open)
{
    if (!m_dir.isValid())
        return fail(QStringLiteral("no temporary folder: ") + m_dir.errorString());
    AppPaths::setHome(m_dir.path());
    if (!QFile::copy(templatePath(), storePath()))
        return fail(QStringLiteral("cannot copy %1 to %2").arg(templatePath(), storePath()));
    QFile::setPermissions(storePath(), QFile::ReadOwner | QFile::WriteOwner);
    if (!open)
        return {};
    const auto opened = Store::open(storePath());
    if (opened.status != Store::Status::Ready)
        return fail(QStringLiteral("the copy does not open: ") + Store::message(opened) + opened.detail);
    return {};
}

TempStore::~TempStore()
{
    Store::remove();
    AppPaths::setHome({});
}

QString TempStore::folder() const
{
    return m_dir.path();
}

QString TempStore::storePath() const
{
    return filePath(QStringLiteral("pad.db"));
}

QString TempStore::filePath(const QString &relative) const
{
    return m_dir.filePath(relative);
}

QString TempStore::templatePath()
{
    return QStringLiteral(VELMORA_TEMPLATE_STORE);
}
