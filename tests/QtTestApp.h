#pragma once

// The one application object that Qt widgets need, made when the first window test runs (not
// when the tests are only listed). It lives to the end of the process: destroying it among the
// static objects at exit would outlive parts of Qt it still uses.

#include <QApplication>

namespace zep::test {

inline QApplication& EnsureQtApp() {
    static int argc = 1;
    static char name[] = "zeptest";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace zep::test
