#include "TempStore.h"

#include "AppPaths.h"
#include "Store.h"

#include <QFile>

TempStore::TempStore(bool open)
{
    if (!m_dir.isValid())
        return;
    AppPaths::setHome(m_dir.path());
    m_valid = QFile::copy(templatePath(), storePath());
    QFile::setPermissions(storePath(), QFile::ReadOwner | QFile::WriteOwner);
    if (m_valid && open)
        m_valid = Store::open(storePath()).status == Store::Status::Ready;
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
