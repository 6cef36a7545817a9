#include "Infowindow1.h"

#include "LookAndFeel.h"
#include "controls/KeyboardFocus.h"
#include "controls/SystemColors.h"
#include "platform/UserDialogs.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

namespace sc::app {

namespace {

namespace syscolor = controls::syscolor;

const QColor kCreditBlue(0, 0, 255);
const QColor kLinkOrange(255, 128, 0);

QFont textFont() {
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(11);
    return f;
}

// A white panel inside a lowered bevel two pixels wide, as the window's two halves are drawn.
class BevelPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const int w = width();
        const int h = height();
        for (int i = 0; i < 2; ++i) {
            p.fillRect(QRect(i, i, w - 2 * i, 1), syscolor::buttonShadow());
            p.fillRect(QRect(i, i, 1, h - 2 * i), syscolor::buttonShadow());
            p.fillRect(QRect(i, h - 1 - i, w - 2 * i, 1), syscolor::buttonHighlight());
            p.fillRect(QRect(w - 1 - i, i, 1, h - 2 * i), syscolor::buttonHighlight());
        }
    }
};

// A flat button without caption laid over a text line or a picture: the whole line is the
// click area, and only the hand cursor tells it is one. Tab reaches it (a click leaves the
// focus where it was); a keyboard focus is marked by a dotted rectangle in the link colour.
class LinkArea : public QAbstractButton {
public:
    explicit LinkArea(QWidget* parent) : QAbstractButton(parent) {
        setFocusPolicy(Qt::TabFocus);
        sc::controls::pressOnReturn(*this);
    }
    void setPicture(const QPixmap& picture) { picture_ = picture; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (!picture_.isNull())
            p.drawPixmap(rect(), picture_);
        if (focusMark_.shown() && hasFocus())
            sc::controls::drawFocusMark(p, rect(), kLinkOrange);
    }
    void focusInEvent(QFocusEvent* event) override {
        focusMark_.focusIn(event->reason());
        QAbstractButton::focusInEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        focusMark_.focusOut(event->reason());
        QAbstractButton::focusOutEvent(event);
    }

private:
    QPixmap picture_;
    sc::controls::FocusMark focusMark_;
};

void addText(QWidget* parent, const char* name, QPoint at, const QString& text,
             const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(textFont());
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    label->adjustSize();
    label->move(at);
}

} // namespace

const QString& TInfoForm1::makerUrl() {
    static const QString url = QStringLiteral("https://example.org/");
    return url;
}
const QString& TInfoForm1::productUrl() {
    static const QString url = QStringLiteral("https://example.org/sc/");
    return url;
}
const QString& TInfoForm1::supportAddress() {
    static const QString address = QStringLiteral("support@example.org");
    return address;
}

