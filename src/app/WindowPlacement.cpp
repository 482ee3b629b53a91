#include "app/WindowPlacement.h"

#include "app/Settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace Lunovex {

namespace {

SettingKey placementKey(const QWidget* window, const char* key, const char* defaultValue)
{
    return {window->objectName(), QString::fromUtf8(key), QString::fromUtf8(defaultValue)};
}

} // namespace

QString ScreenResolutionText(const QWidget* window)
{
    const QScreen* screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return QStringLiteral("0*0");
    // The screen's size in twips divided by 15: its size in pixels.
    const QSize size = screen->size();
    return QStringLiteral("%1*%2").arg(size.width()).arg(size.height());
}

void SaveWindowPlacement(QWidget* window)
{
    if (window->isMaximized()) {
        SaveSetting(placementKey(window, "分辨率", "000"), QStringLiteral("0*0"));
        return;
    }
    SaveSetting(placementKey(window, "分辨率", "000"), ScreenResolutionText(window));
    SaveSetting(placementKey(window, "上", "100"), window->y() * kTwipsPerPixel);
    SaveSetting(placementKey(window, "左", "100"), window->x() * kTwipsPerPixel);
    SaveSetting(placementKey(window, "宽", "15000"), window->width() * kTwipsPerPixel);
    SaveSetting(placementKey(window, "高", "10000"), window->height() * kTwipsPerPixel);
}

void RestoreWindowPlacement(QWidget* window)
{
    if (GetSetting(placementKey(window, "分辨率", "000")) != ScreenResolutionText(window)) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
        return;
    }
    const int top = std::max(0, GetSettingInt(placementKey(window, "上", "100")));
    const int left = std::max(0, GetSettingInt(placementKey(window, "左", "100")));
    const int width = std::max(4000, GetSettingInt(placementKey(window, "宽", "15000")));
    const int height = std::max(3000, GetSettingInt(placementKey(window, "高", "10000")));
    window->setWindowState(window->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
    window->move(left / kTwipsPerPixel, top / kTwipsPerPixel);
    window->resize(width / kTwipsPerPixel, height / kTwipsPerPixel);
}

} // namespace Lunovex
