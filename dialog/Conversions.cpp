// Velmaro — the dialog's conversions between numbers and text.
#include "dialog/Conversions.h"

QString Str(std::int16_t number) {
  const QString digits = QString::number(number);
  return number < 0 ? digits : QLatin1Char(' ') + digits;
}

QString PlainText(std::int16_t number) { return QString::number(number); }

double Val(const QString& text) {
  qsizetype at = 0;
  const auto isDigit = [&](qsizetype i) { return i < text.size() && text[i].isDigit() && text[i].unicode() < 128; };
  while (at < text.size() && (text[at] == QLatin1Char(' ') || text[at] == QLatin1Char('\t'))) ++at;

  // Sign, digits, an optional fraction and an optional exponent; the number
  // ends where the next character would not continue it.
  const qsizetype start = at;
  if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-'))) ++at;
  qsizetype digits = 0;
  while (isDigit(at)) ++at, ++digits;
  if (at < text.size() && text[at] == QLatin1Char('.')) {
    ++at;
    while (isDigit(at)) ++at, ++digits;
  }
  if (digits == 0) return 0;
  qsizetype end = at;
  if (at < text.size() && (text[at] == QLatin1Char('e') || text[at] == QLatin1Char('E'))) {
    qsizetype exponent = at + 1;
    if (exponent < text.size() && (text[exponent] == QLatin1Char('+') || text[exponent] == QLatin1Char('-'))) ++exponent;
    if (isDigit(exponent)) {
      while (isDigit(exponent)) ++exponent;
      end = exponent;
    }
  }
  bool ok = false;
  const double number = text.mid(start, end - start).toDouble(&ok);
  return ok ? number : 0;
}
