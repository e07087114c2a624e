// The computed dump texts: each line is made from its 16 bytes when asked for.
#include "track/dumprows.h"

#include "track/dumptables.h"

#include <cstring>

namespace track {

namespace {

using dumptables::kTables;
constexpr qsizetype kRow = dumptables::kRow;

// Writes [pos, pos + n) of a text of lines of length L, building each line with
// build(k, out) (which writes the whole line k, or as much of a last short line as
// there is); whole lines go straight to out.
template <class Build>
void RenderLines(qsizetype L, qsizetype pos, qsizetype n, char* out, const Build& build) {
  char line[64];
  qsizetype k = pos / L, col = pos % L;
  while (n > 0) {
    const qsizetype take = qMin(n, L - col);
    if (take == L) {
      build(k, out);
    } else {
      build(k, line);
      std::memcpy(out, line + col, static_cast<size_t>(take));
    }
    out += take;
    n -= take;
    ++k;
    col = 0;
  }
}

class AddressRows final : public textfn::RowText {
 public:
  explicit AddressRows(qsizetype size) : RowText(dumptables::kAddressLine, size / kRow + 1, 0) {}
  void render(qsizetype pos, qsizetype n, char* out) const override {
    RenderLines(lineLength(), pos, n, out, [](qsizetype k, char* o) {
      const quint32 low = static_cast<quint32>(static_cast<quint64>(k) * kRow);  // the last eight digits
      for (int shift = 24; shift >= 0; shift -= 8) {
        std::memcpy(o, kTables.pair[(low >> shift) & 0xFF].data(), 2);
        o += 2;
      }
      o[0] = ':';
      o[1] = '\r';
    });
  }
};

// The hex and character texts: a fixed-width entry per byte and a CR after 16.
template <int kWidth>
class EntryRows final : public textfn::RowText {
 public:
  explicit EntryRows(const QByteArray& bytes)
      : RowText(kRow * kWidth + 1, bytes.size() / kRow, bytes.size() % kRow * kWidth), bytes_(bytes) {}
  const QByteArray& bytes() const { return bytes_; }
  void render(qsizetype pos, qsizetype n, char* out) const override {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes_.constData());
    const qsizetype size = bytes_.size();
    RenderLines(lineLength(), pos, n, out, [&](qsizetype k, char* o) {
      const unsigned char* in = data + k * kRow;
      const qsizetype count = qMin(kRow, size - k * kRow);
      for (qsizetype i = 0; i < count; ++i) {
        if constexpr (kWidth == 3) {
          std::memcpy(o, kTables.pair[in[i]].data(), 2);
          o[2] = ' ';
        } else {
          std::memcpy(o, kTables.shown[in[i]].data(), 2);
        }
        o += kWidth;
      }
      if (count == kRow) *o = '\r';
    });
  }

 private:
  QByteArray bytes_;
};

}  // namespace

DumpTexts DumpRows(const QByteArray& bytes) {
  return {std::make_shared<AddressRows>(bytes.size()), std::make_shared<EntryRows<3>>(bytes),
          std::make_shared<EntryRows<2>>(bytes)};
}

const QByteArray* HexSource(const textfn::RowText& text) {
  const auto* hex = dynamic_cast<const EntryRows<3>*>(&text);
  return hex ? &hex->bytes() : nullptr;
}

}  // namespace track
