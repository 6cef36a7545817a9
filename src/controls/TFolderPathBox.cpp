#include "TFolderPathBox.h"

#include "EditorColours.h"
#include "KeyboardFocus.h"
#include "platform/UserDialogs.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace sc::controls {

TFolderPathBox::TFolderPathBox(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
    edit_->setFrame(false);
    // Long paths are valid paths: hold as much as the platform's longest path.
    edit_->setMaxLength(32767);
    button_->setText(QStringLiteral("..."));
    // Tab reaches the browse button after the text; a click leaves the focus in the text.
    button_->setFocusPolicy(Qt::TabFocus);
    sc::controls::pressOnReturn(*button_);
    setFocusProxy(edit_);
    setFocusPolicy(Qt::StrongFocus);
    setBackground(background_);
    // The editor reports the user's edits just before the change itself.
    connect(edit_, &QLineEdit::textEdited, this, [this] { typing_ = typedSinceFinished_ = true; });
    connect(edit_, &QLineEdit::textChanged, this, [this] {
        emit changed();
        typing_ = false;
    });
    connect(edit_, &QLineEdit::editingFinished, this, [this] {
        if (!typedSinceFinished_)
            return;
        typedSinceFinished_ = false;
        emit changed();
    });
    connect(button_, &QToolButton::clicked, this, &TFolderPathBox::browse);
}

QString TFolderPathBox::path() const {
    return edit_->text();
}

void TFolderPathBox::setPath(const QString& path) {
    if (path == edit_->text())
        return;
    // A path that only lost its end (a trailing separator trimmed) keeps the cursor where the
    // user is; any other is shown from its drive on, as a path box does, not from its end.
    const bool cut = edit_->text().startsWith(path);
    const int cursor = edit_->cursorPosition();
    edit_->setText(path);
    edit_->setCursorPosition(cut ? std::min(cursor, int(path.size())) : 0);
}

void TFolderPathBox::setDialogs(sc::UserDialogs* dialogs, const QString& title) {
    if (!dialogs) {
        browser_ = nullptr;
        return;
    }
    browser_ = [dialogs, title](const QString& current) {
        return dialogs->browseFolderFrom(title, current);
    };
}

void TFolderPathBox::browse() {
    if (!browser_)
        return;
    const QString chosen = browser_(edit_->text());
    if (!chosen.isEmpty())
        setPath(chosen);
}

void TFolderPathBox::setHint(const QString& hint) {
    setToolTip(hint);
    edit_->setToolTip(hint);
}

void TFolderPathBox::setBackground(const QColor& colour) {
    background_ = colour;
    setEditorBackground(*edit_, colour);
}

QSize TFolderPathBox::sizeHint() const {
    return {166, 19};
}

void TFolderPathBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int button = std::min(height(), width() / 2);
    edit_->setGeometry(0, 0, width() - button, height());
    button_->setGeometry(width() - button, 0, button, height());
}

} // namespace sc::controls
