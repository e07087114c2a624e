// The process's current note output: the synthesizer, made on first use.
#include "framework/sound/noteoutput.h"

#include "framework/sound/fluidsynthoutput.h"

#include <QGuiApplication>

namespace {

std::shared_ptr<NoteOutput>& Current()
{
    static std::shared_ptr<NoteOutput> current;
    return current;
}

unsigned long long generation = 1;

} // namespace

NoteOutput& CurrentNoteOutput()
{
    auto& current = Current();
    if (!current) {
        FluidSynthOutput::Options options;
        // Nobody listens on the offscreen platform: no sound device is opened.
        options.openAudioDevice = QGuiApplication::platformName() != QLatin1String("offscreen");
        current = std::make_shared<FluidSynthOutput>(options);
    }
    return *current;
}

std::shared_ptr<NoteOutput> SetNoteOutput(std::shared_ptr<NoteOutput> output)
{
    std::shared_ptr<NoteOutput> previous = std::move(Current());
    Current() = std::move(output);
    ++generation;
    return previous;
}

unsigned long long NoteOutputGeneration() { return generation; }
