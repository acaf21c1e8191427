// The application object of the view tests, made once per test program.
#pragma once

#include <QCoreApplication>

namespace verdan::test {

/// Makes the test program's application object, of class `App`, the first time it is asked.
template <class App> void makeApplication() {
    static int argc = 1;
    static char name[] = "verdan-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new App(argc, argv);
}

} // namespace verdan::test
