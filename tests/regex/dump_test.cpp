// The diagnostic dump of a compiled byte pattern on standard output: one
// line per node, indented two blanks per level, each starting with the
// node's run-time class name as its type information spells it; and the
// two text formatters of the same facility.

#include <map>

#include "captured_output.h"
#include "pattern_dump.h"
#include "variants.h"

namespace {

struct DumpCase {
  const char* name;
  std::string pattern;
  std::uint64_t flags;
  std::string printed;
};

// Tables print as their row names in test output.
void PrintTo(const DumpCase& row, std::ostream* out) { *out << row.name; }

class Dump : public testing::TestWithParam<DumpCase> {};

TEST_P(Dump, PrintsEveryNode) {
  const DumpCase& row = GetParam();
  PatternPtr<char> pattern = compile<char>(row.pattern, row.flags);
  ASSERT_NE(pattern, nullptr);
  EXPECT_EQ(stdoutOf([&] { pattern->dump(); }), row.printed);
}

const DumpCase kDumps[] = {
    {"GreedyQuantifier", "a+b", NO_FLAGS,
     "Pattern(a+b):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  23NFAGreedyQuantifierNode(min=1, max=2147483647)\n"
     "    inner\n"
     "      11NFACharNode(0x61)\n"
     "      13NFAAcceptNode\n"
     "  11NFACharNode(0x62)\n"
     "  10NFAEndNode\n"},
    {"GroupLoopHidesBody", "(ab)*", NO_FLAGS,
     "Pattern((ab)*):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  24NFAGroupLoopPrologueNode(gi=1)\n"
     "  16NFAGroupLoopNode(gi=1, min=0, max=2147483647, type=greedy)\n"
     "  10NFAEndNode\n"},
    {"LoopKinds", "(?:a)*?(b){2,3}+", NO_FLAGS,
     "Pattern((?:a)*?(b){2,3}+):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  24NFAGroupLoopPrologueNode(gi=-1)\n"
     "  16NFAGroupLoopNode(gi=-1, min=0, max=2147483647, type=reluctant)\n"
     "  24NFAGroupLoopPrologueNode(gi=1)\n"
     "  16NFAGroupLoopNode(gi=1, min=2, max=3, type=possessive)\n"
     "  10NFAEndNode\n"},
    {"AlternationRestUnderEachBranch", "x|y", NO_FLAGS,
     "Pattern(x|y):\n"
     "  12NFAStartNode\n"
     "  9NFAOrNode\n"
     "    one\n"
     "      15NFASubStartNode\n"
     "      11NFACharNode(0x78)\n"
     "      13NFAAcceptNode\n"
     "      13NFAAcceptNode\n"
     "      10NFAEndNode\n"
     "    two\n"
     "      15NFASubStartNode\n"
     "      11NFACharNode(0x79)\n"
     "      13NFAAcceptNode\n"
     "      13NFAAcceptNode\n"
     "      10NFAEndNode\n"},
    {"CaseInsensitiveClassPrintsNothing", "[ab]c", IGNORE_CASE,
     "Pattern([ab]c):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  13NFACICharNode(0x63)\n"
     "  10NFAEndNode\n"},
    {"GroupBodyInLine", "(a)\\1", NO_FLAGS,
     "Pattern((a)\\1):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  16NFAGroupHeadNode(gi=1)\n"
     "  11NFACharNode(0x61)\n"
     "  16NFAGroupTailNode(gi=1)\n"
     "  16NFAReferenceNode(gi=1)\n"
     "  10NFAEndNode\n"},
    {"Classes", ".\\d[^x]", NO_FLAGS,
     "Pattern(.\\d[^x]):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  12NFAClassNode(2 vals, inv=true)\n"
     "  12NFAClassNode(10 vals, inv=false)\n"
     "  12NFAClassNode(255 vals, inv=false)\n"
     "  10NFAEndNode\n"},
    {"Assertions", "\\b\\B\\A^$\\G\\z\\Z", NO_FLAGS,
     "Pattern(\\b\\B\\A^$\\G\\z\\Z):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  19NFAWordBoundaryNode(pos=true)\n"
     "  19NFAWordBoundaryNode(pos=false)\n"
     "  19NFAStartOfInputNode\n"
     "  19NFAStartOfInputNode\n"
     "  17NFAEndOfInputNode(term=false)\n"
     "  17NFAEndOfMatchNode\n"
     "  17NFAEndOfInputNode(term=false)\n"
     "  17NFAEndOfInputNode(term=true)\n"
     "  10NFAEndNode\n"},
    {"LineAssertions", "^$", MULTI_LINE,
     "Pattern(^$):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  18NFAStartOfLineNode\n"
     "  16NFAEndOfLineNode\n"
     "  10NFAEndNode\n"},
    {"LookArounds", "(?=a)(?<!b)c", NO_FLAGS,
     "Pattern((?=a)(?<!b)c):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  16NFALookAheadNode(pos=true)\n"
     "    15NFASubStartNode\n"
     "    11NFACharNode(0x61)\n"
     "    13NFAAcceptNode\n"
     "  17NFALookBehindNode(str=b, pos=false)\n"
     "  11NFACharNode(0x63)\n"
     "  10NFAEndNode\n"},
    {"QuotesAndInlineFlags", "\\Qa.\\E(?i)\\Qb\\E", NO_FLAGS,
     "Pattern(\\Qa.\\E(?i)\\Qb\\E):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  12NFAQuoteNode(a.)\n"
     "  17NFALookBehindNode(str=, pos=true)\n"
     "  14NFACIQuoteNode(b)\n"
     "  10NFAEndNode\n"},
    {"LazyPossessiveAtomic", "a*?b++(?>c)", NO_FLAGS,
     "Pattern(a*?b++(?>c)):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  21NFALazyQuantifierNode(min=0, max=2147483647)\n"
     "    inner\n"
     "      11NFACharNode(0x61)\n"
     "      13NFAAcceptNode\n"
     "  27NFAPossessiveQuantifierNode(min=1, max=2147483647)\n"
     "    inner\n"
     "      11NFACharNode(0x62)\n"
     "      13NFAAcceptNode\n"
     "  27NFAPossessiveQuantifierNode(min=1, max=1)\n"
     "    inner\n"
     "      15NFASubStartNode\n"
     "      11NFACharNode(0x63)\n"
     "      13NFAAcceptNode\n"
     "  10NFAEndNode\n"},
    {"HighByteSignExtended", "\x80\\xff", NO_FLAGS,
     "Pattern(\x80\\xff):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  11NFACharNode(0xFFFFFF80)\n"
     "  11NFACharNode(0xFFFFFFFF)\n"
     "  10NFAEndNode\n"},
    {"CaseInsensitiveCharLowered", "A", IGNORE_CASE,
     "Pattern(A):\n"
     "  12NFAStartNode\n"
     "  15NFASubStartNode\n"
     "  13NFACICharNode(0x61)\n"
     "  10NFAEndNode\n"},
    {"LiteralPattern", "a.(", LITERAL_PATTERN,
     "Pattern(a.():\n"
     "  12NFAStartNode\n"
     "  12NFAQuoteNode(a.()\n"
     "  10NFAEndNode\n"},
};
INSTANTIATE_TEST_SUITE_P(Nodes, Dump, testing::ValuesIn(kDumps), RowName());

}  // namespace

