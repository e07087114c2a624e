// The window tests' fixture: a fresh main window per test, with a recording note
// output, scripted file dialogs and save-failure messages collected, and the
// helpers the tests share.
#pragma once

#include "framework/files/dialogs.h"
#include "framework/sound/noteoutput.h"
#include "framework/sound/recordingnoteoutput.h"
#include "window/mw.h"
#include "window/usermessage.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

inline const QString CR(QChar(13));

inline void Click(Control& c) { QTest::mouseClick(c.Widget(), Qt::LeftButton); }
inline void Select(TextArea& a, qint64 start, qint64 length)
{
    a.SetSelStart(start);
    a.SetSelLength(length);
}

// A note line as the keyboard writes it.
inline QString NoteLine(const QString& key, const QString& vel = "55", const QString& gate = "83 18")
{
    return "90 " + key + " " + vel + " " + gate + " 90 " + key + " 00 48 " + CR;
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        notes_ = std::make_shared<RecordingNoteOutput>();
        previousOutput_ = SetNoteOutput(notes_);
        dialogs_ = std::make_shared<ScriptedFileDialogs>();
        previousDialogs_ = SetFileDialogs(dialogs_);
        previousSink_ = SetUserMessageSink([this](const QString& text) { messages_ << text; });
        w_ = &MW::Instance();
        ASSERT_TRUE(dir_.isValid());
    }

    void TearDown() override
    {
        w_->TM0().SetMode(Timer::ModeOff);
        MW::DestroyInstance();
        SetUserMessageSink(previousSink_);
        SetFileDialogs(previousDialogs_);
        SetNoteOutput(previousOutput_);
    }

    MW& w() { return *w_; }
    RecordingNoteOutput& notes() { return *notes_; }
    ScriptedFileDialogs& dialogs() { return *dialogs_; }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    // A text area's text, CR as "|" so expectations read on one line.
    static QString Shown(TextArea& a) { return a.Text().replace(CR, "|"); }
    QString Track() { return Shown(w().BinaryTa()); }
    // The address, hex and character columns, as shown.
    QStringList Columns() { return {Shown(w().HedderTa()), Track(), Shown(w().FutterTa())}; }
    // The button pressed with the file dialog answering the path.
    void Through(Control& button, const QString& path)
    {
        dialogs().Answer(path);
        Click(button);
    }
    void Activate()
    {
        QApplication::setActiveWindow(w().QtWindow());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w().QtWindow()));
    }

    // Note-ons and note-offs sent so far, as "on 60 116" and "off 60".
    QStringList Notes()
    {
        QStringList s;
        for (const auto& call : notes_->Calls())
            if (call.kind == RecordingNoteOutput::Kind::NoteOn)
                s << QStringLiteral("on %1 %2").arg(call.value).arg(call.velocity);
            else if (call.kind == RecordingNoteOutput::Kind::NoteOff)
                s << QStringLiteral("off %1").arg(call.value);
        return s;
    }

    QStringList messages_;
    QTemporaryDir dir_;

private:
    MW* w_ = nullptr;
    std::shared_ptr<RecordingNoteOutput> notes_;
    std::shared_ptr<NoteOutput> previousOutput_;
    std::shared_ptr<ScriptedFileDialogs> dialogs_;
    std::shared_ptr<FileDialogs> previousDialogs_;
    UserMessageSink previousSink_;
};
