#include "OtherPanel.h"

#include "Dialogs.h"
#include "FieldCodec.h"
#include "RecordSet.h"
#include "ResultList.h"
#include "StoredForm.h"
#include "TabButtonBar.h"

#include <QCheckBox>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

OtherPanel::OtherPanel(const QSqlDatabase &db, const ResultList *results, QWidget *parent)
    : QWidget(parent)
    , m_repository(db)
    , m_results(results)
{
    auto *layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("pe_other_memo"));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_text, 1);
    m_encode = new QCheckBox(QStringLiteral("是否加密处理"), this);
    m_encode->setObjectName(QStringLiteral("oEncode"));
    m_encode->setToolTip(QStringLiteral("基于128位加密处理"));
    layout->addWidget(m_encode);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);
    m_buttons = new TabButtonBar(QStringLiteral("o"), 2, this);
    layout->addWidget(m_buttons);
    m_buttons->connectClicks<OtherPanel>(this, {&OtherPanel::modify, &OtherPanel::save, &OtherPanel::deleteCurrent,
                                                &OtherPanel::undo, nullptr, nullptr});
    applyState();
}

void OtherPanel::applyState()
{
    m_buttons->apply(m_state);
}

void OtherPanel::reset()
{
    m_state.start();
    applyState();
}

void OtherPanel::load(const QString &contactId)
{
    m_rows = RecordSet::fetch(m_repository, contactId, this);
    if (m_rows.isEmpty()) {
        m_state.loadedEmpty();
        m_text->setPlainText(kPrompt);
    } else {
        const OtherRecord &record = m_rows.first();
        const auto shown = StoredForm::shown({record.memo}, record.encoded);
        m_text->setPlainText(shown.texts.first());
        m_encode->setChecked(record.encoded);
        m_state.loadedWithText();
        if (!shown.ok())
            Dialogs::error(this, shown.error);
    }
    applyState();
}

QString OtherPanel::shownText() const
{
    return m_text->toPlainText();
}

void OtherPanel::modify()
{
    m_state.modify();
    applyState();
    m_text->setFocus();
}

// Leaves the typed text on screen; only the next load replaces it.
void OtherPanel::undo()
{
    m_state.undo();
    applyState();
    m_text->setFocus();
}

void OtherPanel::save()
{
    const QString text = shownText();
    if (StoredForm::trimmed(text).isEmpty()) {
        Dialogs::information(this, QStringLiteral("内容为空,无法操作....."));
        return;
    }
    OtherRecord record;
    record.memo = m_encode->isChecked() ? FieldCodec::encode(text) : text;
    record.encoded = m_encode->isChecked();
    if (m_state.mode() == TabMode::New) {
        record.id = m_results->currentId();
        const Written written = m_repository.append(record);
        if (!written.ok) {
            Dialogs::error(this, written.error);
            return;
        }
        Dialogs::information(this, QStringLiteral("成功保存本记录 ..."));
    } else if (m_state.mode() == TabMode::Edit && !m_rows.isEmpty()) {
        record.rowid = m_rows.first().rowid;
        const Written written = m_repository.update(record);
        if (!written.ok) {
            Dialogs::error(this, written.error);
            return;
        }
        m_state.editSaved();
        applyState();
        Dialogs::information(this, QStringLiteral("修改完成,成功保存本记录 ..."));
    }
    emit loaderRequested();
}

void OtherPanel::deleteCurrent()
{
    if (Dialogs::confirm(this, QStringLiteral("是否确定删除本记录 (Yes/No)...")) && !m_rows.isEmpty()) {
        const Written written = m_repository.remove(m_rows.first().rowid);
        if (!written.ok)
            Dialogs::error(this, written.error);
    }
    emit loaderRequested();
}
