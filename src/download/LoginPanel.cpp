// The web login panel: its controls, opening the login address, the login routine on the live
// page, the automatic refresh, and what the panel's browser reports.

#include "download/LoginPanel.h"

#include "app/DeferredClose.h"
#include "platform/Browser.h"
#include "platform/Clock.h"
#include "platform/Dom.h"
#include "platform/EventPump.h"
#include "platform/Prompts.h"
#include "util/ControlHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace Lunovex {

namespace {

const QStringList kUserFieldNames = {QStringLiteral("userid"), QStringLiteral("user"),
                                     QStringLiteral("username"), QStringLiteral("useruid")};
const QStringList kPasswordFieldNames = {QStringLiteral("pass"), QStringLiteral("password"),
                                         QStringLiteral("passwd")};

} // namespace

LoginPanel::LoginPanel(DeferredClose& waits, QWidget* parent) : QFrame(parent), waits_(waits)
{
    setObjectName(QStringLiteral("PicWebBK"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    Label6 = Named(new QLabel(QStringLiteral("网址："), this), "Label6");
    Text1 = Named(new QLineEdit(this), "Text1");
    Option4 = Named(new QRadioButton(QStringLiteral("帐号登录："), this), "Option4");
    Text2 = Named(new QLineEdit(this), "Text2");
    Label10 = Named(new QLabel(QStringLiteral("密码："), this), "Label10");
    Text3 = Named(new QLineEdit(this), "Text3");
    Text3->setEchoMode(QLineEdit::Password);
    Option5 = Named(new QRadioButton(QStringLiteral("IP登录"), this), "Option5");
    Option4->setChecked(true);
    Command2 = Named(new QPushButton(QStringLiteral("浏览"), this), "Command2");
    Command5 = Named(new QPushButton(QStringLiteral("测试登录"), this), "Command5");
    Check2 = Named(new QCheckBox(QStringLiteral("自动登录"), this), "Check2");
    Label11 = Named(new QLabel(QStringLiteral("自动登录条件："), this), "Label11");
    Combo3 = Named(new QComboBox(this), "Combo3");
    Combo3->addItem(QStringLiteral("下载到网页文件(htm/html/asp)文件"));
    Combo3->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Check1 = Named(new QCheckBox(QStringLiteral("自动刷新(每分钟)"), this), "Check1");
    Command3 = Named(new QPushButton(QStringLiteral("关闭(隐藏)"), this), "Command3");
    Web1 = Named(new Browser(this), "Web1");
    Timer2 = Named(new QTimer(this), "Timer2");
    Timer2->setInterval(Timing::current().loginRefreshTick);

    auto* address = new QHBoxLayout;
    address->addWidget(Label6);
    address->addWidget(Text1, 1);
    address->addWidget(Command2);
    address->addWidget(Command3);
    auto* account = new QHBoxLayout;
    account->addWidget(Option4);
    account->addWidget(Text2, 1);
    account->addWidget(Label10);
    account->addWidget(Text3, 1);
    account->addSpacing(10);
    account->addWidget(Option5);
    auto* actions = new QHBoxLayout;
    actions->addWidget(Command5);
    actions->addSpacing(10);
    actions->addWidget(Check2);
    actions->addWidget(Label11);
    actions->addWidget(Combo3);
    actions->addSpacing(10);
    actions->addWidget(Check1);
    actions->addStretch(1);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(6, 6, 6, 6);
    rows->addLayout(address);
    rows->addLayout(account);
    rows->addLayout(actions);
    rows->addWidget(Web1, 1);
    hide();

    connect(Command2, &QPushButton::clicked, this, &LoginPanel::Command2_Click);
    connect(Command5, &QPushButton::clicked, this, [this] { LoginToSite(true); });
    connect(Command3, &QPushButton::clicked, this, &LoginPanel::hidePanel);
    connect(Check2, &QCheckBox::toggled, this, &LoginPanel::Check2_Click);
    connect(Check1, &QCheckBox::toggled, this, [this](bool on) { on ? Timer2->start() : Timer2->stop(); });
    connect(Timer2, &QTimer::timeout, Web1, &Browser::refresh);
    connect(Web1, &Browser::titleChanged, this, [this](const QString& title) {
        if (title.trimmed().toLower() != QLatin1String("about:blank")) emit statusText(title);
    });
    // Only the page itself completing ends a wait; its frames do not (the browser reports the top
    // level only).
    connect(Web1, &Browser::documentComplete, this, [this] { LoginWaiting = false; });
}

bool LoginPanel::autoLoginArmed() const
{
    return Check2->isChecked();
}

bool LoginPanel::refreshing() const
{
    return Check1->isChecked();
}

void LoginPanel::prepare()
{
    Combo3->setCurrentIndex(0);
    Web1->setSilent(true);
    Web1->navigate(QStringLiteral("about:blank"));
}

void LoginPanel::showOver(QWidget* area)
{
    setGeometry(area->geometry());
    show();
    raise();
}

void LoginPanel::hidePanel()
{
    hide();
    if (!Check1->isChecked()) Web1->navigate(QStringLiteral("about:blank"));
}

void LoginPanel::waitForPage(double start)
{
    const milliseconds limit = Timing::current().loginWaitLong;
    const double seconds = std::chrono::duration<double>(limit).count();
    EventPump::waitUntil(
        [&] { return (!Web1->busy() && !LoginWaiting) || std::abs(Clock::seconds() - start) > seconds; },
        limit, Web1, &Browser::documentComplete);
}

void LoginPanel::Command2_Click()
{
    const QString address = Text1->text().trimmed();
    if (address.isEmpty()) return;
    const DeferredClose::Scope waiting(waits_);
    Command2->setEnabled(false);
    const double start = Clock::seconds();
    LoginWaiting = true;
    Web1->navigate(address);
    waitForPage(start);
    Command2->setEnabled(true);
}

bool LoginPanel::accountMissing() const
{
    return Option4->isChecked() && (Text1->text().trimmed().isEmpty() || Text2->text().trimmed().isEmpty() ||
                                    Text3->text().trimmed().isEmpty());
}

void LoginPanel::Check2_Click(bool checked)
{
    if (checked) refuseMissingSettings(true);
}

// What a login lacks is said (when asked) and disarms the automatic login.
bool LoginPanel::refuseMissingSettings(bool showMessages)
{
    QString message;
    if (Text1->text().trimmed().isEmpty())
        message = QStringLiteral("必须先设置登录网址！");
    else if (accountMissing())
        message = QStringLiteral("帐号登录,必须先设置登录帐号和登录密码！");
    if (message.isEmpty()) return false;
    if (showMessages) MsgBox(window(), message, PromptIcon::Critical);
    Check2->setChecked(false);
    return true;
}

void LoginPanel::LoginToSite(bool showMessages)
{
    if (refuseMissingSettings(showMessages)) return;
    if (!Command5->isEnabled()) return; // a login is running
    const DeferredClose::Scope waiting(waits_);
    Command5->setEnabled(false);
    Command2_Click();
    if (Option4->isChecked())
        fillAccount();
    else
        clickIpLogin();
    EventPump::sleep(Timing::current().loginWaitShort); // lets the login settle
    Command5->setEnabled(true);
}

// The account goes to the login address's own host, or to any page that keeps it encrypted.
bool LoginPanel::mayReceiveAccount(const QString& pageAddress) const
{
    const QUrl page(pageAddress);
    if (page.scheme() == QLatin1String("https")) return true;
    const QUrl typed = QUrl::fromUserInput(Text1->text().trimmed());
    return page.scheme() == QLatin1String("http") && !page.host().isEmpty() &&
           page.host().compare(typed.host(), Qt::CaseInsensitive) == 0;
}

void LoginPanel::fillAccount()
{
    const std::unique_ptr<Dom> page = Web1->snapshot();
    if (!page) return;
    if (!mayReceiveAccount(page->url())) {
        emit statusText(QStringLiteral("登录页既非https也不在登录网址的主机上，未填写帐号"));
        return;
    }
    int filled = 0;
    for (const DomElement& input : page->getElementsByTagName(QStringLiteral("input"))) {
        const QString name = input.name().toLower();
        if (kUserFieldNames.contains(name)) {
            ++filled;
            Web1->setElementValue(QStringLiteral("input"), input.indexAmongTag(), Text2->text().trimmed());
        }
        if (kPasswordFieldNames.contains(name)) {
            ++filled;
            Web1->setElementValue(QStringLiteral("input"), input.indexAmongTag(), Text3->text().trimmed());
        }
        if (input.type().toLower() == QLatin1String("submit") && filled > 1) {
            const double start = Clock::seconds();
            LoginWaiting = true;
            Web1->clickElement(QStringLiteral("input"), input.indexAmongTag());
            waitForPage(start);
            return; // nothing after the button is looked at
        }
    }
}

void LoginPanel::clickIpLogin()
{
    const std::unique_ptr<Dom> page = Web1->snapshot();
    if (!page) return;
    const DomElement button = page->getElementById(QStringLiteral("submitip"));
    if (button.isNull()) return;
    const double start = Clock::seconds();
    LoginWaiting = true;
    Web1->clickElement(button.tagName(), button.indexAmongTag());
    waitForPage(start);
}

} // namespace Lunovex
