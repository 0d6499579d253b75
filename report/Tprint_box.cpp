#include "report/Tprint_box.h"

#include "platform/ui/WindowOpener.h"
#include "report/Tprint_view.h"

Tprint_box::Tprint_box(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("Tprint_box"));
    setWindowTitle(QStringLiteral("打印窗口"));
}

QPointer<Tprint_box> &Tprint_box::reference()
{
    static QPointer<Tprint_box> current;
    return current;
}

void Tprint_box::setReport(report::Report report)
{
    m_report = std::move(report);
}

Tprint_view *Tprint_box::preview()
{
    Tprint_view *view = WindowOpener::replace(Tprint_view::reference(), [this] { return new Tprint_view(this); });
    view->attach(m_report);
    // The end of the preview is the end of this layout.
    connect(view, &Tprint_view::closed, this, &QWidget::close, Qt::QueuedConnection);
    view->showMaximized();
    return view;
}
