#pragma once
// The lexical half of the parser: escapes, bracket classes, the named classes
// after "\p", hexadecimal and octal escapes, quoted texts, look-behind texts,
// back-reference numbers and the one syntax-error report. Each reads on from
// parsePos, never past the end of the pattern text, and leaves parsePos just
// after what it consumed. Included only where PatternT is instantiated.

#include <cstdio>
#include <cwchar>
#include <string>
#include <type_traits>

#include "class_algebra.h"
#include "node_kinds.h"
#include "parser.h"
#include "pattern.h"

namespace class_texts {

// The characters with codes first to last, for the fixed class texts.
template <class C>
std::basic_string<C> codes(int first, int last) {
  std::basic_string<C> text;
  for (int code = first; code <= last; ++code) text += static_cast<C>(code);
  return text;
}

template <class C>
std::basic_string<C> widen(const char* text) {
  return std::basic_string<C>(text, text + std::char_traits<char>::length(text));
}

template <class C>
std::basic_string<C> named(int index) {
  const auto lower = codes<C>('a', 'z');
  const auto upper = codes<C>('A', 'Z');
  const auto digit = codes<C>('0', '9');
  const auto punct = codes<C>(33, 47) + codes<C>(58, 64) + codes<C>(91, 96) + codes<C>(123, 126);
  switch (index) {
    case 0:
      return lower;
    case 1:
      return upper;
    case 2:
      return lower + upper;
    case 3:
      return digit;
    case 4:
      return lower + upper + digit;
    case 5:
      return punct;
    case 6:
      return lower + upper + digit + punct;
    case 7:
      return lower + upper + digit + punct + C(' ');
    case 8:
      return widen<C>(" \t");
    case 9:
      return widen<C>(" \t\n\v\f\r");
    case 10:
      return codes<C>(0, 31) + C(127);
    case 11:
      return codes<C>(0, 127);
    default:
      return widen<C>("abcdefABCDEF0123456789");
  }
}

constexpr const char* kNames[] = {"{Lower}", "{Upper}", "{Alpha}", "{Digit}", "{Alnum}", "{Punct}",
                                  "{Graph}", "{Print}", "{Blank}", "{Space}", "{Cntrl}", "{ASCII}",
                                  "{XDigit}"};

template <class C>
int hexValue(C c) {
  if (c >= C('0') && c <= C('9')) return static_cast<int>(c - C('0'));
  if (c >= C('a') && c <= C('f')) return static_cast<int>(c - C('a')) + 10;
  if (c >= C('A') && c <= C('F')) return static_cast<int>(c - C('A')) + 10;
  return -1;
}

template <class C>
int octalValue(C c) {
  return c >= C('0') && c <= C('7') ? static_cast<int>(c - C('0')) : -1;
}

}  // namespace class_texts

template <class C>
C PatternT<C>::charAt(int index) const {
  return index >= 0 && index < static_cast<int>(patternText.size()) ? patternText[index] : C(0);
}

template <class C>
typename PatternT<C>::String PatternT<C>::parseEscape(bool& negated, bool& quote) {
  using namespace class_texts;
  const C c = charAt(parsePos++);
  negated = false;
  quote = false;
  if (parsePos > static_cast<int>(patternText.size())) {
    raiseError();
    return String();
  }
  switch (c) {
    case C('0'):
      return parseOctal();
    case C('x'):
      return parseHex();
    case C('D'):
      negated = true;
      [[fallthrough]];
    case C('d'):
      return named<C>(3);
    case C('S'):
      negated = true;
      [[fallthrough]];
    case C('s'):
      return widen<C>(" \t\r\n\f");
    case C('W'):
      negated = true;
      [[fallthrough]];
    case C('w'):
      return named<C>(4) + C('_');
    case C('P'):
      negated = true;
      [[fallthrough]];
    case C('p'):
      return parsePosixClass();
    case C('Q'):
      quote = true;
      return String();
    case C('t'):
      return String(1, C(9));
    case C('n'):
      return String(1, C(10));
    case C('r'):
      return String(1, C(13));
    case C('e'):
      return String(1, C(27));
    case C('f'):
      return String(1, C(12));
    case C('a'):
      return String(1, C(7));
    default:
      return String(1, c);
  }
}

