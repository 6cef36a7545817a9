#pragma once

#include <QString>

namespace sc::jobs {

// The status line as a job sees it. The window implements it on its label.
class StatusLine {
public:
    virtual ~StatusLine() = default;
    // Sets the text and repaints it at once, so it shows while the job keeps the thread busy.
    virtual void show(const QString& text) = 0;
    // The idle prompt in the current caption language.
    virtual void showIdlePrompt() = 0;
    // Repaints the whole window once, before a job's first picture.
    virtual void repaintWindow() = 0;
};

} // namespace sc::jobs
