#include "AlbumPage.h"

namespace sc::jobs::album {

namespace {
// The two quote captions the page is built from: a double quote, and one followed by '#'.
const QString q = QStringLiteral("\"");
const QString qh = QStringLiteral("\"#");

QString characterReference(QChar c) {
    switch (c.unicode()) {
    case u'&':
        return QStringLiteral("&amp;");
    case u'"':
        return QStringLiteral("&quot;");
    case u'<':
        return QStringLiteral("&lt;");
    case u'>':
        return QStringLiteral("&gt;");
    default:
        return QString();
    }
}

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

QString hex(QChar c) {
    return QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
}

enum class Within { Link, Text };

QString escaped(const QString& name, Within where) {
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        // A browser reads '\' in a link as "/": a name holding one would link another folder.
        const bool cutsLink = c == u'%' || c == u'#' || c == u'?' || c == u'\\' || isControl(c);
        if (where == Within::Link && cutsLink)
            out += u'%' + hex(c);
        else if (isControl(c))
            out += QStringLiteral("&#x") + hex(c) + u';'; // a line break would split the line
        else if (const QString ref = characterReference(c); !ref.isEmpty())
            out += ref;
        else
            out += c;
    }
    return out;
}
} // namespace

QStringList headLines(const QString& title) {
    return {
        QStringLiteral("<HTML><HEAD><TITLE>") + title + QStringLiteral("</TITLE></HEAD>"),
        QStringLiteral("<BODY BGCOLOR=") + qh + QStringLiteral("ffffff") + q +
            QStringLiteral(" TEXT=") + qh + QStringLiteral("FFFFFF") + q +
            QStringLiteral(" LINK=") + qh + QStringLiteral("FFFFFF") + q +
            QStringLiteral(" ALINK=") + qh + QStringLiteral("FFFFFF") + q +
            QStringLiteral(" VLINK=") + qh + QStringLiteral("FFFFFF") + q +
            QStringLiteral("><CENTER><BR><BR>"),
        QStringLiteral("<H1><FONT COLOR=") + qh + QStringLiteral("000000") + q +
            QStringLiteral(">") + title + QStringLiteral("</FONT></H1><BR>"),
    };
}

QStringList pictureLines(const QString& name) {
    const QString link = linkValue(name);
    const QString text = textValue(name);
    return {
        QStringLiteral("<TABLE BORDER=3 CELLPADDING=0 CELLSPACING=0 WIDTH=160 HEIGHT=120>"
                       "<TR BGCOLOR=") +
            qh + QStringLiteral("222222") + q + QStringLiteral("><TD ALIGN=CENTER>"),
        QStringLiteral("<IMG SRC=") + q + QStringLiteral("Thumb/th_") + link + q +
            QStringLiteral(" ALT=") + q + text + q + QStringLiteral(" WIDTH=160 HEIGHT=120><BR>"),
        QStringLiteral("<A HREF=") + q + QStringLiteral("Data/") + link + q +
            QStringLiteral("><B>") + text + QStringLiteral("</B></A><BR></TD></TR></TABLE>"),
    };
}

QString lastLine() {
    return QStringLiteral("</CENTER><BR><BR></BODY></HTML>");
}

QString linkValue(const QString& name) {
    return escaped(name, Within::Link);
}

QString textValue(const QString& name) {
    return escaped(name, Within::Text);
}

QByteArray pageBytes(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLocal8Bit() + "\r\n";
    return bytes;
}

} // namespace sc::jobs::album