template <class C>
typename PatternT<C>::String PatternT<C>::parseHex() {
  using class_texts::hexValue;
  if (sizeof(C) > 1) {
    int value = 0;
    int i = 0;
    for (; i < 4 && hexValue(charAt(parsePos + i)) >= 0; ++i) value = value * 16 + hexValue(charAt(parsePos + i));
    if (i == 4) {
      parsePos += 4;
      return String(1, static_cast<C>(value));
    }
  }
  const int high = hexValue(charAt(parsePos));
  const int low = hexValue(charAt(parsePos + 1));
  if (high < 0 || low < 0) return String(1, C(' '));
  parsePos += 2;
  return String(1, static_cast<C>(high * 16 + low));
}

template <class C>
typename PatternT<C>::String PatternT<C>::parseOctal() {
  using class_texts::octalValue;
  const int c1 = octalValue(charAt(parsePos));
  const int c2 = octalValue(charAt(parsePos + 1));
  const int c3 = octalValue(charAt(parsePos + 2));
  if (c1 < 0 || c2 < 0) {
    raiseError();
    return String(1, C(' '));
  }
  int value = 8 * c1 + c2;
  parsePos += 2;
  if (c1 <= 3 && c3 >= 0) {
    value = 8 * value + c3;
    ++parsePos;
  }
  return String(1, static_cast<C>(value));
}

template <class C>
typename PatternT<C>::String PatternT<C>::parsePosixClass() {
  using namespace class_texts;
  int index = 0;
  for (const char* name : kNames) {
    const std::size_t length = std::char_traits<char>::length(name);
    if (patternText.compare(parsePos, length, widen<C>(name)) == 0) {
      parsePos += static_cast<int>(length);
      return named<C>(index);
    }
    ++index;
  }
  raiseError();
  return String();
}

template <class C>
typename PatternT<C>::String PatternT<C>::parseClass() {
  const int size = static_cast<int>(patternText.size());
  const NestingLevel level(nesting);
  if (!mayNest()) {
    parsePos = size;
    return String();
  }
  ClassText<C> result;
  bool invert = false;
  if (charAt(parsePos) == C('^') && !atEnd()) {
    ++parsePos;
    invert = true;
  }
  while (!atEnd() && charAt(parsePos) != C(']')) {
    const C ch = patternText[parsePos++];
    const bool rangeFollows = !atEnd() && charAt(parsePos) == C('-');
    if (ch == C('[')) {
      result.add(parseClass());
    } else if (ch == C('&') && !atEnd() && charAt(parsePos) == C('&')) {
      ++parsePos;
      if (!atEnd() && charAt(parsePos) == C('[')) {
        ++parsePos;
        result.assign(classIntersection(result.members(), parseClass()));
      } else {
        raiseError();
        parsePos = size;
      }
    } else if (ch == C('\\')) {
      bool negated = false;
      bool quote = false;
      String text = parseEscape(negated, quote);
      if (quote) {
        raiseError();
        parsePos = size;
      } else if (negated || text.size() != 1) {
        result.add(negated ? classComplement(text) : text);
      } else if (!atEnd() && charAt(parsePos) == C('-')) {
        ++parsePos;
        parseClassRange(result, text[0]);
      } else {
        result.add(text);
      }
    } else if (rangeFollows) {
      ++parsePos;
      parseClassRange(result, ch);
    } else {
      result.add(ch);
    }
  }
  if (atEnd()) {
    raiseErrorUnlessStopped();
    return String();
  }
  ++parsePos;
  return invert ? classComplement(result.members()) : result.members();
}

// The "-" after first has been consumed; reads the range's end.
template <class C>
void PatternT<C>::parseClassRange(ClassText<C>& result, C first) {
  if (atEnd()) {
    raiseError();
    return;
  }
  const C c = patternText[parsePos++];
  if (c != C('\\')) {
    if (c == C('[') || c == C(']') || c == C('-') || c == C('&')) {
      raiseError();
      parsePos = static_cast<int>(patternText.size());
      return;
    }
    result.add(classRange(first, c));
    return;
  }
  bool negated = false;
  bool quote = false;
  const String text = parseEscape(negated, quote);
  if (quote) {
    raiseError();
    parsePos = static_cast<int>(patternText.size());
  } else if (negated || text.size() > 1) {
    raiseError();
  } else if (text.size() == 1) {
    result.add(classRange(first, text[0]));
  }
}