namespace {

std::map<char, bool> setOf(const std::string& members) {
  std::map<char, bool> set;
  for (char c : members) set[c] = true;
  return set;
}

std::map<char, bool> setOfRange(int first, int last) {
  std::string members;
  for (int value = first; value <= last; ++value) members += static_cast<char>(value);
  return setOf(members);
}

std::map<char, bool> allBut(char excluded) {
  std::map<char, bool> set = setOfRange(0, 255);
  set.erase(excluded);
  return set;
}

struct ClassTextCase {
  const char* name;
  std::map<char, bool> members;
  bool inverted;
  bool tryComplement;
  std::string printed;
};

void PrintTo(const ClassTextCase& row, std::ostream* out) { *out << row.name; }

class ClassText : public testing::TestWithParam<ClassTextCase> {};

TEST_P(ClassText, Formats) {
  const ClassTextCase& row = GetParam();
  EXPECT_EQ(std::string(formatClass(row.members, row.inverted, row.tryComplement)), row.printed);
}

const ClassTextCase kClassTexts[] = {
    {"DigitAndLetterRuns", setOf("abcd0123456789"), false, false, "[0-9a-d]"},
    {"RunsOfThreeAreRanges", setOf("012abcXYZ"), false, false, "[0-2X-Za-c]"},
    {"DashEscaped", setOf("-"), false, false, "[\\-]"},
    {"AllValuesShortestAsComplement", setOfRange(0, 255), false, true, "[^]"},
    {"Empty", setOf(""), false, false, "[]"},
    {"Inverted", setOf("a"), true, false, "[^a]"},
    {"SpaceWrittenTwice", setOf(" "), false, false, "[  ]"},
    {"NamedControls", setOf(std::string("\0\t\r\n\f", 5)), false, false, "[\\0\\t\\r\\n\\p]"},
    {"ControlRuns", setOf("\x01\x02\x03\x0b\x0e\x0f"), false, false,
     "[\\x01-\\x03\\x0B\\x0E\\x0F]"},
    {"HighRun", setOfRange(128, 255), false, false, "[\\x80-\\xFF]"},
    {"ShortLetterRunsSpelled", setOf("ABxy"), false, false, "[ABxy]"},
    {"PunctuationNeverARange", setOf("()*"), false, false, "[\\(\\)*]"},
    {"BracketsAndBackslash", setOf("[\\]"), false, false, "[\\[\\\\\\]]"},
    {"EveryClassOfCharacter", setOfRange(0, 255), true, false,
     "[^ \\0\\t\\r\\n\\p\\x01-\\x08\\x0B\\x0E-\\x1F\\x80-\\xFF"
     " !\"#$%&'\\(\\)*+,\\-./0-9:;<=>?@A-Z\\[\\\\\\]^_`a-z{|}~\x7f]"},
    {"ComplementWhenShorter", allBut('a'), false, true, "[^a]"},
    {"KeepsShorterFirstText", setOf("a"), false, true, "[a]"},
};
INSTANTIATE_TEST_SUITE_P(Formatter, ClassText, testing::ValuesIn(kClassTexts), RowName());

TEST(CharText, PrintableOrCode) {
  EXPECT_STREQ(formatChar('\0'), "\\0");
  EXPECT_STREQ(formatChar('\r'), "\\r");
  EXPECT_STREQ(formatChar('\t'), "\\t");
  EXPECT_STREQ(formatChar('\n'), "\\n");
  EXPECT_STREQ(formatChar('\f'), "\\p");
  EXPECT_STREQ(formatChar('\x1b'), "0x1B");
  EXPECT_STREQ(formatChar('\x01'), "0x01");
  EXPECT_STREQ(formatChar('0'), "0");
  EXPECT_STREQ(formatChar(' '), " ");
  EXPECT_STREQ(formatChar('\x80'), "0xFFFFFF80");
  EXPECT_STREQ(formatChar('\xff'), "0xFFFFFFFF");
}

}  // namespace
