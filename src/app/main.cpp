// Entry point of Quorvanel: the runtime, the single-instance hand-over of the
// documents on the command line, start-up and the exit status.
#include "app/singleinstance.h"
#include "app/startup.h"
#include "framework/runtime.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    // Every argument is a document path, so Qt sees none of them: a file named
    // like one of Qt's own options must not change how the program runs.
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    const QStringList documents = LaunchDocuments(argc, argv);

    // The QApplication has to go before the Qt libraries' own statics do, which an
    // owner of static storage would outlive; made here, RuntimeInit finds it.
    QCoreApplication::setApplicationName(QStringLiteral("Quorvanel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QApplication qt(qtArgc, qtArgv);
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvanel"));
    RuntimeInit(qtArgc, qtArgv);

    using single_instance::Claim;
    Claim claim = single_instance::ClaimOrHandOver(single_instance::DefaultSocketPath(), documents,
                                                   OpenHandedOverDocuments);
    if (claim.outcome == Claim::Outcome::HandedOver)
        return 0;
    if (claim.outcome == Claim::Outcome::Failed) {
        std::fprintf(stderr, "Quorvanel: the running instance did not take the documents\n");
        return 1;
    }

    bool started = false;
    try {
        started = Main(documents);
    } catch (...) {
        // Only a failing report itself gets here; the report has been tried.
    }
    const int status = RuntimeExit();
    return started ? status : (status != 0 ? status : 1);
}
