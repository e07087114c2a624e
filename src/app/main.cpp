// Entry point of Quorvanel: the runtime, the single-instance hand-over of the
// documents on the command line, start-up and the exit status.
#include "app/singleinstance.h"
#include "app/startup.h"
#include "framework/runtime/ownhome.h"
#include "framework/runtime/runtime.h"

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    UseOwnHome();  // before anything reads HOME: nothing is to be made in another user's home
    // A write past a file size limit then fails as any other and the save says
    // so, instead of the signal ending the program with the text unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    const DocumentPaths documents = LaunchDocuments(argc, argv);
    Runtime runtime(argc, argv);

    using single_instance::Claim;
    Claim claim = single_instance::ClaimOrHandOver(single_instance::DefaultSocketPath(), documents,
                                                   OpenHandedOverDocuments);
    for (const handover::Refusal& refused : claim.refused)
        std::fprintf(stderr, "Quorvanel: not handed over: %s: %s\n", refused.path.constData(),
                     refused.reason.toLocal8Bit().constData());
    switch (claim.outcome) {
    case Claim::Outcome::HandedOver:
        return 0;
    case Claim::Outcome::Refused:
        return 1;
    case Claim::Outcome::Busy:
        std::fprintf(stderr, "Quorvanel: the running instance is not answering; nothing was handed over\n");
        return 1;
    case Claim::Outcome::Unreachable:
        std::fprintf(stderr, "Quorvanel: another launch has been starting for too long; the running instance, if "
                             "any, cannot be reached, and nothing was handed over\n");
        return 1;
    case Claim::Outcome::Failed:
        std::fprintf(stderr, "Quorvanel: the running instance did not take the documents\n");
        return 1;
    case Claim::Outcome::Primary:
    case Claim::Outcome::Alone:
        break;
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
