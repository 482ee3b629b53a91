#pragma once

class QApplication;

namespace Lunovex {

// Names, icon and quitting rule of the application; the app and the tests both call it.
void InitApplication(QApplication& app);

} // namespace Lunovex
