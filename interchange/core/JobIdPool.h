#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

// The job ids in use and where the next free one is looked for. A job's id
// is the moment it was first saved, unique so the completion entries of two
// jobs never mix. A sync writes thousands of jobs through small imports that
// share one pool, so each new id costs a step, not a walk past every id
// handed out before it.
class JobIdPool final
{
public:
    JobIdPool(QSet<QString> used, const QDateTime &from);

    // `wanted` when it is a stamp no job holds; else the first second, from
    // the last one handed out, that no job holds.
    QString take(const QString &wanted = {});

private:
    QSet<QString> m_used;
    QDateTime m_next;
};
