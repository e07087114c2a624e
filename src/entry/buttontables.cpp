// The choices of the velocity and note-length button rows.
#include "entry/buttontables.h"

#include "framework/text/strings.h"

namespace entry {

namespace {

QString Field(const char* list, qint64 index) {
  if (index < 0 || index >= kButtonsPerRow) return {};
  return textfn::NthField(QString::fromLatin1(list), QStringLiteral(","), index + 1);
}

}  // namespace

QString VelocityField(qint64 index) { return Field(VelocityValues, index); }
QString GapField(qint64 index) { return Field(GapDeltas, index); }
QString GateField(qint64 index) { return Field(GateDeltas, index); }

}  // namespace entry
