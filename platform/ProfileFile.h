#pragma once

#include "store/Result.h"

#include <QString>

// A Windows-style profile file: "[section]" lines and "key=value" lines.
// Read and written one key at a time; every other line of the file, comments
// and unknown sections included, is kept as it was. Section and key names
// match without regard to case, as the profile functions do. A missing file
// or key reads as the default.
//
// The file is read as UTF-8 when it is valid UTF-8, otherwise as GB18030
// (files written by older copies), and always written as UTF-8, so a key just
// written reads back as written.
class ProfileFile final
{
public:
    explicit ProfileFile(QString path);

    QString path() const { return m_path; }
    QString read(const QString &section, const QString &key, const QString &defaultValue) const;
    // Replaces the key's line, or adds it to its section, or adds the section.
    // The file is replaced as a whole only once the new text is on disk;
    // fails with the file's path and the system's reason.
    Result<void> write(const QString &section, const QString &key, const QString &value) const;

private:
    QString m_path;
};
