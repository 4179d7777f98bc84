#include "config/expression.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/expression_tokens.h"
#include "fuzz/checks/expression_checks.h"

namespace tq {
namespace {

std::vector<std::string> strings(const std::vector<TqString>& tokens) {
  std::vector<std::string> out;
  for (const TqString& t : tokens) out.push_back(t.str());
  return out;
}

std::vector<std::string> strings(const StringList& list) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < list.count(); ++i) out.push_back(list[i].str());
  return out;
}

using Tokens = std::vector<std::string>;

ExpressionValue infix(const std::string& text) {
  Expression e;
  e.parseInfix(text);
  ExpressionValue v;
  e.evaluate(v);
  return v;
}

// The kind and the text of a value, e.g. "int 14", "real 7.000000", "text abc".
std::string shown(const ExpressionValue& v) {
  static const char* const kKinds[] = {"int ", "real ", "text "};
  return kKinds[v.kind()] + v.asText().str();
}

std::string evalInfix(const std::string& text) { return shown(infix(text)); }

TEST(ExpressionTokensTest, InfixOperatorsWordsAndQuotes) {
  EXPECT_EQ(strings(tokenizeInfix("a!=b&&c||d")), (Tokens{"a", "!=", "b", "&&", "c", "||", "d"}));
  EXPECT_EQ(strings(tokenizeInfix("<=<<<>==>=>>=<")),
            (Tokens{"<=", "<<", "<>", "==", ">=", ">>", "=<"}));
  EXPECT_EQ(strings(tokenizeInfix("!x &|<")), (Tokens{"!", "x", "&", "|", "<"}));
  EXPECT_EQ(strings(tokenizeInfix("()*+,-/:?")),
            (Tokens{"(", ")", "*", "+", ",", "-", "/", ":", "?"}));
  EXPECT_EQ(strings(tokenizeInfix("foo-bar+baz 7%0 a,b x=~y")),
            (Tokens{"foo", "-", "bar", "+", "baz", "7%0", "a,b", "x", "=", "~y"}));
  EXPECT_EQ(strings(tokenizeInfix(" \t\r\n 3.5\r\n>\t2 ")), (Tokens{"3.5", ">", "2"}));
  EXPECT_EQ(strings(tokenizeInfix("\"a b\\\"c\"'x\\'y'w\"open")),
            (Tokens{"a b\"c", "x'y", "w", "open"}));
  EXPECT_EQ(strings(tokenizeInfix("'' 'tail\\")), (Tokens{"", "tail"}));
  EXPECT_TRUE(tokenizeInfix(" \r\n").empty());
}

TEST(ExpressionTokensTest, WordAndListSyntaxes) {
  EXPECT_EQ(strings(tokenizeWords("(and a(b 'c d'))x+y,z")),
            (Tokens{"(", "and", "a", "(", "b", "c d", ")", ")", "x+y,z"}));
  EXPECT_EQ(strings(tokenizeList("a, {b, {c}} ,'d,e'(x)w,v")),
            (Tokens{"a,", "b, {c}", ",", "d,e", "(", "x", ")", "w,v"}));
  EXPECT_EQ(strings(tokenizeList(",,{open {brace")), (Tokens{",", ",", "open {brace"}));
  EXPECT_EQ(strings(tokenizeList("{}")), (Tokens{""}));
}

TEST(ExpressionTest, PrecedenceAndGrouping) {
  EXPECT_EQ(evalInfix("2 + 3 * 4"), "int 14");
  EXPECT_EQ(evalInfix("2 * 3 + 4"), "int 10");
  EXPECT_EQ(evalInfix("10 - 4 - 3"), "int 9");  // right-associative
  EXPECT_EQ(evalInfix("(10 - 4) - 3"), "int 3");
  EXPECT_EQ(evalInfix("1 << 2 + 1"), "int 8");
  EXPECT_EQ(evalInfix("1 && 1 << 2"), "int 4");  // shifts bind weaker than logic
  EXPECT_EQ(evalInfix("6 & 3 == 2"), "int 1");   // bit operators bind tighter than comparisons
  EXPECT_EQ(evalInfix("1 + 2 == 3 && 2 > 1"), "int 1");
  EXPECT_EQ(evalInfix("-3 * 2"), "int -6");
  EXPECT_EQ(evalInfix("2 * -3"), "int -6");
  EXPECT_EQ(evalInfix("1 + 2)"), "int 3");  // a stray ")" closes nothing

  Expression negation;
  negation.parseInfix("-3");
  EXPECT_EQ(negation.op().str(), "--");
  EXPECT_EQ(negation.left(), nullptr);
  ASSERT_NE(negation.right(), nullptr);
  EXPECT_EQ(negation.right()->name().str(), "3");

  Expression chain;
  chain.parseInfix("10 - 4 - 3");
  EXPECT_EQ(chain.left()->name().str(), "10");
  EXPECT_EQ(chain.right()->op().str(), "-");
  EXPECT_EQ(chain.depth(), 3);
}

