#pragma once
// A compiled regular expression: the node graph built from one pattern text,
// the group counters that size a match, the flags it was compiled with and
// one matcher of its own that the instance operations run on. `Pattern`
// works over byte strings, `UPattern` over wide strings; both are one
// template and share no state. A pattern owns every node it created (through
// its node table) and its own matcher; compile returns null after a syntax
// error, which has then been reported on standard error.
//
// Process-wide tables, per variant: a cache of compiled patterns keyed by
// text and flags and a table of named patterns that "{name}" refers to. Both
// are built before main and released at exit, cached patterns included.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "matcher.h"
#include "nfa_node.h"

template <class C>
class ClassText;

template <class C>
class PatternT {
 public:
  using String = std::basic_string<C>;
  using Node = NodeOf<C>;
  using MatcherType = MatcherT<C>;

  static constexpr int MIN_REPEAT = 0;
  static constexpr int MAX_REPEAT = 2147483647;
  static constexpr std::uint64_t IGNORE_CASE = 1;
  static constexpr std::uint64_t LITERAL_PATTERN = 2;
  static constexpr std::uint64_t DOT_ALL = 4;
  static constexpr std::uint64_t MULTI_LINE = 8;
  static constexpr std::uint64_t UNIX_LINES = 16;

  // Null after a syntax error (reported on standard error).
  //
  // Nesting: groups, "{name}" references and bracket classes open at most
  // 100,000 levels inside one another; one level more is a syntax error,
  // reported once, with the caret under the character that opens it.
  // Alternatives side by side open none, however many. Whether a text
  // compiles, and what it reports, depends on the text alone: a parse that
  // outgrows its caller's stack (at most 1 MB of it, within the bounds read
  // from that thread) is made again on a stack of its own, 1 GB or the
  // largest half of that down to 256 KB that can be had, and the reports are
  // written when the compile ends.
  // Cannot finish: when no such stack can hold the parse, compile returns
  // null and standard error carries, instead of a syntax error, the one line
  // "Pattern not compiled: no stack large enough for its nesting could be had."
  static PatternT* compile(const String& pattern, std::uint64_t flags);
  // One-call forms: compile afresh, run the instance form, delete.
  static bool matches(const String& pattern, const String& subject, std::uint64_t flags);
  static std::pair<String, int> findNthMatch(const String& pattern, const String& subject,
                                             int n, std::uint64_t flags);
  static std::vector<String> findAll(const String& pattern, const String& subject,
                                     std::uint64_t flags);
  static std::vector<String> split(const String& pattern, const String& subject, bool keepEmpty,
                                   std::uint64_t limit, std::uint64_t flags);
  static String replace(const String& pattern, const String& subject, const String& replacement,
                        std::uint64_t flags);
  // Stores the text (not the compiled pattern) under name when it compiles.
  static bool registerPattern(const String& name, const String& pattern, std::uint64_t flags);
  static void unregisterPatterns();
  // Compiles a text once per flags value and keeps the result, a failure
  // included, which is thus reported once.
  static PatternT* compileCached(const String& pattern, std::uint64_t flags);
  static void clearCache();

  ~PatternT();
  PatternT(const PatternT&) = delete;
  PatternT& operator=(const PatternT&) = delete;

  // The new matcher belongs to the caller; this pattern must outlive it.
  MatcherType* createMatcher(const String& subject);
  bool matches(const String& subject);
  std::vector<String> findAll(const String& subject);
  // Up to limit segments that end at a match, then the rest (0: no limit).
  std::vector<String> split(const String& subject, bool keepEmpty, std::uint64_t limit);
  String replace(const String& subject, const String& replacement);
  // True when the latest instance operation gave up for want of stack, so
  // its false or its list is no answer. The one-call forms cannot tell.
  bool exhaustedStack() const { return ownMatcher->exhaustedStack(); }
  String getPattern() const { return patternText; }
  std::uint64_t getFlags() const { return flags; }
  // Enters node into the node table, which owns it, and returns it. Should
  // the table fail to grow, the node is freed before the failure goes on.
  template <class N>
  N* registerNode(N* node) {
    std::unique_ptr<N> owned(node);
    nodes[node] = true;
    return owned.release();
  }
  // Byte patterns only: prints the node graph on standard output.
  void dump() const;

