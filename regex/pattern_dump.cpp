// The diagnostic dump of a compiled byte pattern: one line per node on
// standard output, indented two spaces per level, each starting with the
// node's run-time class name as its type information spells it.

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <typeinfo>

#include "pattern_dump.h"

#include "node_kinds.h"
#include "pattern.h"

namespace {

const char* boolText(bool value) { return value ? "true" : "false"; }

void dumpLabel(int indent, const char* label) { std::printf("%*c%s\n", 2 * indent + 2, ' ', label); }

void dumpChain(const NFANode* node, int indent) {
  if (node) node->dump(indent);
}

}  // namespace

template <>
void PatternT<char>::dump() const {
  std::printf("Pattern(%s):\n", patternText.c_str());
  dumpChain(head, 1);
}

void NFANode::dumpLine(int indent, const char* fields, ...) const {
  std::printf("%*c%s", 2 * indent, ' ', typeid(*this).name());
  va_list arguments;
  va_start(arguments, fields);
  std::vprintf(fields, arguments);
  va_end(arguments);
  std::putchar('\n');
}

void NFANode::dumpNext(int indent) const { dumpChain(next, indent); }

void NFANode::dump(int indent) const {
  dumpLine(indent);
  dumpNext(indent);
}

void NFAOrNode::dump(int indent) const {
  dumpLine(indent);
  dumpLabel(indent, "one");
  dumpChain(one, indent + 2);
  dumpLabel(indent, "two");
  dumpChain(two, indent + 2);
}

void NFALookAheadNode::dump(int indent) const {
  dumpLine(indent, "(pos=%s)", boolText(positive));
  dumpChain(inner, indent + 1);
  dumpNext(indent);
}

void NFACharNode::dump(int indent) const {
  dumpLine(indent, "(0x%02X)", static_cast<unsigned>(static_cast<int>(c)));
  dumpNext(indent);
}

void NFACICharNode::dump(int indent) const {
  dumpLine(indent, "(0x%02X)", static_cast<unsigned>(static_cast<int>(c)));
  dumpNext(indent);
}

void NFAClassNode::dump(int indent) const {
  dumpLine(indent, "(%d vals, inv=%s)", static_cast<int>(members.size()), boolText(inverted));
  dumpNext(indent);
}

void NFACIClassNode::dump(int indent) const { dumpNext(indent); }

void NFAQuoteNode::dump(int indent) const {
  dumpLine(indent, "(%s)", text.c_str());
  dumpNext(indent);
}

void NFACIQuoteNode::dump(int indent) const {
  dumpLine(indent, "(%s)", text.c_str());
  dumpNext(indent);
}

void NFAReferenceNode::dump(int indent) const {
  dumpLine(indent, "(gi=%d)", groupIndex);
  dumpNext(indent);
}

void NFAWordBoundaryNode::dump(int indent) const {
  dumpLine(indent, "(pos=%s)", boolText(positive));
  dumpNext(indent);
}

void NFAEndOfInputNode::dump(int indent) const {
  dumpLine(indent, "(term=%s)", boolText(term));
  dumpNext(indent);
}

void NFALookBehindNode::dump(int indent) const {
  dumpLine(indent, "(str=%s, pos=%s)", text.c_str(), boolText(positive));
  dumpNext(indent);
}

namespace {

// What follows a quantifier's own line: its atom, then the rest of the chain.
void dumpQuantifierBody(const NFAQuantifierNode& node, int indent) {
  dumpLabel(indent, "inner");
  dumpChain(node.inner, indent + 2);
  dumpChain(node.next, indent);
}

}  // namespace

void NFAGreedyQuantifierNode::dump(int indent) const {
  dumpLine(indent, "(min=%d, max=%d)", min, max);
  dumpQuantifierBody(*this, indent);
}

void NFALazyQuantifierNode::dump(int indent) const {
  dumpLine(indent, "(min=%d, max=%d)", min, max);
  dumpQuantifierBody(*this, indent);
}

void NFAPossessiveQuantifierNode::dump(int indent) const {
  dumpLine(indent, "(min=%d, max=%d)", min, max);
  dumpQuantifierBody(*this, indent);
}

void NFAGroupHeadNode::dump(int indent) const {
  dumpLine(indent, "(gi=%d)", groupIndex);
  dumpNext(indent);
}

void NFAGroupTailNode::dump(int indent) const {
  dumpLine(indent, "(gi=%d)", groupIndex);
  dumpNext(indent);
}