TEST(ExpressionTest, IntegerArithmeticIsTotal) {
  EXPECT_EQ(evalInfix("7 / 0"), "int 7");
  EXPECT_EQ(evalInfix("7 % 0"), "int 0");
  EXPECT_EQ(evalInfix("7 div 2"), "int 3");
  EXPECT_EQ(evalInfix("-7 mod 3"), "int -1");
  EXPECT_EQ(evalInfix("6 & 3"), "int 2");
  EXPECT_EQ(evalInfix("6 | 3"), "int 7");
  EXPECT_EQ(evalInfix("6 ^ 3"), "int 5");
  EXPECT_EQ(evalInfix("6 xor 3"), "int 5");
  EXPECT_EQ(evalInfix("-8 >> 1"), "int -4");
  EXPECT_EQ(evalInfix("1 << 33"), "int 2");  // the count is taken modulo 32
  EXPECT_EQ(evalInfix("5 max 3"), "int 5");
  EXPECT_EQ(evalInfix("5 min 3"), "int 3");
  EXPECT_EQ(evalInfix("3 <> 4"), "int 1");
  EXPECT_EQ(evalInfix("3 <= 3"), "int 1");
  EXPECT_EQ(evalInfix("3 ge 4"), "int 0");
  EXPECT_EQ(evalInfix("3 in 3"), "int 1");
  EXPECT_EQ(evalInfix("2 || 0"), "int 1");
  EXPECT_EQ(evalInfix("! 0"), "int 1");
  EXPECT_EQ(evalInfix("not 5"), "int 0");
  // Overflow wraps instead of trapping: these would fault or be undefined on plain ints.
  EXPECT_EQ(evalInfix("2147483647 + 1"), "int -2147483648");
  EXPECT_EQ(evalInfix("2147483647 * 2"), "int -2");
  EXPECT_EQ(evalInfix("(-2147483647 - 1) / -1"), "int -2147483648");
  EXPECT_EQ(evalInfix("(-2147483647 - 1) % -1"), "int 0");
  EXPECT_EQ(evalInfix("-(-2147483647 - 1)"), "int -2147483648");
  EXPECT_EQ(evalInfix("-1 << 31"), "int -2147483648");
  EXPECT_EQ(evalInfix("99999999999 + 0"), "int 2147483647");  // decimal conversion clamps
}

TEST(ExpressionTest, RealArithmetic) {
  EXPECT_EQ(evalInfix("7.0 / 0"), "real 7.000000");
  EXPECT_EQ(evalInfix("3.5 > 2"), "real 1.000000");
  EXPECT_EQ(evalInfix("3 > 2"), "int 1");
  EXPECT_EQ(evalInfix("2.5 * 2"), "real 5.000000");
  EXPECT_EQ(evalInfix(".5 + '+5'"), "real 5.500000");  // ".5" and "+5" are reals
  EXPECT_EQ(evalInfix("2.5 max 3"), "real 3.000000");
  EXPECT_EQ(evalInfix("1.5 <> 2"), "real 0.000000");  // no "<>" for reals
  EXPECT_EQ(evalInfix("7.5 % 2"), "real 0.000000");
  EXPECT_EQ(evalInfix("2.0 in 2"), "real 1.000000");
  EXPECT_EQ(evalInfix("- 2.5"), "real -2.500000");
  EXPECT_EQ(evalInfix("! 0.0"), "real 1.000000");
}

