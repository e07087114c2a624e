// Entry point of Quorvanel: the single-instance hand-over of the documents on the
// command line, the runtime, start-up and the exit status.
#include "app/launchfeedback.h"
#include "app/singleinstance.h"
#include "app/startup.h"
#include "app/windowsystem.h"
#include "framework/runtime/ownhome.h"
#include "framework/runtime/runtime.h"

#include <QLockFile>

#include <csignal>
#include <cstdio>
#include <optional>

int main(int argc, char** argv)
{
    UseOwnHome();  // before anything reads HOME: nothing is to be made in another user's home
    // A write past a file size limit then fails as any other and the save says
    // so, instead of the signal ending the program with the text unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    const DocumentPaths documents = LaunchDocuments(argc, argv);
    const handover::Feedback feedback = launch_feedback::OfThisLaunch();
    // Qt's window system comes up only in a launch that is to open a window: one
    // that hands its documents over needs no display.
    std::optional<Runtime> runtime;
    const auto startRuntime = [&] { runtime.emplace(argc, argv); };

    using single_instance::Claim;
    Claim claim = single_instance::ClaimOrHandOver(
        single_instance::DefaultSocketPath(), documents, OpenHandedOverDocuments, feedback,
        [&](QLockFile& lock) { StartWindowSystem(startRuntime, [&lock] { lock.unlock(); }); });
    for (const handover::Refusal& refused : claim.refused)
        std::fprintf(stderr, "Quorvanel: not handed over: %s: %s\n", refused.path.constData(),
                     refused.reason.toLocal8Bit().constData());
    // A launch that ends without a window and whose documents the running window
    // did not take ends its own feedback.
    if (claim.outcome != Claim::Outcome::HandedOver && claim.outcome != Claim::Outcome::Primary
        && claim.outcome != Claim::Outcome::Alone)
        launch_feedback::EndWithoutWindow(feedback);
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
    if (!runtime)
        StartWindowSystem(startRuntime);

    bool started = false;
    try {
        started = Main(documents);
    } catch (...) {
        // Only a failing report itself gets here; the report has been tried.
    }
    const int status = RuntimeExit();
    return started ? status : (status != 0 ? status : 1);
}
