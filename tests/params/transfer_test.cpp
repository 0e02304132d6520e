// Reading, writing, verifying and comparing a set through a scripted driver session.

#include "params/transfer.h"

#include <gtest/gtest.h>

#include "bench/full_parameter_set.h"
#include "params/param_file.h"
#include "tests/params/scripted_session.h"

namespace kivra::params {
namespace {

using testing::CountedStop;
using testing::ScriptedSession;

std::size_t At(std::string_view name) {
  return *ItemByName(name);
}

ParameterSet Load(const std::string& text) {
  const ParsedFile f = ParseParameterFile(text);
  EXPECT_FALSE(f.error) << Describe(*f.error, Language::English);
  return f.set;
}

ParameterSet FullSet() {
  return Load(bench::FullParameterSetText());
}

TEST(Transfer, ReadGivesTheWholeSetWithHeader) {
  ScriptedSession s;
  s.Driver().programName = "HOMING.KV3";
  s.Driver().parameters.prm21to25[4] = -9;
  const ReadResult r = ReadParameterSet(s);
  EXPECT_EQ(r.steps.outcome, Outcome::Done);
  EXPECT_EQ(r.set.Count(), kItemCount);
  EXPECT_EQ(r.set.firmware, 12);
  EXPECT_EQ(r.set.programName, "HOMING.KV3");
  EXPECT_EQ(r.set.values[At("prm25")], -9);
  EXPECT_EQ(r.set.values[At("direction")], 1);
}

TEST(Transfer, ServiceValuesAreLeftOutWhenTheDriverDoesNotAnswerThem) {
  ScriptedSession s;
  s.Driver().answersService = false;
  const ReadResult r = ReadParameterSet(s);
  EXPECT_EQ(r.steps.outcome, Outcome::Done);
  ASSERT_EQ(r.steps.skipped.size(), 1u);
  EXPECT_EQ(r.steps.skipped[0].kind, Step::Kind::ReadService);
  EXPECT_FALSE(r.set.HasService());
  EXPECT_EQ(r.set.Count(), kItemCount - 2);
}

TEST(Transfer, WriteSendsEachValueThenVerifies) {
  ScriptedSession s;
  const ParameterSet set = FullSet();
  const WriteResult w = WriteParameterSet(s, set);
  EXPECT_TRUE(w.Verified());
  // One exchange per value, then the three reads that cover them.
  EXPECT_EQ(s.Exchanges(), static_cast<int>(kItemCount) + 3);
  EXPECT_EQ(s.Log().front(), "write speed 1200");
  EXPECT_EQ(s.Log()[6], "write direction 0");
  EXPECT_EQ(s.Log()[kItemCount - 1], "write service2 90");
  EXPECT_EQ(s.Log().back(), "read service");
  EXPECT_EQ(s.Driver().parameters.prm9to20[0], 99);
}

TEST(Transfer, MissingValuesAreNeitherWrittenNorRead) {
  ScriptedSession s;
  const ParameterSet set = Load("format = 1\nprm12 = 7\n");
  const WriteResult w = WriteParameterSet(s, set);
  EXPECT_TRUE(w.Verified());
  EXPECT_EQ(s.Log(), (std::vector<std::string>{"write prm12 7", "read parameters"}));
  EXPECT_EQ(Missing(set).size(), kItemCount - 1);
  EXPECT_EQ(s.Driver().settings.speed, 1000);
}

TEST(Transfer, VerifyReportsEveryValueThatDidNotTake) {
  ScriptedSession s;
  s.Driver().ignores = {"ramp", "prm14"};
  ParameterSet set = FullSet();
  set.values[At("prm10")] = -1;  // goes out as 32 bits, comes back as 16
  set.values[At("speed-coefficient")] = 70000;
  const WriteResult w = WriteParameterSet(s, set);
  EXPECT_EQ(w.steps.outcome, Outcome::Done);
  EXPECT_FALSE(w.Verified());
  std::vector<std::string> names;
  for (const Difference& d : w.differences) names.emplace_back(Items()[d.item].name);
  EXPECT_EQ(names, (std::vector<std::string>{"ramp", "speed-coefficient", "prm10", "prm14"}));
  EXPECT_EQ(w.differences[1].driver, 70000 - 65536);
  EXPECT_EQ(w.differences[2].driver, 65535);
}

TEST(Transfer, FailingAtEveryExchangeStopsThereAndClaimsNothing) {
  const ParameterSet set = FullSet();
  const auto plan = [&] {
    std::vector<Step> steps = WritePlan(set);
    for (const Step& v : VerifyPlan(set)) steps.push_back(v);
    return steps;
  }();
  for (Outcome fault : {Outcome::NoAnswer, Outcome::PortLost}) {
    for (std::size_t n = 1; n <= plan.size(); ++n) {
      ScriptedSession s;
      s.FailExchange(static_cast<int>(n), fault);
      const WriteResult w = WriteParameterSet(s, set);
      EXPECT_FALSE(w.Verified()) << n;
      EXPECT_EQ(w.steps.outcome, fault) << n;
      ASSERT_TRUE(w.steps.stoppedAt) << n;
      EXPECT_EQ(*w.steps.stoppedAt, plan[n - 1]) << n;
      EXPECT_EQ(s.Exchanges(), static_cast<int>(n))
          << "nothing is sent after the failure, at " << n;
      EXPECT_TRUE(w.differences.empty());
    }
  }
}

TEST(Transfer, AbsentDriverFailsBeforeAnythingIsSent) {
  ScriptedSession s;
  s.SetPresent(false);
  const WriteResult w = WriteParameterSet(s, FullSet());
  EXPECT_EQ(w.steps.outcome, Outcome::NoAnswer);
  EXPECT_EQ(w.steps.stoppedAt->kind, Step::Kind::Connect);
  EXPECT_EQ(s.Exchanges(), 0);
}

TEST(Transfer, StopRequestEndsBetweenValues) {
  ScriptedSession s;
  CountedStop stop;
  s.OnExchange(3, [&] { stop.Request(); });
  const WriteResult w =
      WriteParameterSet(s, FullSet(), {.stop = &stop, .stopBetweenSteps = true, .progress = {}});
  EXPECT_EQ(w.steps.outcome, Outcome::Interrupted);
  EXPECT_EQ(w.steps.done, 4u);  // connect and the three writes, the third finished
  EXPECT_EQ(w.steps.stoppedAt->item, At("microstep"));
  EXPECT_EQ(s.Exchanges(), 3);
}

TEST(Transfer, DiffComparesWithTheDriver) {
  ScriptedSession s;
  s.Driver().settings.speed = 900;
  s.Driver().programName = "X.KV3";
  const ParameterSet set = Load("format = 1\nspeed = 1200\nmicrostep = 4\nprm9 = 0\n");
  const DiffResult d = DiffWithDriver(s, set);
  EXPECT_EQ(d.steps.outcome, Outcome::Done);
  ASSERT_EQ(d.differences.size(), 1u);
  EXPECT_EQ(d.differences[0].item, At("speed"));
  EXPECT_EQ(d.differences[0].driver, 900);
  EXPECT_EQ(d.driver.programName, "X.KV3");
  EXPECT_EQ(s.Log(), (std::vector<std::string>{"read settings", "read parameters", "read name"}));
}

}  // namespace
}  // namespace kivra::params
