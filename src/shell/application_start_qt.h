#pragma once

#include <QApplication>
#include <memory>

// The program's QApplication, configured; null, after saying so on standard
// error, when no display can be reached. A toolkit that gives up while
// starting ends the program with status 1 and the log lines of a failed
// start instead of aborting. `argc` must outlive the application.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv);
