#include "util/FileTypeSniff.h"

#include "util/PathNames.h"

#include <QFile>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <utility>

namespace Lunovex {

namespace {

constexpr qint64 kHeadBytes = 10'240;

// The head of the file with one zero byte after it. A test that reads past it ends the sniffing.
class Head
{
public:
    explicit Head(QByteArray bytes) : bytes_(std::move(bytes)) { bytes_.append('\0'); }

    // Whether every (position, value) pair matches; nullopt when a position lies outside the head.
    std::optional<bool> matches(std::initializer_list<std::pair<int, unsigned char>> expected) const
    {
        for (const auto& [position, value] : expected)
            if (position >= bytes_.size()) return std::nullopt;
        for (const auto& [position, value] : expected)
            if (static_cast<unsigned char>(bytes_[position]) != value) return false;
        return true;
    }

private:
    QByteArray bytes_;
};

using Pattern = std::initializer_list<std::pair<int, unsigned char>>;

struct Signature
{
    Pattern pattern;
    const char* type; // nullptr: the OLE2 compound file, told apart below
};

// Runs the signatures in order. nullopt: a test ran past the head, nothing is decided.
std::optional<QString> signatureType(const Head& head)
{
    static const Signature signatures[] = {
        {{{0, 0x25}, {1, 0x50}, {2, 0x44}, {3, 0x46}}, "pdf"},
        {{{0, 0xC8}, {1, 0x00}, {2, 0x00}, {3, 0x00}}, "caj"},
        {{{0, 0x43}, {1, 0x41}, {2, 0x4A}, {3, 0x00}}, "kdh"},
        {{{0, 0x4B}, {1, 0x44}, {2, 0x48}, {3, 0x20}}, "kdh"},
        {{{0, 0x48}, {1, 0x4E}, {2, 0x00}, {3, 0x00}}, "nh"},
        {{{0, 0x49}, {1, 0x49}, {2, 0x2A}, {3, 0x00}}, "tif"},
        {{{0, 0x7B}, {1, 0x5C}, {2, 0x72}, {3, 0x74}, {4, 0x66}}, "rtf"},
        {{{0, 0x4D}, {1, 0x5A}}, "exe"},
        {{{0, 0x52}, {1, 0x61}, {2, 0x72}, {3, 0x21}}, "rar"},
        {{{0, 0x50}, {1, 0x4B}, {2, 0x03}, {3, 0x04}, {4, 0x14}, {5, 0x00}, {6, 0x00}, {7, 0x00}, {8, 0x08}},
         "zip"},
        {{{0, 0x50},
          {1, 0x4B},
          {2, 0x03},
          {3, 0x04},
          {4, 0x14},
          {5, 0x00},
          {6, 0x06},
          {7, 0x00},
          {8, 0x08},
          {9, 0x00}},
         "docx"},
        {{{0, 0x43}, {1, 0x57}, {2, 0x53}, {3, 0x06}}, "swf"},
        {{{0, 0x2E}, {1, 0x52}, {2, 0x4D}, {3, 0x46}}, "rm"},
        {{{0, 0x30}, {1, 0x26}, {2, 0xB2}, {3, 0x75}, {4, 0x8E}}, "wma"},
        {{{0, 0x49}, {1, 0x44}, {2, 0x33}, {3, 0x03}}, "mp3"},
        {{{0, 0x89}, {1, 0x50}, {2, 0x4E}, {3, 0x47}, {4, 0x0D}, {5, 0x0A}, {6, 0x1A}, {7, 0x0A}}, "png"},
        {{{0, 0x47}, {1, 0x49}, {2, 0x46}, {3, 0x38}, {4, 0x39}, {5, 0x61}}, "gif"},
        {{{0, 0xFF},
          {1, 0xD8},
          {2, 0xFF},
          {3, 0xE1},
          {6, 0x45},
          {7, 0x78},
          {8, 0x69},
          {9, 0x66},
          {12, 0x4D},
          {13, 0x4D},
          {14, 0x00},
          {15, 0x2A}},
         "jpg"},
        {{{0, 0xFF},
          {1, 0xD8},
          {2, 0xFF},
          {3, 0xE0},
          {4, 0x00},
          {5, 0x10},
          {6, 0x4A},
          {7, 0x46},
          {8, 0x49},
          {9, 0x46}},
         "jpg"},
        {{{0, 0xD0}, {1, 0xCF}, {2, 0x11}, {3, 0xE0}, {4, 0xA1}, {5, 0xB1}, {6, 0x1A}, {7, 0xE1}}, nullptr},
    };

    for (const Signature& signature : signatures) {
        const std::optional<bool> hit = head.matches(signature.pattern);
        if (!hit) return std::nullopt;
        if (!*hit) continue;
        if (signature.type) return QString::fromLatin1(signature.type);

        // OLE2: Word, Excel or PowerPoint by the first record after the header; nothing else is tried.
        static const Signature office[] = {
            {{{512, 0xEC}, {513, 0xA5}, {514, 0xC1}, {515, 0x00}}, "doc"},
            {{{512, 0x09}, {513, 0x08}, {514, 0x10}, {515, 0x00}}, "xls"},
            {{{515, 0xF0}}, "ppt"},
        };
        for (const Signature& sub : office) {
            const std::optional<bool> subHit = head.matches(sub.pattern);
            if (!subHit) return std::nullopt;
            if (*subHit) return QString::fromLatin1(sub.type);
        }
        return QString();
    }
    return QString();
}

bool containsAll(const QString& text, std::initializer_list<const char*> keys)
{
    for (const char* key : keys)
        if (!text.contains(QLatin1String(key), Qt::CaseInsensitive)) return false;
    return true;
}

bool containsAny(const QString& text, std::initializer_list<const char*> keys)
{
    for (const char* key : keys)
        if (text.contains(QLatin1String(key), Qt::CaseInsensitive)) return true;
    return false;
}

} // namespace

QString 打开文件判断文件类型(const QString& path)
{
    if (!IsFilePresent(path)) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const qint64 size = file.size();
    const QByteArray headBytes = file.read(std::min(size, kHeadBytes));
    if (headBytes.size() != std::min(size, kHeadBytes)) return {};
    const Head head(headBytes);

    const std::optional<QString> signature = signatureType(head);
    if (!signature) return {};
    if (!signature->isEmpty()) return *signature;

    if (size > 128 && file.seek(size - 128) && file.read(3) == QByteArrayLiteral("TAG"))
        return QStringLiteral("mp3");

    if (size / 1024 < 200) {
        const QString text = QString::fromLocal8Bit(headBytes);
        if (containsAny(text, {"<html ", "html>"}) && containsAny(text, {"<title>", "<head>", "<body>"}))
            return QStringLiteral("htm");
    }

    if (size / 1024 < 3 && file.seek(0)) {
        const QString whole = QString::fromLocal8Bit(file.readAll());
        if (containsAll(whole,
                        {"A1=", "[TARGET]", "A2=", "B1=", "B2=", "C1=", "C2=", "D1=", "D2=", "DOCTYPE="}))
            return QStringLiteral("caa");
    }
    return {};
}

bool IsWholePdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    if (file.read(5) != "%PDF-") return false;
    const qint64 size = file.size();
    const qint64 from = std::max<qint64>(0, size - 1024);
    if (!file.seek(from)) return false;
    return file.read(size - from).contains("%%EOF");
}

} // namespace Lunovex
