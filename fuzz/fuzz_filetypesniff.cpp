// Whatever a server sent, saved as a file: telling its type never crashes and names a short
// lower-case extension or nothing.

#include "FuzzCheck.h"

#include "util/FileTypeSniff.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    static const QString path = QDir::temp().filePath(
        QStringLiteral("lunovex-fuzz-sniff-%1.bin").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    const QString type = Lunovex::打开文件判断文件类型(path);
    FUZZ_CHECK(type.size() <= 8);
    FUZZ_CHECK(type == type.toLower());
    return 0;
}