TEST(ExpressionTest, TextOperands) {
  EXPECT_EQ(evalInfix("abc == 123"), "int 0");  // text against a number compares texts
  EXPECT_EQ(evalInfix("abc == abc"), "int 1");
  EXPECT_EQ(evalInfix("abc != abd"), "int 1");
  EXPECT_EQ(evalInfix("abc <> abd"), "int 0");  // not a text operator
  EXPECT_EQ(evalInfix("'1x' and '2y'"), "int 1");
  EXPECT_EQ(evalInfix("abc && 2"), "int 0");
  EXPECT_EQ(evalInfix("abc || 1"), "int 0");
  EXPECT_EQ(evalInfix("abc + 1"), "int 0");
  EXPECT_EQ(evalInfix("host in 'a, host ,b'"), "int 1");
  EXPECT_EQ(evalInfix("hos in 'a, host ,b'"), "int 0");
  EXPECT_EQ(evalInfix("'x,{y,z}' has '{y,z}'"), "int 1");
  EXPECT_EQ(evalInfix("in == in"), "int 1");  // "in" where an operand belongs is a name
  EXPECT_EQ(evalInfix("- abc"), "text ");
  EXPECT_EQ(evalInfix("hello"), "text hello");  // an unknown name is its own text
}

TEST(ExpressionTest, MalformedTextDoesNotFail) {
  Expression open;
  open.parseInfix("(1 + 2");
  EXPECT_EQ(open.op().str(), "(");  // the unbalanced "(" becomes a node
  ExpressionValue v;
  open.evaluate(v);
  EXPECT_EQ(shown(v), "int 0");

  EXPECT_EQ(evalInfix("1 +"), "int 0");  // a missing operand is an empty text
  EXPECT_EQ(evalInfix("-"), "text ");
  EXPECT_EQ(evalInfix("1 ; 2"), "int 0");
  EXPECT_EQ(evalInfix("a b"), "text a");  // the first operand left is the result
  EXPECT_EQ(evalInfix("1 , 2"), "int 1");
  EXPECT_EQ(evalInfix(""), "text ");

  Expression reused;
  reused.parseInfix("1 + 2");
  reused.parseInfix("");  // a new parse replaces the old tree
  EXPECT_TRUE(reused.op().empty());
  EXPECT_EQ(reused.left(), nullptr);
}

TEST(ExpressionTest, WordAndListSyntaxesParse) {
  Expression words;
  words.parseWords("( 1 add 2 ) mul 3");
  ExpressionValue v;
  words.evaluate(v);
  EXPECT_EQ(shown(v), "int 9");
  words.parseWords("(1+2)");
  words.evaluate(v);
  EXPECT_EQ(shown(v), "text 1+2");  // one word
  words.parseWords("3 =~ 3");       // parsed as an operator, known to no kind of value
  EXPECT_EQ(words.op().str(), "=~");
  words.evaluate(v);
  EXPECT_EQ(shown(v), "int 0");

  Expression list;
  list.parseList("{a, b}");
  EXPECT_EQ(list.name().str(), "a, b");
  list.parseList("(1 + 2) * 3");
  list.evaluate(v);
  EXPECT_EQ(shown(v), "int 9");
  list.parseList("x , y");  // "," is a name, not an operator
  EXPECT_EQ(list.name().str(), "x");
}

class MapResolver : public ExpressionResolver {
 public:
  std::map<std::string, std::string> values;
  std::vector<std::string> variable_names;

  void value(const TqString& name, TqString& out) const override {
    auto it = values.find(name.str());
    out = it == values.end() ? name : TqString(std::string_view(it->second));
  }
  bool isDefined(const TqString& name) const override { return values.count(name.str()) > 0; }
  bool isVariable(const TqString& name) const override {
    for (const std::string& v : variable_names)
      if (v == name.str()) return true;
    return false;
  }
};

