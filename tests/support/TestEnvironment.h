#pragma once

#include <QApplication>
#include <QString>
#include <QTest>

namespace Lunovex::Test {

// Gives the test process a temporary home, config, data, cache and runtime folder and a headless
// platform before the application object exists, so that no test touches the user's settings,
// files or another test's. Removed again when the process ends.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    QString root() const { return root_; }

    // Names and icon as in the app, the program's own folder inside the temporary root.
    void prepare(QApplication& app);

private:
    QString root_;
};

// A fresh empty folder inside the test's temporary root.
QString freshFolder(const QString& name);

// A window's control by its object name; a missing one ends the test run, as it is a broken window.
template <typename T> T* control(QWidget* window, const char* name)
{
    T* c = window->findChild<T*>(QString::fromUtf8(name));
    if (!c) qFatal("no control %s", name);
    return c;
}

// Writes a file whole (a failure fails the test that asked); returns the path.
QString writeFile(const QString& path, const QByteArray& content = "x");
// A file's bytes, empty when it cannot be read.
QByteArray readFile(const QString& path);

} // namespace Lunovex::Test

// Like QTEST_MAIN, with the environment above.
#define LUNOVEX_TEST_MAIN(TestClass)                                                                         \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        Lunovex::Test::TestEnvironment environment;                                                          \
        QApplication app(argc, argv);                                                                        \
        environment.prepare(app);                                                                            \
        TestClass test;                                                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
