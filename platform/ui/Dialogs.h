#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// Every message box, input box and file dialog of the program goes through
// here. A test switches on scripted mode, queues answers and reads back what
// was shown; no test ever blocks on a modal box.
namespace Dialogs {

enum class Kind { Information, Confirm, Error, Plain, Input, OpenFile, SaveFile };
enum class Answer { Ok, Yes, No, Cancel };

// Information box titled "Information" with a single OK button.
void information(QWidget *parent, const QString &text);
// Information box titled "Information" with a single Yes button.
void informationYes(QWidget *parent, const QString &text);
// Confirmation titled "Confirm" with Yes and No; true for Yes.
bool confirm(QWidget *parent, const QString &text);
// Before a key or button drops text the user typed and never saved: asks
// "内容尚未保存,确定放弃吗?" (Yes/No) when `unsaved`; true when the text may go.
inline const QString kDropUnsaved = QStringLiteral("内容尚未保存,确定放弃吗?");
bool mayDropUnsaved(QWidget *parent, bool unsaved);
// The standard error box: error icon, the application title as caption,
// the text with a full stop added when its last character sorts after "."
// and does not already end a sentence ("。", "?", "!" and the like).
void error(QWidget *parent, const QString &text);
// A plain box with an OK button and the given title.
void plain(QWidget *parent, const QString &text, const QString &title);
// A one-line input box; empty optional when cancelled.
std::optional<QString> input(QWidget *parent, const QString &title, const QString &prompt, const QString &initial = {});
// File dialogs: an empty string when cancelled. `selectedFilter` receives the
// index of the filter the user chose.
QString openFileName(QWidget *parent, const QString &caption, const QString &filter, const QString &folder = {});
QString saveFileName(QWidget *parent, const QString &caption, const QString &filter, const QString &folder = {},
                     int *selectedFilter = nullptr);

// The error box's text rule on its own.
QString withFullStop(const QString &text);

// ---- Test seam ----
struct Shown
{
    Kind kind;
    QString title;
    QString text;
};

// What a scripted dialog returns: the button pressed, and for input and file
// dialogs the text (empty text with Cancel means cancelled).
struct Reply
{
    Answer answer = Answer::Ok;
    QString text;
    int filterIndex = 0;
};
using Responder = std::function<Reply(const Shown &)>;

void setScripted(bool on);
bool isScripted();
// Queued replies are used in order; with none queued a box gets Ok/Yes and
// input and file dialogs are cancelled. A responder may run code of its own
// (a nested timer tick, say) while "its" box is open.
void pushReply(const Reply &reply);
void pushResponder(const Responder &responder);
QList<Shown> takeShown();
// The queued replies no box has used yet, named as "Yes", "Ok \"file.pck\"".
QStringList pendingReplies();
void clearScript();

} // namespace Dialogs