TEST(ExpressionTest, LookupHooks) {
  Expression e;
  e.setValueFunction([](const TqString& name) {
    if (name == TqString("memory")) return TqString("4096");
    return name == TqString("os") ? TqString("linux") : name;
  });
  e.parseInfix("memory >= 2048 && os == linux");
  ExpressionValue v;
  e.evaluate(v);
  EXPECT_EQ(shown(v), "int 1");
  EXPECT_FALSE(e.isDefined());  // no defined-check yet

  e.setDefinedFunction([](const TqString& name) { return name != TqString("os"); });
  EXPECT_FALSE(e.isDefined());
  e.setDefinedFunction([](const TqString&) { return true; });
  EXPECT_TRUE(e.isDefined());  // hooks set after parsing apply from the root

  MapResolver resolver;  // asked before the functions
  resolver.values = {{"memory", "1024"}, {"os", "linux"}, {"2048", "2048"}};
  resolver.variable_names = {"os", "memory"};
  e.setResolver(&resolver);
  e.evaluate(v);
  EXPECT_EQ(shown(v), "int 0");
  EXPECT_FALSE(e.isDefined());  // "linux" is not known to the resolver
  resolver.values["linux"] = "linux";
  EXPECT_TRUE(e.isDefined());
  StringList names;
  e.variables(names);
  EXPECT_EQ(strings(names), (Tokens{"memory", "os"}));

  Expression leaf;
  leaf.setResolver(&resolver);
  leaf.parseInfix("unknown");
  EXPECT_FALSE(leaf.isDefined());
  leaf.setLiteral("12");  // a literal is the value, whatever the hooks say
  EXPECT_TRUE(leaf.isDefined());
  leaf.evaluate(v);
  EXPECT_EQ(shown(v), "int 12");

  Expression plain;
  plain.parseInfix("a + b");
  plain.variables(names);  // without a resolver nothing is a variable
  EXPECT_EQ(names.count(), 2);
}

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(ExpressionTest, DeepNestingIsBoundedAndEvaluatesAsAnUnknownOperator) {
  MapResolver resolver;
  resolver.values = {{"x", "1"}};
  resolver.variable_names = {"x"};
  const std::vector<std::string> too_deep = {
      repeated("(", 100000) + "x",  // every open "(" becomes a node
      repeated("- ", 20000) + "x",   repeated("! ", 20000) + "x",
      repeated("x - ", 20000) + "x", repeated("x + ", kMaxExpressionDepth) + "x",
  };
  for (const std::string& text : too_deep) {
    Expression e;
    e.setResolver(&resolver);
    e.parseInfix(text);
    EXPECT_EQ(e.op().str(), kTooDeepOperator);
    EXPECT_EQ(e.left(), nullptr);
    EXPECT_EQ(e.right(), nullptr);
    ExpressionValue v;
    e.evaluate(v);
    EXPECT_EQ(shown(v), "int 0");
    EXPECT_FALSE(e.isDefined());
    StringList names;
    e.variables(names);
    EXPECT_TRUE(names.empty());
  }

  Expression deepest;  // exactly at the limit
  deepest.parseInfix(repeated("1 + ", kMaxExpressionDepth - 1) + "1");
  EXPECT_EQ(deepest.depth(), kMaxExpressionDepth);
  ExpressionValue v;
  deepest.evaluate(v);
  EXPECT_EQ(shown(v), "int 256");

  Expression brackets;  // balanced brackets make no nodes
  brackets.parseInfix(repeated("(", 100000) + "7" + repeated(")", 100000));
  brackets.evaluate(v);
  EXPECT_EQ(shown(v), "int 7");

  Expression words;
  words.parseWords(repeated("not ", 20000) + "0");
  EXPECT_EQ(words.op().str(), kTooDeepOperator);
  Expression list;
  list.parseList(repeated("(", 20000) + "0");
  EXPECT_EQ(list.op().str(), kTooDeepOperator);
}

// A balanced tree of 2^levels leaves: 2^(levels+1) - 1 nodes, levels + 1 deep.
std::string balanced(int levels) {
  std::string tree = "1";
  for (int i = 0; i < levels; ++i) tree = "(" + tree + "+" + tree + ")";
  return tree;
}

TEST(ExpressionTest, TreesOfTooManyNodesAreRefusedHoweverShallow) {
  Expression fits;  // 65535 nodes
  fits.parseInfix(balanced(15));
  EXPECT_EQ(fits.depth(), 16);
  ExpressionValue v;
  fits.evaluate(v);
  EXPECT_EQ(shown(v), "int 32768");

  Expression large;  // 131071 nodes, 17 levels
  large.parseInfix(balanced(16));
  EXPECT_EQ(large.op().str(), kTooLargeOperator);
  EXPECT_EQ(large.left(), nullptr);
  large.evaluate(v);
  EXPECT_EQ(shown(v), "int 0");
  EXPECT_FALSE(large.isDefined());

  // Leaves without operators count the same; the node bound is exact.
  Expression leaves;
  leaves.parseWords(repeated("a ", kMaxExpressionNodes));
  EXPECT_EQ(leaves.name().str(), "a");
  leaves.parseWords(repeated("a ", kMaxExpressionNodes + 1));
  EXPECT_EQ(leaves.op().str(), kTooLargeOperator);
  leaves.parseList(repeated("{a},", 3000000));
  EXPECT_EQ(leaves.op().str(), kTooLargeOperator);
}

