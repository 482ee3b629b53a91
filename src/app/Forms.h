#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace Lunovex {

// The names of the product's windows, as their objectName reads.
namespace FormName {
inline const QString Cover = QStringLiteral("fCover");
inline const QString WebSearch = QStringLiteral("fWebSearch");
inline const QString FileDownload = QStringLiteral("fFileDownload");
} // namespace FormName

// The loaded windows, by the names the product gives them. A window registers when it loads and
// unregisters when it unloads, so windows find each other here without including each other.
void RegisterForm(QWidget* window);
void UnregisterForm(QWidget* window);

// Whether a window of that name is loaded (names compare without regard to case).
bool IsFormLoaded(const QString& name);
QWidget* FindForm(const QString& name);

// How a window that is not loaded gets made, so that windows can open each other without
// including each other: the window that knows the class registers it.
void RegisterFormFactory(const QString& name, std::function<QWidget*()> create);
// The named window, made by its factory (loaded, not shown) when it is not loaded yet; nullptr when
// nobody can make it.
QWidget* LoadForm(const QString& name);
// Shows the named window, loading it first when needed; nullptr when nobody can make it.
QWidget* ShowForm(const QString& name);

// The start window comes back when the last of the two main windows closes: called by a main
// window as it unloads, with the other main window's name.
void ShowStartWindowUnlessLoaded(const QString& otherMainWindow);

// Deletes every registered window but the start window, without running their close handlers
// (the application is ending).
void DestroyOtherForms(QWidget* startWindow);

} // namespace Lunovex
