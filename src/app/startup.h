// The start-up sequence from a bare process to the event loop: the early step
// (high-resolution support, file type set, application object), the documents
// handed over at launch, the late step that makes the main window, the loop.
#pragma once

#include "app/documentpaths.h"
#include "app/handovermessage.h"

#include <functional>

class App;

void EarlyStartup();
void LateStartup();

// The two steps that _Main runs around the framework's initialisation.
struct StartupSteps {
    std::function<void()> early = EarlyStartup;
    std::function<void()> late = LateStartup;
};

// _Main. Runs the early step, queues the launch documents and the late step, and
// runs the event loop; an exception from a step goes to the framework's report
// and ends start-up there. False when start-up failed that way.
bool Main(const DocumentPaths& documents, const StartupSteps& steps = {});

// _EarlyStartup, in its order: high-resolution support, the file type set, the
// application object, the application's menu handlers.
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();

// _LateStartup and _MakeDefaultView: the main window, unless a document handed
// over has made it already.
void MakeDefaultView();

// The registered application object, once NewAppInstance has made it.
App* TheApp();

// Queues the documents for the application object's OpenDocument event, one
// after the other, to run as soon as the event loop starts.
void HandOverDocuments(const DocumentPaths& paths);

// What a second launch hands over: each path to OpenDocument in order, then the
// main window shown and brought to the front for that launch, whose feedback it ends.
void OpenHandedOverDocuments(const DocumentPaths& paths, const handover::Feedback& feedback = {});
