// The three texts of the hex view computed from one copy of a file's bytes, never
// built whole: the text engine asks for the characters it shows, the writers and
// playback for blocks of them. Every character is the one DumpBytes would build.
#pragma once

#include "framework/text/rowtext.h"

#include <QByteArray>
#include <memory>

namespace track {

struct DumpTexts {
  std::shared_ptr<const textfn::RowText> address;     // "00000000:" CR, one line per complete row more
  std::shared_ptr<const textfn::RowText> hex;         // "XX " per byte, CR after every 16th
  std::shared_ptr<const textfn::RowText> characters;  // the byte's character (20 to 7E, else "-") and " "; CR after every 16th
};

// The three texts of bytes; each keeps the bytes (shared, not copied).
DumpTexts DumpRows(const QByteArray& bytes);

// The bytes behind the hex text of a DumpRows (byte i spelled at characters
// 49 * (i / 16) + 3 * (i % 16) and the next one), or null for any other text.
const QByteArray* HexSource(const textfn::RowText& text);

}  // namespace track
