#include "sim/faults.h"

#include <gtest/gtest.h>

namespace kivra::sim {
namespace {

using A = FaultAction;
using K = ReplyKind;

TEST(FaultPlan, AppliesEachRuleToItsNthReplyForCountReplies) {
  struct Case {
    const char* name;
    std::vector<FaultRule> rules;
    std::vector<K> replies;
    std::vector<std::optional<A>> expected;
  };
  const Case cases[] = {
      {"next reply", {{K::Ack, A::Drop, 1, 1}}, {K::Ack, K::Ack}, {A::Drop, std::nullopt}},
      {"third reply, twice",
       {{K::Status, A::Garble, 3, 2}},
       {K::Status, K::Status, K::Status, K::Status, K::Status},
       {std::nullopt, std::nullopt, A::Garble, A::Garble, std::nullopt}},
      {"other kinds do not count",
       {{K::Ack, A::Split, 2, 1}},
       {K::Status, K::Ack, K::Status, K::Ack},
       {std::nullopt, std::nullopt, std::nullopt, A::Split}},
      {"four in a row of one frame's acknowledgements",
       {{K::Ack, A::Drop, 3, 4}},
       {K::Ack, K::Ack, K::Ack, K::Ack, K::Ack, K::Ack, K::Ack},
       {std::nullopt, std::nullopt, A::Drop, A::Drop, A::Drop, A::Drop, std::nullopt}},
      {"the first rule that is due wins; the other waits its turn",
       {{K::Ack, A::Drop, 1, 1}, {K::Ack, A::Delay, 1, 1}},
       {K::Ack, K::Ack, K::Ack},
       {A::Drop, A::Delay, std::nullopt}},
      {"a waiting rule still counts replies another rule takes",
       {{K::Ack, A::Drop, 1, 1}, {K::Ack, A::WrongLetter, 2, 1}},
       {K::Ack, K::Ack, K::Ack},
       {A::Drop, A::WrongLetter, std::nullopt}},
      {"count 0 does nothing", {{K::Ack, A::Drop, 1, 0}}, {K::Ack}, {std::nullopt}},
  };
  for (const auto& c : cases) {
    FaultPlan plan;
    for (const auto& r : c.rules) plan.Add(r);
    std::vector<std::optional<A>> got;
    for (K k : c.replies) got.push_back(plan.Take(k));
    EXPECT_EQ(got, c.expected) << c.name;
    EXPECT_TRUE(plan.Empty()) << c.name;
  }
}

TEST(FaultPlan, NamesRoundTrip) {
  for (K k : {K::Ack, K::Status, K::Parameters, K::MotorSettings, K::ServiceValues, K::MemoryValue,
              K::ProgramName}) {
    EXPECT_EQ(ParseReplyKind(ReplyKindName(k)), k);
    if (k != K::Ack) {
      const char letter = static_cast<char>(ReplyLetter(k));
      EXPECT_EQ(ParseReplyKind(std::string_view(&letter, 1)), k);
    }
  }
  for (A a : {A::Drop, A::Garble, A::WrongLetter, A::Split, A::Delay}) {
    EXPECT_EQ(ParseFaultAction(FaultActionName(a)), a);
  }
  EXPECT_FALSE(ParseReplyKind("S"));  // letters are exact: 'S' is a command, not a reply
  EXPECT_FALSE(ParseReplyKind("\x06"));
  EXPECT_FALSE(ParseFaultAction("explode"));
}

}  // namespace
}  // namespace kivra::sim
