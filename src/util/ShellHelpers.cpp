#include "util/ShellHelpers.h"

#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "util/HeaderText.h"
#include "util/PathNames.h"
#include "util/Product.h"

#include <QDate>
#include <QDir>
#include <QLocale>
#include <QUrl>
#include <QUrlQuery>

namespace Lunovex {

void OpenUrl(const QString& address, bool newWindow)
{
    Q_UNUSED(newWindow) // the desktop's browser chooses the window
    const QUrl url = QUrl::fromUserInput(address);
    if (!Shell::current().openUrl(url)) Shell::current().startBrowser(address);
}

void OpenFileWithShell(const QString& path, QWidget* owner)
{
    if (!IsFilePresent(path)) {
        MsgBox(owner, QStringLiteral("文件不存在！"), PromptIcon::Critical);
        return;
    }
    Shell::current().openFile(path);
}

bool OpenFolderAndSelect(const QString& path)
{
    const QString file = TrimSpaces(path);
    if (!IsFilePresent(file)) return false;
    return Shell::current().showInFolder(file);
}

void SendSuggestionMail(QWidget* owner)
{
    Q_UNUSED(owner)
    const QString body = QStringLiteral("软件名称：") + Product::title() +
                         QStringLiteral(" 姓名：          ") + QStringLiteral(" Email：           ") +
                         QStringLiteral(" 联系地址：           ") + QStringLiteral(" 邮编：              ") +
                         QStringLiteral(" 电话：                    ") + QStringLiteral(" 日期：") +
                         QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    // A proper mailto address: the subject and body are query items, encoded, so that every mail
    // program reads them.
    QUrl link;
    link.setScheme(QStringLiteral("mailto"));
    link.setPath(Product::feedbackMailAddress());
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"),
                       QStringLiteral("我要对[") + Product::title() + QStringLiteral("]提建议"));
    query.addQueryItem(QStringLiteral("body"), body);
    link.setQuery(query);
    Shell::current().openUrl(link);
}

QString BrowseForFolder(QWidget* owner, const QString& startFolder, const QString& prompt, bool showFiles)
{
    const QChar sep = PathSeparator();
    const QString root = QDir::rootPath();
    QString start = startFolder;
    if (TrimSpaces(start).isEmpty()) start = root;

    // Start one level up, with the given folder's parent: /home/a/Papers/ opens at /home/a/.
    QString shown = start;
    const qsizetype lastSep = shown.left(shown.size() - 1).lastIndexOf(sep);
    if (lastSep >= 0) shown = shown.left(lastSep + 1);
    if (!IsFolderPresent(shown)) shown = root;

    QString chosen = Prompts::current().pickFolder(owner, prompt, QDir::toNativeSeparators(shown), showFiles);
    if (chosen.isEmpty()) chosen = start;
    if (!chosen.endsWith(sep)) chosen += sep;
    return chosen;
}

} // namespace Lunovex
