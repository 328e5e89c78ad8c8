// The thermal network: what holds whatever its correlations, the example
// designs' rises, the class limits and the thermal data file.
#include "velmora/studies/thermal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>

#include "example_designs.h"
#include "velmora/calc/calculation.h"

// Counted by the test program's operator new (allocation_count_test.cpp).
extern std::atomic<long> allocation_count;

namespace velmora::studies {
namespace {

using N = ThermalNode;
using P = ThermalPath;

CalculationState ExampleRun(const std::string& name) {
  CalculationState state;
  CalculationFault fault;
  EXPECT_TRUE(Calculate(examples::Example(name), state, fault)) << fault.message;
  return state;
}

const CalculationState& FourPole() {
  static const CalculationState state = ExampleRun(examples::k4Pole);
  return state;
}

// The first pass alone: the run's losses and fixed conductances.
ThermalResult SinglePass(const CalculationState& state, const ThermalData& data = {}) {
  return ThermalOf(state, data, {InsulationClass::B, false});
}

double WindingRise(const CalculationState& state, const ThermalData& data = {}) {
  ThermalResult r = ThermalOf(state, data);
  EXPECT_TRUE(r.ok()) << r.fault;
  return r.winding_rise;
}

void ExpectRisesNear(const NetworkSolution& a, const std::array<double, kThermalNodes>& b,
                     double relative) {
  ASSERT_TRUE(a.solved);
  for (int n = 0; n < kThermalNodes; ++n) EXPECT_NEAR(a.rise[n], b[n], relative * b[n]) << n;
}

// ---- Whatever the correlations ----------------------------------------------------

class EveryExample : public ::testing::TestWithParam<const char*> {};

// The heat reaching the ambient is the heat put in, and every node passes on
// what it takes in and makes.
TEST_P(EveryExample, BalancesEnergy) {
  ThermalResult r = ThermalOf(ExampleRun(GetParam()), ThermalData{});
  ASSERT_TRUE(r.ok()) << r.fault;
  EXPECT_NEAR(r.solution.flow[int(P::FrameAmbient)], r.total_loss, 1e-9 * r.total_loss);
  std::array<double, kThermalNodes> net = r.network.loss;
  for (int p = 0; p < kThermalPaths; ++p) {
    auto [from, to] = EndsOf(ThermalPath(p));
    net[int(from)] -= r.solution.flow[p];
    if (to != N::Ambient) net[int(to)] += r.solution.flow[p];
  }
  for (double residue : net) EXPECT_NEAR(residue, 0, 1e-9 * r.total_loss);
}

// The examples are class B designs: their windings rise 45 to 80 K at rated
// load with the default data.
TEST_P(EveryExample, RisesWithinClassB) {
  ThermalResult r = ThermalOf(ExampleRun(GetParam()), ThermalData{});
  ASSERT_TRUE(r.ok()) << r.fault;
  EXPECT_GT(r.winding_rise, 45);
  EXPECT_LT(r.winding_rise, 80);
  EXPECT_EQ(r.rise_limit, 80);
  EXPECT_GT(r.Temperature(N::EndWinding), r.Temperature(N::Frame));
}

INSTANTIATE_TEST_SUITE_P(Designs, EveryExample,
                         ::testing::Values(examples::k4Pole, examples::k2Pole,
                                           examples::k6PoleSingleLayer, examples::kTwoSection));

TEST(ThermalNetwork, MatrixIsSymmetricAndTiesOnlyTheFrameToTheAmbient) {
  ThermalResult r = SinglePass(FourPole());
  ConductanceMatrix g = MatrixOf(r.network);
  for (int i = 0; i < kThermalNodes; ++i) {
    double row = 0;
    for (int j = 0; j < kThermalNodes; ++j) {
      EXPECT_EQ(g[i][j], g[j][i]);
      row += g[i][j];
    }
    double to_ambient = i == int(N::Frame) ? r.network.G[int(P::FrameAmbient)] : 0;
    EXPECT_NEAR(row, to_ambient, 1e-12 * g[i][i]) << i;
  }
}

TEST(ThermalNetwork, ScalingConductancesDividesRises) {
  ThermalNetwork network = SinglePass(FourPole()).network;
  NetworkSolution base = SolveNetwork(network);
  for (double& G : network.G) G *= 3.7;
  std::array<double, kThermalNodes> expected = base.rise;
  for (double& rise : expected) rise /= 3.7;
  ExpectRisesNear(SolveNetwork(network), expected, 1e-12);
}

TEST(ThermalNetwork, ScalingLossesMultipliesRises) {
  ThermalNetwork network = SinglePass(FourPole()).network;
  NetworkSolution base = SolveNetwork(network);
  for (double& loss : network.loss) loss *= 2.5;
  std::array<double, kThermalNodes> expected = base.rise;
  for (double& rise : expected) rise *= 2.5;
  ExpectRisesNear(SolveNetwork(network), expected, 1e-12);
}

// With the inside of the motor at one temperature, every node rises by the
// total loss over the frame-to-ambient conductance.
TEST(ThermalNetwork, StiffInsideTendsToOneNode) {
  ThermalNetwork network = SinglePass(FourPole()).network;
  double total = 0;
  for (double loss : network.loss) total += loss;
  for (int p = 0; p < kThermalPaths; ++p)
    if (p != int(P::FrameAmbient)) network.G[p] *= 1e7;
  std::array<double, kThermalNodes> one;
  one.fill(total / network.G[int(P::FrameAmbient)]);
  ExpectRisesNear(SolveNetwork(network), one, 1e-5);
}

TEST(ThermalNetwork, RefusesANodeCutOff) {
  ThermalNetwork network = SinglePass(FourPole()).network;
  network.G[int(P::ShaftFrame)] = 0;
  network.G[int(P::RotorShaft)] = 0;
  EXPECT_FALSE(SolveNetwork(network).solved);
}

// ---- The model ----------------------------------------------------------------------

TEST(ThermalOf, MoreLossASmallerFrameOrASlowerFanRunHotter) {
  double base = WindingRise(FourPole());
  CalculationState more_loss = FourPole();
  more_loss.PCU1 = more_loss.PCU1 * 1.1;
  EXPECT_GT(WindingRise(more_loss), base + 1);
  ThermalData smaller_frame;
  smaller_frame.FRAME_OD = 250;  // the table gives 270 for H 132
  EXPECT_GT(WindingRise(FourPole(), smaller_frame), base + 1);
  CalculationState slower = FourPole();
  slower.N = slower.N * 0.8;
  EXPECT_GT(WindingRise(slower), base + 1);
}

// Without the iteration the network takes the run's losses as they are; at
// T_REF the resistivities are the design's, and the hot run is the run.
TEST(ThermalOf, MeetsTheRunAtTheReferenceTemperature) {
  const CalculationState& s = FourPole();
  ThermalResult r = SinglePass(s);
  ASSERT_TRUE(r.ok()) << r.fault;
  double losses = s.PCU1 + s.PCU2 + s.PFE + s.PSW + s.PFWW;
  EXPECT_NEAR(r.total_loss, losses, 1e-12 * losses);
  ThermalData data;
  EXPECT_EQ(ResistivityFactor(data.T_REF, data.ALPHA_CU, data), 1.0);
  r.Lo1_factor = r.Lo2_factor = 1;
  HotPerformance hot = HotRun(examples::Example(examples::k4Pole), r);
  ASSERT_TRUE(hot.ok) << hot.fault.message;
  EXPECT_EQ(hot.EFF, s.EFF.value);
  EXPECT_EQ(hot.PF, s.PF.value);
  EXPECT_EQ(hot.SN, s.SN.value);
  EXPECT_EQ(hot.I1, s.I1.value);
}

TEST(ThermalOf, HotRunLosesEfficiency) {
  ThermalResult r = ThermalOf(FourPole(), ThermalData{});
  ASSERT_TRUE(r.ok());
  EXPECT_GT(r.passes, 2);
  HotPerformance hot = HotRun(examples::Example(examples::k4Pole), r);
  ASSERT_TRUE(hot.ok);
  EXPECT_LT(hot.EFF, FourPole().EFF.value);
  EXPECT_GT(hot.SN, FourPole().SN.value);
}

// Stator winding without a temperature coefficient: m·c·ΔT/(3·IST²·R1).
TEST(ThermalOf, LockedRotorTimeOfAConstantResistance) {
  const CalculationState& s = FourPole();
  ThermalData data;
  data.ALPHA_CU = 0;
  data.STALL_STATOR = 250;
  ThermalResult r = ThermalOf(s, data);
  ASSERT_TRUE(r.ok());
  double by_hand = s.Gcu * data.C_CU * (250 - r.hot_spot) / (3 * s.IST * s.IST * s.R1);
  EXPECT_NEAR(r.locked_rotor.stator, by_hand, 1e-9 * by_hand);
  EXPECT_GT(r.locked_rotor.stator, 5);
}

TEST(ThermalOf, AllocatesNothing) {
  const CalculationState& s = FourPole();
  ThermalData data;
  long before = allocation_count.load();
  ThermalResult r = ThermalOf(s, data);
  EXPECT_EQ(allocation_count.load() - before, 0);
  EXPECT_TRUE(r.ok());
}

TEST(ThermalOf, NamesWhatItCannotBuildWith) {
  CalculationState text_film = FourPole();
  text_film.in.QMHW.is_text = true;
  EXPECT_NE(ThermalOf(text_film, {}).fault.find("QMHW"), std::string::npos);
  CalculationState big_shaft = FourPole();
  big_shaft.in.DI2.value = 200;
  EXPECT_NE(ThermalOf(big_shaft, {}).fault.find("DI2"), std::string::npos);
  ThermalData tiny_frame;
  tiny_frame.FRAME_OD = 220;
  EXPECT_FALSE(ThermalOf(FourPole(), tiny_frame).ok());
}

// ---- Limits and data ---------------------------------------------------------------

struct LimitCase {
  InsulationClass c;
  double Pn, ambient, limit;
};

// IEC 60034-1, Table 8, by resistance: item 1d below 600 W, 1a–1c above.
TEST(RiseLimit, FollowsTheStandard) {
  const LimitCase cases[] = {
      {InsulationClass::B, 0.55, 40, 85}, {InsulationClass::B, 0.6, 40, 80},
      {InsulationClass::F, 5.5, 40, 105}, {InsulationClass::H, 5.5, 40, 125},
      {InsulationClass::H, 0.4, 40, 130}, {InsulationClass::B, 5000, 40, 80},
      {InsulationClass::B, 5.5, 50, 70},  {InsulationClass::F, 5.5, 20, 105},
  };
  for (const LimitCase& c : cases)
    EXPECT_EQ(RiseLimit(c.c, c.Pn, c.ambient), c.limit) << c.Pn << " kW " << c.ambient;
  EXPECT_EQ(ParseInsulationClass("F"), InsulationClass::F);
  EXPECT_FALSE(ParseInsulationClass("E"));
}

TEST(ThermalData, FileOverridesByName) {
  ThermalData d =
      ParseThermalData("# 铸铝机座\n FAN_AIR = 0.3  # 风速\n\nFRAME_OD=280\r\n", "t.dat");
  EXPECT_EQ(d.FAN_AIR, 0.3);
  EXPECT_EQ(FrameOf(132, d).FRAME_OD, 280);
  EXPECT_EQ(FrameOf(132, d).FIN_COUNT, 36);
  EXPECT_EQ(d.K_CU, ThermalData{}.K_CU);
}

struct BadFileCase {
  const char* text;
  ErrorCode code;
  const char* named;
};

TEST(ThermalData, RefusesABadLineNamingIt) {
  const BadFileCase cases[] = {
      {"FAN_AIR=0.4\nFAN_SPEED=3\n", ErrorCode::UnknownInput, "第2行"},
      {"FAN_AIR=fast\n", ErrorCode::BadForm, "FAN_AIR"},
      {"EMISSIVITY=1.5\n", ErrorCode::BadForm, "EMISSIVITY"},
      {"FAN_AIR 0.4\n", ErrorCode::BadForm, "名称=数值"},
      {"K_CU=400\nK_CU=390\n", ErrorCode::BadForm, "两次"},
  };
  for (const BadFileCase& c : cases) {
    try {
      ParseThermalData(c.text, "热参数.dat");
      ADD_FAILURE() << c.text;
    } catch (const ThermalDataError& error) {
      EXPECT_EQ(error.code(), c.code) << c.text;
      EXPECT_NE(std::string(error.what()).find(c.named), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace velmora::studies
