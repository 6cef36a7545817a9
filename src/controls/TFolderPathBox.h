#pragma once

#include <QColor>
#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;

namespace sc {
class UserDialogs;
}

namespace sc::controls {

// The folder path box: a one-line path text with a browse button. The browse asks for a
// folder starting at the current path (when there is one) and, on OK, puts the chosen folder
// into the box. Every change of the text, typing included, raises changed(). Tab goes from the
// text to the browse button, which Space, Return and Enter press.
class TFolderPathBox : public QWidget {
    Q_OBJECT
public:
    // Asks for a folder; gets the current text (empty when there is none) and returns the
    // chosen folder, or an empty text when cancelled.
    using Browser = std::function<QString(const QString& currentPath)>;

    explicit TFolderPathBox(QWidget* parent = nullptr);

    QString path() const;
    void setPath(const QString& path);
    // True while changed() reports the user's own typing (keys, paste, undo in the box); the
    // text may then end half-typed. Leaving the box or pressing Enter after typing raises
    // changed() once more, not as typing.
    bool changeIsTyped() const { return typing_; }

    void setBrowser(Browser browser) { browser_ = std::move(browser); }
    // A browser through the dialog seam's folder browser, free to go anywhere.
    void setDialogs(sc::UserDialogs* dialogs, const QString& title = QString());
    // What the browse button does.
    void browse();

    void setHint(const QString& hint);
    QString hint() const { return toolTip(); }

    void setBackground(const QColor& colour);
    QColor background() const { return background_; }

    QLineEdit* editor() const { return edit_; }
    QToolButton* browseButton() const { return button_; }

    QSize sizeHint() const override;

signals:
    void changed();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* edit_;
    QToolButton* button_;
    Browser browser_;
    QColor background_{4, 4, 4};
    bool typing_ = false;
    bool typedSinceFinished_ = false;
};

} // namespace sc::controls
