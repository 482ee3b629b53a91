#pragma once

#include "platform/Clock.h"

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QWebEngineView>

#include <memory>

class QWebEngineProfile;

namespace Lunovex {

class Dom;

// The embedded browser: one persistent profile for every browser of the product, whose cookies are
// mirrored into the transfers' cookie jar and whose user agent the transfers send. Pages cannot close
// it; a new window opens in it when its address is a web page (http, https) or about:blank, and is
// refused otherwise; in silent mode script dialogs stay unseen and answer Cancel.
//
// Every script of the product (snapshots, the page source, clicks) runs in the application's own
// script world: the page's scripts share the document with it but none of its objects, so a page
// that redefines outerHTML, document.URL or getElementsByTagName changes nothing for it.
class Browser : public QWebEngineView
{
    Q_OBJECT

public:
    explicit Browser(QWidget* parent = nullptr);
    ~Browser() override;

    // Called before the application object exists: Chromium's sandbox cannot run as root, so a
    // root process (a container, a test machine) runs the browser without it.
    static void prepareProcess();

    // The profile all browsers share ("Lunovex", kept under the per-user data folder).
    static QWebEngineProfile* sharedProfile();

    void navigate(const QString& address);
    void goBack();
    void goForward();
    bool busy() const { return loading_; }
    QString locationUrl() const { return url().toString(); }

    bool silent() const { return silent_; }
    void setSilent(bool silent) { silent_ = silent; }

    // A snapshot of the live document (its tree, node for node, and its address) read into a Dom;
    // nullptr when there is no page or it does not answer within the time limit. Waits in the event
    // loop. No markup is parsed again: the Dom is the tree the page has, however deep.
    std::unique_ptr<Dom> snapshot(milliseconds limit = milliseconds(10'000));
    // The page's source as the live document has it now (empty when there is none).
    QString pageSource(milliseconds limit = milliseconds(10'000));

    // Clicks the element that stands at that index among the page's elements of that tag.
    void clickElement(const QString& tag, int index);
    // Gives that element a value as typing would (input and change events follow), and waits for
    // the page to have it. The value travels in the script only, never into a log.
    void setElementValue(const QString& tag, int index, const QString& value);
    // Loads the page shown again.
    void refresh() { reload(); }

    // Runs a script on the live page in the application's script world and waits, serving events,
    // for its value (invalid when it gives none within the limit).
    QVariant runScript(const QString& script, milliseconds limit = milliseconds(10'000));

signals:
    void statusTextChanged(const QString& text);
    void documentComplete(const QUrl& url, bool ok); // top level only
    void beforeNavigate(const QUrl& url);            // the page or one of its frames

    void newWindowRequested(const QUrl& url); // the address, which then opens in this browser

private:
    class Page;
    class NewWindowCatcher;
    void openNewWindow(const QUrl& url);

    bool loading_ = false;
    bool silent_ = false;
};

} // namespace Lunovex
