// The window tests' fixture: a fresh main window per test, with a recording note
// output, scripted file dialogs and save-failure messages collected.
#pragma once

#include "framework/dialogs.h"
#include "framework/noteoutput.h"
#include "framework/recordingnoteoutput.h"
#include "window/mw.h"
#include "window/savefailure.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        notes_ = std::make_shared<RecordingNoteOutput>();
        previousOutput_ = SetNoteOutput(notes_);
        dialogs_ = std::make_shared<ScriptedFileDialogs>();
        previousDialogs_ = SetFileDialogs(dialogs_);
        previousSink_ = SetSaveFailureSink([this](const QString& text) { messages_ << text; });
        w_ = &MW::Instance();
        ASSERT_TRUE(dir_.isValid());
    }

    void TearDown() override
    {
        MW::DestroyInstance();
        SetSaveFailureSink(previousSink_);
        SetFileDialogs(previousDialogs_);
        SetNoteOutput(previousOutput_);
    }

    MW& w() { return *w_; }
    RecordingNoteOutput& notes() { return *notes_; }
    ScriptedFileDialogs& dialogs() { return *dialogs_; }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    // What BinaryTa holds, CR as "|" so expectations read on one line.
    QString Track() { return w().BinaryTa().Text().replace(QChar(13), QLatin1Char('|')); }

    QStringList messages_;
    QTemporaryDir dir_;

private:
    MW* w_ = nullptr;
    std::shared_ptr<RecordingNoteOutput> notes_;
    std::shared_ptr<NoteOutput> previousOutput_;
    std::shared_ptr<ScriptedFileDialogs> dialogs_;
    std::shared_ptr<FileDialogs> previousDialogs_;
    SaveFailureSink previousSink_;
};
