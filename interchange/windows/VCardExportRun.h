#pragma once

#include "interchange/core/VCardExport.h"

#include <QObject>
#include <QString>

#include <memory>

class QTimer;

// Runs a vCard export in steps on the event loop, so the window shows its
// progress and keeps answering, then writes the file whole: a run that
// fails or is dropped leaves the file that was there.
class VCardExportRun final : public QObject
{
    Q_OBJECT

public:
    // Each step takes about this long before the window handles its events.
    static constexpr qint64 kStepMs = 100;

    VCardExportRun(VCardExport run, QString path, QObject *parent = nullptr);
    ~VCardExportRun() override;
    void start();

    QString path() const { return m_path; }
    // Empty when the file was written.
    QString error() const { return m_error; }
    int cards() const { return m_run.cards(); }
    int leftOut() const { return m_run.leftOut(); }
    QStringList notes() const { return m_run.notes(); }

signals:
    void progressed(int done, int total);
    void finished();

private:
    void step();

    VCardExport m_run;
    QString m_path;
    QString m_error;
    QTimer *m_timer = nullptr;
};
