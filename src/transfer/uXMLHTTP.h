#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>

class QTimer;

namespace Lunovex {

class XmlHttpRequest;

// An asynchronous HTTP request for a window: Open_, Send_, and events when the answer has come
// (OnDateArrived for 200, after the body is saved when a save file was given) or when the server
// answered otherwise (OnDateErr with the status's Chinese description). A 10 ms reader looks at the
// request while one runs; none runs while idle. Only Open_ reports an error to its caller.
class uXMLHTTP : public QObject
{
    Q_OBJECT

public:
    explicit uXMLHTTP(QObject* parent = nullptr);
    ~uXMLHTTP() override;

    // False when the request cannot be opened (an address that is no web address); armed and the
    // save file are then left as they were.
    bool Open_(const QString& method, const QString& url, const QString& saveFile = {});
    void SetRequestHeader(const QString& name, const QString& value);
    void Send_(const QString& body = {});
    // Ends the request; no event follows.
    void Abort_();

    bool DownOK() const { return done_; }
    int ReadyState() const;
    int Status() const;
    QString StatusText() const;
    QString GetResponseHeader(const QString& name) const;
    QString GetAllResponseHeaders() const;
    QByteArray ResponseBody() const;
    QString ResponseText() const;

    // The description of an HTTP status, empty for codes without one (and outside 0 to 600).
    static QString statusDescription(int code);

signals:
    void OnDateArrived();
    void OnReadyStateChange();
    void OnDateErr(QString& statusText);

private:
    void tmrReader_Timer();
    void saveBody();

    XmlHttpRequest* request_ = nullptr;
    QTimer* tmrReader = nullptr;
    bool armed_ = false;
    bool done_ = false;
    QString saveFile_;
};

} // namespace Lunovex
