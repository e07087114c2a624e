// Entry point of Quorvanel: the runtime, the single-instance hand-over of the
// documents on the command line, start-up and the exit status.
#include "app/singleinstance.h"
#include "app/startup.h"
#include "framework/runtime/runtime.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const QStringList documents = LaunchDocuments(argc, argv);
    Runtime runtime(argc, argv);

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
