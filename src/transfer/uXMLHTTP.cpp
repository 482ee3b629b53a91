#include "transfer/uXMLHTTP.h"

#include "platform/Clock.h"
#include "platform/XmlHttpRequest.h"
#include "util/PathNames.h"

#include <QFile>
#include <QSaveFile>
#include <QTimer>

namespace Lunovex {

namespace {

constexpr int kStatusCodes = 601;

const std::array<QString, kStatusCodes>& statusTexts()
{
    static const std::array<QString, kStatusCodes> texts = [] {
        std::array<QString, kStatusCodes> t{};
        const std::pair<int, const char*> known[] = {
            {100, "客户必须继续发出请求"},
            {101, "客户要求服务器根据请求转换HTTP协议版本"},
            {200, "交易成功"},
            {201, "提示知道新文件的URL"},
            {202, "接受和处理?但处理未完成"},
            {203, "返回信息不确定或不完整"},
            {204, "请求收到，但返回信息为空"},
            {205, "服务器完成了请求，用户代理必须复位当前已经浏览过的文件"},
            {206, "服务器已经完成了部分用户的GET请求"},
            {300, "请求的资源可在多处得到"},
            {301, "删除请求数据"},
            {302, "在其他地址发现了请求数据"},
            {303, "建议客户访问其他URL或访问方式"},
            {304, "客户端已经执行了GET，但文件未变化"},
            {305, "请求的资源必须从服务器指定的地址得到"},
            {306, "前一版本HTTP中使用的代码，现行版本中不再使用"},
            {307, "申明请求的资源临时性删除"},
            {400, "错误请求，如语法错误"},
            {401, "请求授权失败"},
            {402, "保留有效ChargeTo头响应"},
            {403, "请求不允许"},
            {404, "没有发现文件?查询或URl"},
            {405, "用户在Request -Line字段定义的方法不允许"},
            {406, "根据用户发送的Accept拖，请求资源不可访问"},
            {407, "类似401，用户必须首先在代理服务器上得到授权"},
            {408, "客户端没有在用户指定的饿时间内完成请求"},
            {409, "对当前资源状态，请求不能完成"},
            {410, "服务器上不再有此资源且无进一步的参考地址"},
            {411, "服务器拒绝用户定义的Content -Length属性请求"},
            {412, "一个或多个请求头字段在当前请求中错误"},
            {413, "请求的资源大于服务器允许的大小"},
            {414, "请求的资源URL长于服务器允许的长度"},
            {415, "请求资源不支持请求项目格式"},
            {416, "请求中包含Range请求头字段，在当前请求资源范围内没有range指示值，请求也不包含If-"
                  "Range请求头字段"},
            {417,
             "服务器不满足请求Expect头字段指定的期望值，如果是代理服务器，可能是下一级服务器不能满足请求"},
            {500, "服务器产生内部错误"},
            {501, "服务器不支持请求的函数"},
            {502, "服务器暂时不可用，有时是为了防止发生系统过载"},
            {503, "服务器过载或暂停维修"},
            {504, "关口过载，服务器使用另一个关口或服务来响应用户，等待时间设定值较长"},
            {505, "服务器不支持或拒绝支请求头中指定的HTTP版本"},
        };
        for (const auto& [code, text] : known)
            t[size_t(code)] = QString::fromUtf8(text);
        return t;
    }();
    return texts;
}

} // namespace

QString uXMLHTTP::statusDescription(int code)
{
    return code >= 0 && code < kStatusCodes ? statusTexts()[size_t(code)] : QString();
}

uXMLHTTP::uXMLHTTP(QObject* parent)
    : QObject(parent), request_(new XmlHttpRequest(this)), tmrReader(new QTimer(this))
{
    setObjectName(QStringLiteral("uXMLHTTP"));
    tmrReader->setObjectName(QStringLiteral("tmrReader"));
    tmrReader->setInterval(Timing::current().xmlHttpPoll);
    connect(tmrReader, &QTimer::timeout, this, &uXMLHTTP::tmrReader_Timer);
}

uXMLHTTP::~uXMLHTTP()
{
    tmrReader->stop();
}

bool uXMLHTTP::Open_(const QString& method, const QString& url, const QString& saveFile)
{
    done_ = false;
    if (!request_->open(method.toUpper(), url)) return false;
    armed_ = true;
    saveFile_ = saveFile;
    return true;
}

void uXMLHTTP::SetRequestHeader(const QString& name, const QString& value)
{
    request_->setRequestHeader(name, value); // refused before Open_, and that is all
}

void uXMLHTTP::Send_(const QString& body)
{
    request_->send(body.toUtf8());
    if (armed_)
        tmrReader->start();
    else
        tmrReader->stop();
}

void uXMLHTTP::Abort_()
{
    tmrReader->stop();
    request_->abort();
}

int uXMLHTTP::ReadyState() const
{
    return request_->readyState();
}

int uXMLHTTP::Status() const
{
    return request_->status();
}

QString uXMLHTTP::StatusText() const
{
    return request_->statusText();
}

QString uXMLHTTP::GetResponseHeader(const QString& name) const
{
    return request_->responseHeader(name);
}

QString uXMLHTTP::GetAllResponseHeaders() const
{
    return request_->allResponseHeaders();
}

QByteArray uXMLHTTP::ResponseBody() const
{
    return request_->responseBody();
}

QString uXMLHTTP::ResponseText() const
{
    return request_->responseText();
}

void uXMLHTTP::tmrReader_Timer()
{
    emit OnReadyStateChange();
    if (request_->readyState() != XmlHttpRequest::Done) return;
    tmrReader->stop();
    done_ = true;
    const int status = request_->status();
    if (status == 200) {
        saveBody();
        emit OnDateArrived();
    } else if (status >= 0 && status < kStatusCodes) {
        QString text = statusDescription(status);
        emit OnDateErr(text);
    }
}

// The body replaces the save file only once it is written whole beside it: a failed write keeps
// the old file.
void uXMLHTTP::saveBody()
{
    const QByteArray body = request_->responseBody();
    if (saveFile_.isEmpty() || body.isEmpty()) return;
    QSaveFile file(LocalPathOf(saveFile_));
    if (file.open(QIODevice::WriteOnly) && file.write(body) == body.size()) file.commit();
}

} // namespace Lunovex
