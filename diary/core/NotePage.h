#pragma once

#include <QDateTime>
#include <QString>

// The editor's page: the moment the page was started, which the date label
// shows and the saved note is stamped with. The moment is kept to the second
// and the label shows the seconds, so the stamp is exactly the moment shown.
class NotePage final
{
public:
    // Starts a page now (Clock::now(), to the second).
    void start();

    QDateTime moment() const { return m_moment; }
    // The moment in the user's short date form with a four-digit year and
    // the 24-hour time with seconds; the date alone at exactly midnight.
    QString label() const;
    // The 14-digit stamp a save writes.
    QString stamp() const;

    // The format label() uses for `moment`, so a reader can parse it back.
    static QString labelFormat(const QDateTime &moment);
    // A note is worth saving when it holds more than white space.
    static bool canSave(const QString &text);

    // The page's text was saved as it stands.
    void markSaved(const QString &text) { m_saved = text; }
    // Dropping `text` (the editor's text now) would lose typing: it is worth
    // saving and differs from what this page saved.
    bool holdsUnsaved(const QString &text) const { return canSave(text) && text != m_saved; }

private:
    QDateTime m_moment;
    QString m_saved; // what this page saved; empty until then
};
