// The pooled text list.
#include "track/textlist.h"


namespace track {

TextList::TextList(std::initializer_list<QString> texts) {
  for (const QString& t : texts) append(QStringView(t));
}

QString TextList::operator[](qsizetype i) const {
  const qsizetype from = i == 0 ? 0 : ends_[static_cast<size_t>(i) - 1];
  const qsizetype n = ends_[static_cast<size_t>(i)] - from;
  return isWide_ ? wide_.mid(from, n) : QString::fromLatin1(latin1_.data() + from, n);
}

void TextList::clear() {
  latin1_ = {};
  wide_.clear();
  isWide_ = false;
  ends_ = {};
}

void TextList::reserve(qsizetype characters, qsizetype texts) {
  if (isWide_)
    wide_.reserve(characters);
  else
    latin1_.reserve(static_cast<size_t>(characters));
  ends_.reserve(static_cast<size_t>(texts));
}

void TextList::widen() {
  wide_ = QString::fromLatin1(latin1_.data(), static_cast<qsizetype>(latin1_.size()));
  latin1_ = {};
  isWide_ = true;
}

void TextList::append(QLatin1StringView text) {
  if (isWide_)
    wide_.append(text);
  else
    latin1_.insert(latin1_.end(), text.data(), text.data() + text.size());
  ends_.push_back(isWide_ ? wide_.size() : static_cast<qsizetype>(latin1_.size()));
}

void TextList::append(QStringView text) {
  if (!isWide_) {
    char16_t bits = 0;
    for (QChar c : text) bits |= c.unicode();
    if (bits < 0x100) {
      for (QChar c : text) latin1_.push_back(static_cast<char>(c.unicode()));
      ends_.push_back(static_cast<qsizetype>(latin1_.size()));
      return;
    }
    widen();
  }
  wide_.append(text);
  ends_.push_back(wide_.size());
}

}  // namespace track
