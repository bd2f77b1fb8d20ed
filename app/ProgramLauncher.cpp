#include "app/ProgramLauncher.h"

#include <QProcess>
#include <QString>

namespace zep {

bool DetachedProcessLauncher::StartDetached(const std::string& program) {
    if (program.empty()) {
        return false;
    }
    // The path is the program itself, never a command line: no shell sees it.
    return QProcess::startDetached(QString::fromStdString(program), {});
}

}  // namespace zep
