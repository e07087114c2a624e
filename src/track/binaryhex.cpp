// The binary-to-hex converter.
#include "track/binaryhex.h"

#include "framework/text/numbers.h"
#include "framework/text/strings.h"

namespace track {

std::optional<QString> BinaryToHex(const QString& input) {
  const std::optional<qint64> number =
      textfn::IntegerFromBinary(textfn::ReplaceAll(input, QStringLiteral(" "), QString()));
  if (!number) return std::nullopt;
  return textfn::Right(QStringLiteral("0000") + textfn::Hex(*number), 4);
}

}  // namespace track
