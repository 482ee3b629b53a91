#pragma once

#include <QFrame>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace Lunovex {

class Browser;
class DeferredClose;

// The download window's web login: a login address and an account (or an IP login), a browser
// Web1 on the shared profile, so that a login here lets the transfers through, and the routine that
// fills the login page's fields and presses its button. The fields start empty with every window
// and are never stored.
//
// The account goes only into a page served over https, or over http by the very host of the login
// address typed in: a login address that redirects elsewhere gets nothing.
class LoginPanel : public QFrame
{
    Q_OBJECT

public:
    // waits is the window's: the routine waits in the event loop, and the window must outlive it.
    LoginPanel(DeferredClose& waits, QWidget* parent);

    Browser* browser() const { return Web1; }
    // "自动登录" is ticked: the download methods log in again when a transfer brings a web page.
    bool autoLoginArmed() const;
    bool refreshing() const; // "自动刷新(每分钟)"

    // Window load: silent mode and an empty page.
    void prepare();
    void showOver(QWidget* area);
    void hidePanel(); // "关闭(隐藏)"

    // Opens the login address and waits for it ("浏览").
    void Command2_Click();
    // The login routine; a call while one runs does nothing.
    void LoginToSite(bool showMessages);

signals:
    // A text for the window's status bar (the page's title, or why nothing was filled in).
    void statusText(const QString& text);

private:
    void Check2_Click(bool checked);
    bool accountMissing() const;
    bool refuseMissingSettings(bool showMessages);
    void waitForPage(double start);
    bool mayReceiveAccount(const QString& pageAddress) const;
    void fillAccount();
    void clickIpLogin();

    QLabel* Label6 = nullptr;
    QLineEdit* Text1 = nullptr; // login address
    QRadioButton* Option4 = nullptr;
    QLineEdit* Text2 = nullptr; // account
    QLabel* Label10 = nullptr;
    QLineEdit* Text3 = nullptr; // password, shown as dots
    QRadioButton* Option5 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command5 = nullptr;
    QCheckBox* Check2 = nullptr;
    QLabel* Label11 = nullptr;
    QComboBox* Combo3 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command3 = nullptr;
    Browser* Web1 = nullptr;
    QTimer* Timer2 = nullptr;
    DeferredClose& waits_;
    bool LoginWaiting = false;
};

} // namespace Lunovex
