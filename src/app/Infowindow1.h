#pragma once

#include <QDialog>

class QAbstractButton;
namespace sc {
class UserDialogs;
}

namespace sc::app {

// The information window: logo, credits and four links, handed to the shell through the dialog
// seam. Created hidden at start-up and shown modally; closing only hides it. It shows in the
// centre of the screen the first time and where it was left afterwards. Its texts never switch
// language.
class TInfoForm1 : public QDialog {
    Q_OBJECT
public:
    // `dataFolder` holds the user guide; `dialogs` opens the links.
    TInfoForm1(const QString& dataFolder, sc::UserDialogs& dialogs, QWidget* parent = nullptr);

    static const QString& makerUrl();
    static const QString& productUrl();
    static const QString& supportAddress();

    void setVisible(bool visible) override;

public slots:
    // The four links and the close button.
    void openMakerPage();
    void mailSupport(); // a mail to the support address
    void openProductPage();
    void openUserGuide();
    void closeWindow();

private:
    void buildLeftPanel();
    void buildRightPanel();
    void orderLinks();
    QAbstractButton* addLink(QWidget* parent, const char* name, const QRect& place,
                             const QString& hint);

    QString dataFolder_;
    sc::UserDialogs& dialogs_;
    bool placed_ = false;
};

} // namespace sc::app
