#include "support/TestEnvironment.h"
#include "util/FileTypeSniff.h"

#include <QDir>
#include <QFile>

using namespace Lunovex;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

QByteArray padded(QByteArray head, int size, char fill = 'z')
{
    if (head.size() < size) head.append(QByteArray(size - head.size(), fill));
    return head;
}

// An OLE2 compound file whose first sector record starts at byte 512.
QByteArray ole2(const QByteArray& atOffset512)
{
    QByteArray file = padded(bytes({0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}), 512, '\0');
    return padded(file + atOffset512, 2048, '\0');
}

const QByteArray kZipLocal = bytes({0x50, 0x4B, 0x03, 0x04, 0x14, 0x00});

} // namespace

class FileTypeSniffTest : public QObject
{
    Q_OBJECT

    QString dir;

    QString write(const QString& name, const QByteArray& content)
    {
        return Test::writeFile(dir + QLatin1Char('/') + name, content);
    }

private slots:
    void initTestCase() { dir = Test::freshFolder(QStringLiteral("sniff")); }

    void types_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("type");

        const QByteArray login = "<!DOCTYPE html>\n<html lang=\"en\"><head><title>Sign in</title></head>"
                                 "<body><form>user</form></body></html>";
        QTest::newRow("pdf") << "paper.pdf" << padded("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n", 4000) << "pdf";
        QTest::newRow("login page saved as .pdf") << "login.pdf" << login << "htm";
        QTest::newRow("HTML of 250 KB is too large") << "big.htm" << padded(login, 250 * 1024, ' ') << "";
        QTest::newRow("capital HTML> with BODY")
            << "caps.htm" << QByteArray("<HTML>\n<BODY>hello</BODY></HTML>") << "htm";
        QTest::newRow("<html without title head or body")
            << "bare.txt" << QByteArray("see <html lang=x> here, nothing more") << "";
        QTest::newRow("Word 97-2003") << "a.doc" << ole2(bytes({0xEC, 0xA5, 0xC1, 0x00})) << "doc";
        QTest::newRow("Excel 97-2003") << "a.xls" << ole2(bytes({0x09, 0x08, 0x10, 0x00})) << "xls";
        QTest::newRow("PowerPoint 97-2003") << "a.ppt" << ole2(bytes({0x00, 0x00, 0x00, 0xF0})) << "ppt";
        QTest::newRow("OLE2 but no Office file") << "a.msi" << ole2(bytes({0x01, 0x02, 0x03, 0x04})) << "";
        QTest::newRow("OLE2 shorter than 515 bytes")
            << "short.doc" << padded(ole2({}).left(8), 300, '\0') << "";
        QTest::newRow("docx") << "a.docx"
                              << padded(kZipLocal + bytes({0x06, 0x00, 0x08, 0x00}) + "[Content_Types].xml",
                                        900)
                              << "docx";
        QTest::newRow("pptx reads as docx")
            << "a.pptx" << padded(kZipLocal + bytes({0x06, 0x00, 0x08, 0x00}) + "ppt/slides", 900) << "docx";
        QTest::newRow("plain zip") << "a.zip" << padded(kZipLocal + bytes({0x00, 0x00, 0x08, 0x00}), 900)
                                   << "zip";
        QTest::newRow("mp3 with ID3v1 tag only")
            << "a.mp3" << padded(bytes({0xFF, 0xFB, 0x90, 0x44}), 4000, '\x11') + padded("TAGtitle", 128, ' ')
            << "mp3";
        QTest::newRow("mp3 with ID3v2.3") << "b.mp3" << padded(bytes({0x49, 0x44, 0x33, 0x03}), 600) << "mp3";
        QTest::newRow("JPEG JFIF")
            << "a.jpg" << padded(bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46}), 800)
            << "jpg";
        QTest::newRow("JPEG Exif big-endian") << "b.jpg"
                                              << padded(bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x12, 0x34, 0x45, 0x78,
                                                               0x69, 0x66, 0, 0, 0x4D, 0x4D, 0x00, 0x2A}),
                                                        800)
                                              << "jpg";
        QTest::newRow("JPEG Exif little-endian")
            << "c.jpg"
            << padded(bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x12, 0x34, 0x45, 0x78, 0x69, 0x66, 0, 0, 0x49, 0x49,
                             0x2A, 0x00}),
                      800)
            << "";
        QTest::newRow("PNG") << "a.png"
                             << padded(bytes({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}), 100) << "png";
        QTest::newRow("GIF89a") << "a.gif" << padded("GIF89a", 100) << "gif";
        QTest::newRow("RTF") << "a.rtf" << padded("{\\rtf1\\ansi", 100) << "rtf";
        QTest::newRow("exe") << "a.exe" << padded("MZ\x90", 100) << "exe";
        QTest::newRow("caj") << "a.caj" << padded(bytes({0xC8, 0, 0, 0}), 100) << "caj";
        QTest::newRow("caa keys")
            << "a.caa" << QByteArray("[TARGET]\nA1=1\nA2=2\nB1=3\nB2=4\nC1=5\nC2=6\nD1=7\nD2=8\ndoctype=9\n")
            << "caa";
        QTest::newRow("caa with a key missing")
            << "b.caa" << QByteArray("[TARGET]\nA1=1\nA2=2\nB1=3\nB2=4\nC1=5\nC2=6\nD1=7\nD2=8\n") << "";
        QTest::newRow("five bytes") << "hello.txt" << QByteArray("hello") << "";
        QTest::newRow("five bytes of PDF") << "tiny.pdf" << QByteArray("%PDF-") << "pdf";
        QTest::newRow("one byte") << "one.bin" << QByteArray("M") << "";
        QTest::newRow("empty") << "empty.pdf" << QByteArray() << "";
        QTest::newRow("Exif header cut at 14 bytes")
            << "cut.jpg"
            << bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x12, 0x34, 0x45, 0x78, 0x69, 0x66, 0, 0, 0x4D, 0x4D}) << "";
    }
    void types()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, type);
        QCOMPARE(打开文件判断文件类型(write(name, content)), type);
    }

    void wholePdf_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("whole");
        const QByteArray body(5000, 'x');
        QTest::newRow("header and marker") << "%PDF-1.7\n" + body + "\n%%EOF\n" << true;
        QTest::newRow("marker within the last 1024 bytes")
            << "%PDF-1.7\n" + body + "%%EOF" + QByteArray(1000, ' ') << true;
        QTest::newRow("incrementally updated") << "%PDF-1.4\n" + body + "%%EOF\n" + body + "%%EOF\r\n"
                                               << true;
        QTest::newRow("cut before its marker") << "%PDF-1.7\n" + body << false;
        QTest::newRow("marker too far from the end") << "%PDF-1.7\n%%EOF" + body << false;
        QTest::newRow("no header") << "<html>" + body + "%%EOF" << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("tiny and whole") << QByteArray("%PDF-%%EOF") << true;
    }
    void wholePdf()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, whole);
        QCOMPARE(IsWholePdf(write(QStringLiteral("whole-check.pdf"), content)), whole);
    }

    void notAFile()
    {
        QCOMPARE(打开文件判断文件类型(dir + QStringLiteral("/missing.pdf")), QString());
        QCOMPARE(打开文件判断文件类型(dir), QString());
        QCOMPARE(打开文件判断文件类型(QString()), QString());
    }

    void unreadableFile()
    {
        // A file that cannot be opened is told apart like a missing one (root reads anything, so
        // this only bites for other users).
        const QString path = write(QStringLiteral("locked.pdf"), "%PDF-1.7 and more bytes");
        QFile::setPermissions(path, QFileDevice::Permissions());
        const QString type = 打开文件判断文件类型(path);
        QVERIFY(type.isEmpty() || type == QLatin1String("pdf"));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void fileIsLeftUnchanged()
    {
        const QByteArray content = padded("%PDF-1.4", 20000);
        const QString path = write(QStringLiteral("keep.pdf"), content);
        const QDateTime modified = QFileInfo(path).lastModified();
        QCOMPARE(打开文件判断文件类型(path), QStringLiteral("pdf"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
    }
};

LUNOVEX_TEST_MAIN(FileTypeSniffTest)
#include "tst_filetypesniff.moc"
