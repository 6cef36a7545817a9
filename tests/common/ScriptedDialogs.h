#pragma once

#include "platform/UserDialogs.h"

#include <QPrinter>
#include <QStringList>
#include <deque>
#include <functional>

namespace sc::test {

// Records what the program showed and answers from a script; never blocks.
class ScriptedDialogs : public UserDialogs {
public:
    // Everything shown, in order: "beep", "message:<text>", "ask:<text>", "browse:<title>|<root>",
    // "open:<target>", "print".
    QStringList shown;
    std::deque<bool> yesNoAnswers;     // an empty script answers No
    std::deque<QString> folderAnswers; // an empty script answers "cancelled"
    // The print dialog prints to this PDF file; an empty name answers "cancelled".
    QString pdfOutput;
    // Runs while a question is up, before it is answered (what happens meanwhile).
    std::function<void()> whileAsking;

    void beep() override { shown << QStringLiteral("beep"); }
    void message(const QString& text) override { shown << QStringLiteral("message:") + text; }
    bool askYesNo(const QString& text) override {
        shown << QStringLiteral("ask:") + text;
        if (whileAsking)
            whileAsking();
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    QString browseFolder(const QString& title, const QString& root) override {
        shown << QStringLiteral("browse:") + title + u'|' + root;
        if (folderAnswers.empty())
            return QString();
        QString answer = folderAnswers.front();
        folderAnswers.pop_front();
        return answer;
    }
    QString browseFolderFrom(const QString& title, const QString& start) override {
        return browseFolder(title, start);
    }
    void openWithShell(const QString& target) override {
        shown << QStringLiteral("open:") + target;
    }

    bool choosePrinter(QPrinter& printer) override {
        shown << QStringLiteral("print");
        if (pdfOutput.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfOutput);
        return true;
    }

    QStringList messages() const { return shown.filter(QStringLiteral("message:")); }
};

} // namespace sc::test