 private:
  friend class MatcherT<C>;

  PatternT(const String& text, std::uint64_t flags);

  // Sequences, groups, alternation and quantifiers (parser.h).
  struct ParseCall;
  Node* parseTopLevel(Node** tailOut);
  Node* parseOnOwnStack(Node** tailOut);
  void restartParse(std::uint64_t callerFlags);
  bool mayNest();
  void raiseErrorUnlessStopped();
  Node* parse(bool inGroup, Node** tailOut);
  void beginChain(ParseCall& call);
  Node* parseAlternatives(ParseCall& first);
  bool parseChain(ParseCall& call, Node*& result);
  Node* endChain(ParseCall& call);
  ParseCall beginAlternative(ParseCall& call);
  void joinAlternative(ParseCall& call, const ParseCall& alternative);
  bool parseGroupType(ParseCall& call, Node*& whole);
  bool parseInlineFlags(ParseCall& call, Node*& whole);
  bool parseStep(ParseCall& call, C c, Node*& closed);
  Node* parseEscapeAtom();
  void parseGroupStep(ParseCall& call);
  bool parseCloseStep(ParseCall& call, Node*& closed);
  void appendNode(ParseCall& call, Node* node);
  Node* parseQuantifier(Node* atom);
  Node* parseGroupQuantifier(Node* head, Node* tail, int groupIndex);
  bool parseQuantifierForm(int& min, int& max, int& kind);
  bool parseBounds(int& min, int& max);
  int parseDecimal(int first, int last);
  Node* parseRegisteredReference(Node** tailOut);
  static bool isPatternName(const String& name);
  Node* makeDot();
  Node* makeClassNode(const String& text, bool inverted);
  bool stackExhausted() const { return parseStackLimit.passedBy(__builtin_frame_address(0)); }

  // Escapes, classes and literal texts (parser_escapes.h).
  String parseEscape(bool& negated, bool& quote);
  String parseClass();
  void parseClassRange(ClassText<C>& result, C first);
  String parsePosixClass();
  String parseHex();
  String parseOctal();
  Node* parseQuote();
  Node* parseLookBehind(bool positive, Node** tailOut);
  Node* parseBackReference();
  void raiseError();
  void writeReports();
  static void writeReport(const std::string& report);
  C charAt(int index) const;
  bool atEnd() const { return parsePos >= static_cast<int>(patternText.size()); }

  // Algebra over class texts (class_algebra.h).
  String classRange(C first, C last);
  String classComplement(const String& text) const;
  static String classIntersection(String one, String two);

  static std::map<std::pair<String, std::uint64_t>, std::unique_ptr<PatternT>> patternCache;
  static std::map<String, std::pair<String, std::uint64_t>> registeredPatterns;

  std::map<Node*, bool> nodes;
  MatcherType* ownMatcher = nullptr;
  Node* head = nullptr;
  String patternText;
  bool error = false;
  int parsePos = 0;
  int groupCount = 0;
  int nonCapturing = 0;
  std::uint64_t flags = 0;
  // Names of registered patterns being expanded, to refuse a reference loop.
  std::vector<String> expanding;
  // Parse levels open inside the whole pattern's own, which is level 0.
  int nesting = -1;
  // Why the parse stopped where no further report may follow: the nesting
  // bound was reported, or the stack ran out, so the parse is made again on
  // a larger one.
  enum class ParseStop { None, Reported, OutOfStack };
  ParseStop stop = ParseStop::None;
  // The syntax errors of this compile, written when it ends, so that what a
  // compile writes does not depend on the stack it ran on: a parse made
  // again drops those of the attempt it replaces. Each text a report was
  // raised in is kept once, with the parse positions of its reports.
  struct ReportedText {
    int version;
    String text;
    std::vector<int> positions;
  };
  std::vector<ReportedText> reports;
  // Changes whenever patternText does, as a reference swaps it.
  int textVersion = 0;
  // Where the parser stops for want of stack.
  StackLimit parseStackLimit;
};

using Pattern = PatternT<char>;
using UPattern = PatternT<wchar_t>;

template <>
void PatternT<char>::dump() const;

extern template class PatternT<char>;
extern template class PatternT<wchar_t>;
