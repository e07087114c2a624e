// What the user is told of saves that were cut off midway (a kill, a crash, a
// power cut while a file was rewritten in place): which file, and where its
// earlier bytes are kept whole. Once at the first start after it, and again once a
// session whenever that file is opened.
#pragma once

#include <QString>
#include <QStringList>

// One message per file whose cut-off save the user has not been told of yet.
void TellOfCutOffSaves();
// The message for the file at path, when a save of it was cut off and it has not
// been told of in this session.
void TellOfCutOffSavesOf(const QString& path);
// A copy that a save's failure message has named: told of, in this session and after.
void NoteEarlierBytesTold(const QString& copy);

// The message: the file, and its copies, the latest first.
QString CutOffSaveText(const QString& file, const QStringList& copies);
