// The diagnostic dump of a compiled byte pattern on standard output: one
// line per node, indented two blanks per level, each starting with the
// node's run-time class name as its type information spells it.

#include "captured_output.h"
#include "variants.h"

namespace {

struct DumpCase {
  const char* name;
  std::string pattern;
  std::uint64_t flags;
  std::string printed;
};

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
    {"LiteralPattern", "a.(", LITERAL_PATTERN,
     "Pattern(a.():\n"
     "  12NFAStartNode\n"
     "  12NFAQuoteNode(a.()\n"
     "  10NFAEndNode\n"},
};
INSTANTIATE_TEST_SUITE_P(Nodes, Dump, testing::ValuesIn(kDumps), RowName());

}  // namespace
