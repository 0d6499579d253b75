#include "platform/ui/Dialogs.h"

#include "platform/AppPaths.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QQueue>

namespace Dialogs {

namespace {

struct Script
{
    bool on = false;
    QQueue<Responder> replies;
    QQueue<QString> replyNames; // beside `replies`, for a test to name the unused ones
    QList<Shown> shown;
};

Script &script()
{
    static Script s;
    return s;
}

Reply scriptedReply(Kind kind, const QString &title, const QString &text)
{
    const Shown shown{kind, title, text};
    script().shown.append(shown);
    if (!script().replies.isEmpty()) {
        script().replyNames.dequeue();
        return script().replies.dequeue()(shown);
    }
    switch (kind) {
    case Kind::Confirm:
        return {Answer::Yes, {}, 0};
    case Kind::Input:
    case Kind::OpenFile:
    case Kind::SaveFile:
        return {Answer::Cancel, {}, 0};
    default:
        return {Answer::Ok, {}, 0};
    }
}

QMessageBox::StandardButton showBox(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

// A text that already ends a sentence, in Chinese or in Latin marks, gets no
// second stop.
QString withFullStop(const QString &text)
{
    static const QString kSentenceEnds = QStringLiteral(".!?。!?.…");
    if (!text.isEmpty() && text.back().unicode() > u'.' && !kSentenceEnds.contains(text.back()))
        return text + u'.';
    return text;
}

void information(QWidget *parent, const QString &text)
{
    if (isScripted()) {
        scriptedReply(Kind::Information, QStringLiteral("Information"), text);
        return;
    }
    showBox(parent, QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok);
}

void informationYes(QWidget *parent, const QString &text)
{
    if (isScripted()) {
        scriptedReply(Kind::Information, QStringLiteral("Information"), text);
        return;
    }
    showBox(parent, QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Yes);
}

bool confirm(QWidget *parent, const QString &text)
{
    if (isScripted())
        return scriptedReply(Kind::Confirm, QStringLiteral("Confirm"), text).answer == Answer::Yes;
    return showBox(parent, QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

bool mayDropUnsaved(QWidget *parent, bool unsaved)
{
    return !unsaved || confirm(parent, kDropUnsaved);
}

void error(QWidget *parent, const QString &text)
{
    const QString shown = withFullStop(text);
    if (isScripted()) {
        scriptedReply(Kind::Error, AppPaths::kApplicationTitle, shown);
        return;
    }
    showBox(parent, QMessageBox::Critical, AppPaths::kApplicationTitle, shown, QMessageBox::Ok);
}

void plain(QWidget *parent, const QString &text, const QString &title)
{
    if (isScripted()) {
        scriptedReply(Kind::Plain, title, text);
        return;
    }
    showBox(parent, QMessageBox::NoIcon, title, text, QMessageBox::Ok);
}

std::optional<QString> input(QWidget *parent, const QString &title, const QString &prompt, const QString &initial)
{
    if (isScripted()) {
        const Reply reply = scriptedReply(Kind::Input, title, prompt);
        if (reply.answer == Answer::Cancel || reply.answer == Answer::No)
            return std::nullopt;
        return reply.text;
    }
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString openFileName(QWidget *parent, const QString &caption, const QString &filter, const QString &folder)
{
    if (isScripted())
        return scriptedReply(Kind::OpenFile, caption, filter).text;
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString saveFileName(QWidget *parent, const QString &caption, const QString &filter, const QString &folder,
                     int *selectedFilter)
{
    if (isScripted()) {
        const Reply reply = scriptedReply(Kind::SaveFile, caption, filter);
        if (selectedFilter)
            *selectedFilter = reply.filterIndex;
        return reply.text;
    }
    QString chosenFilter;
    const QString name = QFileDialog::getSaveFileName(parent, caption, folder, filter, &chosenFilter);
    if (selectedFilter)
        *selectedFilter = std::max<qsizetype>(0, filter.split(QStringLiteral(";;")).indexOf(chosenFilter));
    return name;
}

void setScripted(bool on)
{
    script().on = on;
}

bool isScripted()
{
    return script().on;
}

namespace {

QString answerName(Answer answer)
{
    switch (answer) {
    case Answer::Ok:
        return QStringLiteral("Ok");
    case Answer::Yes:
        return QStringLiteral("Yes");
    case Answer::No:
        return QStringLiteral("No");
    case Answer::Cancel:
        return QStringLiteral("Cancel");
    }
    return {};
}

} // namespace

void pushReply(const Reply &reply)
{
    script().replies.enqueue([reply](const Shown &) { return reply; });
    script().replyNames.enqueue(reply.text.isEmpty()
                                    ? answerName(reply.answer)
                                    : QStringLiteral("%1 \"%2\"").arg(answerName(reply.answer), reply.text));
}

void pushResponder(const Responder &responder)
{
    script().replies.enqueue(responder);
    script().replyNames.enqueue(QStringLiteral("a responder"));
}

QStringList pendingReplies()
{
    return script().replyNames;
}

QList<Shown> takeShown()
{
    return std::exchange(script().shown, {});
}

void clearScript()
{
    script().replies.clear();
    script().replyNames.clear();
    script().shown.clear();
}

} // namespace Dialogs
