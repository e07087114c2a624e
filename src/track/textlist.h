// A list of texts kept end to end in one pool, one byte a character while they are
// all Latin-1: what playback records for every line of the track (its text, key,
// velocity and sounding time) at a few bytes a line rather than one string each,
// so that a start on a text of millions of lines stays quick.
#pragma once

#include <QString>
#include <QStringView>
#include <initializer_list>
#include <vector>

namespace track {

class TextList {
 public:
  TextList() = default;
  TextList(std::initializer_list<QString> texts);

  qsizetype size() const { return static_cast<qsizetype>(ends_.size()); }
  bool isEmpty() const { return ends_.empty(); }
  // Text i, made when asked for; i must be within the list.
  QString operator[](qsizetype i) const;
  QString at(qsizetype i) const { return (*this)[i]; }

  void clear();
  // Room for texts of so many characters in all, and for so many texts.
  void reserve(qsizetype characters, qsizetype texts);
  void append(QStringView text);
  void append(QLatin1StringView text);

 private:
  void widen();

  std::vector<char> latin1_;
  QString wide_;
  bool isWide_ = false;
  std::vector<qsizetype> ends_;  // where each text ends in the pool
};

}  // namespace track