TEST(ExpressionTest, MillionsOfParenthesesCostOneStackEntryPerRun) {
  Expression e;
  e.parseInfix(repeated("(", 3000000) + "7" + repeated(")", 3000000));
  ExpressionValue v;
  e.evaluate(v);
  EXPECT_EQ(shown(v), "int 7");
  // Runs of "(" between operators: each operator still counts against the depth.
  e.parseInfix(repeated("((( 1 + ", kMaxExpressionDepth) + "1");
  EXPECT_EQ(e.op().str(), kTooDeepOperator);
  e.parseInfix(repeated("((( 1 + ", kMaxExpressionDepth - 1) + "1" +
               repeated(")", 3 * (kMaxExpressionDepth - 1)));
  EXPECT_EQ(e.depth(), kMaxExpressionDepth);
}

TEST(ExpressionTest, InAndHasLookAtEveryItemOfALongList) {
  Expression e;
  std::string list = repeated("x,", 200000) + "needle";
  e.parseInfix("needle in '" + list + "'");
  ExpressionValue v;
  e.evaluate(v);
  EXPECT_EQ(shown(v), "int 1");
  e.parseInfix("'" + list + "' has needle");
  e.evaluate(v);
  EXPECT_EQ(shown(v), "int 1");
  e.parseInfix("hay in '" + list + "'");
  e.evaluate(v);
  EXPECT_EQ(shown(v), "int 0");
}

TEST(ExpressionTest, LongFlatInputParsesInLinearTime) {
  // Quadratic work on either would run far beyond the test time-out.
  Expression e;
  e.parseInfix(repeated("1 * 2 + ", 50000) + "0");  // the sums nest, so this is too deep
  EXPECT_EQ(e.op().str(), kTooDeepOperator);
  e.parseInfix(repeated("(1) ", 50000));
  ExpressionValue v;
  e.evaluate(v);
  EXPECT_EQ(shown(v), "int 1");
}

TEST(ExpressionValueTest, KindsAndConversions) {
  EXPECT_EQ(ExpressionValue::fromText("12").kind(), ExpressionValue::kInteger);
  EXPECT_EQ(ExpressionValue::fromText("-5").asInt(), -5);
  EXPECT_EQ(shown(ExpressionValue::fromText("-")), "int 0");
  EXPECT_EQ(shown(ExpressionValue::fromText("3.5")), "real 3.500000");
  EXPECT_EQ(ExpressionValue::fromText("1.2.3").kind(), ExpressionValue::kText);
  EXPECT_EQ(ExpressionValue::fromText("").kind(), ExpressionValue::kText);
  EXPECT_EQ(ExpressionValue::real(-2.7f).asInt(), -2);
  EXPECT_EQ(ExpressionValue::real(1e30f).asInt(), INT32_MAX);
  EXPECT_EQ(ExpressionValue::real(-1e30f).asInt(), INT32_MIN);
  EXPECT_EQ(ExpressionValue::text("nan").asInt(), 0);
  EXPECT_EQ(ExpressionValue::text("nan").asReal() != ExpressionValue::text("nan").asReal(), true);
  EXPECT_EQ(
      ExpressionValue::fromText(TqString(std::string_view(std::string(60, '9') + "."))).asInt(),
      INT32_MAX);  // beyond the float range: infinity, then the largest integer
  EXPECT_EQ(ExpressionValue::text("42abc").asInt(), 42);
  EXPECT_EQ(ExpressionValue::integer(-7).asText().str(), "-7");
  EXPECT_FLOAT_EQ(ExpressionValue::integer(3).asReal(), 3.0f);
}

TEST(ExpressionTest, FuzzEntriesAcceptOrdinaryAndHostileInput) {
  const std::vector<std::string> inputs = {"",
                                           "2 + 3 * 4",
                                           "v1 in 'a, v1' && u2 == 3",
                                           "((((",
                                           "))))",
                                           "- - -",
                                           "'unclosed",
                                           "{a,{b}",
                                           repeated("(", 5000),
                                           "\\",
                                           "1 / 0",
                                           "a , , b",
                                           std::string("\0\xff\r\n", 4)};
  for (const std::string& in : inputs) {
    const uint8_t* data = reinterpret_cast<const uint8_t*>(in.data());
    EXPECT_EQ(fuzzInfixExpression(data, in.size()), 0) << in;
    EXPECT_EQ(fuzzWordExpression(data, in.size()), 0) << in;
    EXPECT_EQ(fuzzListExpression(data, in.size()), 0) << in;
  }
}

}  // namespace
}  // namespace tq