template <class C>
typename PatternT<C>::Node* PatternT<C>::parseQuote() {
  const int size = static_cast<int>(patternText.size());
  String text;
  for (;;) {
    if (atEnd()) {
      raiseError();
      break;
    }
    const C c = patternText[parsePos];
    if (c == C('\\') && parsePos + 1 < size && patternText[parsePos + 1] == C('E')) {
      parsePos += 2;
      break;
    }
    if (c == C('\\')) {
      if (parsePos + 1 < size) text += patternText[parsePos + 1];
      parsePos += 2;
    } else {
      text += c;
      ++parsePos;
    }
  }
  if (flags & IGNORE_CASE) return registerNode(new typename NodeKinds<C>::CIQuote(text));
  return registerNode(new typename NodeKinds<C>::Quote(text));
}

template <class C>
typename PatternT<C>::Node* PatternT<C>::parseLookBehind(bool positive, Node** tailOut) {
  const int size = static_cast<int>(patternText.size());
  String text;
  bool reported = false;
  while (!atEnd() && charAt(parsePos) != C(')')) {
    C c = patternText[parsePos++];
    if (c == C('\\')) {
      if (parsePos >= size - 1) {
        raiseError();
        reported = true;
        break;
      }
      c = patternText[parsePos++];
    }
    text += c;
  }
  if (!reported) {
    if (atEnd())
      raiseError();
    else
      ++parsePos;
  }
  Node* node = registerNode(new typename NodeKinds<C>::LookBehind(text, positive));
  *tailOut = node;
  return node;
}

template <class C>
typename PatternT<C>::Node* PatternT<C>::parseBackReference() {
  int n = 0;
  for (C c = charAt(parsePos); !atEnd() && c >= C('0') && c <= C('9') && (n <= 9 || n < groupCount);
       c = charAt(parsePos)) {
    n = 10 * n + static_cast<int>(c - C('0'));
    ++parsePos;
  }
  return registerNode(new typename NodeKinds<C>::Reference(n));
}

// Appends one pattern character as the report shows it. A wide character
// outside ASCII is spelled \x{hex}: its low byte alone could be a NUL or a
// false meta character.
template <class C>
void appendReported(std::string& report, C c) {
  const auto code = static_cast<std::make_unsigned_t<C>>(c);
  if (sizeof(C) == 1 || code < 0x80) {
    report += static_cast<char>(c);
    return;
  }
  char spelled[sizeof "\\x{ffffffff}"];
  std::snprintf(spelled, sizeof spelled, "\\x{%lx}", static_cast<unsigned long>(code));
  report += spelled;
}

// The pattern as a report shows it: up to a NUL in the byte variant.
template <class C>
std::string reportedPattern(const std::basic_string<C>& text) {
  std::string shown;
  for (C c : text) {
    if (sizeof(C) == 1 && c == C(0)) break;
    appendReported(shown, c);
  }
  return shown;
}

// The pattern as shown, a caret under the character just before position
// and a message chosen by that character. The caret's column counts pattern
// characters, however they are spelled.
template <class C>
std::string syntaxErrorReport(const std::string& shown, const std::basic_string<C>& text, int position) {
  std::string report = shown;
  const int at = position - 1;
  report += '\n';
  report.append(static_cast<std::size_t>(at > 1 ? at : 1), ' ');
  report += "^\n";
  const C c = at >= 0 && at < static_cast<int>(text.size()) ? text[at] : C(0);
  const bool meta = c == C(')') || c == C('*') || c == C('+') || c == C('?') || c == C(']') || c == C('}');
  report += meta ? "Syntax Error near here. Possible unescaped meta character.\n" : "Syntax Error near here. \n";
  return report;
}

// Keeps a report for the end of the compile; sets error.
template <class C>
void PatternT<C>::raiseError() {
  if (reports.empty() || reports.back().version != textVersion) reports.push_back({textVersion, patternText, {}});
  reports.back().positions.push_back(parsePos);
  error = true;
}

template <class C>
void PatternT<C>::writeReports() {
  for (const ReportedText& reported : reports) {
    const std::string shown = reportedPattern(reported.text);
    for (int position : reported.positions) writeReport(syntaxErrorReport(shown, reported.text, position));
  }
  reports.clear();
}

// Written in the orientation standard error already has, so that it always
// appears.
template <class C>
void PatternT<C>::writeReport(const std::string& report) {
  if (std::fwide(stderr, 0) > 0) {
    // A wide stream converts in the C locale, which knows ASCII alone.
    std::wstring wide;
    for (char ch : report) wide += ch >= 0 ? static_cast<wchar_t>(ch) : L'?';
    std::fputws(wide.c_str(), stderr);
  } else {
    std::fwrite(report.data(), 1, report.size(), stderr);
  }
}