TInfoForm1::TInfoForm1(const QString& dataFolder, sc::UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dataFolder_(dataFolder), dialogs_(dialogs) {
    setObjectName(QStringLiteral("InfoForm1"));
    setWindowTitle(QStringLiteral("SC_CONVERTER Ver.1.4"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(415, 144);
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSize(9);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::Window, syscolor::buttonFace());
    setPalette(p);
    setAutoFillBackground(true);
    buildLeftPanel();
    buildRightPanel();
    sc::app::setHintDurations(this);
    orderLinks();
}

void TInfoForm1::buildLeftPanel() {
    auto* panel = new BevelPanel(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(0, 0, 270, 144);

    auto* logo = new QLabel(panel);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setGeometry(8, 4, 200, 54);
    logo->setPixmap(QPixmap(QStringLiteral(":/info/logo.png")));

    addText(panel, "Label1", {44, 52}, QStringLiteral("Software Design＆Creation : SC Dev Team"),
            kCreditBlue);
    addText(panel, "Label4", {116, 62}, QStringLiteral("Icon Design : SC Art Team"), kCreditBlue);
    addText(panel, "Label5", {134, 72}, QStringLiteral("Bilingual : SC Translators"), kCreditBlue);
    addText(panel, "Label3", {82, 87}, QStringLiteral("mail : ") + supportAddress(), kLinkOrange);
    addText(panel, "Label2", {37, 104}, QStringLiteral("url : example.org"), kLinkOrange);
    addText(panel, "Label6", {149, 104}, QStringLiteral("url : example.org/sc"), kLinkOrange);

    connect(addLink(panel, "SpeedButton3", {77, 87, 120, 11},
                    QStringLiteral(" メールでのお問い合わせ")),
            &QAbstractButton::clicked, this, &TInfoForm1::mailSupport);
    connect(addLink(panel, "SpeedButton1", {32, 104, 96, 11},
                    QStringLiteral(" スナップサイクル研究所のサイトにアクセス")),
            &QAbstractButton::clicked, this, &TInfoForm1::openMakerPage);
    connect(addLink(panel, "SpeedButton4", {144, 104, 104, 11},
                    QStringLiteral(" SNAPCYCLEのサイトにアクセス")),
            &QAbstractButton::clicked, this, &TInfoForm1::openProductPage);

    auto* close = new QToolButton(panel);
    close->setObjectName(QStringLiteral("SpeedButton2"));
    close->setText(QStringLiteral("CLOSE (&X)"));
    close->setGeometry(97, 122, 77, 16);
    close->setToolTip(QStringLiteral(" 閉じる"));
    QPalette black = close->palette();
    black.setColor(QPalette::ButtonText, Qt::black);
    close->setPalette(black);
    connect(close, &QAbstractButton::clicked, this, &TInfoForm1::closeWindow);
    sc::controls::pressOnReturn(*close);
}

void TInfoForm1::buildRightPanel() {
    auto* panel = new BevelPanel(this);
    panel->setObjectName(QStringLiteral("Panel2"));
    panel->setGeometry(270, 0, 144, 144);
    auto* guide = static_cast<LinkArea*>(addLink(
        panel, "Image2", {2, 2, 140, 140}, QStringLiteral(" スナップサイクル研究所のご案内")));
    guide->setPicture(QPixmap(QStringLiteral(":/info/guide.png")));
    connect(guide, &QAbstractButton::clicked, this, &TInfoForm1::openUserGuide);
}

QAbstractButton* TInfoForm1::addLink(QWidget* parent, const char* name, const QRect& place,
                                     const QString& hint) {
    auto* link = new LinkArea(parent);
    link->setObjectName(QString::fromLatin1(name));
    link->setGeometry(place);
    link->setCursor(Qt::PointingHandCursor);
    link->setToolTip(hint);
    // A reader says what the link does, as the hint does; the hint's leading space is layout.
    link->setAccessibleName(hint.trimmed());
    return link;
}

// The window opens with the focus on CLOSE, as it always has; Tab goes on through the links in
// reading order: mail, the maker's page, the product's page, the guide.
void TInfoForm1::orderLinks() {
    QWidget* previous = findChild<QWidget*>(QStringLiteral("SpeedButton2"));
    for (const char* name : {"SpeedButton3", "SpeedButton1", "SpeedButton4", "Image2"}) {
        auto* link = findChild<QWidget*>(QString::fromLatin1(name));
        QWidget::setTabOrder(previous, link);
        previous = link;
    }
}

// The first showing centres the window on the screen; later ones keep where it was left.
void TInfoForm1::setVisible(bool visible) {
    if (visible && !placed_) {
        placed_ = true;
        QScreen* screen =
            parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->geometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::setVisible(visible);
}

void TInfoForm1::openMakerPage() {
    dialogs_.openWithShell(makerUrl());
}
void TInfoForm1::mailSupport() {
    dialogs_.openWithShell(QStringLiteral("mailto:") + supportAddress());
}
void TInfoForm1::openProductPage() {
    dialogs_.openWithShell(productUrl());
}
// Whether the guide is there is not looked at: a missing one opens nothing and says nothing.
void TInfoForm1::openUserGuide() {
    dialogs_.openWithShell(dataFolder_ + QStringLiteral("/SC_GUIDE.pdf"));
}
void TInfoForm1::closeWindow() {
    reject();
}

} // namespace sc::app
