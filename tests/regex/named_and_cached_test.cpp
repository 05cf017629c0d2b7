// The process-wide tables: named patterns that "{name}" brings in, and the
// cache of compiled patterns. Each variant has its own pair of tables.

#include "captured_output.h"
#include "variants.h"

namespace {

template <class C>
bool registerName(const std::string& name, const std::string& pattern, std::uint64_t flags) {
  return PatternT<C>::registerPattern(text<C>(name), text<C>(pattern), flags);
}

template <class C>
bool compilesQuietly(const std::string& pattern, std::string* report = nullptr) {
  PatternPtr<C> compiled;
  std::string written = stderrOf([&] { compiled = compile<C>(pattern, NO_FLAGS); });
  if (report) *report = written;
  return compiled != nullptr;
}

class NamedPatterns : public testing::Test {
 protected:
  void TearDown() override {
    Pattern::unregisterPatterns();
    UPattern::unregisterPatterns();
  }
};

template <class C>
void expectReferencesParsedInPlace() {
  ASSERT_TRUE(registerName<C>("d", "[0-9]", NO_FLAGS));
  ASSERT_TRUE(registerName<C>("xy", "(b)", NO_FLAGS));
  PatternPtr<C> digit = compile<C>("a{d}c", NO_FLAGS);
  ASSERT_NE(digit, nullptr);
  EXPECT_TRUE(digit->matches(text<C>("a5c")));
  EXPECT_FALSE(digit->matches(text<C>("axc")));

  PatternPtr<C> numbered = compile<C>("(a){xy}(c)", NO_FLAGS);
  ASSERT_NE(numbered, nullptr);
  MatcherPtr<C> matcher(numbered->createMatcher(text<C>("abc")));
  ASSERT_TRUE(matcher->matches());
  EXPECT_EQ(matcher->getGroups(false), texts<C>({"a", "b", "c"}));
}
TEST_F(NamedPatterns, ReferencesAreParsedInPlace) {
  FOR_BOTH_VARIANTS(expectReferencesParsedInPlace);
}

// The registered flags govern the registered text; the referring pattern's
// flags come back after it.
template <class C>
void expectRegisteredFlagsGovern() {
  ASSERT_TRUE(registerName<C>("ci", "b", IGNORE_CASE));
  PatternPtr<C> pattern = compile<C>("a{ci}c", NO_FLAGS);
  ASSERT_NE(pattern, nullptr);
  EXPECT_TRUE(pattern->matches(text<C>("aBc")));
  EXPECT_FALSE(pattern->matches(text<C>("Abc")));
  EXPECT_FALSE(pattern->matches(text<C>("aBC")));
}
TEST_F(NamedPatterns, RegisteredFlagsGovernRegisteredText) {
  FOR_BOTH_VARIANTS(expectRegisteredFlagsGovern);
}

template <class C>
void expectRegistrationRules() {
  std::string report = stderrOf([] { EXPECT_FALSE(registerName<C>("bad", "(a", NO_FLAGS)); });
  EXPECT_FALSE(report.empty());
  EXPECT_FALSE(compilesQuietly<C>("{bad}"));

  // Stored under any name, but a reference must spell a valid one.
  ASSERT_TRUE(registerName<C>("9x", "z", NO_FLAGS));
  EXPECT_FALSE(compilesQuietly<C>("{9x}"));
  ASSERT_TRUE(registerName<C>("a-b", "z", NO_FLAGS));
  EXPECT_FALSE(compilesQuietly<C>("{a-b}"));
  ASSERT_TRUE(registerName<C>("ab", "z", NO_FLAGS));
  EXPECT_FALSE(compilesQuietly<C>("x{ab"));
  for (const char* name : {"_x1", "Zz9", "aZ_", "Ab", "z", "a0"}) {
    ASSERT_TRUE(registerName<C>(name, "z", NO_FLAGS));
    EXPECT_TRUE(PatternT<C>::matches(text<C>(std::string("{") + name + "}"), text<C>("z"), NO_FLAGS))
        << name;
  }
  ASSERT_TRUE(registerName<C>("n", "a", NO_FLAGS));
  ASSERT_TRUE(registerName<C>("n", "b", NO_FLAGS));
  EXPECT_TRUE(PatternT<C>::matches(text<C>("{n}"), text<C>("b"), NO_FLAGS));

  PatternT<C>::unregisterPatterns();
  std::string afterUnregister;
  EXPECT_FALSE(compilesQuietly<C>("{n}", &afterUnregister));
  EXPECT_EQ(afterUnregister, "{n}\n ^\nSyntax Error near here. \n");
}
TEST_F(NamedPatterns, RegistrationNeedsACompilingText) {
  FOR_BOTH_VARIANTS(expectRegistrationRules);
}

TEST_F(NamedPatterns, VariantsHaveTheirOwnNames) {
  ASSERT_TRUE(Pattern::registerPattern("only", "x", NO_FLAGS));
  EXPECT_TRUE(compilesQuietly<char>("{only}"));
  EXPECT_FALSE(compilesQuietly<wchar_t>("{only}"));
}

// A name that leads back to itself, directly or through another name, is a
// syntax error and not an endless expansion.
template <class C>
void expectSelfReferenceRejected() {
  ASSERT_TRUE(registerName<C>("self", "b", NO_FLAGS));
  ASSERT_TRUE(registerName<C>("self", "a{self}", NO_FLAGS));
  std::string report;
  EXPECT_FALSE(compilesQuietly<C>("{self}", &report));
  EXPECT_NE(report.find("Syntax Error near here."), std::string::npos);

  ASSERT_TRUE(registerName<C>("ping", "p", NO_FLAGS));
  ASSERT_TRUE(registerName<C>("pong", "{ping}", NO_FLAGS));
  ASSERT_TRUE(registerName<C>("ping", "x{pong}", NO_FLAGS));
  EXPECT_FALSE(compilesQuietly<C>("{ping}", &report));
  EXPECT_NE(report.find("Syntax Error near here."), std::string::npos);

  // The same name twice side by side is no cycle.
  ASSERT_TRUE(registerName<C>("d", "[0-9]", NO_FLAGS));
  EXPECT_TRUE(PatternT<C>::matches(text<C>("{d}{d}"), text<C>("42"), NO_FLAGS));
}
TEST_F(NamedPatterns, SelfReferenceIsSyntaxError) { FOR_BOTH_VARIANTS(expectSelfReferenceRejected); }

// A report raised in the referring text after an expansion failed shows
// that text, with the caret under its own ")", not the referenced one.
template <class C>
void expectReportsAfterFailedReferenceShowReferringText() {
  ASSERT_TRUE(registerName<C>("self", "b", NO_FLAGS));
  ASSERT_TRUE(registerName<C>("self", "a{self}", NO_FLAGS));
  std::string report;
  EXPECT_FALSE(compilesQuietly<C>("({self})", &report));
  EXPECT_EQ(report,
            "a{self}\n ^\nSyntax Error near here. \n"
            "({self})\n       ^\nSyntax Error near here. Possible unescaped meta character.\n");
}
TEST_F(NamedPatterns, ReportsAfterFailedReferenceShowReferringText) {
  FOR_BOTH_VARIANTS(expectReportsAfterFailedReferenceShowReferringText);
}

// A quantifier right after a reference either repeats the whole registered
// text or is a syntax error; it never leaves a broken graph.
template <class C>
void expectQuantifiedReferenceSafe() {
  ASSERT_TRUE(registerName<C>("d", "[0-9]", NO_FLAGS));
  ASSERT_TRUE(registerName<C>("ab", "ab", NO_FLAGS));
  PatternPtr<C> digits;
  stderrOf([&] { digits = compile<C>("{d}+", NO_FLAGS); });
  if (digits) {
    EXPECT_TRUE(digits->matches(text<C>("123")));
    EXPECT_FALSE(digits->matches(text<C>("")));
    EXPECT_FALSE(digits->matches(text<C>("12a")));
  }
  PatternPtr<C> pairs;
  stderrOf([&] { pairs = compile<C>("x{ab}*y", NO_FLAGS); });
  if (pairs) {
    EXPECT_TRUE(pairs->matches(text<C>("xababy")));
    EXPECT_TRUE(pairs->matches(text<C>("xy")));
    EXPECT_FALSE(pairs->matches(text<C>("xabay")));
    EXPECT_FALSE(pairs->matches(text<C>("xay")));
  }
}
TEST_F(NamedPatterns, QuantifierAfterReferenceIsSafe) {
  FOR_BOTH_VARIANTS(expectQuantifiedReferenceSafe);
}

std::string nestedIn(const std::string& open, int levels, const std::string& inner, const std::string& close) {
  std::string out;
  for (int i = 0; i < levels; ++i) out += open;
  out += inner;
  for (int i = 0; i < levels; ++i) out += close;
  return out;
}

// A registered text compiles through a short reference as it did when it
// was registered, whatever text stands around the reference.
template <class C>
void expectDeepTextsCompileThroughReferences() {
  const int depth = 5000;
  ASSERT_TRUE(registerName<C>("deep", nestedIn("(", depth, "a", ")"), NO_FLAGS));
  for (const std::string& pattern : {std::string("{deep}"), "{deep}" + std::string(200, 'x')}) {
    std::string report;
    ASSERT_TRUE(compilesQuietly<C>(pattern, &report));
    EXPECT_TRUE(report.empty()) << report.size() << " bytes of reports";
    PatternPtr<C> compiled = compile<C>(pattern, NO_FLAGS);
    MatcherPtr<C> matcher(compiled->createMatcher(text<C>("a" + pattern.substr(6))));
    ASSERT_TRUE(matcher->matches());
    EXPECT_EQ(matcher->getGroup(depth), text<C>("a"));
  }
  ASSERT_TRUE(registerName<C>("classes", nestedIn("[", 50000, "a", "]"), NO_FLAGS));
  std::string report;
  ASSERT_TRUE(compilesQuietly<C>("{classes}", &report));
  EXPECT_TRUE(report.empty()) << report.size() << " bytes of reports";
  EXPECT_TRUE(PatternT<C>::matches(text<C>("{classes}"), text<C>("a"), NO_FLAGS));
  EXPECT_FALSE(PatternT<C>::matches(text<C>("{classes}"), text<C>("b"), NO_FLAGS));
}
TEST_F(NamedPatterns, DeepTextsCompileThroughShortReferences) {
  FOR_BOTH_VARIANTS(expectDeepTextsCompileThroughReferences);
}

// A reference opens one level and its text's levels count on from there;
// the bound reached inside the text is reported once, against that text.
template <class C>
void expectNestingBoundThroughReference() {
  const std::string inner = nestedIn("(", 60000, "a", ")");
  ASSERT_TRUE(registerName<C>("inner", inner, NO_FLAGS));
  EXPECT_TRUE(compilesQuietly<C>(nestedIn("(", 39999, "{inner}", ")")));
  std::string report;
  EXPECT_FALSE(compilesQuietly<C>(nestedIn("(", 40000, "{inner}", ")"), &report));
  EXPECT_TRUE(report == inner + "\n" + std::string(59999, ' ') + "^\nSyntax Error near here. \n")
      << report.size() << " bytes of reports";
}
TEST_F(NamedPatterns, NestingBoundCountsThroughReferences) {
  FOR_BOTH_VARIANTS(expectNestingBoundThroughReference);
}

class PatternCache : public testing::Test {
 protected:
  void TearDown() override {
    Pattern::clearCache();
    UPattern::clearCache();
  }
};

// The cache is keyed by text and flags: each pair is compiled once, and a
// request with other flags gets a pattern compiled with them.
template <class C>
void expectCacheKeyedByFlags() {
  PatternT<C>* plain = PatternT<C>::compileCached(text<C>("a"), NO_FLAGS);
  ASSERT_NE(plain, nullptr);
  PatternT<C>* folding = PatternT<C>::compileCached(text<C>("a"), IGNORE_CASE);
  ASSERT_NE(folding, nullptr);
  EXPECT_NE(folding, plain);
  EXPECT_FALSE(plain->matches(text<C>("A")));
  EXPECT_TRUE(folding->matches(text<C>("A")));
  EXPECT_EQ(plain->getFlags(), NO_FLAGS);
  EXPECT_EQ(folding->getFlags(), IGNORE_CASE);
  EXPECT_EQ(PatternT<C>::compileCached(text<C>("a"), NO_FLAGS), plain);
  EXPECT_EQ(PatternT<C>::compileCached(text<C>("a"), IGNORE_CASE), folding);
  // Flags the engine ignores are still part of the key.
  PatternT<C>* unknownBit = PatternT<C>::compileCached(text<C>("a"), 1u << 8);
  ASSERT_NE(unknownBit, nullptr);
  EXPECT_NE(unknownBit, plain);
  EXPECT_EQ(unknownBit->getFlags(), 1u << 8);
}
TEST_F(PatternCache, KeyedByTextAndFlags) { FOR_BOTH_VARIANTS(expectCacheKeyedByFlags); }

// A text that does not compile is reported once per flags value; later calls
// with those flags return the cached null silently.
template <class C>
void expectFailureCached() {
  const std::string report = "a)\n ^\nSyntax Error near here. Possible unescaped meta character.\n";
  for (std::uint64_t flags : {NO_FLAGS, IGNORE_CASE}) {
    std::string first = stderrOf([flags] {
      EXPECT_EQ(PatternT<C>::compileCached(text<C>("a)"), flags), nullptr);
    });
    EXPECT_EQ(first, report) << "flags " << flags;
    std::string second = stderrOf([flags] {
      EXPECT_EQ(PatternT<C>::compileCached(text<C>("a)"), flags), nullptr);
    });
    EXPECT_EQ(second, "") << "flags " << flags;
  }
  // As a literal text it compiles.
  EXPECT_NE(PatternT<C>::compileCached(text<C>("a)"), LITERAL_PATTERN), nullptr);
}
TEST_F(PatternCache, FailureIsCachedAndReportedOnce) { FOR_BOTH_VARIANTS(expectFailureCached); }

template <class C>
void expectClearEmptiesCache() {
  ASSERT_NE(PatternT<C>::compileCached(text<C>("(a)"), NO_FLAGS), nullptr);
  stderrOf([] { PatternT<C>::compileCached(text<C>("(b"), NO_FLAGS); });
  PatternT<C>::clearCache();
  PatternT<C>* again = PatternT<C>::compileCached(text<C>("(a)"), IGNORE_CASE);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->getFlags(), IGNORE_CASE);
  std::string report = stderrOf([] { PatternT<C>::compileCached(text<C>("(b"), NO_FLAGS); });
  EXPECT_FALSE(report.empty());
}
TEST_F(PatternCache, ClearStartsAfresh) { FOR_BOTH_VARIANTS(expectClearEmptiesCache); }

TEST_F(PatternCache, VariantsHaveTheirOwnCache) {
  Pattern* narrow = Pattern::compileCached("x", NO_FLAGS);
  UPattern* wide = UPattern::compileCached(L"x", IGNORE_CASE);
  ASSERT_NE(narrow, nullptr);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide->getFlags(), IGNORE_CASE);
}

// Left in the cache on purpose: the tables release what they still hold at
// exit, which the leak checker of the sanitizer build verifies.
TEST(PatternCacheAtExit, HeldPatternsAreReleased) {
  ASSERT_NE(Pattern::compileCached("left(in)cache", NO_FLAGS), nullptr);
  ASSERT_NE(UPattern::compileCached(L"left(in)cache", NO_FLAGS), nullptr);
}

}  // namespace