void NFAGroupLoopPrologueNode::dump(int indent) const {
  dumpLine(indent, "(gi=%d)", groupIndex);
  dumpNext(indent);
}

void NFAGroupLoopNode::dump(int indent) const {
  const char* type = kind == 0 ? "greedy" : kind == 1 ? "reluctant" : "possessive";
  dumpLine(indent, "(gi=%d, min=%d, max=%d, type=%s)", groupIndex, min, max, type);
  dumpNext(indent);
}

namespace {

constexpr std::size_t kFormatBuffer = 1024;
char classBuffer[kFormatBuffer];
char charBuffer[kFormatBuffer];

// Appends to the class formatter's buffer, never past its end.
class ClassWriter {
 public:
  void put(const char* text) {
    for (; *text && length + 1 < kFormatBuffer; ++text) classBuffer[length++] = *text;
    classBuffer[length] = '\0';
  }
  void putHex(int code) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", code);
    put(text);
  }
  void putPlain(int code) {
    const char text[3] = {'\\', static_cast<char>(code), '\0'};
    put(std::strchr("()-[]\\", code) ? text : text + 1);
  }

 private:
  std::size_t length = 0;
};

bool isMember(const std::map<char, bool>& members, int code) {
  return members.count(static_cast<char>(code)) != 0;
}

// Runs of consecutive members in [from, to): hexadecimal codes when hex,
// else the characters themselves, with "a-z" for long runs when spanned.
void writeRuns(ClassWriter& out, const std::map<char, bool>& members, int from, int to, bool hex, bool spanned) {
  for (int code = from; code < to; ++code) {
    if (!isMember(members, code)) continue;
    int last = code;
    while (last + 1 < to && isMember(members, last + 1)) ++last;
    const int run = last - code + 1;
    if (hex) {
      out.putHex(code);
      if (run > 2) out.put("-");
      if (run > 1) out.putHex(last);
    } else if (spanned && run >= 3) {
      out.putPlain(code);
      out.put("-");
      out.putPlain(last);
    } else {
      for (int c = code; c <= last; ++c) out.putPlain(c);
    }
    code = last;
  }
}

void writeClass(const std::map<char, bool>& members, bool inverted) {
  ClassWriter out;
  out.put(inverted ? "[^" : "[");
  static const struct {
    int code;
    const char* text;
  } kEscapes[] = {{' ', " "}, {0, "\\0"}, {9, "\\t"}, {13, "\\r"}, {10, "\\n"}, {12, "\\p"}};
  for (const auto& escape : kEscapes)
    if (isMember(members, escape.code)) out.put(escape.text);
  static const int kHexRanges[][2] = {{1, 9}, {11, 12}, {14, 32}, {128, 256}};
  for (const auto& range : kHexRanges) writeRuns(out, members, range[0], range[1], true, false);
  static const struct {
    int from, to;
    bool spanned;
  } kPlainRanges[] = {{32, 48, false}, {48, 58, true}, {58, 65, false}, {65, 91, true},
                      {91, 97, false}, {97, 123, true}, {123, 128, false}};
  for (const auto& range : kPlainRanges) writeRuns(out, members, range.from, range.to, false, range.spanned);
  out.put("]");
}

}  // namespace

const char* formatClass(const std::map<char, bool>& members, bool inverted, bool tryComplement) {
  writeClass(members, inverted);
  if (!tryComplement) return classBuffer;
  std::map<char, bool> complement;
  for (int code = 0; code < 256; ++code)
    if (!isMember(members, code)) complement[static_cast<char>(code)] = true;
  char first[kFormatBuffer];
  std::memcpy(first, classBuffer, sizeof first);
  writeClass(complement, !inverted);
  if (std::strlen(classBuffer) > std::strlen(first)) std::memcpy(classBuffer, first, sizeof first);
  return classBuffer;
}

const char* formatChar(char c) {
  static const struct {
    char c;
    const char* text;
  } kEscapes[] = {{'\0', "\\0"}, {'\r', "\\r"}, {'\t', "\\t"}, {'\n', "\\n"}, {'\f', "\\p"}};
  for (const auto& escape : kEscapes)
    if (c == escape.c) return std::strcpy(charBuffer, escape.text);
  const int value = static_cast<signed char>(c);
  if (value <= 31)
    std::snprintf(charBuffer, sizeof charBuffer, "0x%02X", static_cast<unsigned>(value));
  else
    std::snprintf(charBuffer, sizeof charBuffer, "%c", c);
  return charBuffer;
}
