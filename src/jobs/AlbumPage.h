#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The album's Index.html, line by line. The markup is fixed (upper-case tags, the background
// colour in lower case); a picture's name is escaped just enough that every link and thumbnail
// finds its file whatever the file is called. The title goes in as typed: users may put markup
// there on purpose.
namespace sc::jobs::album {

// The three lines that open the page.
QStringList headLines(const QString& title);
// The three lines of one picture, `name` being its file name in Data/ (Thumb/ adds "th_").
QStringList pictureLines(const QString& name);
// The line that closes the page.
QString lastLine();

// A file name as an attribute value that is a relative link: '%', '#', '?' and control
// characters percent-encoded, '&', '"', '<', '>' as character references.
QString linkValue(const QString& name);
// A file name as text or a plain attribute value: '&', '<', '>', '"' and control characters as
// character references.
QString textValue(const QString& name);

// The bytes of the file: every line ends with CR LF, the last included; the system's 8-bit
// encoding, no byte-order mark.
QByteArray pageBytes(const QStringList& lines);

} // namespace sc::jobs::album
